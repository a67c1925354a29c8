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

// A number as the host reads one typed in: optional sign or parentheses, digits with
// thousands separators in groups of three, a decimal point, an exponent, a trailing
// percent sign. Digits beyond the fifteenth significant one become zeros.
std::optional<Number> parseNumber(std::string_view s) {
    size_t i = 0;
    bool negative = false;
    bool parenthesised = false;
    if (i < s.size() && s[i] == '(') parenthesised = true, ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (parenthesised) return std::nullopt;
        negative = s[i] == '-';
        ++i;
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
    if (j < s.size() && s[j] == '%') percent = true, i = j + 1;
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
    if (percent)
        n.format = fractionDigits > 0 ? "0.00%" : "0%";
    else if (scientific)
        n.format = "0.00E+00";
    else if (thousands)
        n.format = fractionDigits > 0 ? "#,##0.00" : "#,##0";
    return n;
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
    bool chinese;
};

// "2026-12-07", "2026/12/7", "2026年12月7日" at the start of s.
std::optional<DatePart> readDate(std::string_view s, size_t& i, bool date1904) {
    size_t start = i;
    auto year = readDigits(s, i, 4);
    if (!year || i - start != 4 || i >= s.size()) return std::nullopt;
    bool chinese = false;
    char separator = s[i];
    if (separator == '-' || separator == '/') {
        ++i;
    } else if (readLiteral(s, i, "年")) {
        chinese = true;
    } else {
        return std::nullopt;
    }
    auto month = readDigits(s, i, 2);
    if (!month) return std::nullopt;
    if (chinese ? !readLiteral(s, i, "月") : (i >= s.size() || s[i++] != separator))
        return std::nullopt;
    auto day = readDigits(s, i, 2);
    if (!day) return std::nullopt;
    if (chinese && !readLiteral(s, i, "日")) return std::nullopt;
    auto serial = dateSerial(*year, *month, *day, date1904);
    if (!serial) return std::nullopt;
    return DatePart{*serial, chinese};
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

std::optional<TypedEntry> parseDateTime(std::string_view s, bool date1904) {
    size_t i = 0;
    std::optional<DatePart> date = readDate(s, i, date1904);
    if (!date) i = 0;
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

    TypedEntry e;
    e.isDateOrTime = true;
    std::string timeFormat;
    if (time) {
        timeFormat = time->seconds ? "h:mm:ss" : "h:mm";
        if (time->twelveHour) timeFormat += " AM/PM";
    }
    if (date) {
        e.impliedFormat = date->chinese ? "yyyy\"年\"m\"月\"d\"日\"" : "yyyy/m/d";
        if (time) e.impliedFormat += " " + timeFormat;
    } else {
        e.impliedFormat = timeFormat;
    }
    e.value = Value::number((date ? date->serial : 0) + (time ? time->fraction : 0));
    return e;
}

// "12/7" or "12-7": that day of the current year.
std::optional<TypedEntry> parseMonthDay(std::string_view s, int currentYear, bool date1904) {
    size_t i = 0;
    auto month = readDigits(s, i, 2);
    if (!month || i >= s.size() || (s[i] != '/' && s[i] != '-')) return std::nullopt;
    ++i;
    auto day = readDigits(s, i, 2);
    if (!day || i != s.size()) return std::nullopt;
    auto serial = dateSerial(currentYear, *month, *day, date1904);
    if (!serial) return std::nullopt;
    return TypedEntry{Value::number(*serial), "m\"月\"d\"日\"", true};
}

}  // namespace

std::optional<double> dateSerial(int year, int month, int day, bool date1904) {
    if (month < 1 || month > 12 || day < 1 || year > 9999) return std::nullopt;
    if (date1904) {
        if (year < 1904 || day > format::daysInMonth(year, month)) return std::nullopt;
        // 1904-01-01 is day 0 of the 1904 system.
        return format::dateToSerial(year, month, day) - format::dateToSerial(1904, 1, 1);
    }
    if (year < 1900) return std::nullopt;
    if (year == 1900 && month == 2 && day == 29) return 60.0;  // the host's fictitious day
    if (day > format::daysInMonth(year, month)) return std::nullopt;
    return format::dateToSerial(year, month, day);
}

TypedEntry parseTypedEntry(std::string_view typed, bool cellIsText, bool date1904,
                           int currentYear) {
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
        if (auto n = parseNumber(s)) return {Value::number(n->value), n->format, false};
        if (auto d = parseDateTime(s, date1904)) return *d;
        if (currentYear > 0) {
            if (auto d = parseMonthDay(s, currentYear, date1904)) return *d;
        }
    }
    return {Value::text(std::string(typed)), {}, false};
}

}  // namespace vorra::engine
