#include <gtest/gtest.h>

#include "addin/bill/TianxiePJ_frm.h"
#include "tests/addin/support/AddinTestHost.h"

using namespace vorra;
using namespace vorra::testing;
using dialogs::FormInstance;
using dialogs::MsgBoxIcon;

namespace {

// The sample template's unit book, rows 8 to 19 of 常用单位账号.
const std::vector<std::string> kUnitNames{
    "苏州恒达机械有限公司", "南京长江建材公司", "无锡华光电子厂",   "杭州西湖茶叶公司",
    "上海东方贸易公司",     "常州天宁纺织厂",   "昆山明珠电器公司", "中国银行苏州分行",
    "吴江丝绸进出口公司",   "南通海安建筑公司", "扬州运河物流公司", "张家港港务公司"};

class FillInForm : public ::testing::Test {
protected:
    AddinTestHost host;
    std::shared_ptr<TianxiePJ_frm> form;

    void SetUp() override { open(); }
    void TearDown() override {
        EXPECT_EQ(host.toolkit.takeFailure(), std::nullopt);
        EXPECT_TRUE(host.toolkit.unusedAnswers().empty());
    }
    void open() {
        FormInstance<TianxiePJ_frm>::unload();
        form = FormInstance<TianxiePJ_frm>::show(host.toolkit);
    }
    std::string fillIn(const std::string& address) { return host.text("常用单位账号", address); }
    // D(row):I(row) of the fill-in sheet, joined by "|".
    std::string unitRow(int row) {
        std::string joined;
        for (char c = 'D'; c <= 'I'; ++c)
            joined += (c == 'D' ? "" : "|") + fillIn(std::string(1, c) + std::to_string(row));
        return joined;
    }
    std::vector<std::string> listOf(dialogs::ComboBox& box) {
        std::vector<std::string> items;
        for (int i = 0; i < box.listCount(); ++i) items.push_back(box.item(i));
        return items;
    }
    void pressRight(const char* control) { host.user.press(*form, control, dialogs::key::kRight); }
};

TEST_F(FillInForm, OpensWithTheBooksAndTheVisibleSheetsOnTheFillInSheet) {
    EXPECT_EQ(listOf(form->ComboBox1), kUnitNames);
    EXPECT_EQ(listOf(form->ComboBox2), kUnitNames);
    EXPECT_EQ(listOf(form->ComboBox3),
              (std::vector<std::string>{"货款", "工资", "差旅费", "办公费", "租金", "水电费", "服务费"}));
    EXPECT_EQ(form->ComboBox4.text(), "常用单位账号");
    EXPECT_EQ(form->ComboBox4.listCount(), 14);
    EXPECT_EQ(host.app.activeSheet()->name(), "常用单位账号");
    EXPECT_TRUE(host.toolkit.isTopmost("TianxiePJ_frm"));
}

TEST_F(FillInForm, TypingFillsThePayeeWhileTypingAndAnUnmatchedTextKeepsIt) {
    // The find starts after row 8: of the units containing "州" the one in row 11 comes
    // first, the one in row 8 last.
    host.user.type(*form, "ComboBox1", "州");
    EXPECT_EQ(unitRow(4), "HZXHCYGS|杭州西湖茶叶公司|0000358101040012345|中国农业银行杭州分行|浙江|杭州");
    host.user.type(*form, "ComboBox1", "没有");
    EXPECT_EQ(form->ComboBox1.text(), "州没有");
    EXPECT_EQ(fillIn("E4"), "杭州西湖茶叶公司");
    EXPECT_TRUE(host.app.sheets("常用单位账号")->isProtected());
    EXPECT_TRUE(host.app.enableEvents());
}

TEST_F(FillInForm, TypingAShortNameWithItsCheckBoxLooksUpColumnD) {
    host.user.click(*form, "CheckBox1");
    host.user.type(*form, "ComboBox1", "HZX");
    EXPECT_EQ(fillIn("E4"), "杭州西湖茶叶公司");
}

TEST_F(FillInForm, PickingAPayeeCopiesItsRowAndProtectsTheSheetAgain) {
    host.user.pick(*form, "ComboBox1", "南京长江建材公司");
    EXPECT_EQ(unitRow(4), "NJCJJCGS|南京长江建材公司|0062210012345678901|中国工商银行南京分行|江苏|南京");
    EXPECT_EQ(host.cell("常用单位账号", "F4"), host::Value::text("0062210012345678901"))
        << "the account keeps its digits in the general cell F4";
    EXPECT_TRUE(host.app.sheets("常用单位账号")->isProtected());
    EXPECT_TRUE(host.app.enableEvents());
    host.user.close(*form);
    EXPECT_TRUE(host.app.sheets("常用单位账号")->isProtected());
}

// Opened from the batch dialog, the form has a bill sheet active. Every box still
// looks up and writes the fill-in sheet by name, which alone is protected again; the
// bill sheet is never protected, by typing, by closing or by printing.
TEST_F(FillInForm, WithABillSheetActiveTheBoxesWriteTheFillInSheetAndNoBillSheetIsProtected) {
    host.user.pick(*form, "ComboBox4", "转账支票");
    host.user.type(*form, "ComboBox1", "西湖");
    EXPECT_EQ(unitRow(4), "HZXHCYGS|杭州西湖茶叶公司|0000358101040012345|中国农业银行杭州分行|浙江|杭州");
    host.user.click(*form, "CheckBox2");
    host.user.type(*form, "ComboBox2", "KSMZ");
    EXPECT_EQ(fillIn("E5"), "昆山明珠电器公司");
    host.user.pick(*form, "ComboBox3", "货款");
    host.user.type(*form, "TextBox1", "500");
    host.user.type(*form, "TextBox2", "00012345");
    form->ComboBox3.setText("租金");
    host.user.press(*form, "ComboBox3", dialogs::key::kReturn);
    form->ComboBox1.setText("zj");
    pressRight("ComboBox1");
    EXPECT_EQ(listOf(form->ComboBox1), (std::vector<std::string>{"南京长江建材公司", "张家港港务公司"}));
    EXPECT_EQ(fillIn("K5"), "租金");
    EXPECT_EQ(host.cell("常用单位账号", "K3"), host::Value::number(500));
    EXPECT_EQ(fillIn("G6"), "00012345");
    auto bill = host.app.sheets("转账支票");
    EXPECT_EQ(host.app.activeSheet(), bill);
    EXPECT_FALSE(bill->isProtected());
    EXPECT_TRUE(host.app.sheets("常用单位账号")->isProtected());

    headless::InputAnswer number;
    number.text = "1";
    host.toolkit.queueInput(number);
    host.user.click(*form, "CommandButton1");
    EXPECT_EQ(host.printed(), std::vector<std::string>{"转账支票"});
    EXPECT_EQ(host.text("打印记录", "C3"), "杭州西湖茶叶公司");
    EXPECT_FALSE(bill->isProtected());
    EXPECT_TRUE(host.app.sheets("常用单位账号")->isProtected());
}

TEST_F(FillInForm, ThePayerCheckBoxAppliesToTypingButNotToPicking) {
    host.user.click(*form, "CheckBox2");
    host.user.type(*form, "ComboBox2", "NJCJ");
    EXPECT_EQ(unitRow(5), "NJCJJCGS|南京长江建材公司|0062210012345678901|中国工商银行南京分行|江苏|南京");
    host.user.pick(*form, "ComboBox2", "无锡华光电子厂");
    EXPECT_EQ(unitRow(5), "WXHGDZC|无锡华光电子厂|6217001480001234567|中国建设银行无锡分行|江苏|无锡");
}

TEST_F(FillInForm, AUnitBelowRow407IsFilledByTypingButPickingWritesOnlyItsName) {
    host::Array2D filler(400, 6);
    for (int r = 1; r <= 400; ++r) {
        filler.at(r, 1) = host::Value::text("T" + std::to_string(r));
        filler.at(r, 2) = host::Value::text("填充单位" + std::to_string(r));
        for (int c = 3; c <= 6; ++c) filler.at(r, c) = host::Value::text("x");
    }
    host.put("常用单位账号", "D20:I419", filler);
    host::Array2D far(1, 6);
    const char* fields[] = {"YFDW", "远方单位", "123", "远方银行", "远省", "远县"};
    for (int c = 1; c <= 6; ++c) far.at(1, c) = host::Value::text(fields[c - 1]);
    host.put("常用单位账号", "D420:I420", far);
    open();
    host.user.type(*form, "ComboBox1", "远方单位");
    EXPECT_EQ(unitRow(4), "YFDW|远方单位|123|远方银行|远省|远县");
    form->ComboBox1.setText("远方单位");
    host.put("常用单位账号", "D4:I4", host::Value());
    host.user.pick(*form, "ComboBox1", "远方单位");  // the same text: only the click runs
    EXPECT_EQ(unitRow(4), "|远方单位||||");
}

TEST_F(FillInForm, APurposeCodeWithItsCheckBoxWritesThePurpose) {
    host.user.type(*form, "ComboBox3", "CLF");
    EXPECT_EQ(fillIn("K5"), "") << "without the check box a typed purpose is not looked up";
    form->ComboBox3.setText("");
    host.user.click(*form, "CheckBox3");
    host.user.type(*form, "ComboBox3", "SDF");
    EXPECT_EQ(fillIn("K5"), "水电费");
    host.user.pick(*form, "ComboBox3", "租金");
    EXPECT_EQ(fillIn("K5"), "租金");
}

TEST_F(FillInForm, AmountNumberAndPasswordGoToTheirCells) {
    host.user.type(*form, "TextBox1", "1234.5");
    host.user.type(*form, "TextBox2", "00012345");
    host.user.type(*form, "TextBox3", "9876");
    EXPECT_EQ(host.cell("常用单位账号", "K3").asNumber(), 1234.5);
    EXPECT_EQ(fillIn("G6"), "00012345");
    EXPECT_EQ(fillIn("L6"), "9876");
    EXPECT_TRUE(host.app.sheets("常用单位账号")->isProtected());
}

TEST_F(FillInForm, EnterMovesOnAndWritesTheBoxValue) {
    form->ComboBox1.setText("上海东方贸易公司");
    host.user.press(*form, "ComboBox1", dialogs::key::kReturn);
    EXPECT_EQ(form->activeControl(), &form->ComboBox2);
    EXPECT_EQ(fillIn("E4"), "上海东方贸易公司");
    host.user.press(*form, "ComboBox2", dialogs::key::kReturn);
    EXPECT_EQ(form->activeControl(), &form->ComboBox3);
    host.user.press(*form, "ComboBox3", dialogs::key::kReturn);
    EXPECT_EQ(host.app.activeCell().address(), "$K$3");
}

TEST_F(FillInForm, TheRightArrowFiltersByTextWithAChineseKey) {
    form->ComboBox1.setText(" 苏州 ");
    pressRight("ComboBox1");
    EXPECT_EQ(listOf(form->ComboBox1),
              (std::vector<std::string>{"苏州恒达机械有限公司", "中国银行苏州分行"}));
    form->ComboBox3.setText("费");
    pressRight("ComboBox3");
    EXPECT_EQ(listOf(form->ComboBox3),
              (std::vector<std::string>{"差旅费", "办公费", "水电费", "服务费"}));
    form->ComboBox2.setText("北京");
    pressRight("ComboBox2");
    EXPECT_TRUE(listOf(form->ComboBox2).empty());
    EXPECT_EQ(form->ComboBox2.matchEntry(), dialogs::MatchEntry::None);
}

TEST_F(FillInForm, OtherKeysLeaveTheListAlone) {
    form->ComboBox1.setText("苏州");
    host.user.press(*form, "ComboBox1", dialogs::key::kLeft);
    EXPECT_EQ(form->ComboBox1.listCount(), 12);
}

// The initials filter asks the host's formula engine for each character's initial.
TEST_F(FillInForm, TheRightArrowFiltersByInitialsWithALatinKey) {
    form->ComboBox1.setText("zg");
    pressRight("ComboBox1");
    // ZGYHSZFH, and NTHAJZGS whose 筑公 gives the "ZG" inside.
    EXPECT_EQ(listOf(form->ComboBox1),
              (std::vector<std::string>{"中国银行苏州分行", "南通海安建筑公司"}));
    form->ComboBox2.setText("QQQ");
    pressRight("ComboBox2");
    EXPECT_TRUE(listOf(form->ComboBox2).empty());
    form->ComboBox2.setText("");
    pressRight("ComboBox2");
    EXPECT_EQ(listOf(form->ComboBox2), kUnitNames) << "the empty key lists every entry with initials";
}

TEST_F(FillInForm, ClearingEmptiesTheCellsThroughTheBoxesAndRebuildsTheLists) {
    host.user.type(*form, "TextBox1", "88");
    host.user.type(*form, "TextBox2", "123");
    host.user.type(*form, "TextBox3", "456");
    form->ComboBox1.setText("苏州");
    pressRight("ComboBox1");
    host.app.sheets("转账支票")->activate();
    host.user.click(*form, "CommandButton2");
    EXPECT_EQ(fillIn("K3"), "");
    EXPECT_EQ(fillIn("G6"), "");
    EXPECT_EQ(fillIn("L6"), "");
    EXPECT_EQ(form->ComboBox1.text(), "");
    EXPECT_EQ(listOf(form->ComboBox1), kUnitNames);
    EXPECT_EQ(listOf(form->ComboBox2), kUnitNames);
    EXPECT_EQ(form->ComboBox3.listCount(), 7);
    EXPECT_EQ(host.app.activeSheet()->name(), "常用单位账号");
}

TEST_F(FillInForm, ABookColumnWithOneEntryGivesAnEmptyList) {
    host.put("常用单位账号", "E9:E19", host::Value());
    host.put("常用单位账号", "K9:K14", host::Value());
    open();
    EXPECT_EQ(form->ComboBox1.listCount(), 0);
    EXPECT_EQ(form->ComboBox3.listCount(), 0);
}

TEST_F(FillInForm, AnEmptyBookColumnListsItsHeading) {
    host.put("常用单位账号", "E8:E19", host::Value());
    open();
    ASSERT_EQ(form->ComboBox1.listCount(), 2);
    EXPECT_EQ(form->ComboBox1.item(0), "户名");
    EXPECT_EQ(form->ComboBox1.item(1), "");
}

TEST_F(FillInForm, PrintingTheFillInSheetIsRefusedAndTheFormStaysOpen) {
    expectMessage(host.toolkit, "“常用单位账号” 工作表，禁止打印！", MsgBoxIcon::Critical, "系统：");
    host.user.click(*form, "CommandButton1");
    EXPECT_TRUE(form->visible());
    EXPECT_TRUE(host.printed().empty());
}

TEST_F(FillInForm, PrintsTheChosenSheetAndCloses) {
    host.user.pick(*form, "ComboBox1", "南京长江建材公司");
    host.user.pick(*form, "ComboBox4", "现金支票");
    EXPECT_EQ(host.app.activeSheet()->name(), "现金支票");
    headless::InputAnswer number;
    number.text = "777";
    host.toolkit.queueInput(number);
    host.user.click(*form, "CommandButton1");
    EXPECT_EQ(host.printed(), std::vector<std::string>{"现金支票"});
    EXPECT_FALSE(FormInstance<TianxiePJ_frm>::exists());
    EXPECT_EQ(host.text("打印记录", "C3"), "南京长江建材公司");
    EXPECT_EQ(host.text("打印记录", "N3"), "777");
}

// A fill-in sheet protected with another password makes every write of the boxes fail.
TEST_F(FillInForm, ErrorsOfThePayeeAndPayerPicksAreReportedAndEventsComeBackOn) {
    auto units = host.app.sheets("常用单位账号");
    units->unprotect("470518");
    units->protect("other");
    host.user.pick(*form, "ComboBox4", "转账支票");
    host.app.setEnableEvents(false);
    expectMessage(host.toolkit, "输入不正确，请输入E7单元格下面的户名", MsgBoxIcon::Critical, "");
    host.user.type(*form, "ComboBox1", "南");
    EXPECT_TRUE(host.app.enableEvents());
    EXPECT_EQ(form->ComboBox1.text(), "南京长江建材公司");

    host.user.type(*form, "ComboBox2", "无锡");  // the payer's typing reports nothing
    for (int i = 0; i < 2; ++i)  // the payee's change and click
        expectMessage(host.toolkit, "输入不正确，请输入E7单元格下面的户名", MsgBoxIcon::Critical, "");
    host.user.pick(*form, "ComboBox1", "无锡华光电子厂");
    expectMessage(host.toolkit, "输入不正确，请输入E7单元格下面的户名", MsgBoxIcon::Critical, "");
    host.user.pick(*form, "ComboBox2", "杭州西湖茶叶公司");
    expectMessage(host.toolkit, "输入不正确，请输入K7单元格下面的用途", MsgBoxIcon::Critical, "");
    host.user.pick(*form, "ComboBox3", "工资");
    EXPECT_TRUE(host.app.enableEvents());
    EXPECT_EQ(host.text("转账支票", "E4"), "");
    EXPECT_EQ(fillIn("E4"), "");
}

TEST(FillInFormWithoutTemplate, OpensWithEmptyBoxes) {
    AddinTestHost host("16.0", false);
    auto form = FormInstance<TianxiePJ_frm>::show(host.toolkit);
    EXPECT_EQ(form->ComboBox1.listCount(), 0);
    EXPECT_EQ(form->ComboBox4.text(), "");
    EXPECT_EQ(form->ComboBox4.listCount(), 1);
    FormInstance<TianxiePJ_frm>::unload();
}

}  // namespace
