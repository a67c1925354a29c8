#include <gtest/gtest.h>

#include "addin/frame/host/Address.h"
#include "addin/frame/host/Reference.h"
#include "addin/frame/host/Value.h"

using namespace vorra::host;

TEST(Address, ParsesCellsAreasAndWholeColumns) {
    EXPECT_EQ(parseArea("K4"), Area::cell(4, 11));
    EXPECT_EQ(parseArea("$K$4"), Area::cell(4, 11));
    EXPECT_EQ(parseArea("e8:e407"), (Area{8, 5, 407, 5}));
    EXPECT_EQ(parseArea("B2:A1"), (Area{1, 1, 2, 2}));
    EXPECT_EQ(parseArea("F:F"), (Area{1, 6, kMaxRows, 6}));
    EXPECT_EQ(parseArea("XFD1048576"), Area::cell(kMaxRows, kMaxColumns));
}

TEST(Address, RefusesReferencesOutsideTheSheetAndMalformedText) {
    for (const char* bad : {"ZZZZ1", "A0", "e8:e", "XFE1", "A1048577", "", "1A", "$A$", "A1:"}) {
        EXPECT_FALSE(tryParseArea(bad)) << bad;
        EXPECT_THROW(parseArea(bad), HostError) << bad;
    }
}

TEST(Address, WritesAbsoluteAddressesAsTheHostDoes) {
    EXPECT_EQ(absoluteAddress(Area::cell(4, 11)), "$K$4");
    EXPECT_EQ(absoluteAddress(Area{1, 1, 2, 28}), "$A$1:$AB$2");
    EXPECT_EQ(absoluteAddress(Area{1, 6, kMaxRows, 6}), "$F:$F");
    EXPECT_EQ(relativeAddress(Area{3, 1, 5, kMaxColumns}), "3:5");
    EXPECT_EQ(columnLetters(16384), "XFD");
}

TEST(Value, ConvertsNumbersToTextWithFifteenDigits) {
    EXPECT_EQ(Value::number(1234.5).toText(), "1234.5");
    EXPECT_EQ(Value::number(12345678901234567890.0).toText(), "1.23456789012346E+19");
    EXPECT_EQ(Value::number(0.1 + 0.2).toText(), "0.3");
    EXPECT_EQ(Value::boolean(true).toText(), "True");
    EXPECT_TRUE(Value::text("").isBlankText());
}

// The one reference grammar: every form parses, prints back as written (in the
// host's canonical spelling), and parses again to the same reference.
TEST(ReferenceGrammar, EveryFormRoundTripsThroughParseAndPrint) {
    for (const char* text : {"A1", "$A$1", "A$1", "$A1", "XFD1048576", "A1:B2", "$A$1:$B$2", "A$1:$B2", "A:A",
                             "$A:B", "$A:$XFD", "1:3", "$1:$3", "5:$9", "Sheet1!A1", "Sheet1!$A:$A",
                             "'My sheet'!A1", "'It''s'!$B$2", "常用单位账号!$E$8:$I$407", "'基本 信息'!1:1",
                             "'2024'!A1", "'A1'!B2", "'R1C1'!A1", "[1]Sheet1!A1", "'[1]My sheet'!A:A",
                             "[Book.xlsx]Sheet1!1:3"}) {
        auto ref = parseReference(text);
        ASSERT_TRUE(ref) << text;
        EXPECT_EQ(printReference(*ref), text);
        EXPECT_EQ(parseReference(printReference(*ref)), ref) << text;
    }
    auto lower = parseReference("b2:a1");
    ASSERT_TRUE(lower);
    EXPECT_EQ(printReference(*lower), "A1:B2");  // corners in order, letters in capitals
    auto external = parseReference("'[1]My sheet'!$A$1");
    EXPECT_EQ(external->book, "1");
    EXPECT_EQ(external->sheet, "My sheet");
    EXPECT_EQ(parseReference("'[Book.xlsx]Sheet1'!1:3"), parseReference("[Book.xlsx]Sheet1!1:3"));
    EXPECT_EQ(parseReference("'C:\\dir\\[Book.xlsx]Sheet1'!A1")->book, "C:\\dir\\Book.xlsx");
    EXPECT_EQ(parseReference("A:A")->area(), (Area{1, 1, kMaxRows, 1}));
    EXPECT_EQ(parseReference("$2:$3")->area(), (Area{2, 1, 3, kMaxColumns}));
}

TEST(ReferenceGrammar, RefusesWhatIsNoReferenceAndTellsPastTheSheetEnd) {
    for (const char* bad : {"", "A", "1", "A0", "e8:e", "A1:", "A1:1", "A:1", "Sheet1!", "!A1", "'Sheet1!A1",
                            "A1B", "$A$", "TRUE", "[1]", "Sheet 1!A1"}) {
        EXPECT_FALSE(parseReference(bad)) << bad;
    }
    ReferenceStatus status;
    EXPECT_FALSE(parseReference("XFE1", &status));
    EXPECT_EQ(status, ReferenceStatus::PastLimits);
    EXPECT_FALSE(parseReference("A1:A1048577", &status));
    EXPECT_EQ(status, ReferenceStatus::PastLimits);
    EXPECT_EQ(parseCellAddress("B12"), (CellRef{12, 2}));
    EXPECT_FALSE(parseCellAddress("B1:B2"));
}

TEST(ReferenceGrammar, ShiftingMovesRelativePartsAndWholeColumnsOnlySideways) {
    auto shifted = [](const char* text, int rows, int columns) {
        auto r = shiftReference(*parseReference(text), rows, columns);
        return r ? printReference(*r) : std::string("#REF!");
    };
    EXPECT_EQ(shifted("A1", 2, 1), "B3");
    EXPECT_EQ(shifted("$A1:B$5", 2, 1), "$A3:C$5");
    EXPECT_EQ(shifted("A1:B$2", 3, 0), "A$2:B4");  // corners stay in order
    EXPECT_EQ(shifted("A:A", 5, 1), "B:B");
    EXPECT_EQ(shifted("$A:B", 5, 2), "$A:D");
    EXPECT_EQ(shifted("1:3", 1, 9), "2:4");
    EXPECT_EQ(shifted("Sheet2!$1:1", 1, 0), "Sheet2!$1:2");
    EXPECT_EQ(shifted("A1", -1, 0), "#REF!");
    EXPECT_EQ(shifted("XFD:XFD", 0, 1), "#REF!");
}

TEST(ReferenceGrammar, SheetNamesAreQuotedWhenTheyWouldReadOtherwiseAndR1C1IsRelativeToACell) {
    EXPECT_EQ(printQualifier("", "Sheet1"), "Sheet1");
    EXPECT_EQ(printQualifier("", "基本 信息"), "'基本 信息'");
    EXPECT_EQ(printQualifier("", "XFD2"), "'XFD2'");
    EXPECT_EQ(printQualifier("", "C"), "'C'");
    EXPECT_EQ(printQualifier("1", "Sheet1"), "[1]Sheet1");
    EXPECT_EQ(parseR1C1("R2C3", {9, 9})->area(), Area::cell(2, 3));
    EXPECT_EQ(parseR1C1("R[1]C[-1]", {5, 5})->area(), Area::cell(6, 4));
    EXPECT_EQ(parseR1C1("RC", {5, 5})->area(), Area::cell(5, 5));
    EXPECT_EQ(parseR1C1("R1C1:R2C2", {1, 1})->area(), (Area{1, 1, 2, 2}));
    EXPECT_EQ(parseR1C1("C2", {1, 1})->area(), (Area{1, 2, kMaxRows, 2}));
    EXPECT_FALSE(parseR1C1("R[-5]C1", {2, 2}));
    EXPECT_EQ(printR1C1Cell(2, 3, true, false), "R2C[3]");
}
