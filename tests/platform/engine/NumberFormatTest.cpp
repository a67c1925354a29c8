// Display of values under number formats, as Range.Text and TEXT() show them.
#include <gtest/gtest.h>

#include "platform/engine/format/ChineseNumerals.h"
#include "platform/engine/format/DateSerial.h"
#include "platform/engine/format/NumberFormat.h"

using namespace vorra::engine;
using vorra::host::Value;
using format::NumeralStyle;

namespace {
std::string show(double d, const std::string& fmt) { return formatValue(Value::number(d), fmt); }
}  // namespace

TEST(NumberFormat, GeneralShowsUpToElevenCharacters) {
    EXPECT_EQ(show(0, "General"), "0");
    EXPECT_EQ(show(1234.5, "General"), "1234.5");
    EXPECT_EQ(show(1.0 / 3, "General"), "0.333333333");
    EXPECT_EQ(show(-1.0 / 3, "General"), "-0.333333333");
    EXPECT_EQ(show(0.1 + 0.2, "General"), "0.3");
    EXPECT_EQ(show(12345678901, "General"), "12345678901");
    EXPECT_EQ(show(123456789012, "General"), "1.23457E+11");
    EXPECT_EQ(show(0.0000000001, "General"), "1E-10");
    EXPECT_EQ(show(5, ""), "5");
    EXPECT_EQ(formatValue(Value::text("abc"), "0.00"), "abc");
    EXPECT_EQ(formatValue(Value::boolean(true), "0"), "TRUE");
    EXPECT_EQ(formatValue(Value::error(vorra::host::ErrorValue::NA), "0"), "#N/A");
    EXPECT_EQ(formatValue(Value(), "0.00"), "");
}

TEST(NumberFormat, DigitPlaceholdersSeparatorsAndPercent) {
    EXPECT_EQ(show(2.5, "0"), "3");
    EXPECT_EQ(show(-2.5, "0"), "-3");
    EXPECT_EQ(show(1.005, "0.00"), "1.01");
    EXPECT_EQ(show(0.5, "0.00"), "0.50");
    EXPECT_EQ(show(1234567.891, "#,##0.00"), "1,234,567.89");
    EXPECT_EQ(show(-1234.5, "#,##0.00"), "-1,234.50");
    EXPECT_EQ(show(0, "#,##0.00"), "0.00");
    EXPECT_EQ(show(999.999, "#,##0.00"), "1,000.00");
    EXPECT_EQ(show(0.125, "0%"), "13%");
    EXPECT_EQ(show(0.125, "0.0%"), "12.5%");
    EXPECT_EQ(show(7, "000"), "007");
    EXPECT_EQ(show(1.5, "#.##"), "1.5");
    EXPECT_EQ(show(12, "#"), "12");
    EXPECT_EQ(show(3, "0.0?"), "3.0 ");
}

TEST(NumberFormat, SectionsAndLiteralText) {
    EXPECT_EQ(show(5, "0.00;(0.00)"), "5.00");
    EXPECT_EQ(show(-5, "0.00;(0.00)"), "(5.00)");
    EXPECT_EQ(show(0, "0;-0;\"零\""), "零");
    EXPECT_EQ(show(12, "\"¥\"#,##0.00\"元\""), "¥12.00元");
    EXPECT_EQ(show(12, "[$¥-804]#,##0.00"), "¥12.00");
    EXPECT_EQ(show(12, "\\¥0"), "¥12");
    EXPECT_EQ(show(12, "[Red]0"), "12");
    EXPECT_EQ(formatValue(Value::text("张三"), "0;0;0;\"收款人：\"@"), "收款人：张三");
    EXPECT_EQ(formatValue(Value::text("x"), "@"), "x");
}

TEST(NumberFormat, DatesAndTimes) {
    double d = format::dateToSerial(2026, 12, 7) + (14 * 3600 + 5 * 60 + 9) / 86400.0;
    EXPECT_EQ(show(d, "yyyy-mm-dd"), "2026-12-07");
    EXPECT_EQ(show(d, "yyyy年m月d日"), "2026年12月7日");
    EXPECT_EQ(show(d, "yy/m/d"), "26/12/7");
    EXPECT_EQ(show(d, "hh:mm:ss"), "14:05:09");
    EXPECT_EQ(show(d, "h:mm"), "14:05");
    EXPECT_EQ(show(d, "yyyy-mm-dd  hh:mm:ss"), "2026-12-07  14:05:09");
    EXPECT_EQ(show(d, "mmm d"), "Dec 7");
    EXPECT_EQ(show(d, "dddd"), "Monday");
    EXPECT_EQ(show(d, "aaaa"), "星期一");
    EXPECT_EQ(show(d, "h:mm AM/PM"), "2:05 PM");
    EXPECT_EQ(show(1.5, "[h]:mm"), "36:00");
    EXPECT_EQ(show(60, "yyyy-mm-dd"), "1900-02-29");
    EXPECT_EQ(show(-1, "yyyy-mm-dd"), "###########");
    EXPECT_TRUE(isDateFormat("yyyy年m月d日"));
    EXPECT_TRUE(isDateFormat("[DBNum1]yyyy\"年\"m\"月\""));
    EXPECT_TRUE(isDateFormat("h:mm"));
    EXPECT_FALSE(isDateFormat("#,##0.00"));
    EXPECT_FALSE(isDateFormat("[DBNum2]0"));
    EXPECT_FALSE(isDateFormat("\"day\"0"));
    EXPECT_FALSE(isDateFormat("General"));
}

TEST(NumberFormat, ChineseNumeralModifiers) {
    double d = format::dateToSerial(2026, 12, 7);
    EXPECT_EQ(show(d, "[DBNum1]yyyy年m月d日"), "二〇二六年十二月七日");
    EXPECT_EQ(show(d, "[DBNum2]yyyy年m月d日"), "贰零贰陆年壹拾贰月柒日");
    EXPECT_EQ(show(d, "[DBNum2]yyyy"), "贰零贰陆");
    EXPECT_EQ(show(d, "[DBNum1]mm月dd日"), "十二月〇七日");
    EXPECT_EQ(show(123, "[DBNum1]General"), "一百二十三");
    EXPECT_EQ(show(123, "[DBNum2]General"), "壹佰贰拾叁");
    EXPECT_EQ(show(123, "[DBNum3]0"), "１百２十３");
    EXPECT_EQ(show(1234.5, "[DBNum2]0.00"), "壹仟贰佰叁拾肆.伍零");
    EXPECT_EQ(show(10, "[DBNum2]0"), "壹拾");
    EXPECT_EQ(show(10, "[DBNum1]0"), "一十");  // a number keeps the 一 that a month drops
    EXPECT_EQ(show(-7, "[DBNum2]0"), "-柒");
}

TEST(ChineseNumerals, ZerosUnitsAndGroups) {
    struct Case {
        std::uint64_t n;
        const char* ordinary;
        const char* financial;
    } cases[] = {
        {0, "〇", "零"},
        {7, "七", "柒"},
        {10, "一十", "壹拾"},
        {15, "一十五", "壹拾伍"},
        {20, "二十", "贰拾"},
        {110, "一百一十", "壹佰壹拾"},
        {1001, "一千〇一", "壹仟零壹"},
        {1010, "一千〇一十", "壹仟零壹拾"},
        {10000, "一万", "壹万"},
        {100000, "一十万", "壹拾万"},
        {101000, "一十万一千", "壹拾万壹仟"},
        {100100, "一十万〇一百", "壹拾万零壹佰"},
        {10010000, "一千〇一万", "壹仟零壹万"},
        {100000000, "一亿", "壹亿"},
        {100001000, "一亿〇一千", "壹亿零壹仟"},
        {100010000, "一亿〇一万", "壹亿零壹万"},
        {110000000, "一亿一千万", "壹亿壹仟万"},
        {999999999, "九亿九千九百九十九万九千九百九十九", "玖亿玖仟玖佰玖拾玖万玖仟玖佰玖拾玖"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(format::integerInWords(c.n, NumeralStyle::Ordinary), c.ordinary) << c.n;
        EXPECT_EQ(format::integerInWords(c.n, NumeralStyle::Financial), c.financial) << c.n;
    }
    EXPECT_EQ(format::integerInWords(12, NumeralStyle::Ordinary, format::NumeralUse::DatePart), "十二");
    EXPECT_EQ(format::digitByDigit("2026", NumeralStyle::Ordinary), "二〇二六");
    EXPECT_EQ(format::digitByDigit("2026", NumeralStyle::Third), "２０２６");
}

TEST(DateSerial, RoundTripsEveryDayFrom1900To2100) {
    int serial = 1;
    for (int y = 1900; y <= 2100; ++y)
        for (int m = 1; m <= 12; ++m)
            for (int d = 1; d <= format::daysInMonth(y, m) + (y == 1900 && m == 2 ? 1 : 0); ++d, ++serial) {
                if (y == 1900 && m == 2 && d == 29) {
                    EXPECT_EQ(serial, 60);
                    continue;
                }
                ASSERT_EQ(format::dateToSerial(y, m, d), serial) << y << "-" << m << "-" << d;
                auto back = format::serialToDate(serial);
                ASSERT_EQ(back.year, y);
                ASSERT_EQ(back.month, m);
                ASSERT_EQ(back.day, d);
            }
}

TEST(NumberFormat, EmptySectionsHideTheirNumbers) {
    EXPECT_EQ(show(-5, "0;;"), "");
    EXPECT_EQ(show(0, "0;-0;"), "");
    EXPECT_EQ(show(5, "0;;"), "5");
    EXPECT_EQ(show(-5, "0;\"负\"0"), "负5");
}

TEST(NumberFormat, MalformedCodesStillGiveText) {
    EXPECT_EQ(show(5, "\"unterminated"), "unterminated");
    EXPECT_EQ(show(5, "[DBNum9]0"), "5");   // unknown modifier ignored
    EXPECT_EQ(show(5, "[unclosed"), "5");
    EXPECT_EQ(show(5, "\\"), "5");
    EXPECT_EQ(show(5, std::string(5000, '0')), "5");  // overlong: General
    EXPECT_EQ(show(1234.5, "G/通用格式"), "1234.5");
    EXPECT_EQ(show(5, ";;;"), "");
}

TEST(NumberFormats, ParsedCodesShowWhatAFreshParseShows) {
    // Each code twice (the second time from the cache), with every kind of value.
    const char* codes[] = {"General", "", "#,##0.00", "0.00;(0.00)", "0;;", "yyyy年m月d日", "h:mm AM/PM",
                           "[DBNum2]0", "0;0;0;\"收款人：\"@", "@", "[$¥-804]#,##0.00", "0.0%"};
    const Value values[] = {Value::number(-1234.5), Value::number(0), Value::number(46000.6),
                            Value::text("张三"), Value::boolean(false), Value()};
    NumberFormats formats;
    const auto days1900 = format::DateSystem::From1900;
    for (int pass = 0; pass < 2; ++pass)
        for (const char* code : codes) {
            for (const Value& v : values) EXPECT_EQ(formats.format(v, code, days1900), formatValue(v, code)) << code;
            EXPECT_EQ(formats.isDate(code), isDateFormat(code)) << code;
        }
    // More codes than the cache keeps (TEXT() with a code computed cell by cell).
    for (int i = 0; i < 5000; ++i)
        ASSERT_EQ(formats.format(Value::number(5), "\"" + std::to_string(i) + "-\"0", days1900), std::to_string(i) + "-5");
    NumberFormats copy = formats;
    EXPECT_EQ(copy.format(Value::number(0.125), "0.0%", days1900), "12.5%");
}
