// Look-up functions and the criteria of COUNTIF and SUMIF.
#include <gtest/gtest.h>

#include "FormulaFixture.h"

using namespace vorra::engine;
using namespace vorra::engine::testing;
using vorra::host::ErrorValue;

namespace {

class Lookups : public FormulaBook {
protected:
    // A unit book on 常用单位账号 from row 8: 简称, 户名, 账号, 开户行 in D to G.
    void unitBook() {
        const char* rows[][4] = {{"JJ", "甲公司", "6222001", "工行"},
                                 {"YY", "乙公司", "6222002", "农行"},
                                 {"BB", "丙公司", "6222003", "中行"}};
        for (int i = 0; i < 3; ++i)
            for (int c = 0; c < 4; ++c)
                put(std::string(1, char('D' + c)) + std::to_string(8 + i), rows[i][c], 1);
        book.names.push_back({"收款人信息", "常用单位账号!$E$8:$I$50007", -1, false});
        book.names.push_back({"付款人信息", "常用单位账号!$D$8:$I$50007", -1, false});
        book.names.push_back({"收款人户名", "常用单位账号!$E$8:$E$50007", -1, false});
        engine->recalculateAll();
    }
};

}  // namespace

TEST_F(Lookups, ExactVlookupFindsTheFirstMatchIgnoringCase) {
    unitBook();
    EXPECT_EQ(text("VLOOKUP(\"乙公司\",收款人信息,2,FALSE)"), "6222002");
    EXPECT_EQ(text("VLOOKUP(\"乙公司\",收款人信息,3,0)"), "农行");
    EXPECT_EQ(text("VLOOKUP(\"yy\",付款人信息,2,FALSE)"), "乙公司");
    EXPECT_EQ(text("VLOOKUP(\"丙*\",收款人信息,2,FALSE)"), "6222003");  // wildcard
    EXPECT_EQ(eval("VLOOKUP(\"丁公司\",收款人信息,2,FALSE)"), err(ErrorValue::NA));
    EXPECT_EQ(eval("VLOOKUP(\"乙公司\",收款人信息,2,)"), txt("6222002"));  // empty 4th: exact
    EXPECT_EQ(eval("VLOOKUP(\"乙公司\",收款人信息,9,FALSE)"), err(ErrorValue::Ref));
    EXPECT_EQ(eval("VLOOKUP(\"乙公司\",收款人信息,0,FALSE)"), err(ErrorValue::Value));
    EXPECT_EQ(eval("VLOOKUP(#N/A,收款人信息,2,FALSE)"), err(ErrorValue::NA));
    put("A1", "=VLOOKUP(\"甲公司\",收款人信息,5,FALSE)");
    EXPECT_EQ(valueOf("A1"), num(0));  // an empty cell found shows 0
    EXPECT_EQ(number("VLOOKUP(2,{1,\"a\";2,\"b\"},1,FALSE)"), 2);
    EXPECT_EQ(eval("VLOOKUP(\"2\",{1,\"a\";2,\"b\"},2,FALSE)"), err(ErrorValue::NA));  // kinds differ
}

TEST_F(Lookups, ApproximateLookupsTakeTheLastKeyNotAbove) {
    EXPECT_EQ(text("VLOOKUP(25,{0,\"a\";10,\"b\";20,\"c\";30,\"d\"},2)"), "c");
    EXPECT_EQ(text("VLOOKUP(30,{0,\"a\";10,\"b\";20,\"c\";30,\"d\"},2,TRUE)"), "d");
    EXPECT_EQ(eval("VLOOKUP(-1,{0,\"a\";10,\"b\"},2)"), err(ErrorValue::NA));
    EXPECT_EQ(text("HLOOKUP(15,{0,10,20;\"a\",\"b\",\"c\"},2)"), "b");
    EXPECT_EQ(text("HLOOKUP(\"B\",{\"a\",\"b\",\"c\";1,2,3},2,FALSE)"), "2");
    EXPECT_EQ(number("MATCH(15,{0,10,20})"), 2);
    EXPECT_EQ(number("MATCH(\"B\",{\"a\",\"b\",\"c\"},0)"), 2);
    EXPECT_EQ(number("MATCH(\"c?\",{\"a\",\"cx\",\"c\"},0)"), 2);
    EXPECT_EQ(number("MATCH(15,{30,20,10},-1)"), 2);
    EXPECT_EQ(eval("MATCH(1,{1,2;3,4},0)"), err(ErrorValue::NA));
    EXPECT_EQ(number("LOOKUP(2.5,{1,2,3},{10,20,30})"), 20);
    EXPECT_EQ(text("LOOKUP(\"乙\",{\"甲\",\"乙\"},{\"j\",\"y\"})"), "y");
}

TEST_F(Lookups, LookupOfOneOverAConditionYieldsTheLastNonEmptyEntry) {
    unitBook();
    EXPECT_EQ(text("LOOKUP(1,0/(收款人户名<>\"\"),收款人户名)"), "丙公司");
    put("E9", "", 1);  // a gap does not matter
    put("E30", "后加公司", 1);
    EXPECT_EQ(text("LOOKUP(1,0/(收款人户名<>\"\"),收款人户名)"), "后加公司");
    EXPECT_EQ(text("LOOKUP(1,0/(常用单位账号!E:E<>\"\"),常用单位账号!E:E)"), "后加公司");
    EXPECT_EQ(text("LOOKUP(2,1/(常用单位账号!E8:E40<>\"\"),常用单位账号!D8:D40)"), "");  // D30 empty
    EXPECT_EQ(eval("LOOKUP(1,0/(常用单位账号!Z1:Z9<>\"\"),常用单位账号!Z1:Z9)"), err(ErrorValue::NA));
}

TEST_F(Lookups, IndexReturnsCellsRowsAndColumns) {
    unitBook();
    EXPECT_EQ(text("INDEX(收款人信息,2,3)"), "农行");
    EXPECT_EQ(text("INDEX(收款人户名,3)"), "丙公司");
    EXPECT_EQ(text("INDEX({\"a\",\"b\",\"c\"},2)"), "b");
    EXPECT_EQ(number("COUNTA(INDEX(收款人信息,0,1))"), 3);
    EXPECT_EQ(number("SUM(INDEX({1,2;3,4},2,0))"), 7);
    EXPECT_EQ(eval("INDEX({1,2;3,4},3,1)"), err(ErrorValue::Ref));
    EXPECT_EQ(text("INDEX(收款人户名,MATCH(\"乙公司\",收款人户名,0))"), "乙公司");
}

TEST_F(Lookups, CountifCriteriaFollowTheHostRules) {
    const Value cells[] = {num(3), num(7), num(10), txt("5"), txt("apple"), txt("Avocado"),
                           txt("a*"), txt("b"), boolean(true), Value(), txt("")};
    for (int i = 0; i < 11; ++i) put("A" + std::to_string(i + 1), cells[i]);
    auto count = [&](const std::string& criteria) { return number("COUNTIF(A1:A11," + criteria + ")"); };
    EXPECT_EQ(count("\">5\""), 2);          // numbers only, not the text "5"
    EXPECT_EQ(count("5"), 1);               // the number 5 matches the text "5"
    EXPECT_EQ(count("\"5\""), 1);
    EXPECT_EQ(count("\"=5\""), 1);
    EXPECT_EQ(count("\"<>5\""), 10);
    EXPECT_EQ(count("\"a*\""), 3);          // apple, Avocado, a*: wildcard, case ignored
    EXPECT_EQ(count("\"a~*\""), 1);         // the literal a*
    EXPECT_EQ(count("\"~*\""), 0);
    EXPECT_EQ(count("\"?\""), 2);           // the texts "5" and "b"
    EXPECT_EQ(count("\"<>\""), 10);         // every cell that is not empty, the empty text included
    EXPECT_EQ(count("\"\""), 2);            // empty cell and empty text
    EXPECT_EQ(count("\"=\""), 1);           // only the truly empty cell
    EXPECT_EQ(count("TRUE"), 1);
    EXPECT_EQ(count("\">=b\""), 1);         // texts in the host's order
    EXPECT_EQ(count("\"<b\""), 5);          // 5, apple, Avocado, a* and the empty text
    EXPECT_EQ(number("COUNTIF(B1:B100,\"\")"), 100);  // blanks are counted without cells
    EXPECT_EQ(eval("COUNTIF(5,5)"), err(ErrorValue::Value));
}

TEST_F(Lookups, CountifMatchesANumberAgainstAccountNumberTexts) {
    put("F8", "6222021234567890", 1);
    put("F9", "6222021234567891", 1);
    // A number read from a text keeps fifteen significant digits, as typed into a cell:
    // 16-digit account numbers that differ in the last digit match alike, as in the
    // host (its well-known trap with identity and account numbers).
    EXPECT_EQ(number("COUNTIF(常用单位账号!F8:F9,6222021234567890)"), 2);
    EXPECT_EQ(number("COUNTIF(常用单位账号!F8:F9,\"6222021234567890\")"), 2);
    EXPECT_EQ(number("COUNTIF(常用单位账号!F8:F9,\"622202123456*\")"), 2);
    put("F10", "6222021234567890123", 1);
    put("F11", "6222021234567890124", 1);
    EXPECT_EQ(number("COUNTIF(常用单位账号!F10:F11,6222021234567890123)"), 2);
}

TEST_F(Lookups, SumifAddsTheMatchingRowsOfTheSumRange) {
    const char* names[] = {"甲", "乙", "甲", ""};
    for (int i = 0; i < 4; ++i) {
        put("A" + std::to_string(i + 1), names[i]);
        put("B" + std::to_string(i + 1), 10.0 * (i + 1));
    }
    EXPECT_EQ(number("SUMIF(A1:A4,\"甲\",B1:B4)"), 40);
    EXPECT_EQ(number("SUMIF(A1:A4,\"甲\",B1)"), 40);  // the sum range takes the criteria's shape
    EXPECT_EQ(number("SUMIF(B1:B4,\">15\")"), 90);
    EXPECT_EQ(number("SUMIF(A1:A4,\"\",B1:B4)"), 40);  // the empty text in A4
    EXPECT_EQ(number("SUMIF(A1:A5,\"=\",B1:B5)"), 0);
}

TEST_F(Lookups, WorksheetFunctionObjectUsesTheSameRules) {
    vorra::host::Array2D values(3, 1);
    values.at(1, 1) = txt("6222001");
    values.at(2, 1) = num(6222001);
    values.at(3, 1) = txt("x*y");
    EXPECT_EQ(engine->countIf(values, num(6222001)), 2);
    EXPECT_EQ(engine->countIf(values, txt("x~*y")), 1);
    EXPECT_EQ(engine->countIf(values, txt(">1")), 1);
    vorra::host::Array2D table(2, 2);
    table.at(1, 1) = txt("a");
    table.at(1, 2) = num(1);
    table.at(2, 1) = txt("c");
    table.at(2, 2) = num(3);
    EXPECT_EQ(engine->vlookup(txt("b"), table, 2, std::nullopt), num(1));
    EXPECT_EQ(engine->vlookup(txt("b"), table, 2, false), err(ErrorValue::NA));
    EXPECT_EQ(engine->vlookup(txt("C"), table, 2, false), num(3));
    EXPECT_EQ(engine->vlookup(txt("c"), table, 3, false), err(ErrorValue::Ref));
}

TEST_F(Lookups, ApproximateSearchesSkipBlanksErrorsAndOtherKinds) {
    // Sorted keys with gaps, an error and a text among the numbers.
    put("A1", 10);
    put("A3", 20);
    put("A4", "=1/0");
    put("A5", "x");
    put("A6", 40);
    put("A9", 50);
    for (int r = 1; r <= 9; ++r) put("B" + std::to_string(r), r * 100.0);
    EXPECT_EQ(number("VLOOKUP(25,A1:B9,2)"), 300);
    EXPECT_EQ(number("VLOOKUP(45,A1:B9,2)"), 600);
    EXPECT_EQ(number("VLOOKUP(99,A1:B9,2)"), 900);
    EXPECT_EQ(eval("VLOOKUP(5,A1:B9,2)"), err(ErrorValue::NA));
    EXPECT_EQ(number("MATCH(45,A1:A9)"), 6);
    EXPECT_EQ(number("MATCH(45,A1:A9,1)"), 6);
    EXPECT_EQ(number("LOOKUP(\"y\",A1:A9,B1:B9)"), 500);  // the only text
    EXPECT_EQ(number("LOOKUP(99,A1:B9)"), 900);            // array form: last column
}

TEST_F(Lookups, ReferenceTablesAcrossRowsAndColumns) {
    const char* heads[] = {"吖", "八", "嚓", "咑"};
    for (int c = 0; c < 4; ++c) {
        put(std::string(1, char('A' + c)) + "1", heads[c]);
        put(std::string(1, char('A' + c)) + "2", std::string(1, char('A' + c)).c_str());
    }
    EXPECT_EQ(text("HLOOKUP(\"张\",A1:D2,2)"), "D");   // zhang sorts after da
    EXPECT_EQ(text("HLOOKUP(\"爸\",A1:D2,2,TRUE)"), "B");
    EXPECT_EQ(text("HLOOKUP(\"嚓\",A1:D2,2,FALSE)"), "C");
    EXPECT_EQ(eval("HLOOKUP(\"A\",A1:D2,2)"), err(ErrorValue::NA));  // Latin before Han
    EXPECT_EQ(eval("HLOOKUP(\"嚓\",A1:D2,3,FALSE)"), err(ErrorValue::Ref));
    EXPECT_EQ(number("MATCH(\"咑\",A1:D1,0)"), 4);
    EXPECT_EQ(text("INDEX(A1:D2,2,MATCH(\"八\",A1:D1,0))"), "B");
    EXPECT_EQ(text("LOOKUP(\"北\",A1:D1,A2:D2)"), "B");
    EXPECT_EQ(text("LOOKUP(\"北\",A1:D2)"), "B");  // wider than tall: search the first row
}

TEST_F(Lookups, ErrorsInArgumentsPropagate) {
    EXPECT_EQ(eval("VLOOKUP(1,#REF!,2,FALSE)"), err(ErrorValue::Ref));
    EXPECT_EQ(eval("VLOOKUP(1,{1,2},\"x\",FALSE)"), err(ErrorValue::Value));
    EXPECT_EQ(eval("VLOOKUP(1,{1,2},2,\"maybe\")"), err(ErrorValue::Value));
    EXPECT_EQ(eval("MATCH(1/0,{1,2},0)"), err(ErrorValue::Div0));
    EXPECT_EQ(eval("INDEX({1,2},-1)"), err(ErrorValue::Value));
    EXPECT_EQ(eval("COUNTIF(A1:A3,1/0)"), num(0));  // an error criterion matches nothing here
    EXPECT_EQ(eval("SUMIF(A1:A3,1,#N/A)"), num(0));
}
