#include <gtest/gtest.h>

#include <regex>

#include "addin/bill/PrintAction.h"
#include "tests/addin/support/AddinTestHost.h"

using namespace vorra;
using namespace vorra::testing;
using dialogs::MsgBoxIcon;

namespace {

class PrintAction : public ::testing::Test {
protected:
    AddinTestHost host;
    int closed = 0;

    // Whether the action says it printed.
    bool print(const std::string& sheet) {
        return printBill(sheet, [this] { ++closed; });
    }
    void answerNumber(std::optional<std::string> number) {
        headless::InputAnswer a;
        a.text = std::move(number);
        host.toolkit.queueInput(a);
    }
    std::string record(int row, char column) {
        return host.text("打印记录", std::string(1, column) + std::to_string(row));
    }
    void setAmount(const std::string& amount) { host.put("常用单位账号", "K3", host::Value::text(amount)); }
    void TearDown() override {
        EXPECT_EQ(host.toolkit.takeFailure(), std::nullopt);
        EXPECT_TRUE(host.toolkit.unusedAnswers().empty());
    }
};

TEST_F(PrintAction, AnEmptyNameIsRefusedAndClosesTheForm) {
    expectMessage(host.toolkit, "请选择要打印的支票类工作表，然后方能打印！", MsgBoxIcon::Critical, "系统：");
    EXPECT_FALSE(print(""));
    EXPECT_EQ(closed, 1);
    EXPECT_TRUE(host.printed().empty());
}

TEST_F(PrintAction, WorkingSheetsAreRefusedAndTheFormStaysOpen) {
    for (const char* name : {"打印记录", "批量打印", "常用单位账号", "基本信息"}) {
        expectMessage(host.toolkit, std::string("“") + name + "” 工作表，禁止打印！", MsgBoxIcon::Critical,
                      "系统：");
        print(name);
    }
    EXPECT_EQ(closed, 0);
    EXPECT_TRUE(host.printed().empty());
    EXPECT_TRUE(record(3, 'A').empty());
}

TEST_F(PrintAction, ANameThatNamesNoSheetIsRefusedBeforeAnythingHappens) {
    host.toolkit.queueMessage({});
    EXPECT_FALSE(print("转帐支票"));
    EXPECT_EQ(closed, 0);
    EXPECT_TRUE(host.printed().empty());
    EXPECT_TRUE(record(3, 'A').empty());
    auto messages = host.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("转帐支票"), std::string::npos);
    EXPECT_NE(messages[0].find("\"系统：\""), std::string::npos);
}

TEST_F(PrintAction, TheFirstChequeAsksAndTheSameSheetContinuesItsOwnNumbers) {
    answerNumber("00012345");
    print("转账支票");
    EXPECT_EQ(host.printed(), std::vector<std::string>{"转账支票"});
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(host.app.activeSheet()->name(), "转账支票");
    EXPECT_EQ(record(3, 'A'), "1");
    EXPECT_EQ(record(3, 'M'), "转账支票");
    EXPECT_EQ(record(3, 'N'), "00012345");
    EXPECT_TRUE(std::regex_match(record(3, 'B'),
                                 std::regex(R"(\d{4}-\d{2}-\d{2}  \d{2}:\d{2}:\d{2})")));
    EXPECT_EQ(record(3, 'C'), host.text("常用单位账号", "E4"));
    EXPECT_EQ(record(3, 'D'), host.text("常用单位账号", "F4"));
    EXPECT_EQ(record(3, 'J'), host.text("常用单位账号", "E5"));
    EXPECT_EQ(record(3, 'O'), host.text("常用单位账号", "L6"));
    EXPECT_TRUE(host.cell("打印记录", "N3").isText()) << "the record sheet keeps texts";

    setAmount("200");
    print("转账支票");  // no question: continues, keeping the leading zeros
    EXPECT_EQ(record(4, 'A'), "2");
    EXPECT_EQ(record(4, 'N'), "00012346");
    EXPECT_EQ(record(4, 'I'), "200");
}

TEST_F(PrintAction, ANewChequeSheetContinuesFromTheLastChequeOfAnyKind) {
    answerNumber("500");
    print("现金支票");
    setAmount("1");
    print("现金支票");
    setAmount("2");
    print("转账支票");
    EXPECT_EQ(record(5, 'N'), "502");
    setAmount("3");
    print("现金支票");
    EXPECT_EQ(record(6, 'N'), "502") << "each sheet then continues its own numbers";
    setAmount("4");
    print("转账支票");
    EXPECT_EQ(record(7, 'N'), "503");
}

TEST_F(PrintAction, ACancelledQuestionRecordsAnEmptyNumberWhichTheNextChequeContinuesAsOne) {
    answerNumber(std::nullopt);
    print("转账支票");
    EXPECT_EQ(host.printed().size(), 1u);
    EXPECT_EQ(record(3, 'N'), "");
    setAmount("99");
    print("现金支票");
    EXPECT_EQ(record(4, 'N'), "1");
}

TEST_F(PrintAction, ADepositSlipIsPrintedButNeverRecorded) {
    EXPECT_TRUE(print("进账单"));
    EXPECT_EQ(host.printed(), std::vector<std::string>{"进账单"});
    EXPECT_TRUE(record(3, 'A').empty());
}

TEST_F(PrintAction, TheSameBillTwiceInARowIsRecordedOnce) {
    EXPECT_TRUE(print("业务委托书"));
    EXPECT_TRUE(print("业务委托书")) << "printed, though not recorded again";
    EXPECT_EQ(host.printed().size(), 2u);
    EXPECT_EQ(record(3, 'A'), "1");
    EXPECT_TRUE(record(4, 'A').empty());
}

TEST_F(PrintAction, ARecordedNumberCellNeverEqualsTheNewText) {
    print("业务委托书");
    // The amount as a number in the record sheet, as another program may have left it.
    auto records = host.app.sheets("打印记录");
    records->range("I3").setNumberFormat("General");
    host.put("打印记录", "I3", host::Value::number(12345.67));
    print("业务委托书");
    EXPECT_EQ(record(4, 'A'), "2");
}

TEST_F(PrintAction, AFullRecordSheetRefusesOnlyBillsThatWouldBeRecorded) {
    host::Array2D full(32765, 1);
    for (int r = 1; r <= full.rows(); ++r) full.at(r, 1) = host::Value::text("x");
    host.put("打印记录", "A3:A32767", full);
    setAmount("100");  // no repeat of the last record
    host.toolkit.queueMessage({});
    print("转账支票");
    EXPECT_TRUE(host.printed().empty());
    EXPECT_EQ(closed, 0);
    // A deposit slip is never recorded: it prints, with no refusal.
    print("进账单");
    EXPECT_EQ(host.printed(), std::vector<std::string>{"进账单"});
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(host.messages().size(), 1u);
    EXPECT_TRUE(record(32768, 'A').empty());
}

// The print service's reasons reach the user in Chinese, never the host's English.
TEST_F(PrintAction, AFailedPrintIsReportedWithItsReasonAndNotRecorded) {
    const std::pair<int, std::string> failures[] = {
        {host::error::kPrinterFailed, "打印机没有完成打印，请检查打印机是否已连接并开启。"},
        {host::error::kNoPrinter, "没有安装打印机，或找不到所选的打印机。"},
        {host::error::kPrinterRejecting, "打印机不接收打印作业（打印队列已停止接收）。"},
        {host::error::kDiskFull, "磁盘已满，请腾出磁盘空间后再试。"},
        {host::error::kPathNotFound, "文件夹不存在。"},
    };
    host.services.printerDevice.fail = true;
    for (const auto& [number, reason] : failures) {
        host.services.printerDevice.failNumber = number;
        expectMessage(host.toolkit, "“业务委托书” 工作表打印失败，本次打印没有登记到打印记录。\n" + reason,
                      MsgBoxIcon::Critical, "系统：");
        EXPECT_FALSE(print("业务委托书"));
    }
    EXPECT_TRUE(record(3, 'A').empty());
}

// A bill that does not fit one page of its paper is refused by the host before the
// printer hears of it: reported, neither printed nor recorded.
TEST_F(PrintAction, ABillPastItsPageIsReportedAndNeitherPrintedNorRecorded) {
    auto sheet = std::dynamic_pointer_cast<engine::EngineWorksheet>(host.app.sheets("业务委托书"));
    ASSERT_TRUE(sheet);
    sheet->model().pageSetup.marginLeft = 1;  // inch: the right-hand columns go onto a second page
    expectMessage(host.toolkit,
                  "“业务委托书” 工作表打印失败，本次打印没有登记到打印记录。\n"
                  "打印区域超出一页纸，请先调整页边距、缩放或列宽。",
                  MsgBoxIcon::Critical, "系统：");
    EXPECT_FALSE(print("业务委托书"));
    EXPECT_TRUE(host.printed().empty());
    EXPECT_TRUE(record(3, 'A').empty());
}

TEST_F(PrintAction, AHiddenSheetIsRefusedLikeAnUnknownName) {
    host.app.sheets("现金支票")->setVisible(host::Visibility::Hidden);
    expectMessage(host.toolkit, "“现金支票” 工作表已隐藏，无法打印！请在列表中选择要打印的工作表。",
                  MsgBoxIcon::Critical, "系统：");
    EXPECT_FALSE(print("现金支票"));
    EXPECT_EQ(closed, 0);
    EXPECT_TRUE(host.printed().empty());
    EXPECT_TRUE(record(3, 'A').empty());
}

// The headings of row 2 are no record: a heading naming a cheque, or a numeric
// heading, neither spares the question nor gives the number.
TEST_F(PrintAction, WithNoRecordsYetTheFirstChequeAsksWhateverTheHeadingsSay) {
    host.putRow("打印记录", "M2", {"支票名称", "7"});
    answerNumber("300");
    print("现金支票");
    EXPECT_EQ(host.toolkit.inputRequests.size(), 1u);
    EXPECT_EQ(record(3, 'N'), "300");
    EXPECT_EQ(record(3, 'A'), "1") << "a first record is never taken for a repeat of the headings";
}

TEST_F(PrintAction, WithoutARecordSheetTheBillIsJustPrinted) {
    host.app.sheets("打印记录")->deleteSheet();
    print("转账支票");  // no number is asked: it would be recorded nowhere
    EXPECT_EQ(host.printed(), std::vector<std::string>{"转账支票"});
    EXPECT_TRUE(host.toolkit.inputRequests.empty());
    EXPECT_EQ(closed, 1);
}

// In a record sheet of general cells the record is still fifteen texts: an account of
// nineteen digits, a number with leading zeros and the time keep their text, and the
// same bill printed again repeats the record.
TEST_F(PrintAction, TheRecordIsStoredAsTextsWhateverTheRecordSheetsFormat) {
    host.app.sheets("打印记录")->range("A:O").setNumberFormat("General");
    host.putRow("常用单位账号", "E4", {"上海东方贸易公司", "'6228480402564890018"});
    setAmount("800");
    answerNumber("00012345");
    print("转账支票");
    print("转账支票");
    EXPECT_EQ(host.printed().size(), 2u);
    for (const char* cell : {"A3", "B3", "D3", "I3", "N3"})
        EXPECT_TRUE(host.cell("打印记录", cell).isText()) << cell;
    EXPECT_EQ(record(3, 'D'), "6228480402564890018");
    EXPECT_EQ(record(3, 'N'), "00012345");
    EXPECT_EQ(record(3, 'I'), "800");
    EXPECT_TRUE(record(4, 'A').empty()) << "the repeat matches the recorded texts";
    setAmount("5");
    print("转账支票");
    EXPECT_EQ(host.cell("打印记录", "N4"), host::Value::text("00012346"));
}

}  // namespace
