// Stepping through the list on 批量打印: clear, start, previous, next, load record D2,
// and print-and-advance with no current record.
#include "addin/bill/TianxiePJ_frm.h"
#include "tests/addin/batch/BatchFixture.h"

using namespace vorra;
using namespace vorra::testing;
using host::Value;

namespace {

class BatchList : public BatchTest {
protected:
    Money_Class money;

    // The whole used area of 批量打印, to show that an operation changed nothing.
    host::Variant batchSheetValues() { return batch()->read(batch()->usedArea()); }

    // Writes D2 as it is: a text stays a text.
    void setD2(const Value& v) {
        host::Array2D cell(1, 1);
        cell.at(1, 1) = v;
        batch()->writeValues(host::parseArea("D2"), cell);
    }
    // Makes record k current the way the dialog does: D2 = k, row 5 = row 7 + k.
    void makeCurrent(int k) {
        setD2(Value::number(k));
        money.fn008();
    }
};

TEST_F(BatchList, ClearEmptiesTheListAndTheCurrentRecordAndLeavesEverythingElse) {
    putList(2000);
    makeCurrent(12);
    // Marks in column A, in rows 1 to 7, below the list and right of it.
    for (const char* cell : {"A5", "B1", "N1", "E2", "B4", "N6", "B7", "O8", "B2008", "N2010", "P2007"})
        host.put("批量打印", cell, Value::text(std::string("mark ") + cell));
    auto before = batch()->read(host::parseArea("A1:P2010")).array();

    money.fn001();

    auto after = batch()->read(host::parseArea("A1:P2010")).array();
    for (int r = 1; r <= before.rows(); ++r) {
        for (int c = 1; c <= before.columns(); ++c) {
            bool cleared = (r == 5 || (r >= 8 && r <= 2007)) && c >= 2 && c <= 14;
            SCOPED_TRACE("row " + std::to_string(r) + " column " + std::to_string(c));
            if (cleared)
                EXPECT_TRUE(after.at(r, c).isBlankText());
            else if (r == 2 && c == 4)
                EXPECT_EQ(after.at(r, c), Value::number(1));
            else
                ASSERT_EQ(after.at(r, c), before.at(r, c));
        }
    }
}

TEST_F(BatchList, StartingFromOneLoadsTheFirstRecord) {
    putList(3);
    makeCurrent(3);
    money.fn003();
    EXPECT_EQ(d2(), "1");
    EXPECT_EQ(record(5), listBill(1));
    EXPECT_EQ(host.text("批量打印", "A5"), "1") << "the whole row, column A included, is copied";
}

TEST_F(BatchList, PreviousAndNextStepOneRecordAtATime) {
    putList(3);
    money.fn003();
    money.fn007();
    money.fn007();
    EXPECT_EQ(d2(), "3");
    EXPECT_EQ(record(5), listBill(3));
    money.fn006();
    EXPECT_EQ(d2(), "2");
    EXPECT_EQ(record(5), listBill(2));
}

TEST_F(BatchList, PreviousAtRecordOneChangesNothing) {
    putList(3);
    money.fn003();
    for (const Value& one : {Value::number(1), Value::text("1")}) {
        setD2(one);
        auto before = batchSheetValues();
        money.fn006();
        EXPECT_EQ(batchSheetValues(), before);
    }
}

TEST_F(BatchList, AnEmptyAmountStopsNextAndPrintAndAdvance) {
    putList(3);
    makeCurrent(2);
    host.put("批量打印", "H5", Value::text(""));
    auto before = batchSheetValues();
    auto everything = stateOf(*host.book);
    money.fn007();
    money.fn005();
    EXPECT_EQ(batchSheetValues(), before);
    EXPECT_EQ(stateOf(*host.book), everything);
    EXPECT_TRUE(host.printed().empty());
    EXPECT_FALSE(dialogs::FormInstance<TianxiePJ_frm>::exists()) << "the fill-in form is not touched";
}

TEST_F(BatchList, NextFromTheLastRecordLoadsAnEmptyRowAndThenStops) {
    putList(3);
    makeCurrent(3);
    money.fn007();
    EXPECT_EQ(d2(), "4");
    EXPECT_EQ(record(5), std::vector<std::string>(13, ""));
    EXPECT_EQ(host.text("批量打印", "A5"), "4") << "the template's own column A comes along";

    auto before = batchSheetValues();
    money.fn007();
    money.fn005();
    EXPECT_EQ(batchSheetValues(), before);
    EXPECT_TRUE(host.printed().empty());
}

TEST_F(BatchList, LoadingRecordD2KeepsD2AndAnEmptyD2DoesNothing) {
    putList(5);
    money.fn003();
    setD2(Value::text("4"));
    money.fn008();
    EXPECT_EQ(record(5), listBill(4));
    EXPECT_EQ(d2(), "4");

    setD2(Value());
    auto before = batchSheetValues();
    money.fn008();
    EXPECT_EQ(batchSheetValues(), before);
}

TEST_F(BatchList, ARecordNumberThatIsNotANumberChangesNothing) {
    putList(5);
    makeCurrent(2);
    for (const char* notANumber : {"abc", "nan", "inf", "0x3", "2 3", "1e9", "-"}) {
        SCOPED_TRACE(notANumber);
        setD2(Value::text(notANumber));
        auto before = batchSheetValues();
        money.fn006();
        money.fn007();
        money.fn008();
        EXPECT_EQ(batchSheetValues(), before);
    }
}

// D2 names no record when empty, not a number or below 1: stepping back or on, loading
// and printing change nothing (record 0 would load the headings of row 7 as a bill).
TEST_F(BatchList, ARecordNumberBelowOneOrEmptyChangesNothingAndPrintsNothing) {
    putList(5);
    makeCurrent(2);
    for (const Value& none : {Value(), Value::text(""), Value::number(0), Value::number(-1), Value::number(0.4),
                              Value::text("0"), Value::text(" -3 "), Value::text("abc")}) {
        SCOPED_TRACE(none.toText());
        setD2(none);
        auto everything = stateOf(*host.book);
        money.fn006();
        money.fn007();
        money.fn008();
        money.fn005();
        EXPECT_EQ(stateOf(*host.book), everything);
    }
    EXPECT_TRUE(host.printed().empty());
    EXPECT_FALSE(dialogs::FormInstance<TianxiePJ_frm>::exists());
}

TEST_F(BatchList, ARecordNumberTypedAsTextIsReadAsTheHostReadsIt) {
    putList(5);
    makeCurrent(1);
    setD2(Value::text(" 2.5 "));  // rounds to even: 2
    money.fn007();
    EXPECT_EQ(d2(), "3");
    EXPECT_EQ(record(5), listBill(3));
    setD2(Value::text("4e0"));
    money.fn006();
    EXPECT_EQ(d2(), "3");
}

}  // namespace
