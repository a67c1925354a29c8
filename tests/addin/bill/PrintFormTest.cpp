#include <gtest/gtest.h>

#include "addin/bill/PrintForm.h"
#include "addin/bill/TianxiePJ_frm.h"
#include "tests/addin/support/AddinTestHost.h"
#include "tools/sampletemplate/SampleTemplate.h"

using namespace vorra;
using namespace vorra::testing;
using dialogs::FormInstance;
using dialogs::MsgBoxIcon;

namespace {

std::vector<std::string> listOf(const dialogs::ComboBox& box) {
    std::vector<std::string> items;
    for (int i = 0; i < box.listCount(); ++i) items.push_back(box.item(i));
    return items;
}

class PrintForm : public ::testing::Test {
protected:
    AddinTestHost host;
    void TearDown() override {
        FormInstance<Frm_打印票据>::unload();
        EXPECT_EQ(host.toolkit.takeFailure(), std::nullopt);
        EXPECT_TRUE(host.toolkit.unusedAnswers().empty());
    }
    std::shared_ptr<Frm_打印票据> open() { return FormInstance<Frm_打印票据>::show(host.toolkit); }
};

TEST_F(PrintForm, OffersTheVisibleSheetsInOrderAndPreselectsTheFillInSheet) {
    host.app.sheets("基本信息")->setVisible(host::Visibility::Hidden);
    host.app.sheets("第十表")->setVisible(host::Visibility::VeryHidden);
    host.app.sheets("进账单")->activate();
    auto form = open();
    EXPECT_EQ(listOf(form->ComboBox1),
              (std::vector<std::string>{"常用单位账号", "现金支票", "转账支票", "进账单", "业务委托书",
                                        "现金缴款单", "第六表", "第七表", "第八表", "第九表",
                                        "打印记录", "批量打印"}));
    EXPECT_EQ(form->ComboBox1.text(), "常用单位账号");
    EXPECT_EQ(host.app.activeSheet()->name(), "常用单位账号");
    EXPECT_TRUE(host.toolkit.isTopmost("Frm_打印票据"));
}

TEST_F(PrintForm, ChoosingASheetActivatesItAndATypedUnknownNameDoesNothing) {
    auto form = open();
    host.user.pick(*form, "ComboBox1", "现金缴款单");
    EXPECT_EQ(host.app.activeSheet()->name(), "现金缴款单");
    form->ComboBox1.setText("没有这张表");
    EXPECT_EQ(host.app.activeSheet()->name(), "现金缴款单");
}

TEST_F(PrintForm, PrintsTheChosenSheetAndRecordsIt) {
    tools::SampleBill bill;
    tools::writeSampleBill(*host.book, bill);
    auto form = open();
    host.user.pick(*form, "ComboBox1", "业务委托书");
    host.user.click(*form, "CommandButton1");
    EXPECT_EQ(host.printed(), std::vector<std::string>{"业务委托书"});
    EXPECT_FALSE(FormInstance<Frm_打印票据>::exists());
    EXPECT_EQ(host.text("打印记录", "M3"), "业务委托书");
    EXPECT_EQ(host.text("打印记录", "C3"), "苏州恒达机械有限公司");
    EXPECT_EQ(host.text("打印记录", "N3"), "");
}

TEST_F(PrintForm, RefusesTheFillInSheetAndStaysOpen) {
    auto form = open();
    expectMessage(host.toolkit, "“常用单位账号” 工作表，禁止打印！", MsgBoxIcon::Critical, "系统：");
    host.user.click(*form, "CommandButton1");
    EXPECT_TRUE(form->visible());
    EXPECT_TRUE(host.printed().empty());
}

TEST_F(PrintForm, TheTutorialButtonClosesAndOpensThePage) {
    auto form = open();
    host.user.click(*form, "CommandButton2");
    EXPECT_FALSE(FormInstance<Frm_打印票据>::exists());
    EXPECT_EQ(host.toolkit.lines(headless::Record::Kind::ShellOpen),
              std::vector<std::string>{"shell-open \"https://www.quorvan.example/tutorial/print.html\""});
}

TEST(PrintFormWithoutTemplate, OffersTheOtherSheetsAndPreselectsNone) {
    AddinTestHost host("16.0", false);
    host.book->addSheet(nullptr);
    auto form = FormInstance<Frm_打印票据>::show(host.toolkit);
    EXPECT_EQ(form->ComboBox1.listCount(), 2);
    EXPECT_EQ(form->ComboBox1.text(), "");
    FormInstance<Frm_打印票据>::unload();
}

TEST(FormsWithoutWorkbook, OpenEmptyAndPrintNothing) {
    AddinTestHost host("16.0", false);
    host.book->close(false);
    auto print = FormInstance<Frm_打印票据>::show(host.toolkit);
    auto fillIn = FormInstance<TianxiePJ_frm>::show(host.toolkit);
    auto quick = FormInstance<Kuaijie_TX_frm>::show(host.toolkit);
    EXPECT_EQ(print->ComboBox1.listCount(), 0);
    EXPECT_EQ(fillIn->ComboBox4.listCount(), 0);
    EXPECT_FALSE(quick->CommandButton1.enabled());
    host.user.type(*fillIn, "TextBox1", "12");
    expectMessage(host.toolkit, "请选择要打印的支票类工作表，然后方能打印！", MsgBoxIcon::Critical, "系统：");
    host.user.click(*print, "CommandButton1");
    EXPECT_TRUE(host.printed().empty());
    EXPECT_EQ(host.toolkit.takeFailure(), std::nullopt);
    host.toolkit.unloadAll();
}

// ---- Quick fill. ------------------------------------------------------------------

const std::vector<std::pair<std::string, std::string>> kLookupFormulas{
    {"F4", "=VLOOKUP($E$4,收款人信息,2,FALSE)"}, {"G4", "=VLOOKUP($E$4,收款人信息,3,FALSE)"},
    {"H4", "=VLOOKUP($E$4,收款人信息,4,FALSE)"}, {"I4", "=VLOOKUP($E$4,收款人信息,5,FALSE)"},
    {"E5", "=VLOOKUP($D$5,付款人信息,2,FALSE)"}, {"F5", "=VLOOKUP($D$5,付款人信息,3,FALSE)"},
    {"G5", "=VLOOKUP($D$5,付款人信息,4,FALSE)"}, {"H5", "=VLOOKUP($D$5,付款人信息,5,FALSE)"},
    {"I5", "=VLOOKUP($D$5,付款人信息,6,FALSE)"}};

class QuickFill : public ::testing::Test {
protected:
    AddinTestHost host;
    std::shared_ptr<host::Worksheet> units;
    std::shared_ptr<Kuaijie_TX_frm> form;

    void SetUp() override {
        tools::writeSampleBill(*host.book, {});
        units = host.app.sheets("常用单位账号");
        host.app.sheets("转账支票")->activate();
        form = FormInstance<Kuaijie_TX_frm>::show(host.toolkit);
    }
    void TearDown() override {
        FormInstance<Kuaijie_TX_frm>::unload();
        EXPECT_EQ(host.toolkit.takeFailure(), std::nullopt);
        EXPECT_TRUE(host.toolkit.unusedAnswers().empty());
    }
    std::string formula(const std::string& cell) { return units->range(cell).formula(); }
};

TEST_F(QuickFill, OpensOnTheFillInSheetWithBothSwitchesEnabled) {
    EXPECT_EQ(host.app.activeSheet()->name(), "常用单位账号");
    EXPECT_TRUE(form->CommandButton1.enabled());
    EXPECT_TRUE(form->CommandButton2.enabled());
    EXPECT_EQ(form->TextBox1.text(), "=LOOKUP(1,0/(收款人户名<>\"\"),收款人户名)");
}

TEST_F(QuickFill, SwitchingOnWritesTheFormulasAndLeavesTheKeys) {
    form->TextBox1.setText("=LOOKUP(1,0/(收款人户名<>\"\"),\r\n收款人户名)");
    host.user.click(*form, "CommandButton1");
    EXPECT_EQ(formula("E4"), "=LOOKUP(1,0/(收款人户名<>\"\"),收款人户名)");
    for (const auto& [cell, text] : kLookupFormulas) EXPECT_EQ(formula(cell), text) << cell;
    EXPECT_EQ(host.text("常用单位账号", "D4"), "SZHDJXYXGS");
    EXPECT_EQ(host.text("常用单位账号", "D5"), "NJCJJCGS");
    EXPECT_FALSE(FormInstance<Kuaijie_TX_frm>::exists());
    // The payee follows the last account name of the book, the payer its short name.
    EXPECT_EQ(host.text("常用单位账号", "E4"), "张家港港务公司");
    EXPECT_EQ(host.text("常用单位账号", "G4"), "中国银行张家港支行");
    EXPECT_EQ(host.text("常用单位账号", "E5"), "南京长江建材公司");
    EXPECT_EQ(host.text("常用单位账号", "G5"), "中国工商银行南京分行");
}

TEST_F(QuickFill, SwitchingOffEmptiesThePayeeAndPayerRowsButNotTheKeys) {
    host.user.click(*form, "CommandButton2");
    for (const char* cell : {"E4", "F4", "G4", "H4", "I4", "E5", "F5", "G5", "H5", "I5"})
        EXPECT_EQ(host.text("常用单位账号", cell), "") << cell;
    EXPECT_EQ(host.text("常用单位账号", "D4"), "SZHDJXYXGS");
    EXPECT_EQ(host.text("常用单位账号", "D5"), "NJCJJCGS");
    EXPECT_FALSE(FormInstance<Kuaijie_TX_frm>::exists());
}

TEST_F(QuickFill, ALockedCellStopsTheWritesAndIsReported) {
    units->unprotect("470518");
    units->range("G4").setLocked(true);
    units->protect("470518");
    host.toolkit.queueMessage({});
    host.user.click(*form, "CommandButton1");
    EXPECT_EQ(formula("E4"), "=LOOKUP(1,0/(收款人户名<>\"\"),收款人户名)");
    EXPECT_EQ(formula("F4"), "=VLOOKUP($E$4,收款人信息,2,FALSE)");
    EXPECT_EQ(host.text("常用单位账号", "G4"), "中国银行苏州分行") << "the locked cell keeps its value";
    EXPECT_EQ(formula("H4"), "江苏");
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_NE(host.messages()[0].find("快捷填写未能完成：单元格已锁定，工作表处于保护状态。"), std::string::npos);
    EXPECT_NE(host.messages()[0].find("Critical"), std::string::npos);
    EXPECT_TRUE(form->visible());
}

TEST_F(QuickFill, TheSwitchesWriteTheFillInSheetWhateverSheetIsActive) {
    auto bill = host.app.sheets("转账支票");
    std::string billE4 = bill->range("E4").formula();
    bill->activate();
    host.user.click(*form, "CommandButton1");
    for (const auto& [cell, text] : kLookupFormulas) EXPECT_EQ(formula(cell), text) << cell;
    EXPECT_EQ(bill->range("E4").formula(), billE4);
    EXPECT_FALSE(bill->isProtected());
}

TEST_F(QuickFill, PickingAPayeeOverwritesTheFormulasAndSwitchingOnRestoresThem) {
    host.user.click(*form, "CommandButton1");
    auto fillIn = FormInstance<TianxiePJ_frm>::show(host.toolkit);
    host.user.pick(*fillIn, "ComboBox1", "无锡华光电子厂");
    EXPECT_EQ(formula("F4"), "6217001480001234567");
    FormInstance<TianxiePJ_frm>::unload();
    form = FormInstance<Kuaijie_TX_frm>::show(host.toolkit);
    host.user.click(*form, "CommandButton1");
    EXPECT_EQ(formula("F4"), "=VLOOKUP($E$4,收款人信息,2,FALSE)");
}

TEST(QuickFillWithoutTemplate, BothSwitchesStayDisabled) {
    AddinTestHost host("16.0", false);
    auto form = FormInstance<Kuaijie_TX_frm>::show(host.toolkit);
    EXPECT_FALSE(form->CommandButton1.enabled());
    EXPECT_FALSE(form->CommandButton2.enabled());
    EXPECT_THROW(host.user.click(*form, "CommandButton1"), headless::ActionError);
    host.user.click(*form, "CommandButton3");
    EXPECT_FALSE(FormInstance<Kuaijie_TX_frm>::exists());
    EXPECT_EQ(host.toolkit.lines(headless::Record::Kind::ShellOpen),
              std::vector<std::string>{"shell-open \"https://www.quorvan.example/tutorial/quick-fill.html\""});
}

}  // namespace
