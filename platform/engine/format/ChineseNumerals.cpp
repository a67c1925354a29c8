#include "platform/engine/format/ChineseNumerals.h"

#include <cmath>

namespace vorra::engine::format {

namespace {

struct Glyphs {
    const char* digits[10];
    const char* units[4];   // "", 十, 百, 千
    const char* groups[4];  // "", 万, 亿, 万亿
};

const Glyphs kOrdinary{{"〇", "一", "二", "三", "四", "五", "六", "七", "八", "九"},
                       {"", "十", "百", "千"},
                       {"", "万", "亿", "万亿"}};
const Glyphs kFinancial{{"零", "壹", "贰", "叁", "肆", "伍", "陆", "柒", "捌", "玖"},
                        {"", "拾", "佰", "仟"},
                        {"", "万", "亿", "万亿"}};
const Glyphs kFullWidth{{"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"},
                        {"", "十", "百", "千"},
                        {"", "万", "亿", "万亿"}};

const Glyphs& glyphs(NumeralStyle s) {
    switch (s) {
        case NumeralStyle::Ordinary: return kOrdinary;
        case NumeralStyle::Financial: return kFinancial;
        case NumeralStyle::Third: return kFullWidth;
    }
    return kOrdinary;
}

}  // namespace

std::string integerInWords(std::uint64_t n, NumeralStyle style, NumeralUse use) {
    const Glyphs& g = glyphs(style);
    if (n == 0) return g.digits[0];
    std::string digits = std::to_string(n);
    if (digits.size() > 16) digits = digits.substr(digits.size() - 16);
    std::string out;
    bool pendingZero = false;
    bool groupHasDigit = false;
    const size_t len = digits.size();
    for (size_t i = 0; i < len; ++i) {
        int d = digits[i] - '0';
        size_t power = len - 1 - i;
        if (d == 0) {
            if (!out.empty()) pendingZero = true;
        } else {
            if (pendingZero) out += g.digits[0];
            pendingZero = false;
            bool leadingTen = use == NumeralUse::DatePart && style == NumeralStyle::Ordinary && out.empty() &&
                              d == 1 && power % 4 == 1;
            if (!leadingTen) out += g.digits[d];
            out += g.units[power % 4];
            groupHasDigit = true;
        }
        if (power % 4 == 0 && power > 0) {
            if (groupHasDigit) {
                out += g.groups[power / 4];
                // Zeros that close a group are read with the group's unit.
                pendingZero = false;
            }
            groupHasDigit = false;
        }
    }
    return out;
}

std::string digitByDigit(std::string_view digits, NumeralStyle style) {
    const Glyphs& g = glyphs(style);
    std::string out;
    for (char c : digits) {
        if (c >= '0' && c <= '9') out += g.digits[c - '0'];
        else out += c;
    }
    return out;
}

std::string numberString(double n, NumeralStyle style) {
    double r = std::round(n);
    std::string sign = r < 0 ? "负" : "";
    std::uint64_t whole = static_cast<std::uint64_t>(std::fabs(r));
    if (style == NumeralStyle::Third) return sign + digitByDigit(std::to_string(whole), NumeralStyle::Ordinary);
    return sign + integerInWords(whole, style);
}

}  // namespace vorra::engine::format
