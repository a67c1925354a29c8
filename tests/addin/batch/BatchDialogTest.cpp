// The batch dialog: its captions, the sheet it activates, and the protection of the
// fill-in sheet while it is open.
#include "tests/addin/batch/BatchFixture.h"

using namespace vorra;
using namespace vorra::testing;

namespace {

class BatchDialog : public BatchTest {
protected:
    bool fillInProtected() { return host.app.sheets("常用单位账号")->isProtected(); }
};

TEST_F(BatchDialog, ShowsItsCaptionsAsTheSystemWritesThem) {
    auto form = openDialog();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->caption(), "批量打印：");
    const std::vector<std::pair<dialogs::CommandButton*, std::string>> buttons{
        {&form->CommandButton1, "清空表格"}, {&form->CommandButton2, "导入工作表"},
        {&form->CommandButton3, "从1启动"},   {&form->CommandButton4, "填写票据"},
        {&form->CommandButton5, "打印票据"}, {&form->CommandButton6, "后  退"},
        {&form->CommandButton7, "前  进"},   {&form->CommandButton8, "置为当前"},
        {&form->CommandButton9, "一键打印"}};
    for (const auto& [button, caption] : buttons) EXPECT_EQ(button->caption(), caption);
    EXPECT_EQ(host.toolkit.lines(headless::Record::Kind::Topmost),
              std::vector<std::string>{"topmost PiliangDY_frm"});
}

TEST_F(BatchDialog, OpeningActivatesTheBatchSheetAndLiftsTheFillInSheetsProtection) {
    ASSERT_TRUE(fillInProtected());
    ASSERT_EQ(host.app.activeSheet()->name(), "常用单位账号");
    openDialog();
    EXPECT_EQ(host.app.activeSheet()->name(), "批量打印");
    EXPECT_FALSE(fillInProtected());
    putList(2);
    for (const char* button : {"CommandButton3", "CommandButton7", "CommandButton6", "CommandButton8",
                               "CommandButton1"}) {
        click(button);
        EXPECT_TRUE(dialogLoaded()) << button << " leaves the dialog open";
        EXPECT_FALSE(fillInProtected()) << button;
    }
}

TEST_F(BatchDialog, EveryClosingProtectsTheFillInSheetAgain) {
    putList(1);
    openDialog();
    host.user.close(*dialogs::FormInstance<PiliangDY_frm>::existing());
    EXPECT_FALSE(dialogLoaded());
    EXPECT_TRUE(fillInProtected()) << "close box";

    openDialog();
    answerFile({});
    click("CommandButton2");
    EXPECT_FALSE(dialogLoaded());
    EXPECT_TRUE(fillInProtected()) << "import";

    putList(1);
    openDialog();
    click("CommandButton3");
    click("CommandButton4");
    EXPECT_FALSE(dialogLoaded());
    EXPECT_TRUE(fillInProtected()) << "transfer";
    EXPECT_EQ(host.text("常用单位账号", "E4"), "收款单位1") << "written while unprotected";
    EXPECT_TRUE(host.messages().empty());
}

// Without 常用单位账号 there is nothing to protect again: the dialog closes quietly and
// protects no other sheet in its place.
TEST_F(BatchDialog, ClosesQuietlyOnAWorkbookWithoutTheFillInSheet) {
    host.app.sheets("常用单位账号")->unprotect("470518");
    host.app.sheets("常用单位账号")->setName("单位账号");
    openDialog();
    putList(2);
    click("CommandButton3");
    click("CommandButton7");
    click("CommandButton4");  // the transfer finds no fill-in sheet; the dialog closes
    EXPECT_FALSE(dialogLoaded());

    openDialog();
    host.user.close(*dialogs::FormInstance<PiliangDY_frm>::existing());
    EXPECT_FALSE(dialogLoaded());
    for (const auto& sheet : host.book->worksheets())
        EXPECT_FALSE(sheet->isProtected()) << sheet->name();
    EXPECT_EQ(host.text("批量打印", "D2"), "2");
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(BatchDialog, OpensAndClosesWithNoWorkbookOpen) {
    host.book->close(false);
    host.book.reset();
    openDialog();
    click("CommandButton3");
    click("CommandButton9");
    host.user.close(*dialogs::FormInstance<PiliangDY_frm>::existing());
    EXPECT_FALSE(dialogLoaded());
    EXPECT_TRUE(host.messages().empty());
    EXPECT_TRUE(host.printed().empty());
}

}  // namespace
