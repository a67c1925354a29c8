#include <gtest/gtest.h>

#include "TempFolder.h"
#include "launcher/core/HostLocation.h"

using namespace vorra::launcher;
using vorra::testing::TempFolder;
using vorra::testing::writeBytes;

TEST(HostLocation, EnvironmentOverrideWinsOverTheInstalledFile) {
    TempFolder folder;
    writeBytes(folder.path() / "host-path", "/usr/lib/vorra/vorra-desktop\n");
    EXPECT_EQ(hostProgram(std::string("/opt/test/host"), folder.str()), "/opt/test/host");
    // An empty variable counts as unset.
    EXPECT_EQ(hostProgram(std::string(), folder.str()), "/usr/lib/vorra/vorra-desktop");
    EXPECT_EQ(hostProgram(std::nullopt, folder.str()), "/usr/lib/vorra/vorra-desktop");
}

TEST(HostLocation, ReadsTheFirstLineTrimmedAndResolvesRelativePaths) {
    TempFolder folder;
    writeBytes(folder.path() / "host-path", "  /opt/my host/vorra-desktop \r\nsecond line\r\n");
    EXPECT_EQ(hostProgram(std::nullopt, folder.str()), "/opt/my host/vorra-desktop");

    writeBytes(folder.path() / "host-path", "bin/vorra-desktop");
    EXPECT_EQ(hostProgram(std::nullopt, folder.str()), folder.str() + "/bin/vorra-desktop");
}

TEST(HostLocation, NothingIsNamedWhenTheFileIsMissingEmptyOrNotAPath) {
    TempFolder folder;
    EXPECT_FALSE(hostProgram(std::nullopt, folder.str()));

    writeBytes(folder.path() / "host-path", " \r\n/second/line/only\n");
    EXPECT_FALSE(hostProgram(std::nullopt, folder.str()));

    writeBytes(folder.path() / "host-path", std::string("/usr/bin/x\0y", 12));
    EXPECT_FALSE(hostProgram(std::nullopt, folder.str()));

    writeBytes(folder.path() / "host-path", "/" + std::string(kMaxHostPathFileBytes, 'a'));
    EXPECT_FALSE(hostProgram(std::nullopt, folder.str()));
}
