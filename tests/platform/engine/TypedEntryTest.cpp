#include <gtest/gtest.h>

#include <cmath>

#include "platform/engine/host/TypedEntry.h"

using vorra::engine::dateSerial;
using vorra::engine::parseTypedEntry;
using vorra::engine::format::DateSystem;
using vorra::host::ErrorValue;
using vorra::host::Value;

namespace {

Value typed(const char* text) { return parseTypedEntry(text, false).value; }

}  // namespace

TEST(TypedEntry, NumbersAsTheHostReadsThem) {
    EXPECT_EQ(typed("123"), Value::number(123));
    EXPECT_EQ(typed("-1,234.50"), Value::number(-1234.5));
    EXPECT_EQ(typed("00012345"), Value::number(12345));
    EXPECT_EQ(typed("1E3"), Value::number(1000));
    EXPECT_EQ(typed("2.5e-2"), Value::number(0.025));
    EXPECT_EQ(typed(".5"), Value::number(0.5));
    EXPECT_EQ(typed("+7"), Value::number(7));
    EXPECT_EQ(typed("(42)"), Value::number(-42));
    EXPECT_EQ(typed("  88  "), Value::number(88));
    EXPECT_EQ(typed("1,234,567"), Value::number(1234567));
}

TEST(TypedEntry, LongDigitStringsKeepFifteenSignificantDigits) {
    // A 19-digit account number typed into a general cell loses its last four digits.
    Value v = typed("6222021234567890123");
    ASSERT_TRUE(v.isNumber());
    EXPECT_EQ(v.asNumber(), 6222021234567890000.0);
    EXPECT_EQ(v.toText(), "6.22202123456789E+18");
    EXPECT_EQ(typed("0000000000000000001"), Value::number(1));
}

TEST(TypedEntry, TextsThatOnlyResembleNumbersStayText) {
    for (const char* t : {"12,34", "1,2345", "1.2.3", "12a", "E3", "--5", "1e", "(5", "5)", ",5",
                          "1 000", "abc", "-", "%", "1E99999"}) {
        Value v = typed(t);
        ASSERT_TRUE(v.isText()) << t;
        EXPECT_EQ(v.asText(), t);
    }
    EXPECT_EQ(typed("  text with blanks "), Value::text("  text with blanks "));
    EXPECT_EQ(typed("   "), Value::text("   "));
}

TEST(TypedEntry, PercentThousandsAndExponentImplyFormats) {
    auto e = parseTypedEntry("50%", false);
    EXPECT_EQ(e.value, Value::number(0.5));
    EXPECT_EQ(e.impliedFormat, "0%");
    EXPECT_EQ(parseTypedEntry("12.5 %", false).impliedFormat, "0.00%");
    EXPECT_EQ(parseTypedEntry("1,234.50", false).impliedFormat, "#,##0.00");
    EXPECT_EQ(parseTypedEntry("1,234", false).impliedFormat, "#,##0");
    EXPECT_EQ(parseTypedEntry("1E3", false).impliedFormat, "0.00E+00");
    EXPECT_EQ(parseTypedEntry("123", false).impliedFormat, "");
}

TEST(TypedEntry, BooleansAndErrorLiteralsInAnyCase) {
    EXPECT_EQ(typed("true"), Value::boolean(true));
    EXPECT_EQ(typed("FALSE"), Value::boolean(false));
    EXPECT_EQ(typed(" True "), Value::boolean(true));
    EXPECT_EQ(typed("#N/A"), Value::error(ErrorValue::NA));
    EXPECT_EQ(typed("#div/0!"), Value::error(ErrorValue::Div0));
    EXPECT_EQ(typed("#N/A later"), Value::text("#N/A later"));
}

TEST(TypedEntry, DatesBecomeSerialNumbersWithADateFormat) {
    auto e = parseTypedEntry("2026-12-07", false);
    EXPECT_EQ(e.value, Value::number(46363));
    EXPECT_EQ(e.impliedFormat, "yyyy/m/d");
    EXPECT_TRUE(e.isDateOrTime);
    EXPECT_EQ(typed("2026/12/7"), Value::number(46363));
    EXPECT_EQ(typed("2026年12月7日"), Value::number(46363));
    EXPECT_EQ(parseTypedEntry("2026年12月7日", false).impliedFormat, "yyyy\"年\"m\"月\"d\"日\"");
    EXPECT_EQ(typed("2026-02-30"), Value::text("2026-02-30"));
    EXPECT_EQ(typed("2026-13-01"), Value::text("2026-13-01"));
    EXPECT_TRUE(typed("2026/12-07").isText());
    EXPECT_TRUE(typed("26-12-07").isText());
}

TEST(TypedEntry, TheHostsDateSystemsIncludingItsFictitiousLeapDay) {
    EXPECT_EQ(dateSerial(1900, 1, 1), 1.0);
    EXPECT_EQ(dateSerial(1900, 2, 28), 59.0);
    EXPECT_EQ(dateSerial(1900, 2, 29), 60.0);
    EXPECT_EQ(dateSerial(1900, 3, 1), 61.0);
    EXPECT_EQ(dateSerial(2000, 2, 29), 36585.0);
    EXPECT_EQ(dateSerial(9999, 12, 31), 2958465.0);
    EXPECT_FALSE(dateSerial(1899, 12, 31));
    EXPECT_FALSE(dateSerial(2100, 2, 29));
    EXPECT_EQ(dateSerial(1904, 1, 1, DateSystem::From1904), 0.0);
    EXPECT_EQ(dateSerial(2026, 12, 7, DateSystem::From1904), 46363.0 - 1462);
    EXPECT_FALSE(dateSerial(1900, 2, 29, DateSystem::From1904));
}

TEST(TypedEntry, TimesAndDateTimes) {
    auto t = parseTypedEntry("12:00", false);
    EXPECT_EQ(t.value, Value::number(0.5));
    EXPECT_EQ(t.impliedFormat, "h:mm");
    EXPECT_EQ(parseTypedEntry("6:00:30", false).impliedFormat, "h:mm:ss");
    EXPECT_DOUBLE_EQ(typed("6:00 PM").asNumber(), 0.75);
    EXPECT_DOUBLE_EQ(typed("12:00 am").asNumber(), 0);
    auto dt = parseTypedEntry("2026-12-07 18:00", false);
    EXPECT_DOUBLE_EQ(dt.value.asNumber(), 46363.75);
    EXPECT_EQ(dt.impliedFormat, "yyyy/m/d h:mm");
    for (const char* entry : {"24:00", "12:60", "13:00 PM", "1:2:3:4", "2026-12-07x"})
        EXPECT_TRUE(typed(entry).isText()) << entry;
}

TEST(TypedEntry, TextFormatAndApostropheKeepTheText) {
    EXPECT_EQ(parseTypedEntry("6222021234567890123", true).value, Value::text("6222021234567890123"));
    EXPECT_EQ(parseTypedEntry("00012345", true).value, Value::text("00012345"));
    EXPECT_EQ(parseTypedEntry("TRUE", true).value, Value::text("TRUE"));
    EXPECT_EQ(parseTypedEntry("'00012345", false).value, Value::text("00012345"));
    EXPECT_EQ(parseTypedEntry("'", false).value, Value::text(""));
    EXPECT_TRUE(parseTypedEntry("", false).value.isEmpty());
}

TEST(TypedEntry, ArbitraryBytesNeverBreakTheParser) {
    // Deterministic noise over the characters the parser cares about, plus raw bytes.
    const std::string alphabet = "0123456789+-.,eE%()$#/:年月日 AMPTRUEfalse'\xE4\xB8\x80\xFF";
    unsigned state = 12345;
    for (int n = 0; n < 20000; ++n) {
        std::string s;
        int len = int(state % 24);
        for (int i = 0; i < len; ++i) {
            state = state * 1103515245u + 12345u;
            s += alphabet[(state >> 16) % alphabet.size()];
        }
        state = state * 1103515245u + 12345u;
        auto e = parseTypedEntry(s, false);
        if (e.value.isText() && !s.empty() && s[0] != '\'') {
            EXPECT_EQ(e.value.asText(), s);
        }
        if (e.value.isNumber()) {
            EXPECT_TRUE(std::isfinite(e.value.asNumber())) << s;
        }
    }
}

TEST(TypedEntry, MonthAndDayFallInTheCurrentYear) {
    auto e = parseTypedEntry("12/7", false, DateSystem::From1900, 2026);
    EXPECT_EQ(e.value, Value::number(46363));
    EXPECT_EQ(e.impliedFormat, "m\"月\"d\"日\"");
    EXPECT_EQ(parseTypedEntry("12-7", false, DateSystem::From1900, 2026).value, Value::number(46363));
    EXPECT_EQ(parseTypedEntry("2/29", false, DateSystem::From1900, 2026).value, Value::text("2/29"));
    EXPECT_EQ(parseTypedEntry("2/29", false, DateSystem::From1900, 2028).value.kind(), Value::Kind::Number);
    EXPECT_EQ(parseTypedEntry("1-2", false).value, Value::text("1-2"));  // no year given
    EXPECT_EQ(parseTypedEntry("13/1", false, DateSystem::From1900, 2026).value, Value::text("13/1"));
}
