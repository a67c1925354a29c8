// Worksheet functions: ordinary use, edges and error values.
#include <gtest/gtest.h>

#include "FormulaFixture.h"

using namespace vorra::engine;
using namespace vorra::engine::testing;
using vorra::host::ErrorValue;

using Functions = FormulaBook;

TEST_F(Functions, ArithmeticConvertsTextsAndPropagatesErrorsFromTheLeft) {
    EXPECT_EQ(number("\"3\"+2"), 5);
    EXPECT_EQ(number("TRUE+1"), 2);
    EXPECT_EQ(number("\" 1,234.5 \"*2"), 2469);
    EXPECT_EQ(number("\"50%\"*2"), 1);
    EXPECT_EQ(eval("\"abc\"+1"), err(ErrorValue::Value));
    EXPECT_EQ(eval("1/0"), err(ErrorValue::Div0));
    EXPECT_EQ(eval("#N/A+1/0"), err(ErrorValue::NA));
    EXPECT_EQ(eval("1/0+#N/A"), err(ErrorValue::Div0));
    EXPECT_EQ(eval("0^0"), err(ErrorValue::Num));
    EXPECT_EQ(eval("(-8)^0.5"), err(ErrorValue::Num));
    EXPECT_EQ(eval("10^400"), err(ErrorValue::Num));
}

TEST_F(Functions, ComparisonsIgnoreCaseAndRankNumbersBeforeTextsBeforeBooleans) {
    EXPECT_EQ(eval("\"abc\"=\"ABC\""), boolean(true));
    EXPECT_EQ(eval("1<\"0\""), boolean(true));
    EXPECT_EQ(eval("\"z\"<TRUE"), boolean(true));
    EXPECT_EQ(eval("A1=\"\""), boolean(true));  // empty equals the empty text
    EXPECT_EQ(eval("A1=0"), boolean(true));     // and 0
    EXPECT_EQ(eval("A1=FALSE"), boolean(true));
    EXPECT_EQ(eval("\"b\">\"A\""), boolean(true));
    EXPECT_EQ(eval("\"Z\"<\"啊\""), boolean(true));  // Latin before Han
    EXPECT_EQ(eval("\"张\">\"李\""), boolean(true));  // pinyin order: zhang after li
    EXPECT_EQ(eval("1=#N/A"), err(ErrorValue::NA));
}

TEST_F(Functions, SumAndCountaOverRangesAndArguments) {
    put("A1", 1);
    put("A2", "2");
    put("A3", Value::boolean(true));
    put("A4", 4);
    EXPECT_EQ(number("SUM(A1:A4)"), 5);      // texts and booleans in ranges are skipped
    EXPECT_EQ(number("SUM(A1,\"2\",TRUE)"), 4);  // but typed arguments count
    EXPECT_EQ(number("SUM(A1:A4,10)"), 15);
    EXPECT_EQ(eval("SUM(A1,\"x\")"), err(ErrorValue::Value));
    put("A5", "=1/0");
    EXPECT_EQ(eval("SUM(A1:A5)"), err(ErrorValue::Div0));
    EXPECT_EQ(number("COUNTA(A1:A10)"), 5);
    EXPECT_EQ(number("COUNTA(A1:A10,\"\",1)"), 7);
    EXPECT_EQ(eval("SUM(A:A)"), err(ErrorValue::Div0));
}

TEST_F(Functions, RoundingAsTheHostRoundsDecimals) {
    EXPECT_EQ(number("ROUND(1.005,2)"), 1.01);  // not 1.00 of the binary fraction
    EXPECT_EQ(number("ROUND(2.5,0)"), 3);
    EXPECT_EQ(number("ROUND(-2.5,0)"), -3);     // half away from zero
    EXPECT_EQ(number("ROUND(1234.5678,-2)"), 1200);
    EXPECT_EQ(number("ROUNDDOWN(3.999,2)"), 3.99);
    EXPECT_EQ(number("ROUNDDOWN(-3.999,0)"), -3);
    EXPECT_EQ(number("ROUNDDOWN(0.3*3,1)"), 0.9);
    EXPECT_EQ(number("INT(-1.5)"), -2);
    EXPECT_EQ(number("INT(7.9)"), 7);
    EXPECT_EQ(number("ABS(-3)"), 3);
    EXPECT_EQ(number("MOD(7,3)"), 1);
    EXPECT_EQ(number("MOD(-7,3)"), 2);  // sign of the divisor
    EXPECT_EQ(number("MOD(7,-3)"), -2);
    EXPECT_EQ(eval("MOD(1,0)"), err(ErrorValue::Div0));
    EXPECT_EQ(eval("ROUND(\"x\",1)"), err(ErrorValue::Value));
}

TEST_F(Functions, ConditionsAndTestsOfKind) {
    EXPECT_EQ(text("IF(1>0,\"yes\",\"no\")"), "yes");
    EXPECT_EQ(eval("IF(FALSE,1)"), boolean(false));
    EXPECT_EQ(eval("IF(\"x\",1,2)"), err(ErrorValue::Value));
    EXPECT_EQ(eval("IF(#N/A,1,2)"), err(ErrorValue::NA));
    EXPECT_EQ(number("IF(0,1/0,7)"), 7);  // the branch not taken does not matter
    EXPECT_EQ(text("IFERROR(1/0,\"-\")"), "-");
    EXPECT_EQ(number("IFERROR(5,0)"), 5);
    EXPECT_EQ(eval("ISERROR(#N/A)"), boolean(true));
    EXPECT_EQ(eval("ISERROR(1)"), boolean(false));
    EXPECT_EQ(eval("ISNUMBER(\"1\")"), boolean(false));
    EXPECT_EQ(eval("ISNUMBER(1)"), boolean(true));
    EXPECT_EQ(eval("ISBLANK(Z99)"), boolean(true));
    put("Z98", "");
    EXPECT_EQ(eval("ISBLANK(Z98)"), boolean(false));  // the empty text is not blank
    EXPECT_EQ(eval("AND(1,TRUE)"), boolean(true));
    EXPECT_EQ(eval("AND(1,0)"), boolean(false));
    EXPECT_EQ(eval("OR(0,FALSE)"), boolean(false));
    EXPECT_EQ(eval("OR(0,\"x\")"), err(ErrorValue::Value));
    EXPECT_EQ(eval("AND(Z1:Z5)"), err(ErrorValue::Value));  // nothing to test
    EXPECT_EQ(eval("NOT(0)"), boolean(true));
}

TEST_F(Functions, TextFunctionsCountCharactersNotBytes) {
    EXPECT_EQ(number("LEN(\"收款人abc\")"), 6);
    EXPECT_EQ(number("LEN(123.5)"), 5);
    EXPECT_EQ(text("LEFT(\"工商银行\",2)"), "工商");
    EXPECT_EQ(text("LEFT(\"工商银行\")"), "工");
    EXPECT_EQ(text("RIGHT(\"工商银行\",2)"), "银行");
    EXPECT_EQ(text("RIGHT(\"ab\",10)"), "ab");
    EXPECT_EQ(eval("LEFT(\"ab\",-1)"), err(ErrorValue::Value));
    EXPECT_EQ(text("MID(\"中国工商银行\",3,2)"), "工商");
    EXPECT_EQ(text("MID(\"abc\",10,2)"), "");
    EXPECT_EQ(eval("MID(\"abc\",0,2)"), err(ErrorValue::Value));
    EXPECT_EQ(number("FIND(\"银\",\"工商银行\")"), 3);
    EXPECT_EQ(number("FIND(\"a\",\"banana\",3)"), 4);
    EXPECT_EQ(eval("FIND(\"A\",\"banana\")"), err(ErrorValue::Value));  // case counts
    EXPECT_EQ(number("FIND(\"\",\"abc\",2)"), 2);
    EXPECT_EQ(text("SUBSTITUTE(\"a-b-c\",\"-\",\"+\")"), "a+b+c");
    EXPECT_EQ(text("SUBSTITUTE(\"a-b-c\",\"-\",\"+\",2)"), "a-b+c");
    EXPECT_EQ(text("SUBSTITUTE(\"abc\",\"\",\"x\")"), "abc");
    EXPECT_EQ(text("REPT(\"零\",3)"), "零零零");
    EXPECT_EQ(eval("REPT(\"ab\",20000)"), err(ErrorValue::Value));  // longer than a cell holds
    EXPECT_EQ(text("TRIM(\"  张  三  \")"), "张 三");
    EXPECT_EQ(text("UPPER(\"abc张\")"), "ABC张");
    EXPECT_EQ(text("LOWER(\"ÄBC\")"), "äbc");
    EXPECT_EQ(text("CONCATENATE(\"a\",1,TRUE)"), "a1TRUE");
    EXPECT_EQ(text("1/4&\"\""), "0.25");
    EXPECT_EQ(text("1/3&\"\""), "0.333333333333333");
}

TEST_F(Functions, TextAndValueConvertWithNumberFormats) {
    EXPECT_EQ(text("TEXT(1234.5,\"#,##0.00\")"), "1,234.50");
    EXPECT_EQ(text("TEXT(\"12\",\"000\")"), "012");
    EXPECT_EQ(text("TEXT(46363,\"yyyy年m月d日\")"), "2026年12月7日");
    EXPECT_EQ(text("TEXT(123,\"[DBNum2]0\")"), "壹佰贰拾叁");
    EXPECT_EQ(text("TEXT(\"abc\",\"0.00\")"), "abc");
    EXPECT_EQ(number("VALUE(\"1,234.5\")"), 1234.5);
    EXPECT_EQ(number("VALUE(\"2026-12-07\")"), 46363);
    EXPECT_EQ(number("VALUE(\"12:00\")"), 0.5);
    EXPECT_EQ(eval("VALUE(\"12abc\")"), err(ErrorValue::Value));
}

TEST_F(Functions, NumberStringWritesChineseNumerals) {
    EXPECT_EQ(text("NUMBERSTRING(123,1)"), "一百二十三");
    EXPECT_EQ(text("NUMBERSTRING(123,2)"), "壹佰贰拾叁");
    EXPECT_EQ(text("NUMBERSTRING(123,3)"), "一二三");
    EXPECT_EQ(text("NUMBERSTRING(10,1)"), "一十");  // the 一 of a leading 一十 stays
    EXPECT_EQ(text("NUMBERSTRING(10,2)"), "壹拾");
    EXPECT_EQ(text("NUMBERSTRING(1005,1)"), "一千〇五");
    EXPECT_EQ(text("NUMBERSTRING(1005,2)"), "壹仟零伍");
    EXPECT_EQ(text("NUMBERSTRING(12.6,1)"), "一十三");
    EXPECT_EQ(text("NUMBERSTRING(-5,2)"), "负伍");
    EXPECT_EQ(text("NUMBERSTRING(0,2)"), "零");
    EXPECT_EQ(eval("NUMBERSTRING(1,4)"), err(ErrorValue::Value));
}

TEST_F(Functions, DatesAsSerialNumbers) {
    EXPECT_EQ(number("DATE(2026,12,7)"), 46363);
    EXPECT_EQ(number("DATE(2026,13,1)"), number("DATE(2027,1,1)"));  // months carry over
    EXPECT_EQ(number("DATE(2026,3,0)"), number("DATE(2026,2,28)"));
    EXPECT_EQ(number("DATE(1900,3,1)"), 61);  // after the host's 1900-02-29
    EXPECT_EQ(number("DATE(26,1,1)"), number("DATE(1926,1,1)"));
    EXPECT_EQ(eval("DATE(10000,1,1)"), err(ErrorValue::Num));
    EXPECT_EQ(number("YEAR(46363)"), 2026);
    EXPECT_EQ(number("MONTH(46363)"), 12);
    EXPECT_EQ(number("DAY(46363.75)"), 7);
    EXPECT_EQ(number("DAY(60)"), 29);  // the day that never was
    EXPECT_EQ(number("YEAR(\"2026-12-07\")"), 2026);
    EXPECT_EQ(eval("YEAR(-1)"), err(ErrorValue::Num));
    double today = number("TODAY()");
    double now = number("NOW()");
    EXPECT_GT(today, 46000);
    EXPECT_GE(now, today);
    EXPECT_LT(now, today + 1);
}

TEST_F(Functions, RowAndColumnOfReferencesAndOfTheFormulaCell) {
    EXPECT_EQ(number("ROW(C5)"), 5);
    EXPECT_EQ(number("COLUMN(C5)"), 3);
    put("D7", "=ROW()*100+COLUMN()");
    EXPECT_EQ(valueOf("D7"), num(704));
    EXPECT_EQ(number("SUM(ROW(A1:A4))"), 10);  // an array of row numbers
    EXPECT_EQ(eval("ROW(1)"), err(ErrorValue::Value));
}

TEST_F(Functions, ElementWiseEvaluationOverRangesAndArrays) {
    put("A1", 1);
    put("A2", 2);
    put("A3", 3);
    EXPECT_EQ(number("SUM(A1:A3*{10;100;1000})"), 3210);
    EXPECT_EQ(number("SUM(LEN({\"ab\",\"c\"}))"), 3);
    EXPECT_EQ(number("SUM(IF(A1:A3>1,A1:A3))"), 5);
    EXPECT_EQ(number("SUM({1,2}+{10;20})"), 66);  // a row and a column stretch
    EXPECT_EQ(eval("SUM({1,2,3}+{1,2})"), err(ErrorValue::NA));  // no partner for 3
    put("B2", "=A1:A3*2");  // an array result shows its first element
    EXPECT_EQ(valueOf("B2"), num(2));
    put("C2", "=A1:A3");  // a bare range: the cell in the formula's row
    EXPECT_EQ(valueOf("C2"), num(2));
    put("B9", "=A1:A3");
    EXPECT_EQ(valueOf("B9"), err(ErrorValue::Value));
}

TEST_F(Functions, HostileArgumentsAreBoundedNotHung) {
    EXPECT_EQ(text("REPT(\"\",1E+300)"), "");
    EXPECT_EQ(eval("REPT(\"a\",1E+300)"), err(ErrorValue::Value));
    EXPECT_EQ(text("MID(\"abc\",1E+300,1E+300)"), "");
    EXPECT_EQ(number("ROUND(1.5,1E+300)"), 1.5);
    EXPECT_EQ(number("ROUND(1.5,-1E+300)"), 0);
    EXPECT_EQ(eval("DATE(1E+300,1,1)"), err(ErrorValue::Num));
    EXPECT_EQ(text("TEXT(1,\"0.\"&REPT(\"0\",300))").size(), 302u);
    EXPECT_EQ(text("TEXT(1,REPT(\"%\",200))").empty(), false);
    EXPECT_EQ(text("TEXT(1E+308,\"0.00\")"), "#NUM!");
    // Arrays over a whole sheet would need too much memory: an error, not a crash.
    put("A5", 1);
    put("XFD5", 1);
    EXPECT_EQ(number("SUM(A:XFD*1)"), 2);  // whole columns end at the last used row
    put("A1000", 1);
    EXPECT_EQ(eval("SUM(A:XFD*1)"), err(ErrorValue::Num));
    EXPECT_EQ(number("COUNTIF(A:XFD,1)"), 3);
    EXPECT_EQ(number("SUM(A:XFD)"), 3);
    std::string many = "SUM(1";
    for (int i = 0; i < 254; ++i) many += ",1";
    EXPECT_EQ(number(many + ")"), 255);
    EXPECT_EQ(eval(many + ",1)"), err(ErrorValue::Value));  // the 256th argument is refused
}
