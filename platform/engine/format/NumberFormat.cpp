// Display of values under a number format code: digit placeholders, thousands
// separators, percent, date and time fields, literal text, and the Chinese numeral
// modifiers [DBNum1] to [DBNum3]. The code is parsed by parseFormatCode; a workbook
// keeps the parsed codes in its NumberFormats.
#include "platform/engine/format/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "platform/engine/format/ChineseNumerals.h"
#include "platform/engine/format/DateSerial.h"

namespace vorra::engine {

namespace {

using format::DateField;
using format::FormatSection;
using format::ItemKind;
using format::NumeralStyle;

// Codes a workbook's cache holds at most; TEXT() with codes computed cell by cell
// could otherwise grow it without bound. When full it starts over.
constexpr size_t kMaxCachedCodes = 4096;

// Decimal rounding of the number the user sees (15 significant digits first).
double roundDecimal(double x, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", x);
    double clean = std::strtod(buf, nullptr);
    double factor = std::pow(10.0, decimals);
    double scaled = clean * factor;
    std::snprintf(buf, sizeof buf, "%.15g", scaled);
    scaled = std::strtod(buf, nullptr);
    return std::copysign(std::floor(std::fabs(scaled) + 0.5), scaled) / factor;
}

std::string groupThousands(const std::string& digits) {
    std::string out;
    int n = static_cast<int>(digits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += ',';
        out += digits[static_cast<size_t>(i)];
    }
    return out;
}

// The host's General format: up to eleven characters, exponent form when the number
// does not fit.
std::string formatGeneral(double x, std::optional<NumeralStyle> numerals) {
    if (x == 0) return numerals ? format::integerInWords(0, *numerals) : "0";
    double a = std::fabs(x);
    char buf[64];
    if (a >= 1e11 || a < 1e-9) {
        std::snprintf(buf, sizeof buf, "%.5E", x);
        std::string s = buf;
        auto e = s.find('E');
        std::string mant = s.substr(0, e), exp = s.substr(e + 1);
        while (mant.find('.') != std::string::npos && (mant.back() == '0' || mant.back() == '.')) {
            bool dot = mant.back() == '.';
            mant.pop_back();
            if (dot) break;
        }
        char sign = exp[0];
        std::string digits = exp.substr(1);
        while (digits.size() > 2 && digits[0] == '0') digits.erase(0, 1);
        return mant + "E" + sign + digits;
    }
    int intDigits = a < 1 ? 1 : static_cast<int>(std::floor(std::log10(a))) + 1;
    int decimals = std::max(0, 11 - intDigits - 1 - (x < 0 ? 1 : 0));
    decimals = std::min(decimals, std::max(0, 15 - intDigits));
    double r = roundDecimal(x, decimals);
    std::snprintf(buf, sizeof buf, "%.*f", decimals, r);
    std::string s = buf;
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    if (s == "-0") s = "0";
    if (!numerals) return s;
    bool negative = s[0] == '-';
    std::string body = negative ? s.substr(1) : s;
    auto dot = body.find('.');
    std::string whole = body.substr(0, dot);
    std::string out = (negative ? "-" : "") +
                      format::integerInWords(std::strtoull(whole.c_str(), nullptr, 10), *numerals);
    if (dot != std::string::npos) out += "." + format::digitByDigit(body.substr(dot + 1), *numerals);
    return out;
}

std::string formatNumber(double x, const FormatSection& sec, bool showSign) {
    // More than 30 decimals or 10 percent signs show nothing more of a double.
    double v = std::fabs(x) * std::pow(100.0, std::min(sec.percent, 10));
    int decimals = std::min(static_cast<int>(sec.fraction.size()), 30);
    if (!std::isfinite(v) || v >= 1e300) return "#NUM!";
    double r = roundDecimal(v, decimals);
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, r);
    std::string s = buf;
    auto dot = s.find('.');
    std::string whole = s.substr(0, dot);
    std::string frac = dot == std::string::npos ? "" : s.substr(dot + 1);
    if (whole == "0") whole.clear();
    while (static_cast<int>(whole.size()) < sec.integerZeros) whole.insert(whole.begin(), '0');
    std::string wholeText;
    if (sec.numerals) {
        wholeText = whole.empty() && sec.integerZeros == 0
                        ? ""
                        : format::integerInWords(std::strtoull(whole.c_str(), nullptr, 10), *sec.numerals);
    } else {
        wholeText = sec.grouping ? groupThousands(whole) : whole;
    }
    // Fraction placeholders: '0' always shows, '#' drops trailing zeros, '?' gives a blank.
    std::string fracText;
    if (frac.size() < sec.fraction.size()) frac.append(sec.fraction.size() - frac.size(), '0');
    int keep = static_cast<int>(frac.size());
    while (keep > 0 && frac[static_cast<size_t>(keep - 1)] == '0' && sec.fraction[static_cast<size_t>(keep - 1)] != '0') --keep;
    for (int i = 0; i < static_cast<int>(frac.size()); ++i) {
        std::string digit(1, frac[static_cast<size_t>(i)]);
        if (i >= keep) digit = sec.fraction[static_cast<size_t>(i)] == '?' ? " " : "";
        fracText += sec.numerals ? format::digitByDigit(digit, *sec.numerals) : digit;
    }
    bool isZero = r == 0;
    std::string out = showSign && x < 0 && !isZero ? "-" : "";
    size_t fracPos = 0;
    for (const auto& it : sec.items) {
        switch (it.kind) {
            case ItemKind::Literal: out += it.text; break;
            case ItemKind::Integer: out += wholeText; wholeText.clear(); break;
            case ItemKind::Point:
                if (keep > 0 || sec.fraction.find_first_of("0?") != std::string::npos) out += '.';
                break;
            case ItemKind::Fraction:
                if (fracPos == 0) out += fracText;
                ++fracPos;
                break;
            case ItemKind::General: out += formatGeneral(std::fabs(x), sec.numerals); break;
            case ItemKind::Text: out += formatGeneral(std::fabs(x), sec.numerals); break;
            default: break;
        }
    }
    return out;
}

const char* const kMonthNames[] = {"January", "February", "March", "April", "May", "June", "July",
                                   "August", "September", "October", "November", "December"};
const char* const kDayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const kChineseDays[] = {"日", "一", "二", "三", "四", "五", "六"};

std::string formatDate(double serial, const FormatSection& sec, format::DateSystem dates) {
    if (serial < format::kFirstDateSerial || serial >= format::lastDateSerial(dates) + 1) return std::string(11, '#');
    double whole = std::floor(serial);
    int secs = format::secondsOfDay(serial);
    if (secs >= 86400) secs = 86399;
    auto date = format::serialToDate(whole, dates);
    // Serial 1 of the 1900 system was a Sunday.
    int weekday = static_cast<int>(std::fmod(format::serialIn1900(whole, dates) + 6, 7));
    int hour = secs / 3600, minute = secs / 60 % 60, second = secs % 60;
    int shownHour = sec.amPm ? (hour % 12 == 0 ? 12 : hour % 12) : hour;

    // A number field: with DBNum, the year digit by digit and other fields in words.
    auto field = [&](long long n, int width, bool isYear) {
        std::string digits = std::to_string(n);
        while (static_cast<int>(digits.size()) < width) digits.insert(digits.begin(), '0');
        if (!sec.numerals) return digits;
        if (isYear) return format::digitByDigit(digits, *sec.numerals);
        std::string words =
            format::integerInWords(static_cast<std::uint64_t>(n), *sec.numerals, format::NumeralUse::DatePart);
        if (width == 2 && n < 10 && n > 0) words = format::digitByDigit("0", *sec.numerals) + words;
        return words;
    };
    auto dateField = [&](DateField f) -> std::string {
        switch (f) {
            case DateField::YearOfCentury: return field(date.year % 100, 2, true);
            case DateField::Year: return field(date.year, 4, true);
            case DateField::Month: return field(date.month, 1, false);
            case DateField::Month2: return field(date.month, 2, false);
            case DateField::MonthAbbreviation: return std::string(kMonthNames[date.month - 1]).substr(0, 3);
            case DateField::MonthInitial: return std::string(kMonthNames[date.month - 1]).substr(0, 1);
            case DateField::MonthName: return kMonthNames[date.month - 1];
            case DateField::Day: return field(date.day, 1, false);
            case DateField::Day2: return field(date.day, 2, false);
            case DateField::WeekdayAbbreviation: return std::string(kDayNames[weekday]).substr(0, 3);
            case DateField::WeekdayName: return kDayNames[weekday];
            case DateField::ChineseWeekday: return kChineseDays[weekday];
            case DateField::ChineseWeekdayWithPrefix: return std::string("星期") + kChineseDays[weekday];
            case DateField::Hour: return field(shownHour, 1, false);
            case DateField::Hour2: return field(shownHour, 2, false);
            case DateField::Minute: return field(minute, 1, false);
            case DateField::Minute2: return field(minute, 2, false);
            case DateField::Second: return field(second, 1, false);
            case DateField::Second2: return field(second, 2, false);
            case DateField::ElapsedHours: return field(static_cast<long long>(whole) * 24 + hour, 1, false);
            case DateField::ElapsedMinutes:
                return field((static_cast<long long>(whole) * 24 + hour) * 60 + minute, 1, false);
            case DateField::ElapsedSeconds:
                return field(static_cast<long long>(std::llround(serial * 86400)), 1, false);
            case DateField::None: break;
        }
        return {};
    };
    std::string out;
    for (const auto& it : sec.items) {
        if (it.kind == ItemKind::Literal) out += it.text;
        else if (it.kind == ItemKind::AmPm) out += hour < 12 ? "AM" : "PM";
        else if (it.kind == ItemKind::DatePart) out += dateField(it.field);
    }
    return out;
}

std::string formatText(const std::string& text, const FormatSection& sec) {
    std::string out;
    for (const auto& it : sec.items) {
        if (it.kind == ItemKind::Literal) out += it.text;
        else if (it.kind == ItemKind::Text) out += text;
    }
    return out;
}

}  // namespace

std::string formatValue(const host::Value& value, const format::FormatCode& code, format::DateSystem dates) {
    if (value.isBoolean()) return value.asBoolean() ? "TRUE" : "FALSE";
    if (value.isError()) return host::errorText(value.asError());
    if (value.isEmpty()) return {};
    const auto& parts = code.sections;
    if (value.isText()) {
        // The fourth section (or a lone text section) formats texts.
        const FormatSection* textPart = nullptr;
        if (parts.size() >= 4) textPart = &parts[3];
        else if (parts.size() == 1 && parts[0].mentionsText) textPart = &parts[0];
        if (!textPart) return value.asText();
        return formatText(value.asText(), *textPart);
    }
    double x = value.asNumber();
    size_t index = 0;
    bool showSign = true;
    if (x < 0 && parts.size() >= 2) {
        index = 1;
        showSign = false;
    } else if (x == 0 && parts.size() >= 3) {
        index = 2;
    }
    const FormatSection& sec = parts[index];
    if (sec.emptyCode) return {};  // "0;;" hides negative numbers and zero
    if (sec.isDate) return formatDate(x, sec, dates);
    if (sec.general || (!sec.hasDigits && sec.items.empty())) {
        std::string g = formatGeneral(std::fabs(x), sec.numerals);
        std::string out = showSign && x < 0 ? "-" : "";
        bool placed = false;
        for (const auto& it : sec.items) {
            if (it.kind == ItemKind::Literal) out += it.text;
            else if (it.kind == ItemKind::General && !placed) out += g, placed = true;
        }
        if (!placed) out += g;
        return out;
    }
    if (!sec.hasDigits) return formatText("", sec);  // literal-only section
    return formatNumber(x, sec, showSign);
}

std::string formatValue(const host::Value& value, const std::string& code, format::DateSystem dates) {
    return formatValue(value, format::parseFormatCode(code), dates);
}

bool isDateFormat(const std::string& code) { return format::parseFormatCode(code).sections.front().isDate; }

const format::FormatCode& NumberFormats::compiled(const std::string& code) const {
    if (auto it = codes_.find(code); it != codes_.end()) return it->second;
    if (codes_.size() >= kMaxCachedCodes) codes_.clear();
    return codes_.emplace(code, format::parseFormatCode(code)).first->second;
}

}  // namespace vorra::engine
