#pragma once
// Chinese numerals: ordinary (一二三, 十百千), financial capitals (壹贰叁, 拾佰仟) and
// full-width digits, as NUMBERSTRING() and the [DBNum1]/[DBNum2]/[DBNum3] modifiers
// of number formats write them.

#include <cstdint>
#include <string>
#include <string_view>

namespace vorra::engine::format {

// The three styles, numbered as NUMBERSTRING's second argument and the DBNum
// modifiers: 1 ordinary numerals, 2 financial capitals, 3 NUMBERSTRING: ordinary
// numerals digit by digit / DBNum3: full-width digits with units.
enum class NumeralStyle { Ordinary = 1, Financial = 2, Third = 3 };

// A whole number (below 10^16) read out with units and 万/亿 groups, a single 零 for
// each run of zeros inside: 1001 → 一千〇一 / 壹仟零壹, 100000 → 一十万 / 壹拾万,
// 110 → 一百一十. The month or day of a date in ordinary numerals drops the 一 of a
// leading 一十 (十二月, 十七日); a number keeps it (一十二).
enum class NumeralUse { Number, DatePart };
std::string integerInWords(std::uint64_t n, NumeralStyle style, NumeralUse use = NumeralUse::Number);

// Each decimal digit of the text replaced by the style's digit character ("2026" →
// 二〇二六 / 贰零贰陆 / ２０２６); other characters are kept.
std::string digitByDigit(std::string_view digits, NumeralStyle style);

// NUMBERSTRING(n, style): n rounded to a whole number, negative numbers with 负;
// style 3 gives the ordinary numerals digit by digit (123 → 一二三), style 1 reads 10
// as 一十.
std::string numberString(double n, NumeralStyle style);

}  // namespace vorra::engine::format
