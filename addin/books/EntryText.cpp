#include "addin/books/EntryText.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "addin/frame/TextConversion.h"

namespace vorra::books {

namespace {

constexpr std::string_view kFullWidthBlank = "\u3000";
constexpr int kMaxExactDigits = 15;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The text without ASCII blanks, tabs and full-width blanks.
std::string withoutBlanks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (text.substr(i, kFullWidthBlank.size()) == kFullWidthBlank) {
            i += kFullWidthBlank.size();
            continue;
        }
        char c = text[i++];
        if (c != ' ' && c != '\t') out += c;
    }
    return out;
}

// Whether the integer part is plain digits or digits grouped by commas in threes.
bool wellFormedIntegerPart(std::string_view s) {
    if (s.empty()) return false;
    if (s.find(',') == std::string_view::npos) {
        for (char c : s)
            if (!isDigit(c)) return false;
        return true;
    }
    size_t firstComma = s.find(',');
    if (firstComma == 0 || firstComma > 3) return false;
    for (size_t i = 0; i < firstComma; ++i)
        if (!isDigit(s[i])) return false;
    for (size_t i = firstComma; i < s.size(); i += 4) {
        if (s[i] != ',' || i + 4 > s.size()) return false;
        for (size_t k = i + 1; k < i + 4; ++k)
            if (!isDigit(s[k])) return false;
    }
    return true;
}

}  // namespace

std::string accountDigits(std::string_view typed) { return withoutBlanks(typed); }

bool tooLongForACell(std::string_view typed) {
    if (typed.size() <= kMaxCellCharacters) return false;
    size_t characters = 0;
    for (char c : typed)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;
    return characters > kMaxCellCharacters;
}

std::string accountDigitsOfCell(const host::Value& cell) {
    if (cell.isText()) return accountDigits(cell.asText());
    if (!cell.isNumber()) return {};
    double d = cell.asNumber();
    if (!std::isfinite(d) || d < 0 || std::floor(d) != d) return host::numberToText(d);
    char buf[400];
    if (d < 1e15) {
        std::snprintf(buf, sizeof buf, "%.0f", d);
        return buf;
    }
    // Fifteen significant digits, then zeros up to the number's length, as the host
    // shows a whole number of that size.
    std::snprintf(buf, sizeof buf, "%.*e", kMaxExactDigits - 1, d);
    std::string text = buf;
    auto e = text.find('e');
    int exponent = std::stoi(text.substr(e + 1));
    std::string digits;
    for (size_t i = 0; i < e; ++i)
        if (isDigit(text[i])) digits += text[i];
    digits.resize(static_cast<size_t>(exponent) + 1, '0');
    return digits;
}

AmountReading readAmount(std::string_view typed) {
    constexpr std::string_view kIdeographicFullStop = "\u3002";
    std::string s = toHalfWidth(withoutBlanks(typed));
    for (size_t at = s.find(kIdeographicFullStop); at != std::string::npos; at = s.find(kIdeographicFullStop, at))
        s.replace(at, kIdeographicFullStop.size(), ".");
    auto refused = [](AmountProblem problem) { return AmountReading{0, problem}; };

    const bool negative = !s.empty() && s[0] == '-';
    std::string_view number = std::string_view(s).substr(negative ? 1 : 0);
    size_t point = number.find('.');
    std::string_view whole = number.substr(0, point);
    std::string_view decimals = point == std::string_view::npos ? std::string_view() : number.substr(point + 1);
    if (whole.empty() && decimals.empty()) return refused(AmountProblem::NotANumber);
    if (!whole.empty() && !wellFormedIntegerPart(whole)) return refused(AmountProblem::NotANumber);
    for (char c : decimals)
        if (!isDigit(c)) return refused(AmountProblem::NotANumber);

    if (negative) return refused(AmountProblem::NotPositive);
    // Zeros after the last decimal digit change nothing: "12.50" has two decimals.
    decimals = decimals.substr(0, decimals.find_last_not_of('0') + 1);
    if (decimals.size() > 2) return refused(AmountProblem::TooManyDecimals);

    std::string plain;
    for (char c : whole)
        if (c != ',') plain += c;
    size_t firstSignificant = plain.find_first_not_of('0');
    size_t significant =
        (firstSignificant == std::string::npos ? 0 : plain.size() - firstSignificant) + decimals.size();
    if (significant > kMaxExactDigits) return refused(AmountProblem::TooManyDigits);
    if (plain.empty()) plain = "0";
    if (!decimals.empty()) plain += "." + std::string(decimals);
    double value = 0;
    auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (ec != std::errc() || end != plain.data() + plain.size()) return refused(AmountProblem::NotANumber);
    if (value <= 0) return refused(AmountProblem::NotPositive);
    return AmountReading{value, std::nullopt};
}

std::optional<double> parseAmount(std::string_view typed) {
    AmountReading reading = readAmount(typed);
    if (!reading.accepted()) return std::nullopt;
    return reading.value;
}

}  // namespace vorra::books
