// Recalculation after writes: dependency order, chains across sheets, circular
// references, formulas replaced and cleared.
#include <gtest/gtest.h>

#include "FormulaFixture.h"

using namespace vorra::engine;
using namespace vorra::engine::testing;
using vorra::host::ErrorValue;

using Recalculation = FormulaBook;

TEST_F(Recalculation, DependentsFollowAWriteInDependencyOrder) {
    put("A1", 1);
    put("C1", "=B1*10");  // written before the cell it reads
    put("B1", "=A1+1");
    EXPECT_EQ(valueOf("C1"), num(20));
    put("A1", 5);
    EXPECT_EQ(valueOf("B1"), num(6));
    EXPECT_EQ(valueOf("C1"), num(60));
}

TEST_F(Recalculation, ChainsAcrossSheetsAndThroughNamedRanges) {
    book.names.push_back({"收款人信息", "常用单位账号!$E$8:$F$20", -1, false});
    engine->recalculateAll();
    put("E8", "甲公司", 1);
    put("F8", "6222001", 1);
    put("E4", "甲公司", 1);
    put("F4", "=VLOOKUP($E$4,收款人信息,2,FALSE)", 1);
    put("B2", "=\"账号：\"&常用单位账号!F4");
    EXPECT_EQ(valueOf("B2"), txt("账号：6222001"));
    put("F8", "6222999", 1);  // a write inside the named range
    EXPECT_EQ(valueOf("F4", 1), txt("6222999"));
    EXPECT_EQ(valueOf("B2"), txt("账号：6222999"));
    put("E4", "乙公司", 1);
    EXPECT_EQ(valueOf("B2"), err(ErrorValue::NA));
}

TEST_F(Recalculation, CircularReferencesGiveAnErrorValueAndRecover) {
    put("A1", "=B1+1");
    put("B1", "=A1+1");
    EXPECT_EQ(valueOf("A1"), err(ErrorValue::Ref));
    EXPECT_EQ(valueOf("B1"), err(ErrorValue::Ref));
    put("C1", "=A1*2");  // downstream of the cycle sees the error
    EXPECT_EQ(valueOf("C1"), err(ErrorValue::Ref));
    put("D5", "=SUM(D1:D10)");  // a range that includes the cell itself
    EXPECT_EQ(valueOf("D5"), err(ErrorValue::Ref));
    put("B1", 3);  // breaking the cycle
    EXPECT_EQ(valueOf("A1"), num(4));
    EXPECT_EQ(valueOf("C1"), num(8));
}

TEST_F(Recalculation, LongChainsDoNotOverflowTheStack) {
    put("A1", 1);
    for (int r = 2; r <= 20000; ++r) {
        Cell& c = cell("A" + std::to_string(r));
        c.formula = "A" + std::to_string(r - 1) + "+1";
    }
    engine->recalculateAll();
    EXPECT_EQ(valueOf("A20000"), num(20000));
    put("A1", 101);
    EXPECT_EQ(valueOf("A20000"), num(20100));
    cell("A1").formula = "A20000";  // closes a cycle 20,000 cells long
    engine->cellsChanged(0, Area::cell(1, 1));
    EXPECT_EQ(valueOf("A20000"), err(ErrorValue::Ref));
}

TEST_F(Recalculation, ReplacedAndClearedFormulasStopBeingCalculated) {
    put("A1", 1);
    put("B1", "=A1*2");
    put("B1", 7);  // a constant over the formula
    put("A1", 5);
    EXPECT_EQ(valueOf("B1"), num(7));
    put("B1", "=A1*3");
    EXPECT_EQ(valueOf("B1"), num(15));
    book.sheets[0]->cells.erase({1, 2});
    engine->cellsChanged(0, Area{1, 1, 10, 10});
    put("A1", 6);
    EXPECT_EQ(book.sheets[0]->cells.find({1, 2}), nullptr);
}

TEST_F(Recalculation, RecalculateAllAfterStructuralChanges) {
    put("A1", "=常用单位账号!A1+1");
    put("A1", 41, 1);
    EXPECT_EQ(valueOf("A1"), num(42));
    book.sheets[1]->name = "改名";
    cell("A1").formula = "改名!A1+1";
    engine->recalculateAll();
    EXPECT_EQ(valueOf("A1"), num(42));
    book.sheets.pop_back();
    engine->recalculateAll();
    EXPECT_EQ(valueOf("A1"), err(ErrorValue::Ref));
}

TEST_F(Recalculation, VolatileFunctionsAreRecalculatedOnEveryChange) {
    put("A1", "=TODAY()");
    cell("A1").value = num(1);  // stale
    put("Z9", 1);
    EXPECT_GT(valueOf("A1").asNumber(), 46000);
}

TEST_F(Recalculation, WholeColumnReferencesSeeWritesAnywhereInTheColumn) {
    put("B1", "=SUM(A:A)");
    put("A100000", 5);
    EXPECT_EQ(valueOf("B1"), num(5));
    put("C1", "=COUNTIF(A:A,\">1\")");
    put("A7", 3);
    EXPECT_EQ(valueOf("C1"), num(2));
}

TEST_F(Recalculation, FormulaTextEvaluationOnAGivenSheet) {
    put("A1", 1, 1);
    put("A2", 2, 1);
    auto v = engine->evaluate("A1:A2*10", 1);  // unqualified references: that sheet
    ASSERT_TRUE(v.isArray());
    EXPECT_EQ(v.array().at(2, 1), num(20));
    EXPECT_EQ(engine->evaluate("A2", 1).scalar(), num(2));
    EXPECT_EQ(engine->evaluate("Sheet1!A2", 1).scalar(), Value());
    EXPECT_EQ(engine->evaluate("1+", 0).scalar(), err(ErrorValue::Value));
    EXPECT_EQ(engine->evaluate("ROW()", 0).scalar(), err(ErrorValue::Value));  // no cell
    EXPECT_EQ(engine->compareText("张三", "李四"), 1);
    EXPECT_EQ(engine->compareText("abc", "ABC"), 0);
    EXPECT_EQ(engine->compareText("Z", "啊"), -1);
}

TEST_F(Recalculation, BulkWritesAndWritesOutsideTheBookAreHarmless) {
    put("B1", "=SUM(A1:A1000)");
    for (int r = 1; r <= 1000; ++r) cell("A" + std::to_string(r)).value = num(1);
    engine->cellsChanged(0, Area{1, 1, vorra::host::kMaxRows, vorra::host::kMaxColumns});
    EXPECT_EQ(valueOf("B1"), num(1000));
    engine->cellsChanged(7, Area::cell(1, 1));   // no such sheet
    engine->cellsChanged(0, Area{0, 0, 0, 0});   // no such area
    engine->cellsChanged(-1, Area{5, 5, 1, 1});
    EXPECT_EQ(valueOf("B1"), num(1000));
}
