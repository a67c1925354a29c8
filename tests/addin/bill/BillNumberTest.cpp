#include <gtest/gtest.h>

#include "addin/bill/BillNumber.h"

using vorra::nextBillNumber;
using vorra::host::Value;

TEST(BillNumber, DigitStringsKeepTheirWidthAndPrecision) {
    EXPECT_EQ(nextBillNumber(Value::text("00012345")), "00012346");
    EXPECT_EQ(nextBillNumber(Value::text("00019999")), "00020000");
    EXPECT_EQ(nextBillNumber(Value::text("999")), "1000");
    EXPECT_EQ(nextBillNumber(Value::text("12345678901234567899")), "12345678901234567900");
    EXPECT_EQ(nextBillNumber(Value::text(" 0042 ")), "0043");
}

TEST(BillNumber, NumbersAddOneAndAnEmptyNumberStartsAtOne) {
    EXPECT_EQ(nextBillNumber(Value::number(12345)), "12346");
    EXPECT_EQ(nextBillNumber(Value()), "1");
    EXPECT_EQ(nextBillNumber(Value::text("")), "1");
    EXPECT_EQ(nextBillNumber(Value::text("12.5")), "13.5");
}

TEST(BillNumber, TextThatIsNoNumberGivesNothing) {
    EXPECT_FALSE(nextBillNumber(Value::text("ABC123")));
    EXPECT_FALSE(nextBillNumber(Value::text("12-34")));
    EXPECT_FALSE(nextBillNumber(Value::boolean(true)));
    for (const char* word : {"inf", "INF", "nan", "infinity", "-inf", "nan(12)", "1e999"})
        EXPECT_FALSE(nextBillNumber(Value::text(word))) << word;
}
