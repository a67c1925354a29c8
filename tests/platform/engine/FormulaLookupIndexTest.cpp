// Exact look-ups in long columns go through an index; it must follow every change.
#include <gtest/gtest.h>

#include <random>

#include "FormulaFixture.h"
#include "platform/engine/formula/TextOrder.h"

using namespace vorra::engine;
using namespace vorra::engine::testing;
using vorra::host::ErrorValue;

namespace {

class LongBook : public FormulaBook {
protected:
    LongBook() {
        // 3,000 units in A2:B3001 of the second sheet, names in A, numbers in B.
        for (int i = 0; i < 3000; ++i) {
            cell("A" + std::to_string(i + 2), 1).value = txt("Unit" + std::to_string(i));
            cell("B" + std::to_string(i + 2), 1).value = num(i);
        }
        book.names.push_back({"Units", "常用单位账号!$A$2:$B$3001", -1, false});
        cell("B1").formula = "VLOOKUP(A1,Units,2,FALSE)";
        engine->recalculateAll();
    }
};

}  // namespace

TEST_F(LongBook, IndexedLookupFindsTheFirstMatchIgnoringCase) {
    put("A1", "unit2999");
    EXPECT_EQ(valueOf("B1"), num(2999));
    put("A1", "Unit5000");
    EXPECT_EQ(valueOf("B1"), err(ErrorValue::NA));
    put("A2000", "unit7", 1);  // a second Unit7 further down does not win
    put("A1", "UNIT7");
    EXPECT_EQ(valueOf("B1"), num(7));
    put("A1", 5);  // numbers and texts never match each other
    EXPECT_EQ(valueOf("B1"), err(ErrorValue::NA));
}

TEST_F(LongBook, IndexFollowsWritesInsideTheColumn) {
    put("A1", "Unit10");
    EXPECT_EQ(valueOf("B1"), num(10));
    put("A12", "Renamed", 1);  // the row that held Unit10
    EXPECT_EQ(valueOf("B1"), err(ErrorValue::NA));
    put("A3001", "Unit10", 1);
    EXPECT_EQ(valueOf("B1"), num(2999));
    book.sheets[1]->cells.erase({3001, 1});
    engine->cellsChanged(1, Area::cell(3001, 1));
    EXPECT_EQ(valueOf("B1"), err(ErrorValue::NA));
}

TEST_F(LongBook, AnEarlierDuplicateWrittenLaterWins) {
    put("A1", "Unit2000");
    EXPECT_EQ(valueOf("B1"), num(2000));
    put("A5", "unit2000", 1);  // row 5 holds 3 in column B
    EXPECT_EQ(valueOf("B1"), num(3));
    for (int r = 2; r <= 200; ++r) cell("A" + std::to_string(r), 1).value = txt("Bulk");
    engine->cellsChanged(1, Area{2, 1, 200, 1});  // a bulk write
    EXPECT_EQ(valueOf("B1"), num(2000));
    put("A1", "bulk");
    EXPECT_EQ(valueOf("B1"), num(0));
}

TEST_F(LongBook, IndexFollowsFormulaResultsInsideTheColumn) {
    put("Z1", "Alpha", 1);
    put("A500", "=Z1", 1);  // a key computed by a formula
    put("A1", "Beta");
    EXPECT_EQ(valueOf("B1"), err(ErrorValue::NA));
    put("Z1", "Beta", 1);  // the formula's result changes, the look-up follows
    EXPECT_EQ(valueOf("B1"), num(498));
}

TEST(TextOrderCopy, RememberedKeysGiveTheSameOrderAsCollating) {
    using vorra::engine::formula::TextOrder;
    const TextOrder& prototype = TextOrder::chinese();
    TextOrder copy(prototype);
    const char* samples[] = {"张", "三", "ABC", "abc", "吖", "帀", "1", "", " ", "公司", "工商银行北京分行",
                             "Zz", "鵽", "俄", "a~*", "银行", "A1", "中国人民银行某某省某某市中心支行营业部"};
    std::mt19937 random(7);
    for (int i = 0; i < 2000; ++i) {
        const char* a = samples[random() % std::size(samples)];
        const char* b = samples[random() % std::size(samples)];
        ASSERT_EQ(copy.compare(a, b), prototype.compare(a, b)) << a << " " << b;
        ASSERT_EQ(copy.compareToKey(a, copy.sortKey(b)), prototype.compare(a, b)) << a << " " << b;
    }
}
