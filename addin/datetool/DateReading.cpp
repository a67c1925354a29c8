#include "addin/datetool/DateReading.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <vector>

namespace vorra {

namespace {

struct Token {
    enum Kind { Number, Word } kind;
    std::string text;
};

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// Splits at blanks and the separators of dates; nothing when the text holds anything
// else. Chinese unit characters count as separators.
std::optional<std::vector<Token>> tokens(std::string_view s, std::initializer_list<std::string_view> separators) {
    std::vector<Token> out;
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (std::isdigit(c)) {
            size_t j = i;
            while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
            if (j - i > 4) return std::nullopt;
            out.push_back({Token::Number, std::string(s.substr(i, j - i))});
            i = j;
            continue;
        }
        if (std::isalpha(c)) {
            size_t j = i;
            while (j < s.size() && std::isalpha(static_cast<unsigned char>(s[j]))) ++j;
            std::string word(s.substr(i, j - i));
            for (char& ch : word) ch = char(std::tolower(static_cast<unsigned char>(ch)));
            out.push_back({Token::Word, word});
            i = j;
            continue;
        }
        bool separator = false;
        for (std::string_view sep : separators) {
            if (startsWith(s.substr(i), sep)) {
                i += sep.size();
                separator = true;
                break;
            }
        }
        if (!separator) return std::nullopt;
    }
    return out;
}

int number(const Token& t) { return std::stoi(t.text); }

// January is 1; three letters or the whole name.
int monthOfName(const std::string& word) {
    static const std::array<const char*, 12> names = {"january", "february", "march",     "april",
                                                      "may",     "june",     "july",      "august",
                                                      "september", "october", "november", "december"};
    for (size_t m = 0; m < names.size(); ++m) {
        std::string_view full = names[m];
        if (word == full || (word.size() >= 3 && full.substr(0, word.size()) == word)) return int(m) + 1;
    }
    return 0;
}

std::optional<LocalDateTime> day(int year, int month, int dayOfMonth) {
    if (!isCalendarDate(year, month, dayOfMonth)) return std::nullopt;
    LocalDateTime d;
    d.year = year;
    d.month = month;
    d.day = dayOfMonth;
    return d;
}

}  // namespace

std::optional<LocalDateTime> readDate(std::string_view text) {
    auto parts = tokens(text, {" ", "\t", "-", "/", ".", "年", "月", "日"});
    if (!parts || parts->size() != 3) return std::nullopt;
    const auto& t = *parts;
    auto isNum = [&](size_t i) { return t[i].kind == Token::Number; };
    auto isYear = [&](size_t i) { return isNum(i) && t[i].text.size() == 4; };
    if (isNum(0) && isNum(1) && isNum(2)) {
        if (isYear(0)) return day(number(t[0]), number(t[1]), number(t[2]));
        if (isYear(2)) return day(number(t[2]), number(t[0]), number(t[1]));
        return std::nullopt;
    }
    if (isNum(0) && !isNum(1) && isYear(2))  // 7 December 2026
        return day(number(t[2]), monthOfName(t[1].text), number(t[0]));
    if (!isNum(0) && isNum(1) && isYear(2))  // December 7 2026
        return day(number(t[2]), monthOfName(t[0].text), number(t[1]));
    return std::nullopt;
}

std::optional<LocalDateTime> readTime(std::string_view text) {
    int shift = -1;  // -1 a 24-hour time; 0 before noon; 12 after noon
    auto trimmed = text;
    while (!trimmed.empty() && trimmed.front() == ' ') trimmed.remove_prefix(1);
    if (startsWith(trimmed, "上午")) shift = 0, trimmed.remove_prefix(std::string_view("上午").size());
    else if (startsWith(trimmed, "下午")) shift = 12, trimmed.remove_prefix(std::string_view("下午").size());
    auto parts = tokens(trimmed, {" ", "\t", ":"});
    if (!parts || parts->empty()) return std::nullopt;
    auto t = *parts;
    if (t.back().kind == Token::Word) {
        if (shift >= 0) return std::nullopt;
        if (t.back().text == "am") shift = 0;
        else if (t.back().text == "pm") shift = 12;
        else return std::nullopt;
        t.pop_back();
    }
    if (t.size() < 2 || t.size() > 3) return std::nullopt;
    for (const Token& k : t)
        if (k.kind != Token::Number || k.text.size() > 2) return std::nullopt;
    int hour = number(t[0]), minute = number(t[1]), second = t.size() == 3 ? number(t[2]) : 0;
    if (shift >= 0) {
        if (hour < 1 || hour > 12) return std::nullopt;
        hour = hour % 12 + shift;
    }
    if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
    LocalDateTime d;
    d.hour = hour;
    d.minute = minute;
    d.second = second;
    return d;
}

std::string shortDateText(const LocalDateTime& d) {
    return std::to_string(d.year) + "/" + std::to_string(d.month) + "/" + std::to_string(d.day);
}

std::string dateTimeText(const LocalDateTime& d) {
    char buf[16];
    std::snprintf(buf, sizeof buf, " %d:%02d:%02d", d.hour, d.minute, d.second);
    return shortDateText(d) + buf;
}

}  // namespace vorra
