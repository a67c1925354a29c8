// The transfer of the current record into the fill-in sheet and the fill-in form, and
// one-click printing through the dialog.
#include "addin/bill/TianxiePJ_frm.h"
#include "tests/addin/batch/BatchFixture.h"

using namespace vorra;
using namespace vorra::testing;
using host::Value;

namespace {

// Notes whether the host's screen updating was on at each write to the fill-in sheet.
class ScreenWatch final : public host::ApplicationEvents {
public:
    explicit ScreenWatch(host::Application& app) : app_(app) {}
    void sheetChange(host::Worksheet& sheet, const host::Range&) override {
        if (sheet.name() == "常用单位账号") updatingAtWrites.push_back(app_.screenUpdating());
    }
    std::vector<bool> updatingAtWrites;

private:
    host::Application& app_;
};

class BatchPrint : public BatchTest {
protected:
    std::string fillIn(const std::string& cell) { return host.text("常用单位账号", cell); }
    std::string printRecord(int row, char column) {
        return host.text("打印记录", std::string(1, column) + std::to_string(row));
    }
    std::shared_ptr<TianxiePJ_frm> fillInForm() { return dialogs::FormInstance<TianxiePJ_frm>::existing(); }
};

TEST_F(BatchPrint, TransferWritesTheRecordIntoTheFillInCellsAndChoosesItsBillSheet) {
    putList(3, {"转账支票", "现金支票", "转账支票"});
    std::string shortName = fillIn("D4");
    openDialog();
    click("CommandButton3");
    click("CommandButton7");  // record 2
    ScreenWatch watch(host.app);
    host.app.subscribe(&watch);
    click("CommandButton4");
    host.app.unsubscribe(&watch);

    auto bill = listBill(2, "现金支票");
    EXPECT_EQ((std::vector<std::string>{fillIn("E4"), fillIn("F4"), fillIn("G4"), fillIn("H4"), fillIn("I4")}),
              std::vector<std::string>(bill.begin(), bill.begin() + 5));
    EXPECT_EQ((std::vector<std::string>{fillIn("E5"), fillIn("F5"), fillIn("G5"), fillIn("H5"), fillIn("I5")}),
              std::vector<std::string>(bill.begin() + 8, bill.end()));
    EXPECT_EQ(fillIn("K5"), bill[5]);
    EXPECT_EQ(fillIn("K3"), bill[6]);
    EXPECT_EQ(fillIn("D4"), shortName) << "the short name is not part of the record";
    EXPECT_EQ(host.app.sheets("常用单位账号")->range("F4").formula(), bill[1])
        << "the look-up formula is replaced by the plain value";

    auto form = fillInForm();
    ASSERT_TRUE(form);
    EXPECT_TRUE(form->visible());
    EXPECT_EQ(form->ComboBox4.text(), "现金支票");
    EXPECT_EQ(host.app.activeSheet()->name(), "现金支票");
    EXPECT_TRUE(host.printed().empty()) << "the transfer prints nothing";

    ASSERT_FALSE(watch.updatingAtWrites.empty());
    for (bool updating : watch.updatingAtWrites) EXPECT_FALSE(updating);
    EXPECT_TRUE(host.app.screenUpdating()) << "screen updating is on again";
    EXPECT_FALSE(dialogLoaded()) << "button 4 closes the dialog after the transfer";
}

TEST_F(BatchPrint, OneClickPrintsRecordKAndLeavesRecordKPlusOneCurrent) {
    putList(3, {"现金支票", "转账支票", "现金支票"});
    openDialog();
    click("CommandButton3");
    click("CommandButton7");  // k = 2
    answerNumber("00088001");
    click("CommandButton9");

    EXPECT_EQ(host.printed(), std::vector<std::string>{"转账支票"});
    auto bill = listBill(2);
    EXPECT_EQ(printRecord(3, 'C'), bill[0]);
    EXPECT_EQ(printRecord(3, 'D'), bill[1]);
    EXPECT_EQ(printRecord(3, 'H'), bill[5]);
    EXPECT_EQ(printRecord(3, 'I'), bill[6]);
    EXPECT_EQ(printRecord(3, 'J'), bill[8]);
    EXPECT_EQ(printRecord(3, 'M'), "转账支票");
    EXPECT_EQ(printRecord(3, 'N'), "00088001");
    EXPECT_TRUE(printRecord(4, 'A').empty());

    EXPECT_EQ(d2(), "3");
    EXPECT_EQ(record(5), listBill(3, "现金支票"));
    EXPECT_EQ(host.app.activeSheet()->name(), "批量打印");
    EXPECT_TRUE(dialogLoaded()) << "the dialog stays open";
    EXPECT_FALSE(fillInForm()) << "the print action closes the fill-in form";
}

TEST_F(BatchPrint, OneClickThroughTheWholeListContinuesTheChequeNumbersAndThenStops) {
    putList(4, {"转账支票", "转账支票", "现金支票", "转账支票"});
    openDialog();
    click("CommandButton3");
    answerNumber("7001");
    for (int i = 0; i < 5; ++i) click("CommandButton9");  // the fifth finds no record

    EXPECT_EQ(host.printed(), (std::vector<std::string>{"转账支票", "转账支票", "现金支票", "转账支票"}));
    std::vector<std::string> numbers, payees;
    for (int row = 3; row <= 6; ++row) {
        numbers.push_back(printRecord(row, 'N'));
        payees.push_back(printRecord(row, 'C'));
    }
    EXPECT_EQ(numbers, (std::vector<std::string>{"7001", "7002", "7003", "7003"}));
    EXPECT_EQ(payees, (std::vector<std::string>{"收款单位1", "收款单位2", "收款单位3", "收款单位4"}));
    EXPECT_TRUE(printRecord(7, 'A').empty());
    EXPECT_EQ(d2(), "5");
    EXPECT_TRUE(record(5)[6].empty());
}

// The list moves on only when the bill printed: a refused bill stays current, with
// nothing recorded, so that no bill is skipped.
TEST_F(BatchPrint, ARefusedBillStaysCurrentAndIsNotRecorded) {
    struct Case {
        const char* sheet;      // the record's bill sheet
        bool formOpen;          // pressed "一键打印" (the form open), or "打印票据" alone
        const char* refusal;
    };
    const Case cases[] = {
        {"转帐支票", true, "没有名为“转帐支票”的工作表，无法打印！请在列表中选择要打印的工作表。"},
        {"", true, "请选择要打印的支票类工作表，然后方能打印！"},
        {"转账支票", false, "“常用单位账号” 工作表，禁止打印！"},  // the form opens on the fill-in sheet
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sheet);
        putList(2, {c.sheet, "转账支票"});
        openDialog();
        click("CommandButton3");
        dialogs::FormInstance<TianxiePJ_frm>::unload();
        expectMessage(host.toolkit, c.refusal, dialogs::MsgBoxIcon::Critical, "系统：");
        click(c.formOpen ? "CommandButton9" : "CommandButton5");
        EXPECT_EQ(d2(), "1");
        EXPECT_EQ(record(5), listBill(1, c.sheet));
        EXPECT_TRUE(host.printed().empty());
        EXPECT_TRUE(printRecord(3, 'A').empty());
        host.user.close(*dialogs::FormInstance<PiliangDY_frm>::existing());
    }
}

TEST_F(BatchPrint, PrintAndAdvancePrintsWhatTheFillInSheetHolds) {
    putList(2, {"业务委托书", "业务委托书"});
    openDialog();
    click("CommandButton3");
    click("CommandButton4");  // record 1 into the fill-in sheet and form; the dialog closes
    openDialog();
    click("CommandButton7");  // record 2 current, record 1 still in the fill-in sheet
    click("CommandButton5");
    EXPECT_EQ(host.printed(), std::vector<std::string>{"业务委托书"});
    EXPECT_EQ(printRecord(3, 'C'), "收款单位1");
    // The fill-in form protected the active sheet, 批量打印, as it closed; the list
    // advances all the same and stays writable.
    EXPECT_EQ(d2(), "3");
    EXPECT_FALSE(batch()->isProtected());
}

}  // namespace
