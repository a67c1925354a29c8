// Display of values under a number format code: sections, digit placeholders,
// thousands separators, percent, date and time codes, quoted and escaped literal
// text, and the Chinese numeral modifiers [DBNum1] to [DBNum3].
#include "platform/engine/format/NumberFormat.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/engine/format/ChineseNumerals.h"
#include "platform/engine/format/DateSerial.h"

namespace vorra::engine {

namespace {

using format::NumeralStyle;

// Longest format code looked at; the host refuses longer ones.
constexpr size_t kMaxFormatLength = 255 * 4;

enum class ItemKind { Literal, Integer, Fraction, Point, Percent, DatePart, Text, General, AmPm };

struct Item {
    ItemKind kind;
    std::string text;  // literal text, or the date code ("yyyy", "m", "mm", …, "[h]")
};

struct Section {
    std::vector<Item> items;
    std::optional<NumeralStyle> numerals;  // [DBNumN]
    bool isDate = false;
    bool grouping = false;   // a "," between digit placeholders
    int percent = 0;
    int integerZeros = 0;    // '0' placeholders before the point
    std::string fraction;    // placeholders after the point, in order ("00", "0#")
    bool hasPoint = false;
    bool hasDigits = false;
};

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// Splits the code into sections at ";" outside quotes, brackets and escapes.
std::vector<std::string> splitSections(const std::string& code) {
    std::vector<std::string> out(1);
    bool quoted = false, bracket = false;
    for (size_t i = 0; i < code.size(); ++i) {
        char c = code[i];
        if (!quoted && !bracket && c == '\\' && i + 1 < code.size()) {
            out.back() += c;
            out.back() += code[++i];
            continue;
        }
        if (c == '"' && !bracket) quoted = !quoted;
        else if (c == '[' && !quoted) bracket = true;
        else if (c == ']' && !quoted) bracket = false;
        if (c == ';' && !quoted && !bracket) {
            out.emplace_back();
            continue;
        }
        out.back() += c;
    }
    return out;
}

Section parseSection(const std::string& s) {
    Section sec;
    bool afterPoint = false;
    auto literal = [&](std::string t) {
        if (!sec.items.empty() && sec.items.back().kind == ItemKind::Literal) sec.items.back().text += t;
        else sec.items.push_back({ItemKind::Literal, std::move(t)});
    };
    for (size_t i = 0; i < s.size();) {
        char c = s[i];
        char lc = lower(c);
        if (c == '"') {
            size_t end = s.find('"', i + 1);
            if (end == std::string::npos) end = s.size();
            literal(s.substr(i + 1, end - i - 1));
            i = end + 1;
        } else if (c == '\\') {
            if (i + 1 < s.size()) {
                // One escaped character, which may be several UTF-8 bytes.
                size_t j = i + 2;
                while (j < s.size() && (static_cast<unsigned char>(s[j]) & 0xC0) == 0x80) ++j;
                literal(s.substr(i + 1, j - i - 1));
                i = j;
            } else {
                ++i;
            }
        } else if (c == '_') {
            literal(" ");
            i += 2;
        } else if (c == '*') {
            i += 2;  // fill character: no column width to fill here
        } else if (c == '[') {
            size_t end = s.find(']', i);
            if (end == std::string::npos) end = s.size();
            std::string inside = s.substr(i + 1, end - i - 1);
            std::string li;
            for (char ch : inside) li += lower(ch);
            if (li.rfind("dbnum", 0) == 0 && li.size() == 6 && li[5] >= '1' && li[5] <= '3') {
                sec.numerals = static_cast<NumeralStyle>(li[5] - '0');
            } else if (li == "h" || li == "hh" || li == "m" || li == "mm" || li == "s" || li == "ss") {
                sec.items.push_back({ItemKind::DatePart, "[" + li.substr(0, 1) + "]"});
                sec.isDate = true;
            } else if (!li.empty() && li[0] == '$') {
                // Currency and locale: "[$¥-804]" shows "¥".
                size_t dash = inside.find('-');
                literal(inside.substr(1, dash == std::string::npos ? std::string::npos : dash - 1));
            }
            // Colours and conditions do not change the text.
            i = end + 1;
        } else if (s.compare(i, 7, "General") == 0 || s.compare(i, 7, "general") == 0 ||
                   s.compare(i, 7, "GENERAL") == 0) {
            sec.items.push_back({ItemKind::General, ""});
            i += 7;
        } else if (s.compare(i, std::string_view("G/通用格式").size(), "G/通用格式") == 0) {
            sec.items.push_back({ItemKind::General, ""});
            i += std::string_view("G/通用格式").size();
        } else if (c == '0' || c == '#' || c == '?') {
            sec.hasDigits = true;
            if (afterPoint) {
                sec.fraction += c;
                sec.items.push_back({ItemKind::Fraction, std::string(1, c)});
            } else {
                if (c == '0') ++sec.integerZeros;
                if (sec.items.empty() || sec.items.back().kind != ItemKind::Integer)
                    sec.items.push_back({ItemKind::Integer, ""});
            }
            ++i;
        } else if (c == ',' ) {
            if (sec.hasDigits && !afterPoint && i + 1 < s.size() && (s[i + 1] == '0' || s[i + 1] == '#' || s[i + 1] == '?'))
                sec.grouping = true;
            else if (!sec.hasDigits)
                literal(",");
            ++i;
        } else if (c == '.' && !sec.isDate) {
            if (!afterPoint) {
                afterPoint = true;
                sec.hasPoint = true;
                sec.items.push_back({ItemKind::Point, "."});
            } else {
                literal(".");
            }
            ++i;
        } else if (c == '%') {
            ++sec.percent;
            literal("%");
            ++i;
        } else if (c == '@') {
            sec.items.push_back({ItemKind::Text, ""});
            ++i;
        } else if (lc == 'y' || lc == 'm' || lc == 'd' || lc == 'h' || lc == 's' || lc == 'e' || lc == 'a') {
            if (lc == 'a' && (s.compare(i, 5, "AM/PM") == 0 || s.compare(i, 5, "am/pm") == 0)) {
                sec.items.push_back({ItemKind::AmPm, "AM/PM"});
                sec.isDate = true;
                i += 5;
                continue;
            }
            if (lc == 'a' && (i + 2 >= s.size() || lower(s[i + 1]) != 'a' || lower(s[i + 2]) != 'a')) {
                literal(std::string(1, c));
                ++i;
                continue;
            }
            if (lc == 'e' && !sec.isDate) {
                literal(std::string(1, c));
                ++i;
                continue;
            }
            size_t j = i;
            while (j < s.size() && lower(s[j]) == lc) ++j;
            std::string code(j - i, lc == 'e' ? 'y' : lc);
            sec.items.push_back({ItemKind::DatePart, code});
            sec.isDate = true;
            i = j;
        } else {
            // Any other character (年, 月, -, /, :, blanks, …) stands for itself.
            size_t j = i + 1;
            while (j < s.size() && (static_cast<unsigned char>(s[j]) & 0xC0) == 0x80) ++j;
            literal(s.substr(i, j - i));
            i = j;
        }
    }
    // "m" and "mm" right after an hour or right before seconds are minutes.
    for (size_t k = 0; k < sec.items.size(); ++k) {
        Item& it = sec.items[k];
        if (it.kind != ItemKind::DatePart || (it.text != "m" && it.text != "mm")) continue;
        bool minute = false;
        for (size_t p = k; p-- > 0;) {
            if (sec.items[p].kind != ItemKind::DatePart) continue;
            minute = sec.items[p].text[0] == 'h' || sec.items[p].text == "[h]";
            break;
        }
        for (size_t n = k + 1; !minute && n < sec.items.size(); ++n) {
            if (sec.items[n].kind != ItemKind::DatePart) continue;
            minute = sec.items[n].text[0] == 's';
            break;
        }
        if (minute) it.text = it.text == "m" ? "n" : "nn";
    }
    return sec;
}

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

std::string formatNumber(double x, const Section& sec, bool showSign) {
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

std::string formatDate(double serial, const Section& sec) {
    if (serial < 0 || serial >= 2958466) return std::string(11, '#');
    double whole = std::floor(serial);
    int secs = format::secondsOfDay(serial);
    if (secs >= 86400) secs = 86399;
    auto date = format::serialToDate(whole);
    int weekday = static_cast<int>(std::fmod(whole + 6, 7));  // serial 1 was a Sunday
    int hour = secs / 3600, minute = secs / 60 % 60, second = secs % 60;
    bool ampm = false;
    for (const auto& it : sec.items) ampm = ampm || it.kind == ItemKind::AmPm;
    int shownHour = ampm ? (hour % 12 == 0 ? 12 : hour % 12) : hour;

    // A number field: with DBNum, the year digit by digit and other fields in words.
    auto field = [&](long long n, int width, bool isYear) {
        std::string digits = std::to_string(n);
        while (static_cast<int>(digits.size()) < width) digits.insert(digits.begin(), '0');
        if (!sec.numerals) return digits;
        if (isYear) return format::digitByDigit(digits, *sec.numerals);
        std::string words = format::integerInWords(static_cast<std::uint64_t>(n), *sec.numerals);
        if (width == 2 && n < 10 && n > 0) words = format::digitByDigit("0", *sec.numerals) + words;
        return words;
    };
    std::string out;
    for (const auto& it : sec.items) {
        const std::string& c = it.text;
        switch (it.kind) {
            case ItemKind::Literal: out += c; break;
            case ItemKind::AmPm: out += hour < 12 ? "AM" : "PM"; break;
            case ItemKind::DatePart:
                if (c == "yy" || c == "y") out += field(date.year % 100, 2, true);
                else if (c[0] == 'y') out += field(date.year, 4, true);
                else if (c == "m") out += field(date.month, 1, false);
                else if (c == "mm") out += field(date.month, 2, false);
                else if (c == "mmm") out += std::string(kMonthNames[date.month - 1]).substr(0, 3);
                else if (c == "mmmmm") out += std::string(kMonthNames[date.month - 1]).substr(0, 1);
                else if (c[0] == 'm') out += kMonthNames[date.month - 1];
                else if (c == "d") out += field(date.day, 1, false);
                else if (c == "dd") out += field(date.day, 2, false);
                else if (c == "ddd") out += std::string(kDayNames[weekday]).substr(0, 3);
                else if (c[0] == 'd') out += kDayNames[weekday];
                else if (c == "aaa") out += kChineseDays[weekday];
                else if (c[0] == 'a') out += std::string("星期") + kChineseDays[weekday];
                else if (c == "h") out += field(shownHour, 1, false);
                else if (c[0] == 'h') out += field(shownHour, 2, false);
                else if (c == "n") out += field(minute, 1, false);
                else if (c[0] == 'n') out += field(minute, 2, false);
                else if (c == "s") out += field(second, 1, false);
                else if (c[0] == 's') out += field(second, 2, false);
                else if (c == "[h]") out += field(static_cast<long long>(whole) * 24 + hour, 1, false);
                else if (c == "[m]") out += field((static_cast<long long>(whole) * 24 + hour) * 60 + minute, 1, false);
                else if (c == "[s]") out += field(static_cast<long long>(std::llround(serial * 86400)), 1, false);
                break;
            default: break;
        }
    }
    return out;
}

std::string formatText(const std::string& text, const Section& sec) {
    std::string out;
    for (const auto& it : sec.items) {
        if (it.kind == ItemKind::Literal) out += it.text;
        else if (it.kind == ItemKind::Text) out += text;
    }
    return out;
}

}  // namespace

std::string formatValue(const host::Value& value, const std::string& code) {
    if (value.isBoolean()) return value.asBoolean() ? "TRUE" : "FALSE";
    if (value.isError()) return host::errorText(value.asError());
    if (value.isEmpty()) return {};
    std::string fmt = code.size() > kMaxFormatLength ? "General" : code;
    if (fmt.empty()) fmt = "General";
    std::vector<std::string> parts = splitSections(fmt);
    if (value.isText()) {
        // The fourth section (or a lone text section) formats texts.
        const std::string* textPart = nullptr;
        if (parts.size() >= 4) textPart = &parts[3];
        else if (parts.size() == 1 && parts[0].find('@') != std::string::npos) textPart = &parts[0];
        if (!textPart) return value.asText();
        return formatText(value.asText(), parseSection(*textPart));
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
    if (parts[index].empty()) return {};  // "0;;" hides negative numbers and zero
    Section sec = parseSection(parts[index]);
    if (sec.isDate) return formatDate(x, sec);
    bool general = false;
    for (const auto& it : sec.items) general = general || it.kind == ItemKind::General;
    if (general || (!sec.hasDigits && sec.items.empty())) {
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

bool isDateFormat(const std::string& code) {
    if (code.size() > kMaxFormatLength) return false;
    auto parts = splitSections(code);
    return parseSection(parts[0]).isDate;
}

}  // namespace vorra::engine
