#include "BookFixture.h"
#include "addin/books/Books.h"

namespace vorra::testing {
namespace {

using books::firstFreeRow;

class Books : public BookFixture {};

TEST_F(Books, FreeRowIsTheFirstGapBelowTheStartRow) {
    unit(8, "a", "甲", "1");
    unit(9, "b", "乙", "2");
    unit(11, "d", "丁", "4");
    EXPECT_EQ(firstFreeRow(*sheet, 4, 8), 10);
    EXPECT_EQ(firstFreeRow(*sheet, 11, 8), 8);  // an empty purpose book
}

TEST_F(Books, FreeRowFromRowNineNeverChoosesRowEight) {
    unit(9, "b", "乙", "2");
    EXPECT_EQ(firstFreeRow(*sheet, 5, 9), 10);
}

TEST_F(Books, FreeRowPassesOverARowWhoseGuardCellIsFilled) {
    unit(8, "a", "甲", "1");
    unit(9, "", "无简称单位", "2");  // typed into the sheet without a short name
    EXPECT_EQ(firstFreeRow(*sheet, 4, 8), 9);
    EXPECT_EQ(firstFreeRow(*sheet, 4, 8, 5), 10);
}

TEST_F(Books, FreeRowScansPastOneReadChunk) {
    for (int r = 8; r < 1300; ++r) set("E" + std::to_string(r), text("x"));
    EXPECT_EQ(firstFreeRow(*sheet, 5, 9), 1300);
}

TEST_F(Books, EntriesAreCountedLiterallyDownToTheFreeRow) {
    unit(8, "a", "甲公司", "1");
    unit(9, "b", "甲公司", "2");
    unit(11, "c", "甲公司", "3");
    set("K8", text("运费*"));
    set("K9", number(100));
    EXPECT_EQ(books::countEntries(*sheet, 5, 10, "甲公司"), 2);
    EXPECT_EQ(books::countEntries(*sheet, 5, 10, "乙公司"), 0);
    // As criteria these would match 甲公司; as texts they stand for themselves.
    for (const char* typed : {"甲*", "甲?司", "*", "<>", "<>乙", "=甲公司", "~甲公司"})
        EXPECT_EQ(books::countEntries(*sheet, 5, 10, typed), 0) << typed;
    EXPECT_EQ(books::countEntries(*sheet, 11, 10, "运费*"), 1);
    EXPECT_EQ(books::countEntries(*sheet, 11, 10, "运费~*"), 0);
    EXPECT_EQ(books::countEntries(*sheet, 11, 10, "100"), 1);  // a number cell compared as text
}

TEST_F(Books, SearchListsRowEightLastInTheHostsOrder) {
    unit(8, "a", "苏州甲", "1");
    unit(12, "b", "南京", "2");
    unit(20, "c", "苏州丙", "3");
    auto found = books::searchUnits(*sheet, "苏州");
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].row, 20);
    EXPECT_EQ(found[1].row, 8);
    EXPECT_EQ(found[0].fields, (std::array<std::string, 6>{"c", "苏州丙", "3", "工行", "江苏", "苏州"}));
}

TEST_F(Books, ShortNamesAreSearchedOnlyWhenNoAccountNameMatches) {
    unit(8, "szyh", "苏州银行", "1");
    unit(9, "nj", "南京szyh分部", "2");
    unit(10, "szyh2", "苏州二行", "3");
    auto byName = books::searchUnits(*sheet, "szyh");
    ASSERT_EQ(byName.size(), 1u);
    EXPECT_EQ(byName[0].row, 9);
    auto byShortName = books::searchUnits(*sheet, "szyh2");
    ASSERT_EQ(byShortName.size(), 1u);
    EXPECT_EQ(byShortName[0].row, 10);
    EXPECT_TRUE(books::searchUnits(*sheet, "不存在").empty());
}

TEST_F(Books, PurposesAreFoundByTheirTextNeverByTheirCode) {
    purpose(8, "hk", "货款");
    purpose(9, "yf", "运费");
    purpose(10, "dhk", "订货款");
    auto found = books::searchPurposes(*sheet, "货");
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].code, "dhk");
    EXPECT_EQ(found[0].text, "订货款");
    EXPECT_EQ(found[1].text, "货款");
    EXPECT_TRUE(books::searchPurposes(*sheet, "yf").empty());
}

TEST_F(Books, SettingTheCurrentUnitCopiesTheBookRowWithItsKinds) {
    unit(8, "a", "甲公司", "00123");
    set("F9", number(622202123456789));
    unit(9, "b", "乙公司", "");
    sheet->unprotect(kPassword);
    books::setCurrentPayer(*sheet, books::searchUnits(*sheet, "甲")[0]);
    books::setCurrentPayee(*sheet, books::searchUnits(*sheet, "乙")[0]);
    EXPECT_EQ(get("F5"), text("00123"));  // not read again as the number 123
    EXPECT_EQ(get("F4"), number(622202123456789));
    EXPECT_EQ(cell("E4"), "乙公司");
}

TEST_F(Books, AListedUnitWhoseRowChangedSinceIsWrittenFromItsTexts) {
    unit(8, "a", "甲公司", "123");
    auto listed = books::searchUnits(*sheet, "甲")[0];
    unit(8, "z", "另一家", "999");
    sheet->unprotect(kPassword);
    books::setCurrentPayee(*sheet, listed);
    EXPECT_EQ(cell("D4"), "a");
    EXPECT_EQ(cell("E4"), "甲公司");
}

TEST_F(Books, AccountRowMatchesDigitStringsOfTextAndNumberCells) {
    unit(8, "a", "甲", "6222 0212 3456 7890 123");
    set("F9", number(622202123456789));
    EXPECT_EQ(books::rowWithAccount(*sheet, "6222021234567890123", 10), 8);
    EXPECT_EQ(books::rowWithAccount(*sheet, "6222021234567890124", 10), 0);
    EXPECT_EQ(books::rowWithAccount(*sheet, "622 202 123 456 789", 10), 9);
    EXPECT_EQ(books::rowWithAccount(*sheet, "", 10), 0);
}

TEST_F(Books, AWorkbookWithoutTheFillInSheetHasNoBooks) {
    EXPECT_NE(books::fillInSheet(app), nullptr);
    sheet->setName("别的表");
    EXPECT_EQ(books::fillInSheet(app), nullptr);
}

}  // namespace
}  // namespace vorra::testing
