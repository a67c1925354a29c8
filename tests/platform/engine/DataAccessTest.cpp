// Query access to workbook files, as the batch import uses it, on files written by
// other programs (tests/addin/batch/fixtures/batch_sources.py).
#include <gtest/gtest.h>

#include <functional>

#include "platform/engine/data/WorkbookDataAccess.h"
#include "platform/engine/files/WorkbookFiles.h"
#include "tests/platform/engine/WorkbookFileFixtures.h"

using namespace vorra::engine;
using namespace vorra::engine::testing;
using vorra::host::HostError;
using vorra::host::Value;

namespace {

const std::string kConnection =
    "Provider=Microsoft.Jet.OLEDB.4.0;Extended Properties=Excel 8.0;Data Source=";
const std::string kQuery = "select * from [批量打印$] Where 收款人户名 <> '' ";

std::string makeSource(const ScratchFolder& folder, const std::string& kind, const std::string& name) {
    auto script = std::filesystem::path(VORRA_SOURCE_DIR) / "tests/addin/batch/fixtures/batch_sources.py";
    std::string path = folder.file(name);
    std::string command = std::string(kPython) + " '" + script.string() + "' " + kind + " '" + path + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return path;
}

std::string messageOf(const std::function<void()>& statement) {
    try {
        statement();
    } catch (const HostError& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(WorkbookDataAccess, ReadsTheBinaryAndTheOpenXmlFormatAlike) {
    ScratchFolder folder;
    WorkbookDataAccess access;
    auto xls = access.query(kConnection + makeSource(folder, "bills", "清单.xls"), kQuery);
    auto xlsx = access.query(kConnection + makeSource(folder, "bills", "清单.xlsx"), kQuery);
    ASSERT_EQ(xls.rows.size(), 5u);
    ASSERT_EQ(xls.fields.size(), 14u);
    EXPECT_EQ(xls.fields[1], "收款人户名");
    EXPECT_EQ(xls.fields, xlsx.fields);
    EXPECT_EQ(xls.rows, xlsx.rows);
    EXPECT_EQ(xls.rows[2][1], Value::text("杭州西湖茶叶公司"));
    EXPECT_EQ(xls.rows[2][2], Value::text("0000358101040012345"));
    EXPECT_EQ(xls.rows[2][7], Value::number(35.75));
}

// A batch list saved here as .xls with a field left as the empty text: its shared
// strings hold an empty entry, and the import still reads every record.
TEST(WorkbookDataAccess, AnXlsSavedHereWithAnEmptyTextImportsItsRecords) {
    ScratchFolder folder;
    WorkbookModel wb;
    wb.sheets.push_back(std::make_unique<Sheet>());
    Sheet& sheet = *wb.sheets[0];
    sheet.name = "批量打印";
    const char* headings[] = {"序号", "收款人户名", "用途"};
    for (int c = 0; c < 3; ++c) sheet.cells.at({1, c + 1}).value = Value::text(headings[c]);
    sheet.cells.at({2, 1}).value = Value::number(1);
    sheet.cells.at({2, 2}).value = Value::text("北京公司");
    sheet.cells.at({2, 3}).value = Value::text("");
    sheet.cells.at({3, 1}).value = Value::number(2);
    sheet.cells.at({3, 2}).value = Value::text("上海分支");
    sheet.cells.at({3, 3}).value = Value::text("货款");
    const std::string path = folder.file("清单.xls");
    saveWorkbook(wb, path);
    auto records = WorkbookDataAccess().query(kConnection + path, kQuery);
    ASSERT_EQ(records.rows.size(), 2u);
    EXPECT_EQ(records.rows[0][1], Value::text("北京公司"));
    EXPECT_TRUE(records.rows[0][2].isBlankText());
    EXPECT_EQ(records.rows[1][2], Value::text("货款"));
}

TEST(WorkbookDataAccess, RefusesAnotherQueryBeforeReadingTheFile) {
    WorkbookDataAccess access;
    std::string message = messageOf([&] {
        access.query(kConnection + "/nonexistent/清单.xls", "select * from [批量打印$] where 收款人户名 like 'a%'");
    });
    EXPECT_NE(message.find("Query not understood"), std::string::npos) << message;
}

TEST(WorkbookDataAccess, SaysWhyASourceGivesNoRecords) {
    ScratchFolder folder;
    WorkbookDataAccess access;
    writeBytes(folder.file("文本.xlsx"), "not a workbook");
    const std::pair<std::string, std::string> cases[] = {
        {makeSource(folder, "no-batch-sheet", "a.xls"), "批量打印"},
        {makeSource(folder, "no-payee-column", "b.xlsx"), "收款人户名"},
        {folder.file("文本.xlsx"), "文本.xlsx"},
        {folder.file("缺失.xls"), "缺失.xls"},
    };
    for (const auto& [path, mentioned] : cases) {
        std::string message = messageOf([&] { access.query(kConnection + path, kQuery); });
        EXPECT_NE(message.find(mentioned), std::string::npos) << path << ": " << message;
    }
}

}  // namespace
