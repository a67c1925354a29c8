// Formula language: literals, references, precedence, and refusal of bad input.
#include <gtest/gtest.h>

#include "FormulaFixture.h"
#include "addin/frame/host/HostError.h"
#include "platform/engine/formula/Parser.h"

using namespace vorra::engine;
using namespace vorra::engine::testing;
using vorra::host::ErrorValue;

using FormulaLanguage = FormulaBook;

TEST_F(FormulaLanguage, LiteralsOfEveryKind) {
    EXPECT_EQ(eval("1.5E3"), num(1500));
    EXPECT_EQ(eval(".5"), num(0.5));
    EXPECT_EQ(eval("\"say \"\"hi\"\"\""), txt("say \"hi\""));
    EXPECT_EQ(eval("true"), boolean(true));
    EXPECT_EQ(eval("#N/A"), err(ErrorValue::NA));
    EXPECT_EQ(eval("#div/0!"), err(ErrorValue::Div0));
    EXPECT_EQ(eval("=1+1"), num(2));  // a leading "=" is accepted
}

TEST_F(FormulaLanguage, PrecedenceFollowsTheHost) {
    EXPECT_EQ(number("-2^2"), 4);        // unary minus binds tighter than ^
    EXPECT_EQ(number("2^3^2"), 64);      // ^ groups from the left
    EXPECT_EQ(number("1+2*3"), 7);
    EXPECT_EQ(number("(1+2)*3"), 9);
    EXPECT_EQ(number("50%*4"), 2);
    EXPECT_EQ(number("2^200%"), 4);      // % before ^
    EXPECT_EQ(text("1+2&3"), "33");      // & after arithmetic
    EXPECT_EQ(eval("1+1=2"), boolean(true));  // comparison last
    EXPECT_EQ(eval("\"a\"&1<\"b\""), boolean(true));
    EXPECT_EQ(number("--3"), 3);
    EXPECT_EQ(number("10-2-3"), 5);
    EXPECT_EQ(number("12/2/3"), 2);
}

TEST_F(FormulaLanguage, ReferencesRelativeAbsoluteQualifiedAndWholeColumns) {
    put("B2", 5);
    put("C3", 7, 1);
    EXPECT_EQ(number("B2"), 5);
    EXPECT_EQ(number("$B$2*2"), 10);
    EXPECT_EQ(number("b$2"), 5);
    EXPECT_EQ(number("常用单位账号!C3"), 7);
    EXPECT_EQ(number("'常用单位账号'!$C$3"), 7);
    EXPECT_EQ(number("SUM(Sheet1!A1:B2)"), 5);
    EXPECT_EQ(number("SUM(B:B)"), 5);
    EXPECT_EQ(number("SUM(B2:A1)"), 5);  // corners in any order
    EXPECT_EQ(eval("没有这个表!A1"), err(ErrorValue::Ref));
    EXPECT_EQ(eval("B1"), Value());  // an empty cell evaluates as empty
}

TEST_F(FormulaLanguage, ArrayConstantsWithRowsAndColumns) {
    auto v = engine->evaluate("{\"吖\",\"A\";\"八\",\"B\"}", 0);
    ASSERT_TRUE(v.isArray());
    EXPECT_EQ(v.array().rows(), 2);
    EXPECT_EQ(v.array().columns(), 2);
    EXPECT_EQ(v.array().at(2, 1), txt("八"));
    EXPECT_EQ(v.array().at(2, 2), txt("B"));
    EXPECT_EQ(number("SUM({1,2;3,-4})"), 2);
    EXPECT_EQ(eval("{1,2;3}"), err(ErrorValue::Value));  // ragged rows are refused
}

TEST_F(FormulaLanguage, NamedRangesResolveToTheirAreas) {
    put("E8", "甲公司", 1);
    put("E9", "乙公司", 1);
    defineName("收款人户名", "常用单位账号!$E$8:$E$9");
    EXPECT_EQ(number("COUNTA(收款人户名)"), 2);
    EXPECT_EQ(eval("未定义的名字"), err(ErrorValue::Name));
    book.names.push_back({"Loop", "Loop", -1, false});  // a name referring to itself
    EXPECT_EQ(eval("Loop"), err(ErrorValue::Name));
}

TEST_F(FormulaLanguage, ValidateRefusesMalformedFormulasWithAClearMessage) {
    auto message = [&](const std::string& f) -> std::string {
        try {
            engine->validate(f);
        } catch (const vorra::host::HostError& e) {
            return e.what();
        }
        return "";
    };
    EXPECT_NE(message("SUM(1,2").find("Unbalanced parentheses"), std::string::npos);
    EXPECT_NE(message("1+2)").find("Unbalanced parentheses"), std::string::npos);
    EXPECT_NE(message("\"abc").find("Unterminated text"), std::string::npos);
    EXPECT_NE(message("1+").find("value is expected"), std::string::npos);
    EXPECT_NE(message("ROUND(1)").find("Wrong number of arguments"), std::string::npos);
    EXPECT_NE(message("1 ? 2").find("Unexpected character"), std::string::npos);
    EXPECT_NE(message("#BAD!").find("Unknown error value"), std::string::npos);
    EXPECT_EQ(message("VLOOKUP($E$4,收款人信息,2,FALSE)"), "");
    EXPECT_EQ(message("NOSUCHFUNCTION(1)"), "");  // accepted, evaluates to #NAME?
}

TEST_F(FormulaLanguage, UnknownFunctionsAndReferencesPastTheSheetEndGiveErrorValues) {
    EXPECT_EQ(eval("NOSUCHFUNCTION(1)"), err(ErrorValue::Name));
    EXPECT_EQ(eval("IFERROR(NOSUCHFUNCTION(1),\"ok\")"), txt("ok"));
    EXPECT_EQ(eval("A1048577"), err(ErrorValue::Name));
    EXPECT_EQ(eval("XFE1"), err(ErrorValue::Name));
    EXPECT_TRUE(eval("SUM(A1:A1048577)").isError());
    EXPECT_THROW(engine->validate("SUM(A1:A1048577)"), vorra::host::HostError);
    put("A1", "=SUM(1,2");  // a stored formula that cannot be parsed
    EXPECT_EQ(valueOf("A1"), err(ErrorValue::Name));
}

TEST_F(FormulaLanguage, DeepNestingIsRefusedWithoutOverflowingTheStack) {
    std::string deep = std::string(10000, '(') + "1" + std::string(10000, ')');
    EXPECT_THROW(engine->validate(deep), vorra::host::HostError);
    EXPECT_EQ(eval(deep), err(ErrorValue::Value));
    std::string calls;
    for (int i = 0; i < 3000; ++i) calls += "ABS(";
    calls += "1" + std::string(3000, ')');
    EXPECT_THROW(formula::parseFormula(calls), formula::FormulaSyntaxError);
    std::string chain = "1";
    for (int i = 0; i < 4000; ++i) chain += "+1";
    EXPECT_THROW(formula::parseFormula(chain), formula::FormulaSyntaxError);  // depth, not length
    EXPECT_THROW(formula::parseFormula(std::string(5000, '-') + "1"), formula::FormulaSyntaxError);
    // Moderate nesting is fine.
    EXPECT_EQ(number(std::string(100, '(') + "2" + std::string(100, ')')), 2);
}

TEST_F(FormulaLanguage, OverlongAndBinaryGarbageInputIsRefused) {
    EXPECT_THROW(formula::parseFormula(std::string(9000, '1')), formula::FormulaSyntaxError);
    EXPECT_THROW(formula::parseFormula(""), formula::FormulaSyntaxError);
    std::string garbage = "\x01\xff\xfe(";
    EXPECT_THROW(formula::parseFormula(garbage), formula::FormulaSyntaxError);
    EXPECT_EQ(eval(")))((("), err(ErrorValue::Value));
}

TEST_F(FormulaLanguage, NamesThatExpandExplosivelyOrTooDeeplyGiveNameErrors) {
    // Each name uses the next one 50 times: 50^8 uses if expanded naively.
    for (int i = 0; i < 8; ++i) {
        std::string next = "Big_" + std::to_string(i + 1);
        std::string uses = next;
        for (int k = 1; k < 50; ++k) uses += "+" + next;
        book.names.push_back({"Big_" + std::to_string(i), uses, -1, false});
    }
    book.names.push_back({"Big_8", "1", -1, false});
    EXPECT_EQ(number("Big_7"), 50);
    EXPECT_EQ(eval("Big_0"), err(ErrorValue::Name));
    // A name nested deeply inside a deep formula inside a deep name.
    std::string deep = std::string(200, '(') + "1" + std::string(200, ')');
    std::string calls;
    for (int i = 0; i < 200; ++i) calls += "ABS(";
    book.names.push_back({"Deep", calls + "1" + std::string(200, ')'), -1, false});
    book.names.push_back({"Deeper", calls + "Deep" + std::string(200, ')'), -1, false});
    EXPECT_EQ(eval(calls + "Deeper" + std::string(200, ')')), err(ErrorValue::Name));
    EXPECT_EQ(number("Deep"), 1);
}
