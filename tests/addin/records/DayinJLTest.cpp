// The print-records window against the test host: voiding numbers after the last
// record, and exporting the record sheet as a 97–2003 workbook on the desktop.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "addin/frame/Commands.h"
#include "addin/records/DayinJL_frm.h"
#include "tests/support/FakeHost.h"
#include "tests/support/XlsReadBack.h"

namespace vorra {
namespace {

namespace fs = std::filesystem;
using dialogs::FormInstance;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing::FakeSheet;

class DayinJL : public ::testing::Test {
protected:
    void SetUp() override {
        auto& book = app.addBook("/work/账户模板.xlsx", {"常用单位账号", "现金支票", "打印记录"});
        book.activeIndex = 1;
        FakeSheet& fillIn = *book.sheets[0];
        fillIn.put(6, 12, "654321");  // L6, the payment password
        records = book.sheets[2].get();
        records->put(1, 1, "打印记录");
        records->put(2, 1, "序号");
        records->put(2, 14, "支票号码");
        const char* row3[] = {"1", "2026-12-01  10:00:00", "甲公司", "甲公司", "6222001", "工行", "北京",
                              "货款", "1000", "乙公司", "6222002", "农行", "现金支票", "00012345", "123456"};
        for (int c = 1; c <= 15; ++c) records->put(3, c, row3[c - 1]);
        desktop = fs::temp_directory_path() / ("records-desktop-" + std::to_string(::getpid()));
        fs::create_directories(desktop);
        app.tk.desktop = desktop.string();
    }
    void TearDown() override { fs::remove_all(desktop); }

    std::vector<std::string> row(int r) const {
        std::vector<std::string> texts;
        for (int c = 1; c <= 15; ++c) texts.push_back(records->at(r, c).toText());
        return texts;
    }
    std::shared_ptr<DayinJL_frm> open() {
        showRecordsForm();
        return FormInstance<DayinJL_frm>::existing();
    }

    testing::FakeApp app;
    FakeSheet* records = nullptr;
    fs::path desktop;
};

TEST_F(DayinJL, OpensTopmostOverTheRecordSheet) {
    auto form = open();
    ASSERT_TRUE(form);
    EXPECT_TRUE(form->visible());
    EXPECT_THAT(app.tk.topmost, ElementsAre("DayinJL_frm"));
    EXPECT_EQ(app.activeSheet()->name(), "打印记录");
    EXPECT_EQ(form->caption(), "打印记录：");
    EXPECT_EQ(form->Command1.caption(), "票据填写作废号码登记");
    EXPECT_EQ(form->Command2.caption(), "导出打印记录表为工作簿");
    EXPECT_EQ(form->Command2.tipText(), "导出“打印记录”工作表中数据为单独的2003格式Excel工作簿。");
}

TEST_F(DayinJL, WithoutARecordSheetTheWindowClosesAtOnceAndSilently) {
    app.addBook("/work/其它.xlsx", {"Sheet1", "Sheet2"});
    EXPECT_EQ(open(), nullptr);
    EXPECT_THAT(app.tk.messages, IsEmpty());
    EXPECT_EQ(app.activeSheet()->name(), "Sheet1");
}

TEST_F(DayinJL, VoidingTwiceWritesTwoRowsNumberedOneAfterTheOther) {
    auto form = open();
    form->Command1.userClick();
    form->Command1.userClick();
    auto first = row(4), second = row(5);
    EXPECT_EQ(first[0], "2");
    EXPECT_TRUE(std::regex_match(first[1], std::regex(R"(\d{4}-\d{2}-\d{2}  \d{2}:\d{2}:\d{2})"))) << first[1];
    EXPECT_EQ(std::vector<std::string>(first.begin() + 2, first.end()),
              (std::vector<std::string>{"甲公司", "甲公司", "6222001", "工行", "北京", "作废", "0", "乙公司",
                                        "6222002", "农行", "现金支票", "00012346", "654321"}));
    EXPECT_EQ(second[0], "3");
    EXPECT_EQ(second[12], "现金支票");
    EXPECT_EQ(second[13], "00012347");
    EXPECT_TRUE(form->loaded());  // stays open for the next number
    EXPECT_THAT(app.tk.messages, IsEmpty());
}

TEST_F(DayinJL, VoidNumberFollowsNumbersAndLeavesNonNumbersEmpty) {
    auto form = open();
    records->cells[{3, 14}] = host::Value::number(999);
    form->Command1.userClick();
    EXPECT_EQ(row(4)[13], "1000");
    records->put(4, 14, "作废号");
    form->Command1.userClick();
    EXPECT_EQ(row(5)[13], "");
    EXPECT_EQ(row(5)[7], "作废");
}

TEST_F(DayinJL, ExportWritesAWorkbookOnTheDesktopAndTellsWhere) {
    auto form = open();
    form->Command2.userClick();
    EXPECT_FALSE(FormInstance<DayinJL_frm>::exists());

    ASSERT_EQ(app.savedPaths.size(), 1u);
    std::string path = app.savedPaths[0];
    EXPECT_EQ(fs::path(path).parent_path(), desktop);
    EXPECT_TRUE(std::regex_match(fs::path(path).filename().string(), std::regex(R"(打印记录\d{14}\.xls)"))) << path;
    ASSERT_EQ(app.tk.messages.size(), 1u);
    EXPECT_EQ(app.tk.messages[0].prompt, path);
    EXPECT_EQ(app.tk.messages[0].icon, dialogs::MsgBoxIcon::Information);
    EXPECT_EQ(app.tk.messages[0].title, "位置及文件名：");
    EXPECT_THAT(app.alertSwitches, ElementsAre(false, true));

    // The source stays as it was, with its record sheet active; the copy is closed.
    ASSERT_EQ(app.books.size(), 1u);
    EXPECT_EQ(app.active()->name(), "账户模板.xlsx");
    EXPECT_EQ(app.activeSheet()->name(), "打印记录");
    EXPECT_EQ(row(3)[13], "00012345");

    if (!testing::xlrdAvailable()) GTEST_SKIP() << "python3-xlrd is not installed";
    auto lines = testing::readBackXls(path);
    EXPECT_THAT(lines, Contains("sheet|0|打印记录|0|1"));
    EXPECT_THAT(lines, Contains(HasSubstr("cell|打印记录|3|14|1|00012345|")));
    EXPECT_THAT(lines, Contains(HasSubstr("cell|打印记录|3|13|1|现金支票|")));
}

TEST_F(DayinJL, ExportToADesktopThatDoesNotExistSaysItWasNotSaved) {
    app.tk.desktop = (desktop / "没有这个桌面").string();
    open()->Command2.userClick();
    ASSERT_EQ(app.tk.messages.size(), 1u);
    const auto& m = app.tk.messages[0];
    EXPECT_THAT(m.prompt, HasSubstr("打印记录导出失败，没有保存工作簿："));
    EXPECT_THAT(m.prompt, HasSubstr(app.tk.desktop + "/打印记录"));
    EXPECT_THAT(m.prompt, HasSubstr("does not exist"));
    EXPECT_EQ(m.icon, dialogs::MsgBoxIcon::Critical);
    EXPECT_EQ(m.title, "系统提示：");
    EXPECT_FALSE(fs::exists(app.tk.desktop));
    EXPECT_EQ(app.books.size(), 1u);  // the unsaved copy is closed all the same
    EXPECT_THAT(app.alertSwitches, ElementsAre(false, true));
}

TEST_F(DayinJL, ExportThatTheHostCannotSaveGivesTheHostsReason) {
    app.saveFailure = "the disk is full";
    open()->Command2.userClick();
    ASSERT_EQ(app.tk.messages.size(), 1u);
    EXPECT_THAT(app.tk.messages[0].prompt, HasSubstr("the disk is full"));
    EXPECT_EQ(app.books.size(), 1u);
    EXPECT_EQ(app.active()->name(), "账户模板.xlsx");
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
