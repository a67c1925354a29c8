#include <gtest/gtest.h>

#include "addin/frame/host/Address.h"
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
    EXPECT_EQ(columnLetters(16384), "XFD");
}

TEST(Value, ConvertsNumbersToTextWithFifteenDigits) {
    EXPECT_EQ(Value::number(1234.5).toText(), "1234.5");
    EXPECT_EQ(Value::number(12345678901234567890.0).toText(), "1.23456789012346E+19");
    EXPECT_EQ(Value::number(0.1 + 0.2).toText(), "0.3");
    EXPECT_EQ(Value::boolean(true).toText(), "True");
    EXPECT_TRUE(Value::text("").isBlankText());
}
