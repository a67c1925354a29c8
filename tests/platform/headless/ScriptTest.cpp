// The scenario language's parser: what each step reads into, and the refusal of
// malformed lines with their numbers.
#include <gtest/gtest.h>

#include "platform/headless/runner/Script.h"

namespace vorra::headless {
namespace {

Step only(const std::string& line) {
    auto steps = parseScript(line + "\n");
    EXPECT_EQ(steps.size(), 1u);
    return steps.empty() ? Step{} : steps.front();
}

// The message of the refusal, prefixed by its line number.
std::string refusal(const std::string& script) {
    try {
        parseScript(script);
    } catch (const ScriptError& e) {
        return std::to_string(e.line()) + ": " + e.what();
    }
    return "accepted";
}

TEST(Script, SkipsCommentsAndBlankLinesAndKeepsLineNumbers) {
    auto steps = parseScript("# heading\n\n   \r\n  run TianxiePJ  \r\n\t# indented comment\nstop");
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].line, 4);
    EXPECT_EQ(steps[0].source, "run TianxiePJ");
    EXPECT_EQ(steps[0].text, "TianxiePJ");
    EXPECT_EQ(steps[1].line, 6);
    EXPECT_EQ(steps[1].kind, Step::Kind::Stop);
}

TEST(Script, UserActionsNameFormAndControl) {
    Step type = only(R"(type "苏州 \"A\"\n" into TianxiePJ_frm.ComboBox1)");
    EXPECT_EQ(type.kind, Step::Kind::Type);
    EXPECT_EQ(type.text, "苏州 \"A\"\n");
    EXPECT_EQ(type.form, "TianxiePJ_frm");
    EXPECT_EQ(type.control, "ComboBox1");

    Step press = only("press Right in Frm_收付款人.TextBox1");
    EXPECT_EQ(press.number, 39);
    EXPECT_EQ(press.form, "Frm_收付款人");

    Step pick = only("pick #3 in Frm_金额用途.ListView1");
    EXPECT_EQ(pick.number, 3);
    EXPECT_EQ(only(R"(pick "转账支票" in TianxiePJ_frm.ComboBox4)").text, "转账支票");

    Step drop = only(R"(drop "a.xls" "$SCRIPT/b.xls" on VorraMB_frm)");
    EXPECT_EQ(drop.texts, (std::vector<std::string>{"a.xls", "$SCRIPT/b.xls"}));
    EXPECT_EQ(drop.form, "VorraMB_frm");
    EXPECT_EQ(drop.control, "");
    EXPECT_EQ(only(R"(drop "a" on VorraMB_frm.List2)").control, "List2");
}

TEST(Script, AnswersCarryTheirExpectations) {
    Step m = only(R"(expect message "账号重复，请修改！" icon Critical title "Quorvan：" answer Yes)");
    EXPECT_EQ(m.kind, Step::Kind::AnswerMessage);
    EXPECT_EQ(m.message.text, "账号重复，请修改！");
    EXPECT_EQ(m.message.icon, dialogs::MsgBoxIcon::Critical);
    EXPECT_EQ(m.message.title, std::optional<std::string>("Quorvan："));
    EXPECT_EQ(m.message.answer, dialogs::MsgBoxResult::Yes);
    auto byDefault = only(R"(expect message "x" title default)").message.title;
    ASSERT_TRUE(byDefault.has_value());
    EXPECT_FALSE(byDefault->has_value());  // the host's default caption
    EXPECT_FALSE(only("answer message").message.text.has_value());

    EXPECT_FALSE(only("answer input cancel").input.text.has_value());
    EXPECT_EQ(only(R"(answer input "7" prompt "请输入日期")").input.prompt, "请输入日期");
    EXPECT_TRUE(only("answer file cancel").texts.empty());
    EXPECT_EQ(only(R"(answer file "a" "b" title "t")").texts.size(), 2u);
}

TEST(Script, CellsAndValues) {
    EXPECT_TRUE(only("set 常用单位账号!K3 1234.5").value == host::Value::number(1234.5));
    EXPECT_TRUE(only(R"(set K3 "0012")").value == host::Value::text("0012"));
    EXPECT_TRUE(only("set K3 empty").value.isEmpty());
    EXPECT_EQ(only(R"(expect cell 打印记录!N3 "8")").expected, "8");
    EXPECT_EQ(only(R"(print "Sheet 1!A1:B2")").text, "Sheet 1!A1:B2");  // blanks need quotes
    EXPECT_EQ(only(R"(expect TianxiePJ_frm.ComboBox1 row 2 "a | b")").number, 2);
    Step start = only(R"(start version "11.0" marker)");
    EXPECT_EQ(start.text, "11.0");
    EXPECT_TRUE(start.flag);
    EXPECT_EQ(only("start").text, "16.0");
}

TEST(Script, CellExpectationsSayWhatTheyCompare) {
    struct Case {
        const char* line;
        CellCheck check;
        host::Value value;
        const char* expected;
    };
    const Case cases[] = {
        {R"(expect cell K3 "1234.5")", CellCheck::AsText, {}, "1234.5"},
        {R"(expect cell K3 text "1,234.50")", CellCheck::Displayed, {}, "1,234.50"},
        {R"(expect cell K3 formula "=A1*2")", CellCheck::Formula, {}, "=A1*2"},
        {"expect cell K3 number 1234.5", CellCheck::Value, host::Value::number(1234.5), ""},
        {"expect cell K3 empty", CellCheck::Value, host::Value(), ""},
        {"expect cell K3 boolean true", CellCheck::Value, host::Value::boolean(true), ""},
        {R"(expect cell K3 error "#n/a")", CellCheck::Value, host::Value::error(host::ErrorValue::NA), ""},
        {"expect cell K3 error #DIV/0!", CellCheck::Value, host::Value::error(host::ErrorValue::Div0), ""},
    };
    for (const Case& c : cases) {
        Step step = only(c.line);
        EXPECT_EQ(step.kind, Step::Kind::ExpectCell) << c.line;
        EXPECT_EQ(step.text, "K3") << c.line;
        EXPECT_EQ(step.check, c.check) << c.line;
        EXPECT_TRUE(step.value == c.value) << c.line;
        EXPECT_EQ(step.expected, c.expected) << c.line;
    }
}

TEST(Script, SelectClearSheetsPrintsAndRegions) {
    EXPECT_EQ(only("select 常用单位账号!K4").kind, Step::Kind::Select);
    EXPECT_EQ(only("expect selection G6").kind, Step::Kind::ExpectSelection);
    Step clear = only("clear TianxiePJ_frm.TextBox1");
    EXPECT_EQ(clear.kind, Step::Kind::Clear);
    EXPECT_EQ(clear.control, "TextBox1");
    EXPECT_EQ(only("expect TianxiePJ_frm.ComboBox1 listcount 12").expected, "12");
    Step sheet = only(R"(expect sheet "打印 记录" unprotected)");
    EXPECT_EQ(sheet.text, "打印 记录");
    EXPECT_FALSE(sheet.flag);
    EXPECT_TRUE(only("expect sheet 常用单位账号 protected").flag);
    Step printed = only("expect printed 2 pages 3");
    EXPECT_EQ(printed.number, 2);
    EXPECT_EQ(printed.pages, 3);
    EXPECT_EQ(only("expect printed 0").pages, -1);
    EXPECT_EQ(only("show regions").kind, Step::Kind::ShowRegions);
}

TEST(Script, RefusesMalformedLinesWithTheirNumber) {
    const std::pair<const char*, const char*> cases[] = {
        {"start\nfly away\n",
         "2: unknown command 'fly' (known: start, stop, open, new, run, type, press, clear, click, pick, select, "
         "close, drop, mouse-down, answer, expect, set, print, show, save)"},
        {R"(type "abc into F.C)", "1: unterminated quoted text"},
        {R"(type "a"b into F.C)", "1: a blank must follow the closing quote"},
        {R"(type a"b" into F.C)", "1: quote inside a word: put the whole text in quotes"},
        {R"(type "\q" into F.C)", "1: unknown escape \\q in quoted text"},
        {"type abc into F.C", "1: expected the text to type in quotes, found 'abc'"},
        {R"(type "a" onto F.C)", "1: expected 'into', found 'onto'"},
        {R"(type "a" into F.)", "1: expected FORM.CONTROL, found 'F.'"},
        {"click", "1: expected FORM.CONTROL at the end of the line"},
        {"click F.C now", "1: unexpected 'now' at the end of the step"},
        {"clear F", "1: expected FORM.CONTROL, found 'F'"},
        {"select", "1: expected a range reference at the end of the line"},
        {"pick #0 in F.C", "1: expected a row number after # (a whole number from 1), found '0'"},
        {"pick 3 in F.C", "1: expected the row text in quotes or #N, found '3'"},
        {"answer message Maybe", "1: unknown answer 'Maybe' (OK, Cancel, Abort, Retry, Ignore, Yes, No)"},
        {R"(expect message "x" icon Skull)",
         "1: unknown icon 'Skull' (None, Critical, Question, Exclamation, Information)"},
        {"set A1 12abc", "1: expected a text in quotes, a number or empty, found '12abc'"},
        {"new book", "1: expected 'workbook' or 'sample', found 'book'"},
        {R"(expect file "x" there)", "1: expected exists or absent, found 'there'"},
        {"drop on F", "1: expected one or more paths in quotes"},
        {"expect F.C listcount many", "1: expected the value in quotes or a number, found 'many'"},
        {"expect cell A1 number 12abc", "1: expected a number, found '12abc'"},
        {"expect cell A1 boolean yes", "1: expected TRUE or FALSE, found 'yes'"},
        {"expect cell A1 error #OOPS",
         "1: expected an error value (#NULL!, #DIV/0!, #VALUE!, #REF!, #NAME?, #NUM!, #N/A), found '#OOPS'"},
        {R"(expect cell A1 colour "red")",
         "1: expected the value in quotes, or text, formula, number, empty, boolean or error, found 'colour'"},
        {"expect cell A1 text 12", "1: expected the displayed text in quotes, found '12'"},
        {"expect sheet S locked", "1: expected protected or unprotected, found 'locked'"},
        {"expect printed -1", "1: expected the number of print jobs (a whole number from 0), found '-1'"},
        {"expect printed 1 pages", "1: expected the number of pages at the end of the line"},
        {"expect printed 1 sheets 2", "1: unexpected 'sheets' at the end of the step"},
        {"show windows", "1: expected 'regions', found 'windows'"},
    };
    for (const auto& [script, message] : cases) EXPECT_EQ(refusal(script), message) << script;
}

TEST(Script, RefusesInputBeyondItsBounds) {
    EXPECT_EQ(refusal("run A\nrun \xE4\xB8\n"), "2: not UTF-8 text: malformed UTF-8 at byte 4");
    EXPECT_EQ(refusal(std::string("run A\0B", 7)), "1: NUL byte in the line");
    EXPECT_EQ(refusal("# " + std::string(kMaxLineBytes, 'x')), "1: line longer than 65536 bytes");
    EXPECT_EQ(refusal(std::string(kMaxScriptBytes + 1, '\n')), "0: script longer than 4 MiB");
    std::string many = "drop";
    for (int i = 0; i <= 100; ++i) many += " \"f\"";
    EXPECT_EQ(refusal(many + " on F"), "1: more than 100 files to drop");
}

}  // namespace
}  // namespace vorra::headless
