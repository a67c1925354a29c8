// The template formulas for an amount in financial capitals and a cheque date,
// checked through the engine against a conversion written independently here.
#include <gtest/gtest.h>

#include <random>

#include "platform/engine/format/DateSerial.h"
#include "tests/platform/engine/FormulaFixture.h"
#include "tools/sampletemplate/BankFormulas.h"

using namespace vorra::engine;
using namespace vorra::engine::testing;

namespace {

// The sanitizer build runs about a hundred times slower; it checks every 20th case
// (memory errors do not need every amount), the ordinary build checks them all.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kStride = 20;
#else
constexpr int kStride = 1;
#endif

// Independent conversion: write every digit with its unit (zeros included), then
// squeeze the zeros out by text rules.
std::string replaceAll(std::string s, const std::string& from, const std::string& to) {
    for (size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + to.size())) s.replace(p, from.size(), to);
    return s;
}

std::string yuanInCapitals(long long yuan) {
    static const char* digit[] = {"零", "壹", "贰", "叁", "肆", "伍", "陆", "柒", "捌", "玖"};
    static const char* unit[] = {"", "拾", "佰", "仟", "万", "拾", "佰", "仟", "亿", "拾", "佰", "仟"};
    std::string d = std::to_string(yuan), s;
    for (size_t i = 0; i < d.size(); ++i) s += std::string(digit[d[i] - '0']) + unit[d.size() - 1 - i];
    for (const char* u : {"拾", "佰", "仟"}) s = replaceAll(s, std::string("零") + u, "零");
    for (int k = 0; k < 4; ++k) s = replaceAll(s, "零零", "零");
    s = replaceAll(s, "亿零万", "亿零");
    s = replaceAll(s, "零万", "万");
    s = replaceAll(s, "零亿", "亿");
    s = replaceAll(s, "零零", "零");
    while (s.size() >= 3 && s.compare(s.size() - 3, 3, "零") == 0) s.erase(s.size() - 3);
    return s;
}

std::string amountInCapitals(long long cents) {
    static const char* digit[] = {"零", "壹", "贰", "叁", "肆", "伍", "陆", "柒", "捌", "玖"};
    if (cents == 0) return "零元整";
    long long yuan = cents / 100;
    int jiao = static_cast<int>(cents / 10 % 10), fen = static_cast<int>(cents % 10);
    std::string s = yuan > 0 ? yuanInCapitals(yuan) + "元" : "";
    if (jiao > 0) s += std::string(digit[jiao]) + "角";
    else if (yuan > 0 && fen > 0) s += "零";
    s += fen > 0 ? std::string(digit[fen]) + "分" : "整";
    return s;
}

class BankCapitals : public FormulaBook {
protected:
    BankCapitals() {
        cell("B1").formula = vorra::tools::amountInCapitalsFormula("$K$3");
        cell("B2").formula = vorra::tools::chequeDateFormula("$K$4");
        engine->recalculateAll();
    }
    std::string amount(long long cents) {
        put("K3", static_cast<double>(cents) / 100);
        Value v = valueOf("B1");
        return v.isText() ? v.asText() : v.toText();
    }
    std::string chequeDate(int y, int m, int d) {
        put("K4", format::dateToSerial(y, m, d));
        return valueOf("B2").toText();
    }
};

}  // namespace

TEST_F(BankCapitals, AmountExamplesAsBanksWriteThem) {
    EXPECT_EQ(amount(123450), "壹仟贰佰叁拾肆元伍角整");
    EXPECT_EQ(amount(10000), "壹佰元整");
    EXPECT_EQ(amount(5), "伍分");
    EXPECT_EQ(amount(0), "零元整");
    EXPECT_EQ(amount(123405), "壹仟贰佰叁拾肆元零伍分");
    EXPECT_EQ(amount(140950), "壹仟肆佰零玖元伍角整");
    EXPECT_EQ(amount(600714), "陆仟零柒元壹角肆分");
    EXPECT_EQ(amount(1640902), "壹万陆仟肆佰零玖元零贰分");
    EXPECT_EQ(amount(1000), "壹拾元整");
    EXPECT_EQ(amount(10700053), "壹拾万柒仟元伍角叁分");
    EXPECT_EQ(amount(99999999999), "玖亿玖仟玖佰玖拾玖万玖仟玖佰玖拾玖元玖角玖分");
    EXPECT_EQ(amount(10000000000), "壹亿元整");
    put("K3", -12.5);
    EXPECT_EQ(valueOf("B1").asText(), "负壹拾贰元伍角整");
    put("K3", "abc");
    EXPECT_TRUE(valueOf("B1").isError());
}

TEST_F(BankCapitals, EveryAmountUpToTenThousandYuanAgreesWithTheIndependentConversion) {
    // 0.01 to 100.00 exhaustively, then 100.00 to 10,000.00 in steps of 0.37
    // (every 分 and 角 digit occurs with every yuan ending).
    for (long long c = 1; c <= 10000; c += kStride) ASSERT_EQ(amount(c), amountInCapitals(c)) << c;
    for (long long c = 10000; c <= 1000000; c += 37 * kStride) ASSERT_EQ(amount(c), amountInCapitals(c)) << c;
}

TEST_F(BankCapitals, EveryPatternOfZeroDigitsUpTo999999999Point99) {
    // Each of the 11 digit positions zero or not, with varying non-zero digits.
    std::mt19937_64 random(20261207);
    for (int mask = 1; mask < (1 << 11); ++mask)
        for (int fill = 0; fill < (kStride == 1 ? 3 : 1); ++fill) {
            long long cents = 0;
            for (int pos = 10; pos >= 0; --pos)
                cents = cents * 10 + ((mask >> pos) & 1 ? 1 + static_cast<long long>(random() % 9) : 0);
            ASSERT_EQ(amount(cents), amountInCapitals(cents)) << cents;
        }
    // And uniformly spread amounts over the whole range.
    for (int i = 0; i < 10000 / kStride; ++i) {
        long long cents = 1 + static_cast<long long>(random() % 99999999999LL);
        ASSERT_EQ(amount(cents), amountInCapitals(cents)) << cents;
    }
}

TEST_F(BankCapitals, IndependentConversionAgreesWithTheKnownExamples) {
    EXPECT_EQ(amountInCapitals(10001000000), "壹亿零壹万元整");
    EXPECT_EQ(amountInCapitals(10000100000), "壹亿零壹仟元整");
    EXPECT_EQ(amountInCapitals(11000000000), "壹亿壹仟万元整");
    EXPECT_EQ(amountInCapitals(1010000), "壹万零壹佰元整");
}

TEST_F(BankCapitals, ChequeDatesTakeTheLeadingZeroThatPreventsAlteration) {
    EXPECT_EQ(chequeDate(2026, 12, 7), "贰零贰陆年壹拾贰月零柒日");
    EXPECT_EQ(chequeDate(2026, 10, 20), "贰零贰陆年零壹拾月零贰拾日");
    EXPECT_EQ(chequeDate(2027, 1, 15), "贰零贰柒年零壹月壹拾伍日");
    EXPECT_EQ(chequeDate(2026, 2, 10), "贰零贰陆年零贰月零壹拾日");
    EXPECT_EQ(chequeDate(2026, 11, 30), "贰零贰陆年壹拾壹月零叁拾日");
    EXPECT_EQ(chequeDate(2026, 3, 31), "贰零贰陆年叁月叁拾壹日");
    EXPECT_EQ(chequeDate(2026, 3, 21), "贰零贰陆年叁月贰拾壹日");
    EXPECT_EQ(chequeDate(2030, 12, 19), "贰零叁零年壹拾贰月壹拾玖日");
}
