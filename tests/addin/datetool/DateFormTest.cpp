// Date_frm against a test clock, the test host and a web server on 127.0.0.1: the
// answers it accepts, the failure path that asks the host to quit, and the system's
// refusal to change its clock.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "addin/datetool/ClockPage.h"
#include "addin/datetool/Date_frm.h"
#include "addin/frame/Commands.h"
#include "tests/support/ClockServer.h"
#include "tests/addin/support/AddinTestHost.h"

namespace vorra {
namespace {

using dialogs::FormInstance;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class TestClock : public SystemClock {
public:
    LocalDateTime current{2026, 12, 7, 9, 30, 0};
    std::vector<std::string> changes;
    ClockChange answer = ClockChange::Done;

    LocalDateTime now() const override { return current; }
    ClockChange setDate(int y, int m, int d) override {
        changes.push_back("date " + std::to_string(y) + "-" + std::to_string(m) + "-" + std::to_string(d));
        if (answer == ClockChange::Done) current.year = y, current.month = m, current.day = d;
        return answer;
    }
    ClockChange setTime(int h, int m, int s) override {
        changes.push_back("time " + std::to_string(h) + ":" + std::to_string(m) + ":" + std::to_string(s));
        if (answer == ClockChange::Done) current.hour = h, current.minute = m, current.second = s;
        return answer;
    }
};

const char* kNetworkDown = "网络断开，关闭工作薄";
const char* kRefused = "系统拒绝修改日期和时间：当前用户没有修改系统时间的权限。请以管理员身份运行后再试！";

class DateForm : public ::testing::Test {
protected:
    void SetUp() override {
        showDateForm();
        form = FormInstance<Date_frm>::existing();
        ASSERT_TRUE(form);
        form->useClock(clock);
        form->setRequestTimeout(2000);
    }
    void TearDown() override {
        form.reset();
        ::unsetenv(kClockHostVariable);
        EXPECT_EQ(host.toolkit.takeFailure(), std::nullopt);
        EXPECT_THAT(host.toolkit.unusedAnswers(), IsEmpty());
    }
    void serveFrom(const std::string& address) { ::setenv(kClockHostVariable, address.c_str(), 1); }

    testing::AddinTestHost host{"16.0", false};
    TestClock clock;
    std::shared_ptr<Date_frm> form;
};

TEST_F(DateForm, OpensTopmostWithItsCaptions) {
    EXPECT_TRUE(form->visible());
    EXPECT_THAT(host.formsOf(headless::Record::Kind::Topmost), ElementsAre("Date_frm"));
    EXPECT_EQ(form->caption(), "修改系统时间：");
    EXPECT_EQ(form->Frame1.caption(), "修改系统时间：");
    EXPECT_EQ(form->Command1.caption(), "修改系统日期");
    EXPECT_EQ(form->Command2.caption(), "网络自动校时");
}

TEST_F(DateForm, DateByHandAsksWithTodayAndKeepsTheTimeOfDay) {
    host.answerInputs({"2026年12月25日"});
    form->Command1.userClick();
    ASSERT_EQ(host.toolkit.inputRequests.size(), 1u);
    EXPECT_EQ(host.toolkit.inputRequests[0].prompt, "请输入日期");
    EXPECT_EQ(host.toolkit.inputRequests[0].defaultText, "2026/12/7");
    EXPECT_THAT(clock.changes, ElementsAre("date 2026-12-25"));
    EXPECT_THAT(host.toolkit.messageRequests, IsEmpty());
}

TEST_F(DateForm, CancelledOrInvalidDatesChangeNothingAndSayNothing) {
    host.answerInputs({"", "明天", "2026/2/30"});
    for (int i = 0; i < 3; ++i) form->Command1.userClick();
    EXPECT_THAT(clock.changes, IsEmpty());
    EXPECT_THAT(host.toolkit.messageRequests, IsEmpty());
}

TEST_F(DateForm, RefusalToChangeTheDateIsToldPlainly) {
    clock.answer = ClockChange::NotPermitted;
    host.answerInputs({"2026/12/25"});
    host.answerMessage();
    form->Command1.userClick();
    ASSERT_EQ(host.toolkit.messageRequests.size(), 1u);
    EXPECT_EQ(host.toolkit.messageRequests[0].prompt, kRefused);
    EXPECT_EQ(host.toolkit.messageRequests[0].icon, dialogs::MsgBoxIcon::Critical);
    EXPECT_EQ(host.toolkit.messageRequests[0].title, "系统提示：");
    EXPECT_EQ(host.services.quits, 0);
}

TEST_F(DateForm, TimeFromTheClockPageSetsDateThenTimeAndShowsIt) {
    testing::ClockServer server;
    server.page = "<th>Current Time</th><td><strong id=ct  class=big>Monday, 7 December 2026, 14:03:05</strong>";
    serveFrom(server.host());
    host.answerMessage();
    form->Command2.userClick();
    EXPECT_EQ(server.requests, 1);
    EXPECT_THAT(server.lastQuery, HasSubstr("33|0"));  // n=33, a random number in [0, 1)
    EXPECT_THAT(clock.changes, ElementsAre("date 2026-12-7", "time 14:3:5"));
    ASSERT_EQ(host.toolkit.messageRequests.size(), 1u);
    EXPECT_EQ(host.toolkit.messageRequests[0].prompt, "2026/12/7 14:03:05");
    EXPECT_EQ(host.toolkit.messageRequests[0].title, std::nullopt);
    EXPECT_EQ(host.services.quits, 0);
}

TEST_F(DateForm, RefusalToSetTheTimeFromThePageIsToldAndTheHostStays) {
    testing::ClockServer server;
    server.page = "Current Time</th><td><strong id=ct  class=big>Monday, 7 December 2026, 14:03:05</strong>";
    serveFrom(server.host());
    clock.answer = ClockChange::NotPermitted;
    host.answerMessage();
    form->Command2.userClick();
    EXPECT_THAT(clock.changes, ElementsAre("date 2026-12-7"));  // stops at the first refusal
    EXPECT_THAT(host.toolkit.prompts(), ElementsAre(kRefused));
    EXPECT_EQ(host.services.quits, 0);
}

// Every bad answer ends in the one failure message and the request to quit, with the
// clock untouched.
class DateFormFailure : public DateForm {
protected:
    void expectNetworkFailure() {
        host.answerMessage();
        form->Command2.userClick();
        EXPECT_THAT(clock.changes, IsEmpty());
        ASSERT_EQ(host.toolkit.messageRequests.size(), 1u);
        EXPECT_EQ(host.toolkit.messageRequests[0].prompt, kNetworkDown);
        EXPECT_EQ(host.toolkit.messageRequests[0].title, std::nullopt);
        EXPECT_EQ(host.services.quits, 1);
    }
    testing::ClockServer server;
};

TEST_F(DateFormFailure, PageWithoutCurrentTime) {
    server.page = "<html>maintenance</html>";
    serveFrom(server.host());
    expectNetworkFailure();
}

TEST_F(DateFormFailure, PageCutOffInsideTheFragment) {
    server.page = "<th>Current Time</th><td><strong id=ct  cla";
    serveFrom(server.host());
    expectNetworkFailure();
}

TEST_F(DateFormFailure, PageOfOneHundredMegabytesIsNotReadToTheEnd) {
    server.streamBytes = 100u * 1024 * 1024;
    serveFrom(server.host());
    expectNetworkFailure();
}

TEST_F(DateFormFailure, ServerThatNeverAnswers) {
    testing::SilentPort silent;
    serveFrom(silent.host());
    form->setRequestTimeout(300);
    expectNetworkFailure();
}

TEST_F(DateFormFailure, RedirectToAnotherHost) {
    server.redirectTo = "http://localhost:" + std::to_string(server.port()) + "/moved";
    server.page = "Current Time</th><td><strong id=ct  class=big>Monday, 7 December 2026, 14:03:05</strong>";
    serveFrom(server.host());
    expectNetworkFailure();
    EXPECT_EQ(server.requests, 1);
    EXPECT_EQ(server.movedRequests, 0);  // never followed
}

TEST_F(DateFormFailure, YearsNoCurrentDateCanHave) {
    for (const char* shown : {"Thursday, 1 January 1970, 00:00:05", "Friday, 1 January 2100, 08:00:00",
                              "Sunday, 31 December 2025, 23:59:59"}) {
        server.page = std::string("Current Time</th><td><strong id=ct  class=big>") + shown + "</strong>";
        serveFrom(server.host());
        host.services.quits = 0;
        host.toolkit.messageRequests.clear();
        expectNetworkFailure();
    }
}

TEST_F(DateFormFailure, InvalidTestAddressNeverFallsBackToThePublicPage) {
    serveFrom(server.host() + "0000");  // a port beyond 65535
    expectNetworkFailure();
    EXPECT_EQ(server.requests, 0);
}

TEST_F(DateFormFailure, NothingListening) {
    int port = 0;
    {
        testing::SilentPort closed;  // a port that was free a moment ago
        port = std::stoi(closed.host().substr(10));
    }
    serveFrom("127.0.0.1:" + std::to_string(port));
    expectNetworkFailure();
}

// Without a test clock the form asks the toolkit to set the computer's clock, as a
// moment in UTC; the headless toolkit records it and answers as told.
class ComputerClockThroughTheToolkit : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* tz = std::getenv("TZ")) savedZone = tz;
        ::setenv("TZ", "CST-8", 1);  // eight hours east of UTC, no daylight saving
        ::tzset();
    }
    void TearDown() override {
        if (savedZone) ::setenv("TZ", savedZone->c_str(), 1);
        else ::unsetenv("TZ");
        ::tzset();
        ::unsetenv(kClockHostVariable);
        EXPECT_EQ(host.toolkit.takeFailure(), std::nullopt);
    }
    std::vector<std::string> clockRequests() const { return host.detailsOf(headless::Record::Kind::SetClock); }

    testing::AddinTestHost host{"16.0", false};
    std::optional<std::string> savedZone;
};

TEST_F(ComputerClockThroughTheToolkit, TheTimeFromThePageIsAskedForInUtc) {
    testing::ClockServer server;
    server.page = "Current Time</th><td><strong id=ct  class=big>Monday, 7 December 2026, 14:03:05</strong>";
    ::setenv(kClockHostVariable, server.host().c_str(), 1);
    showDateForm();
    host.answerMessage();
    FormInstance<Date_frm>::existing()->Command2.userClick();
    const auto requests = clockRequests();
    ASSERT_EQ(requests.size(), 2u);  // the date, then the time of day
    EXPECT_THAT(requests[1], ::testing::EndsWith(" 06:03:05 UTC -> done"));
    EXPECT_THAT(host.toolkit.prompts(), ElementsAre("2026/12/7 14:03:05"));
    EXPECT_EQ(host.services.quits, 0);
}

TEST_F(ComputerClockThroughTheToolkit, ARefusalOfTheClockServiceIsTold) {
    host.toolkit.setClockAnswer(dialogs::ClockSetting::NotPermitted);
    showDateForm();
    host.answerInputs({"2026/12/25"});
    host.answerMessage();
    FormInstance<Date_frm>::existing()->Command1.userClick();
    ASSERT_EQ(clockRequests().size(), 1u);
    EXPECT_THAT(clockRequests()[0], ::testing::EndsWith(" UTC -> not permitted"));
    EXPECT_THAT(host.toolkit.prompts(), ElementsAre(kRefused));
}

TEST(ClockFetch, AnswersBeyondTheBoundAreRefusedBeforeTheyAreRead) {
    testing::ClockServer server;
    server.streamBytes = 100u * 1024 * 1024;
    try {
        fetchClockPage(clockPageAddress(server.host(), "0.5"), 5000, 64 * 1024);
        FAIL() << "a 100 MB page was accepted";
    } catch (const ClockPageError& e) {
        EXPECT_THAT(e.what(), HasSubstr("larger than 65536 bytes"));
    }
}

TEST(ClockFetch, RedirectOnTheSameHostIsFollowed) {
    testing::ClockServer server;
    server.page = "Current Time";
    server.redirectTo = "/moved";
    EXPECT_EQ(fetchClockPage(clockPageAddress(server.host(), "0.1"), 5000), "Current Time");
    EXPECT_EQ(server.movedRequests, 1);
}

TEST(ClockFetch, ErrorStatusIsNoPage) {
    testing::ClockServer server;
    EXPECT_THROW(fetchClockPage("http://" + server.host() + "/no/such/page", 5000), ClockPageError);
    server.page = "Current Time";
    EXPECT_EQ(fetchClockPage(clockPageAddress(server.host(), "0.1"), 5000), "Current Time");
}

}  // namespace
}  // namespace vorra
