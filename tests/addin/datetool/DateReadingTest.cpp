// Reading the dates the user types and the world-clock page writes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "addin/datetool/ClockPage.h"
#include "addin/datetool/DateReading.h"

namespace vorra {
namespace {

using ::testing::HasSubstr;

LocalDateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) { return {y, mo, d, h, mi, s}; }

TEST(DateReading, ReadsTheDateFormsOfAChineseDesktop) {
    EXPECT_EQ(readDate("2026/12/7"), at(2026, 12, 7));
    EXPECT_EQ(readDate("2026-12-07"), at(2026, 12, 7));
    EXPECT_EQ(readDate("2026.1.31"), at(2026, 1, 31));
    EXPECT_EQ(readDate("2026年12月7日"), at(2026, 12, 7));
    EXPECT_EQ(readDate(" 2026/12/7 "), at(2026, 12, 7));
    EXPECT_EQ(readDate("12/7/2026"), at(2026, 12, 7));  // year last: month first
    EXPECT_EQ(readDate("7 December 2026"), at(2026, 12, 7));
    EXPECT_EQ(readDate("December 7 2026"), at(2026, 12, 7));
    EXPECT_EQ(readDate("dec 7 2026"), at(2026, 12, 7));
    EXPECT_EQ(readDate("2024/2/29"), at(2024, 2, 29));
    EXPECT_EQ(readDate("2000/2/29"), at(2000, 2, 29));
}

TEST(DateReading, RefusesTextsThatNameNoDay) {
    for (const char* text : {"", "明天", "2026/12", "2026/12/7/1", "2026/13/1", "2026/0/10", "2026/2/30",
                             "2025/2/29", "1900/2/29", "7/12/26", "12345/1/1", "2026/12/7 14:00",
                             "7 Decembre 2026", "2026／12／7"})
        EXPECT_EQ(readDate(text), std::nullopt) << text;
}

TEST(DateReading, ReadsTwentyFourAndTwelveHourTimes) {
    EXPECT_EQ(readTime("14:03:05"), at(1970, 1, 1, 14, 3, 5));
    EXPECT_EQ(readTime(" 9:05"), at(1970, 1, 1, 9, 5, 0));
    EXPECT_EQ(readTime("2:03:05 pm"), at(1970, 1, 1, 14, 3, 5));
    EXPECT_EQ(readTime("12:00:00 AM"), at(1970, 1, 1, 0, 0, 0));
    EXPECT_EQ(readTime("12:30:00 pm"), at(1970, 1, 1, 12, 30, 0));
    EXPECT_EQ(readTime("下午2:03:05"), at(1970, 1, 1, 14, 3, 5));
    for (const char* text : {"", "24:00:00", "13:00 pm", "14:60", "14:03:61", "14", "1:2:3:4", "noon",
                             "下午2:03 pm", "0:30 am"})
        EXPECT_EQ(readTime(text), std::nullopt) << text;
}

TEST(DateReading, TextsShownForTodayAndForTheNewTime) {
    EXPECT_EQ(shortDateText(at(2026, 1, 5)), "2026/1/5");
    EXPECT_EQ(dateTimeText(at(2026, 12, 7, 4, 3, 5)), "2026/12/7 4:03:05");
}

const std::string kPage =
    "<html><table><tr><th>Current Time</th><td><strong id=ct  class=big>Monday, 7 December 2026, "
    "14:03:05</strong></td></tr></table><p>Current Time zone</p></html>";

TEST(ClockPage, ReadsDateAndTimeAfterTheFragment) {
    EXPECT_EQ(readClockPage(kPage), at(2026, 12, 7, 14, 3, 5));
    // Another markup before the time still gives the second and third parts.
    EXPECT_EQ(readClockPage("Current Time: <b>Mon, 2026-12-07, 2:03:05 pm</strong>"),
              at(2026, 12, 7, 14, 3, 5));
}

TEST(ClockPage, PagesWithoutAUsableTimeAreRefusedWithTheReason) {
    auto reason = [](std::string_view page) {
        try {
            readClockPage(page);
        } catch (const ClockPageError& e) {
            return std::string(e.what());
        }
        return std::string("read");
    };
    EXPECT_THAT(reason("<html>Zeit: 14:03</html>"), HasSubstr("no \"Current Time\""));
    EXPECT_THAT(reason(""), HasSubstr("no \"Current Time\""));
    // Cut off inside the fragment, or before the closing tag.
    EXPECT_THAT(reason("<th>Current Time</th><td><strong id=ct  cl"), HasSubstr("not complete"));
    EXPECT_THAT(reason("<th>Current Time</th><td><strong id=ct  class=big>Monday, 7 Dece"),
                HasSubstr("not complete"));
    EXPECT_THAT(reason("Current Time</th><td><strong id=ct  class=big>Monday 14:03</strong>"),
                HasSubstr("no date and time parts"));
    EXPECT_THAT(reason("Current Time</th><td><strong id=ct  class=big>Monday, 31 February 2026, 14:03</strong>"),
                HasSubstr("31 February 2026, 14:03"));
}

TEST(ClockPage, AddressCarriesTheFixedPathAndAFreshRandomNumber) {
    EXPECT_EQ(clockPageAddress("127.0.0.1:8080", "0.7055475"),
              "http://127.0.0.1:8080/worldclock/city.html?n=33&Refresh=0.7055475");
    std::string a = randomRefreshText(), b = randomRefreshText();
    EXPECT_NE(a, b);
    double value = std::stod(a);
    EXPECT_GE(value, 0.0);
    EXPECT_LT(value, 1.0);
}

// A test address that is wrong is an error, never a silent fall-back to the public page.
TEST(ClockPage, HostOverrideAcceptsOnlyAPlainHostAndPort) {
    ::unsetenv(kClockHostVariable);
    EXPECT_EQ(clockHost(), kClockHost);
    for (const char* address : {"127.0.0.1:5555", "clock.example.org", "localhost:1", "a-b.example:65535"}) {
        ::setenv(kClockHostVariable, address, 1);
        EXPECT_EQ(clockHost(), address);
    }
    for (const char* address : {"evil.example/x?y=", "user@evil.example", "127.0.0.1:99999", "127.0.0.1:0",
                                "bad host", "a:b:c", "-x.example", "x..example", "", "h:"}) {
        ::setenv(kClockHostVariable, address, 1);
        EXPECT_THROW(clockHost(), ClockPageError) << address;
    }
    ::unsetenv(kClockHostVariable);
}

}  // namespace
}  // namespace vorra
