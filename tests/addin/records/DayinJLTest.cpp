// The print-records window on the sample template, whose record sheet keeps its columns
// as text: voiding numbers after the last record (their digits kept), and exporting the
// record sheet as a 97–2003 workbook on the desktop with its text formats.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "addin/frame/Commands.h"
#include "addin/records/DayinJL_frm.h"
#include "tests/addin/support/AddinTestHost.h"
#include "tests/support/XlsReadBack.h"

namespace vorra {
namespace {

namespace fs = std::filesystem;
using dialogs::FormInstance;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class DayinJL : public ::testing::Test {
protected:
    void SetUp() override {
        host.put("常用单位账号", "L6", host::Value::text("654321"));  // the payment password
        host.putRow("打印记录", "A3",
                    {"1", "2026-12-01  10:00:00", "甲公司", "甲公司", "6222001", "工行", "北京", "货款", "1000",
                     "乙公司", "0062210012345678901", "农行", "现金支票", "00012345", "123456"});
        desktop = host.scratchDesktop();
    }
    void TearDown() override {
        EXPECT_EQ(host.toolkit.takeFailure(), std::nullopt);
        EXPECT_THAT(host.toolkit.unusedAnswers(), IsEmpty());
    }

    std::vector<std::string> row(int r) {
        std::vector<std::string> texts;
        for (char c = 'A'; c <= 'O'; ++c) texts.push_back(host.text("打印记录", c + std::to_string(r)));
        return texts;
    }
    host::Value record(const std::string& address) { return host.cell("打印记录", address); }
    std::shared_ptr<DayinJL_frm> open() {
        showRecordsForm();
        return FormInstance<DayinJL_frm>::existing();
    }
    std::vector<std::string> desktopFiles() const {
        std::vector<std::string> files;
        for (const auto& entry : fs::directory_iterator(desktop)) files.push_back(entry.path().string());
        return files;
    }

    testing::AddinTestHost host;
    fs::path desktop;
};

TEST_F(DayinJL, OpensTopmostOverTheRecordSheet) {
    auto form = open();
    ASSERT_TRUE(form);
    EXPECT_TRUE(form->visible());
    EXPECT_THAT(host.formsOf(headless::Record::Kind::Topmost), ElementsAre("DayinJL_frm"));
    EXPECT_EQ(host.app.activeSheet()->name(), "打印记录");
    EXPECT_EQ(form->caption(), "打印记录：");
    EXPECT_EQ(form->Command1.caption(), "票据填写作废号码登记");
    EXPECT_EQ(form->Command2.caption(), "导出打印记录表为工作簿");
    EXPECT_EQ(form->Command2.tipText(), "导出“打印记录”工作表中数据为单独的2003格式Excel工作簿。");
}

TEST_F(DayinJL, WithoutARecordSheetTheWindowClosesAtOnceAndSilently) {
    host.app.addWorkbook();
    host.nameSheets({"Sheet1", "Sheet2"});
    EXPECT_EQ(open(), nullptr);
    EXPECT_THAT(host.toolkit.messageRequests, IsEmpty());
    EXPECT_EQ(host.app.activeSheet()->name(), "Sheet1");
}

TEST_F(DayinJL, VoidingTwiceWritesTwoRowsNumberedOneAfterTheOther) {
    auto form = open();
    ASSERT_TRUE(form);
    form->Command1.userClick();
    form->Command1.userClick();
    auto first = row(4), second = row(5);
    EXPECT_EQ(first[0], "2");
    EXPECT_TRUE(std::regex_match(first[1], std::regex(R"(\d{4}-\d{2}-\d{2}  \d{2}:\d{2}:\d{2})"))) << first[1];
    EXPECT_EQ(std::vector<std::string>(first.begin() + 2, first.end()),
              (std::vector<std::string>{"甲公司", "甲公司", "6222001", "工行", "北京", "作废", "0", "乙公司",
                                        "0062210012345678901", "农行", "现金支票", "00012346", "654321"}));
    EXPECT_EQ(second[0], "3");
    EXPECT_EQ(second[12], "现金支票");
    EXPECT_EQ(second[13], "00012347");
    // The text columns keep what was written as text, leading zeros and all.
    EXPECT_EQ(record("N4"), host::Value::text("00012346"));
    EXPECT_EQ(record("N5"), host::Value::text("00012347"));
    EXPECT_EQ(record("A5"), host::Value::text("3"));
    EXPECT_EQ(record("K5"), host::Value::text("0062210012345678901"));
    EXPECT_TRUE(form->loaded());  // stays open for the next number
    EXPECT_THAT(host.toolkit.messageRequests, IsEmpty());
}

TEST_F(DayinJL, VoidNumberFollowsNumbersAndLeavesNonNumbersEmpty) {
    auto form = open();
    host.put("打印记录", "N3", host::Value::number(999));
    form->Command1.userClick();
    EXPECT_EQ(row(4)[13], "1000");
    host.put("打印记录", "N4", host::Value::text("作废号"));
    form->Command1.userClick();
    EXPECT_EQ(row(5)[13], "");
    EXPECT_EQ(row(5)[7], "作废");
}

// A void continues the most recent cheque, not whatever record comes last.
TEST_F(DayinJL, AVoidContinuesTheMostRecentChequeRecord) {
    host.putRow("打印记录", "A4",
                {"2", "2026-12-01  11:00:00", "丙公司", "123", "建行", "江苏", "苏州", "服务费", "50", "丁公司",
                 "456", "中行", "业务委托书", "", "123456"});
    host.putRow("打印记录", "A5",
                {"3", "2026-12-01  12:00:00", "戊公司", "789", "交行", "上海", "上海", "租金", "70", "己公司",
                 "012", "招行", "进账单", "", ""});
    open()->Command1.userClick();
    auto voided = row(6);
    EXPECT_EQ(voided[0], "4");
    EXPECT_EQ(std::vector<std::string>(voided.begin() + 2, voided.end()),
              (std::vector<std::string>{"甲公司", "甲公司", "6222001", "工行", "北京", "作废", "0", "乙公司",
                                        "0062210012345678901", "农行", "现金支票", "00012346", "654321"}));
    EXPECT_THAT(host.toolkit.messageRequests, IsEmpty());
}

// Without a cheque record there is nothing to void: the headings of row 2 are no record,
// and a record of another form has no cheque number.
TEST_F(DayinJL, WithNoChequeRecordNothingIsVoidedAndTheUserIsTold) {
    host.putRow("打印记录", "M2", {"支票名称", "7"});
    for (const char* last : {"", "业务委托书"}) {
        SCOPED_TRACE(last);
        host.put("打印记录", "A3:O3", host::Value());
        if (*last) host.putRow("打印记录", "A3", {"1", "2026-12-01  10:00:00", "甲公司", "1", "", "", "", "货款", "9",
                                                  "乙公司", "2", "", last, "", ""});
        auto before = row(4);
        testing::expectMessage(host.toolkit, "打印记录中还没有支票记录，没有可以作废的支票号码！",
                               dialogs::MsgBoxIcon::Information, "系统提示：");
        open()->Command1.userClick();
        EXPECT_EQ(row(4), before);
        EXPECT_EQ(host.text("打印记录", "A4"), "");
    }
}

TEST_F(DayinJL, ExportWritesAWorkbookOnTheDesktopAndTellsWhere) {
    host.answerMessage();
    open()->Command2.userClick();
    EXPECT_FALSE(FormInstance<DayinJL_frm>::exists());

    auto saved = desktopFiles();
    ASSERT_EQ(saved.size(), 1u);
    std::string path = saved[0];
    EXPECT_EQ(fs::path(path).parent_path(), desktop);
    std::string name = fs::path(path).filename().string();
    EXPECT_TRUE(std::regex_match(name, std::regex(R"(打印记录\d{14}\.xls)"))) << path;
    const auto& shown = host.toolkit.messageRequests;
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].prompt, path);
    EXPECT_EQ(shown[0].icon, dialogs::MsgBoxIcon::Information);
    EXPECT_EQ(shown[0].title, "位置及文件名：");
    // Alerts are off while the copy is made, saved and closed, and on again after.
    EXPECT_THAT(host.events.lines, ElementsAre("new Book2 alerts off", "close " + name + " alerts off"));
    EXPECT_TRUE(host.app.displayAlerts());

    // The source stays as it was, with its record sheet active; the copy is closed.
    ASSERT_EQ(host.app.workbooks().size(), 1u);
    EXPECT_EQ(host.app.activeWorkbook(), host.book);
    EXPECT_EQ(host.app.activeSheet()->name(), "打印记录");
    EXPECT_EQ(row(3)[13], "00012345");

    auto lines = testing::readBackXls(path);
    EXPECT_THAT(lines, Contains("sheet|0|打印记录|0|1"));
    EXPECT_THAT(lines, Contains(HasSubstr("cell|打印记录|3|14|1|00012345|")));
    EXPECT_THAT(lines, Contains(HasSubstr("cell|打印记录|3|13|1|现金支票|")));
    // The record sheet's text formats go into the file.
    EXPECT_THAT(lines, Contains(HasSubstr("cell|打印记录|3|14|1|00012345|@|")));
    EXPECT_THAT(lines, Contains(HasSubstr("cell|打印记录|3|11|1|0062210012345678901|@|")));
}

TEST_F(DayinJL, ExportToADesktopThatDoesNotExistSaysItWasNotSaved) {
    host.toolkit.desktop = (desktop / "没有这个桌面").string();
    host.answerMessage();
    open()->Command2.userClick();
    ASSERT_EQ(host.toolkit.messageRequests.size(), 1u);
    const auto& m = host.toolkit.messageRequests[0];
    EXPECT_THAT(m.prompt, HasSubstr("打印记录导出失败，没有保存工作簿："));
    EXPECT_THAT(m.prompt, HasSubstr(host.toolkit.desktop + "/打印记录"));
    EXPECT_EQ(m.icon, dialogs::MsgBoxIcon::Critical);
    EXPECT_EQ(m.title, "系统提示：");
    EXPECT_FALSE(fs::exists(host.toolkit.desktop));
    EXPECT_EQ(host.app.workbooks().size(), 1u);  // the unsaved copy is closed all the same
    EXPECT_THAT(host.events.lines, ElementsAre("new Book2 alerts off", "close Book2 alerts off"));
    EXPECT_TRUE(host.app.displayAlerts());
    EXPECT_THAT(m.prompt, EndsWith("\n文件夹不存在。")) << "the reason in Chinese, not the host's English";
}

TEST_F(DayinJL, ExportThatTheHostCannotSaveGivesTheHostsReason) {
    // A desktop that is a file: the host cannot create the workbook in it.
    std::ofstream(desktop / "桌面") << "x";
    host.toolkit.desktop = (desktop / "桌面").string();
    host.answerMessage();
    open()->Command2.userClick();
    ASSERT_EQ(host.toolkit.messageRequests.size(), 1u);
    EXPECT_THAT(host.toolkit.messageRequests[0].prompt, HasSubstr("打印记录导出失败"));
    EXPECT_THAT(host.toolkit.messageRequests[0].prompt, EndsWith("\n文件夹不存在。"));
    EXPECT_EQ(host.app.workbooks().size(), 1u);
    EXPECT_EQ(host.app.activeWorkbook(), host.book);
    EXPECT_EQ(desktopFiles(), std::vector<std::string>{(desktop / "桌面").string()});  // nothing left behind
}

TEST(RecordsExportPath, NameCarriesTheLocalTimeToTheSecond) {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 0;
    t.tm_mday = 5;
    t.tm_hour = 4;
    t.tm_min = 3;
    t.tm_sec = 9;
    EXPECT_EQ(recordsExportPath("/home/会计/桌面", t), "/home/会计/桌面/打印记录20260105040309.xls");
    EXPECT_EQ(recordsExportPath("/", t), "/打印记录20260105040309.xls");
}

}  // namespace
}  // namespace vorra
