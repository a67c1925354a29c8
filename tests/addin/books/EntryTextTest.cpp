#include <gtest/gtest.h>

#include "addin/books/EntryText.h"

namespace vorra::books {
namespace {

TEST(ParseAmount, ReadsThousandsCommasBlanksAndFullWidthDigits) {
    EXPECT_EQ(parseAmount("1,234.50"), 1234.5);
    EXPECT_EQ(parseAmount("1234.5"), 1234.5);
    EXPECT_EQ(parseAmount("12,345,678"), 12345678);
    EXPECT_EQ(parseAmount(" 1 234 "), 1234);
    EXPECT_EQ(parseAmount("１，２３４．５"), 1234.5);
    EXPECT_EQ(parseAmount("0.05"), 0.05);
    EXPECT_EQ(parseAmount("999999999999.99"), 999999999999.99);
    EXPECT_EQ(parseAmount(".5"), 0.5);
    EXPECT_EQ(parseAmount("1234."), 1234);
    EXPECT_EQ(parseAmount("１２３４。５"), 1234.5);  // the ideographic full stop of a Chinese keyboard
    EXPECT_EQ(parseAmount("12.500"), 12.5);        // zeros after the fen add no decimal
}

TEST(ParseAmount, RefusesWhatIsNotANumberInsteadOfReadingItsLeadingDigits) {
    for (const char* bad : {"", "  ", ".", "abc", "12abc", "1,23", "12,34.5", "1234,567", ",123", "1.2.3",
                            "+5", "1e3", "¥100", "-", "1234567890123456", "12,345.67890123456"})
        EXPECT_EQ(parseAmount(bad), std::nullopt) << bad;
}

TEST(ReadAmount, SaysWhyAnAmountIsRefused) {
    const std::pair<const char*, AmountProblem> cases[] = {
        {"abc", AmountProblem::NotANumber},          {"1,23", AmountProblem::NotANumber},
        {"0", AmountProblem::NotPositive},           {"0.00", AmountProblem::NotPositive},
        {"-5", AmountProblem::NotPositive},          {"－１２.５", AmountProblem::NotPositive},
        {"1.234", AmountProblem::TooManyDecimals},   {"0.001", AmountProblem::TooManyDecimals},
        {"1234567890123456", AmountProblem::TooManyDigits},
    };
    for (const auto& [typed, problem] : cases) {
        AmountReading reading = readAmount(typed);
        EXPECT_FALSE(reading.accepted()) << typed;
        EXPECT_EQ(reading.problem, problem) << typed;
    }
    EXPECT_TRUE(readAmount("1,234.56").accepted());
}

TEST(AccountDigits, DropsBlanksAndKeepsEveryOtherCharacter) {
    EXPECT_EQ(accountDigits("6222 0212 3456 7890 123"), "6222021234567890123");
    EXPECT_EQ(accountDigits("\u30006222\t01"), "622201");
    EXPECT_EQ(accountDigits("6222-01"), "6222-01");
}

TEST(AccountDigits, OfACellGivesTheNumberTheHostShowsForNumberCells) {
    using host::Value;
    EXPECT_EQ(accountDigitsOfCell(Value::text("6222 0212")), "62220212");
    EXPECT_EQ(accountDigitsOfCell(Value::number(622202123456789)), "622202123456789");
    // Beyond fifteen digits the host keeps fifteen and shows zeros.
    EXPECT_EQ(accountDigitsOfCell(Value::number(6222021234567890123.0)), "6222021234567890000");
    EXPECT_EQ(accountDigitsOfCell(Value()), "");
    EXPECT_EQ(accountDigitsOfCell(Value::boolean(true)), "");
    EXPECT_EQ(accountDigitsOfCell(Value::number(12.5)), "12.5");
}

TEST(TooLongForACell, CountsCharactersNotBytes) {
    std::string chinese;
    for (int i = 0; i < 32767; ++i) chinese += "货";
    EXPECT_FALSE(tooLongForACell(chinese));
    EXPECT_TRUE(tooLongForACell(chinese + "a"));
    EXPECT_TRUE(tooLongForACell(std::string(32768, 'a')));
}

}  // namespace
}  // namespace vorra::books
