#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>

#include "backup/core/ProcessList.h"
#include "launcher/TempFolder.h"

using namespace vorra::backup;
using vorra::testing::TempFolder;
using vorra::testing::writeBytes;
namespace fs = std::filesystem;

namespace {

void addProcess(const fs::path& proc, const std::string& pid, const std::string& comm,
                const std::string& exe = {}) {
    fs::create_directory(proc / pid);
    if (!comm.empty()) writeBytes(proc / pid / "comm", comm);
    if (!exe.empty()) fs::create_symlink(exe, proc / pid / "exe");
}

}  // namespace

TEST(ProcessList, ReadsShortNamesAndProgramFileNames) {
    TempFolder proc;
    addProcess(proc.path(), "12", "vorra-desktop\n");
    addProcess(proc.path(), "34", "bash\n", "/usr/bin/bash");
    // A long program name is cut short in "comm" but whole in "exe".
    addProcess(proc.path(), "56", "vorra-desktop-w\n", "/opt/vorra/vorra-desktop-wide (deleted)");
    addProcess(proc.path(), "78", "");  // ended while being read
    addProcess(proc.path(), "self", "not-a-process\n");
    writeBytes(proc.path() / "99", "a file, not a process");

    std::vector<std::string> names = runningProgramNames(proc.path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"bash", "vorra-desktop", "vorra-desktop-w",
                                               "vorra-desktop-wide"}));
    EXPECT_TRUE(runningProgramNames(proc.path() / "missing").empty());
}

TEST(ProcessList, FindsThisVeryProcessInTheRealList) {
    const std::string self = QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString();
    const auto names = runningProgramNames();
    EXPECT_NE(std::find(names.begin(), names.end(), self), names.end()) << self;
}

TEST(ProcessList, HostNameIsComparedUpperCased) {
    EXPECT_TRUE(isHostProgramName("vorra-desktop"));
    EXPECT_TRUE(isHostProgramName("VORRA-DESKTOP"));
    EXPECT_TRUE(isHostProgramName("Vorra-Desktop"));
    for (const char* other : {"vorra-desktop2", "vorra", "", "vorra-desktop "})
        EXPECT_FALSE(isHostProgramName(other)) << other;
}

TEST(ProcessList, WarnsOnceHoweverManyHostProcessesRun) {
    TempFolder proc;
    addProcess(proc.path(), "100", "bash\n");
    for (const char* pid : {"200", "300", "400"}) addProcess(proc.path(), pid, "vorra-desktop\n");
    addProcess(proc.path(), "500", "VORRA-DESKTOP\n");
    int warnings = 0;
    const auto warn = [&] { ++warnings; };
    EXPECT_TRUE(warnWhenHostRuns(runningProgramNames(proc.path()), warn));
    EXPECT_EQ(warnings, 1);
    EXPECT_FALSE(warnWhenHostRuns({"bash", "Quorlaunch"}, warn));
    EXPECT_FALSE(warnWhenHostRuns({}, warn));
    EXPECT_EQ(warnings, 1);
}
