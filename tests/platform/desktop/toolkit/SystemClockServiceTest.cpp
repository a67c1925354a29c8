// The desktop's clock service: the system clock where the process may set it, else the
// system's time service over D-Bus. The time service is a stand-in on a private bus
// that the test starts (dbus-daemon), named to the process by DBUS_SYSTEM_BUS_ADDRESS;
// the system clock is a test double, so that no test changes the machine's time.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/desktop/toolkit/QtToolkit.h"
#include "platform/desktop/toolkit/SystemClockService.h"

namespace vorra::desktop {
namespace {

namespace fs = std::filesystem;
using dialogs::ClockSetting;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A program started with its standard output on a pipe; stopped when the object goes.
class Child {
public:
    explicit Child(std::vector<std::string> argv) {
        // Everything the child needs is made before the fork: between fork and exec it
        // only calls what is safe in a process with threads.
        std::vector<char*> args;
        for (auto& a : argv) args.push_back(a.data());
        args.push_back(nullptr);
        int out[2];
        if (::pipe(out) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            ::execv(args[0], args.data());
            ::_exit(127);
        }
        ::close(out[1]);
        output_ = ::fdopen(out[0], "r");
    }
    ~Child() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
        if (output_) std::fclose(output_);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // The first line it prints, without its line end; empty when it ends first.
    std::string firstLine() {
        char line[512];
        if (!output_ || !std::fgets(line, sizeof line, output_)) return {};
        std::string text = line;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        return text;
    }

private:
    pid_t pid_ = -1;
    std::FILE* output_ = nullptr;
};

// One private bus for the whole test program: the bus library reads the system bus's
// address once per process.
class PrivateSystemBus {
public:
    static PrivateSystemBus& instance() {
        static PrivateSystemBus bus;
        return bus;
    }
    const fs::path& folder() const { return folder_; }
    bool running() const { return !address_.empty(); }

private:
    PrivateSystemBus() {
        std::string pattern = (fs::temp_directory_path() / "vorra-bus-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) return;
        folder_ = pattern;
        std::ofstream(folder_ / "bus.conf")
            << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN\"\n"
               " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig><type>system</type><listen>unix:path="
            << (folder_ / "bus").string()
            << "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow user=\"*\"/>"
               "<allow own=\"*\"/><allow send_destination=\"*\"/><allow receive_sender=\"*\"/></policy>"
               "</busconfig>\n";
        daemon_ = std::make_unique<Child>(std::vector<std::string>{
            DBUS_DAEMON_PROGRAM, "--config-file=" + (folder_ / "bus.conf").string(), "--nofork", "--print-address"});
        address_ = daemon_->firstLine();
        if (!address_.empty()) ::setenv("DBUS_SYSTEM_BUS_ADDRESS", address_.c_str(), 1);
    }
    ~PrivateSystemBus() {
        daemon_.reset();
        std::error_code ignored;
        if (!folder_.empty()) fs::remove_all(folder_, ignored);
    }

    fs::path folder_;
    std::unique_ptr<Child> daemon_;
    std::string address_;
};

class ClockService : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(PrivateSystemBus::instance().running()) << "dbus-daemon did not start";
        log = PrivateSystemBus::instance().folder() / ("calls-" + std::to_string(++serial) + ".log");
    }
    void startTimeService(const char* answer) {
        service = std::make_unique<Child>(std::vector<std::string>{FAKE_TIME_SERVICE_PROGRAM, log.string(), answer});
        ASSERT_EQ(service->firstLine(), "ready");
    }
    std::vector<std::string> calls() const {
        std::vector<std::string> lines;
        std::ifstream in(log);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    // The system clock as a process without the right to change it finds it.
    SystemClockService withDirectAnswer(int error) {
        return SystemClockService([this, error](std::int64_t seconds) {
            direct.push_back(seconds);
            return error;
        }, 5000);
    }

    static inline int serial = 0;
    fs::path log;
    std::unique_ptr<Child> service;
    std::vector<std::int64_t> direct;
};

// 2026-12-07 06:03:05 UTC.
constexpr std::int64_t kMoment = 1796623385;

TEST_F(ClockService, WhereTheProcessMayNotTheTimeServiceSetsTheClock) {
    startTimeService("accept");
    EXPECT_EQ(withDirectAnswer(EPERM).set(kMoment), ClockSetting::Done);
    EXPECT_THAT(direct, ElementsAre(kMoment));
    // Microseconds since the epoch, absolute, interactive, and the message allows the
    // authorisation prompt.
    EXPECT_THAT(calls(), ElementsAre("SetTime xbb 1796623385000000 false true interactive-authorization"));
}

TEST_F(ClockService, OnlyWhenTheTimeServiceRefusesTooIsTheChangeNotPermitted) {
    startTimeService("refuse");
    SystemClockService clock = withDirectAnswer(EPERM);
    EXPECT_EQ(clock.set(kMoment), ClockSetting::NotPermitted);
    EXPECT_EQ(calls().size(), 1u);
    EXPECT_THAT(clock.lastRefusal(), ::testing::StartsWith("org.freedesktop.DBus.Error.AccessDenied"));
}

TEST_F(ClockService, NoTimeServiceOnTheBusIsARefusal) {
    EXPECT_EQ(withDirectAnswer(EACCES).set(kMoment), ClockSetting::NotPermitted);
}

TEST_F(ClockService, TheTimeServiceIsNotAskedWhenTheSystemClockDecides) {
    startTimeService("accept");
    EXPECT_EQ(withDirectAnswer(0).set(kMoment), ClockSetting::Done);
    EXPECT_EQ(withDirectAnswer(EINVAL).set(kMoment), ClockSetting::Failed);
    EXPECT_THAT(calls(), IsEmpty());
}

TEST_F(ClockService, TheToolkitSetsTheClockThroughItsService) {
    startTimeService("accept");
    QtToolkit toolkit;
    toolkit.setClockService(withDirectAnswer(EPERM));
    EXPECT_EQ(toolkit.setSystemClock(kMoment), ClockSetting::Done);
    EXPECT_EQ(calls().size(), 1u);
}

}  // namespace
}  // namespace vorra::desktop
