#include "platform/engine/host/TypedEntry.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "platform/engine/format/DateSerial.h"

namespace vorra::engine {

using host::Value;

namespace {

constexpr double kLargestNumber = 9.99999999999999e307;
constexpr int kSignificantDigits = 15;  // the host keeps no more than these of a typed number

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string_view trimBlanks(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    return s.substr(b, e - b);
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

struct Number {
    double value = 0;
    std::string format;
};

// The currency symbol at s[i] ("$", "¥" or the full-width "￥"), or nothing.
std::string_view currencyAt(std::string_view s, size_t i) {
    for (std::string_view symbol : {"$", "\xC2\xA5", "\xEF\xBF\xA5"})
        if (s.substr(i, symbol.size()) == symbol) return symbol;
    return {};
}

// A number as the host reads one typed in: optional sign or parentheses, a currency
// symbol before or after the sign, digits with thousands separators in groups of
// three, a decimal point, an exponent, a trailing percent sign. Digits beyond the
// fifteenth significant one become zeros.
std::optional<Number> parseNumber(std::string_view s) {
    size_t i = 0;
    bool negative = false;
    bool parenthesised = false;
    if (i < s.size() && s[i] == '(') parenthesised = true, ++i;
    std::string_view currency = currencyAt(s, i);
    i += currency.size();
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (parenthesised) return std::nullopt;
        negative = s[i] == '-';
        ++i;
    }
    if (currency.empty()) {
        currency = currencyAt(s, i);
        i += currency.size();
    }
    std::string mantissa;  // every digit before and after the point
    int pointPosition = 0;  // digits before the point
    bool thousands = false;
    int groupLength = 0;
    for (; i < s.size(); ++i) {
        if (isDigit(s[i])) {
            mantissa += s[i];
            ++pointPosition;
            ++groupLength;
        } else if (s[i] == ',') {
            if (pointPosition == 0) return std::nullopt;
            if (thousands ? groupLength != 3 : groupLength > 3) return std::nullopt;
            thousands = true;
            groupLength = 0;
        } else {
            break;
        }
    }
    if (thousands && groupLength != 3) return std::nullopt;
    int fractionDigits = 0;
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && isDigit(s[i]); ++i) {
            mantissa += s[i];
            ++fractionDigits;
        }
    }
    if (mantissa.empty()) return std::nullopt;
    bool scientific = false;
    int exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) negativeExponent = s[i++] == '-';
        size_t start = i;
        for (; i < s.size() && isDigit(s[i]); ++i) {
            if (i - start >= 4) return std::nullopt;
            exponent = exponent * 10 + (s[i] - '0');
        }
        if (i == start) return std::nullopt;
        if (negativeExponent) exponent = -exponent;
        scientific = true;
    }
    if (parenthesised) {
        if (i >= s.size() || s[i] != ')') return std::nullopt;
        ++i;
        negative = true;
    }
    bool percent = false;
    size_t j = i;
    while (j < s.size() && s[j] == ' ') ++j;
    if (j < s.size() && s[j] == '%' && currency.empty()) percent = true, i = j + 1;
    if (i != s.size()) return std::nullopt;

    // Keep fifteen significant digits; the host drops the rest to zeros.
    size_t firstSignificant = mantissa.find_first_not_of('0');
    if (firstSignificant != std::string::npos) {
        for (size_t k = firstSignificant + kSignificantDigits; k < mantissa.size(); ++k)
            mantissa[k] = '0';
    }
    std::string literal = mantissa + "e" + std::to_string(exponent - fractionDigits);
    double value = std::strtod(literal.c_str(), nullptr);
    if (percent) value /= 100;
    if (!std::isfinite(value) || value > kLargestNumber) return std::nullopt;
    if (negative) value = -value;

    Number n{value, {}};
    if (!currency.empty())
        n.format = std::string(currency) + (fractionDigits > 0 ? "#,##0.00" : "#,##0");
    else if (percent)
        n.format = fractionDigits > 0 ? "0.00%" : "0%";
    else if (scientific)
        n.format = "0.00E+00";
    else if (thousands)
        n.format = fractionDigits > 0 ? "#,##0.00" : "#,##0";
    return n;
}

// A whole number and a fraction: "1 1/2", "-2 3/4", "0 1/3".
std::optional<Number> parseMixedFraction(std::string_view s) {
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    auto digits = [&](size_t maxDigits) -> std::optional<double> {
        size_t start = i;
        double v = 0;
        while (i < s.size() && isDigit(s[i])) v = v * 10 + (s[i++] - '0');
        if (i == start || i - start > maxDigits) return std::nullopt;
        return v;
    };
    auto whole = digits(15);
    if (!whole || i >= s.size() || s[i] != ' ') return std::nullopt;
    while (i < s.size() && s[i] == ' ') ++i;
    size_t numeratorStart = i;
    auto numerator = digits(5);
    if (!numerator || i >= s.size() || s[i] != '/') return std::nullopt;
    size_t numeratorDigits = i - numeratorStart;
    ++i;
    auto denominator = digits(5);
    if (!denominator || *denominator == 0 || i != s.size()) return std::nullopt;
    (void)numeratorDigits;
    double value = *whole + *numerator / *denominator;
    // The host shows the entry as a fraction; number formats here have no fraction
    // field, so the cell keeps the general format.
    return Number{negative ? -value : value, {}};
}

// Reads 1 to maxDigits digits at s[i]; advances i.
std::optional<int> readDigits(std::string_view s, size_t& i, size_t maxDigits) {
    size_t start = i;
    int v = 0;
    while (i < s.size() && isDigit(s[i]) && i - start < maxDigits) v = v * 10 + (s[i++] - '0');
    if (i == start) return std::nullopt;
    if (i < s.size() && isDigit(s[i])) return std::nullopt;  // too many digits
    return v;
}

bool readLiteral(std::string_view s, size_t& i, std::string_view literal) {
    if (s.substr(i, literal.size()) != literal) return false;
    i += literal.size();
    return true;
}

struct DatePart {
    double serial;
    std::string format;
};

const char* const kMonthAbbreviations[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                           "jul", "aug", "sep", "oct", "nov", "dec"};

// An English month name or its first three letters at s[i], in any case; advances i.
std::optional<int> readMonthName(std::string_view s, size_t& i) {
    static const char* const kFull[] = {"january", "february", "march", "april", "may", "june", "july",
                                        "august", "september", "october", "november", "december"};
    for (int m = 0; m < 12; ++m) {
        for (std::string_view name : {std::string_view(kFull[m]), std::string_view(kMonthAbbreviations[m])}) {
            if (i + name.size() <= s.size() && equalsIgnoringAsciiCase(s.substr(i, name.size()), name) &&
                (i + name.size() == s.size() || !std::isalpha(static_cast<unsigned char>(s[i + name.size()])))) {
                i += name.size();
                return m + 1;
            }
        }
    }
    return std::nullopt;
}

// The dates a cell accepts at the start of s: "2026-12-07", "2026/12/7",
// "2026年12月7日", "7-Dec-2026" (or "7-Dec-26", "7 December 2026"), and, when the
// current year is known, a month and day of it: "12/7", "12-7", "12月7日", "7-Dec".
std::optional<DatePart> readDate(std::string_view s, size_t& i, format::DateSystem dates, int currentYear) {
    const size_t start = i;
    auto fail = [&] {
        i = start;
        return std::nullopt;
    };
    auto first = readDigits(s, i, 4);
    if (!first || i >= s.size()) return fail();
    const size_t firstDigits = i - start;
    // Year first: "2026-12-07", "2026/12/7", "2026年12月7日".
    if (firstDigits == 4) {
        bool chinese = false;
        char separator = s[i];
        if (separator == '-' || separator == '/') ++i;
        else if (readLiteral(s, i, "年")) chinese = true;
        else return fail();
        auto month = readDigits(s, i, 2);
        if (!month) return fail();
        if (chinese ? !readLiteral(s, i, "月") : (i >= s.size() || s[i++] != separator)) return fail();
        auto day = readDigits(s, i, 2);
        if (!day || (chinese && !readLiteral(s, i, "日"))) return fail();
        auto serial = dateSerial(*first, *month, *day, dates);
        if (!serial) return fail();
        return DatePart{*serial, chinese ? "yyyy\"年\"m\"月\"d\"日\"" : "yyyy/m/d"};
    }
    if (firstDigits > 2) return fail();
    // Day and month name: "7-Dec-2026", "7 Dec 26", "7-Dec".
    if (s[i] == '-' || s[i] == ' ' || s[i] == '/') {
        char separator = s[i];
        size_t k = i + 1;
        if (auto month = readMonthName(s, k)) {
            i = k;
            int year = currentYear;
            std::string format = "d-mmm";
            if (i < s.size() && s[i] == separator && i + 1 < s.size() && isDigit(s[i + 1])) {
                ++i;
                size_t yearStart = i;
                auto y = readDigits(s, i, 4);
                if (!y || (i - yearStart != 2 && i - yearStart != 4)) return fail();
                // Two-digit years: 00 to 29 are this century, 30 to 99 the last.
                year = i - yearStart == 4 ? *y : *y + (*y < 30 ? 2000 : 1900);
                format = "d-mmm-yy";
            }
            if (year <= 0) return fail();
            auto serial = dateSerial(year, *month, *first, dates);
            if (!serial) return fail();
            return DatePart{*serial, format};
        }
    }
    // Month and day of the current year: "12/7", "12-7", "12月7日".
    if (currentYear <= 0) return fail();
    bool chinese = false;
    char separator = s[i];
    if (separator == '/' || separator == '-') ++i;
    else if (readLiteral(s, i, "月")) chinese = true;
    else return fail();
    auto day = readDigits(s, i, 2);
    if (!day || (chinese && !readLiteral(s, i, "日"))) return fail();
    // "12-7-2026" and the like are no month and day.
    if (i < s.size() && (s[i] == '/' || s[i] == '-')) return fail();
    auto serial = dateSerial(currentYear, *first, *day, dates);
    if (!serial) return fail();
    return DatePart{*serial, "m\"月\"d\"日\""};
}

struct TimePart {
    double fraction;
    bool seconds;
    bool twelveHour;
};

// "9:05", "09:05:30", "9:05 PM" from s[i] to the end of s.
std::optional<TimePart> readTime(std::string_view s, size_t& i) {
    auto hour = readDigits(s, i, 2);
    if (!hour || !readLiteral(s, i, ":")) return std::nullopt;
    auto minute = readDigits(s, i, 2);
    if (!minute || *minute > 59) return std::nullopt;
    int second = 0;
    bool withSeconds = false;
    if (i < s.size() && s[i] == ':') {
        ++i;
        auto sec = readDigits(s, i, 2);
        if (!sec || *sec > 59) return std::nullopt;
        second = *sec;
        withSeconds = true;
    }
    bool twelveHour = false;
    size_t j = i;
    while (j < s.size() && s[j] == ' ') ++j;
    std::string_view rest = s.substr(j);
    int h = *hour;
    if (equalsIgnoringAsciiCase(rest, "AM") || equalsIgnoringAsciiCase(rest, "PM")) {
        if (h < 1 || h > 12) return std::nullopt;
        bool pm = equalsIgnoringAsciiCase(rest, "PM");
        h = h % 12 + (pm ? 12 : 0);
        twelveHour = true;
        i = s.size();
    } else if (h > 23) {
        return std::nullopt;
    }
    return TimePart{(h * 3600 + *minute * 60 + second) / 86400.0, withSeconds, twelveHour};
}

std::optional<TextNumber> readDateTime(std::string_view s, format::DateSystem dates, int currentYear) {
    size_t i = 0;
    std::optional<DatePart> date = readDate(s, i, dates, currentYear);
    std::optional<TimePart> time;
    if (i < s.size()) {
        if (date) {
            if (s[i] != ' ') return std::nullopt;
            while (i < s.size() && s[i] == ' ') ++i;
        }
        time = readTime(s, i);
        if (!time) return std::nullopt;
    }
    if (i != s.size() || (!date && !time)) return std::nullopt;

    TextNumber n;
    n.hasDate = date.has_value();
    n.hasTime = time.has_value();
    std::string timeFormat;
    if (time) {
        timeFormat = time->seconds ? "h:mm:ss" : "h:mm";
        if (time->twelveHour) timeFormat += " AM/PM";
    }
    if (date) {
        n.impliedFormat = date->format;
        if (time) n.impliedFormat += " " + timeFormat;
    } else {
        n.impliedFormat = timeFormat;
    }
    n.value = (date ? date->serial : 0) + (time ? time->fraction : 0);
    return n;
}

// Whether a text can start a number, date or time at all: most texts cannot, and are
// told apart at their first character.
bool mayBeNumber(std::string_view s) {
    char c = s[0];
    return isDigit(c) || c == '+' || c == '-' || c == '.' || c == '(' || !currencyAt(s, 0).empty();
}

}  // namespace

std::optional<double> dateSerial(int year, int month, int day, format::DateSystem dates) {
    if (month < 1 || month > 12 || day < 1 || year > 9999) return std::nullopt;
    if (dates == format::DateSystem::From1904) {
        if (year < 1904 || day > format::daysInMonth(year, month)) return std::nullopt;
        return format::dateToSerial(year, month, day, dates);
    }
    if (year < 1900) return std::nullopt;
    if (year == 1900 && month == 2 && day == 29) return 60.0;  // the host's fictitious day
    if (day > format::daysInMonth(year, month)) return std::nullopt;
    return format::dateToSerial(year, month, day);
}

std::optional<TextNumber> readTextNumber(std::string_view text, format::DateSystem dates, int currentYear) {
    std::string_view s = trimBlanks(text);
    if (s.empty() || !mayBeNumber(s)) return std::nullopt;
    if (auto n = parseNumber(s)) return TextNumber{n->value, false, false, n->format};
    if (auto n = parseMixedFraction(s)) return TextNumber{n->value, false, false, n->format};
    return readDateTime(s, dates, currentYear);
}

TypedEntry parseTypedEntry(std::string_view typed, bool cellIsText, format::DateSystem dates, int currentYear) {
    if (typed.empty()) return {};
    if (typed.front() == '\'') return {Value::text(std::string(typed.substr(1))), {}, false};
    if (cellIsText) return {Value::text(std::string(typed)), {}, false};

    std::string_view s = trimBlanks(typed);
    if (!s.empty()) {
        if (equalsIgnoringAsciiCase(s, "TRUE")) return {Value::boolean(true), {}, false};
        if (equalsIgnoringAsciiCase(s, "FALSE")) return {Value::boolean(false), {}, false};
        if (s.front() == '#') {
            if (auto e = host::errorFromText(s, true)) return {Value::error(*e), {}, false};
        }
        if (auto n = readTextNumber(s, dates, currentYear))
            return {Value::number(n->value), n->impliedFormat, n->hasDate || n->hasTime};
    }
    return {Value::text(std::string(typed)), {}, false};
}

}  // namespace vorra::engine
