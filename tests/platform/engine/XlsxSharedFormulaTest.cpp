// Moving a shared formula's text to another cell of its block.

#include <gtest/gtest.h>

#include "platform/engine/files/SharedFormula.h"

namespace vorra::engine::files {
namespace {

TEST(XlsxSharedFormula, RelativePartsMoveAbsolutePartsStay) {
    EXPECT_EQ(shiftFormula("A1+B2", 1, 0), "A2+B3");
    EXPECT_EQ(shiftFormula("$A1+A$1+$A$1", 2, 3), "$A3+D$1+$A$1");
    EXPECT_EQ(shiftFormula("SUM(A1:B2)*Z9", 0, 1), "SUM(B1:C2)*AA9");
    EXPECT_EQ(shiftFormula("常用单位账号!E4&'其他 表'!B1", 1, 0), "常用单位账号!E5&'其他 表'!B2");
}

TEST(XlsxSharedFormula, TextsNamesAndFunctionsAreNotReferences) {
    EXPECT_EQ(shiftFormula("\"A1\"&A1", 1, 0), "\"A1\"&A2");
    EXPECT_EQ(shiftFormula("\"say \"\"B2\"\"\"&B2", 1, 0), "\"say \"\"B2\"\"\"&B3");
    EXPECT_EQ(shiftFormula("LOG10(A1)+ATAN2(1,2)", 1, 0), "LOG10(A2)+ATAN2(1,2)");
    EXPECT_EQ(shiftFormula("VLOOKUP($E$4,收款人信息,2,FALSE)", 5, 5), "VLOOKUP($E$4,收款人信息,2,FALSE)");
    EXPECT_EQ(shiftFormula("Sheet1!A1+TAXES2020+A1_B", 1, 0), "Sheet1!A2+TAXES2020+A1_B");
    EXPECT_EQ(shiftFormula("[1]Sheet1!A1", 1, 0), "[1]Sheet1!A2");
}

TEST(XlsxSharedFormula, ReferencesPushedOffTheSheetBecomeRefErrors) {
    EXPECT_EQ(shiftFormula("A1", -1, 0), "#REF!");
    EXPECT_EQ(shiftFormula("XFD1+1", 0, 1), "#REF!+1");
    EXPECT_EQ(shiftFormula("Sheet2!A1", -1, 0), "Sheet2!#REF!");
}

// Whole columns move sideways and whole rows up and down, as every other relative
// reference; they are tokens like any other reference.
TEST(XlsxSharedFormula, WholeColumnsAndRowsMoveWithTheCell) {
    EXPECT_EQ(shiftFormula("SUM(A:A)", 0, 1), "SUM(B:B)");
    EXPECT_EQ(shiftFormula("SUM(A:A)", 5, 0), "SUM(A:A)");
    EXPECT_EQ(shiftFormula("SUM($A:$A)+SUM(A:$D)", 0, 2), "SUM($A:$A)+SUM(C:$D)");
    EXPECT_EQ(shiftFormula("SUM(1:1)", 2, 3), "SUM(3:3)");
    EXPECT_EQ(shiftFormula("COUNTIF(Sheet2!A:A,A1)", 1, 1), "COUNTIF(Sheet2!B:B,B2)");
    EXPECT_EQ(shiftFormula("VLOOKUP(A1,A:B,2,FALSE)", 0, 1), "VLOOKUP(B1,B:C,2,FALSE)");
}

}  // namespace
}  // namespace vorra::engine::files
