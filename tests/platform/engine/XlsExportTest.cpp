// The binary 97-2003 export: a workbook saved under an ".xls" name is read back by
// xlrd (another program, run in the test) and by our own values loader.

#include <gtest/gtest.h>

#include "platform/engine/files/WorkbookFiles.h"
#include "tests/platform/engine/WorkbookFileFixtures.h"

namespace vorra::engine {
namespace {

using testing::ScratchFolder;

// A print-record sheet in miniature: headings, text columns, a long table of
// distinct texts that forces the shared-string table across several records.
std::unique_ptr<WorkbookModel> recordBook() {
    auto wb = std::make_unique<WorkbookModel>();
    CellFormat text;
    text.numberFormat = "@";
    int textStyle = wb->styles.internFormat(text);
    Font bold;
    bold.bold = true;
    CellFormat heading;
    heading.fontId = wb->styles.internFont(bold);
    heading.hAlign = HAlign::Center;
    heading.locked = false;
    int headingStyle = wb->styles.internFormat(heading);
    auto sheet = std::make_unique<Sheet>();
    sheet->name = "打印记录";
    sheet->cells.at({1, 1}).value = Value::text("序号");
    sheet->cells.at({1, 1}).style = headingStyle;
    sheet->cells.at({1, 2}).value = Value::text("打印时间");
    for (int r = 3; r < 1503; ++r) {
        Cell& n = sheet->cells.at({r, 1});
        n.value = Value::text(std::to_string(r - 2));
        n.style = textStyle;
        sheet->cells.at({r, 14}).value = Value::text("账号6222021234567890" + std::to_string(r));
    }
    sheet->cells.at({2, 3}).value = Value::number(1234.5);
    sheet->cells.at({2, 4}).value = Value::boolean(true);
    sheet->cells.at({2, 5}).value = Value::error(ErrorValue::NA);
    Cell& f = sheet->cells.at({2, 6});
    f.formula = "C2*2";
    f.value = Value::number(2469);
    sheet->columns[2] = {21.5, false, textStyle};
    sheet->columns[9] = {-1, true, 0};
    sheet->rows[1] = {24, false, -1};
    wb->sheets.push_back(std::move(sheet));
    return wb;
}

TEST(XlsExport, XlrdReadsValuesFormatsWidthsAndTexts) {
    ScratchFolder dir;
    std::string path = dir.file("打印记录20240301120000.xls");
    saveWorkbook(*recordBook(), path);
    std::string dump = testing::runFixtureScript("xlrd-dump " + path);
    for (const char* expected :
         {"\"name\": \"打印记录\"", "\"A1\": [\n     1,\n     \"序号\",\n     \"General\",\n     \"宋体\",\n     1,\n     0,\n     2\n    ]",
          "\"A3\": [\n     1,\n     \"1\",\n     \"@\"", "\"N1502\": [\n     1,\n     \"账号62220212345678901502\"",
          "\"C2\": [\n     2,\n     1234.5", "\"D2\": [\n     4,\n     1", "\"E2\": [\n     5,\n     42",
          "\"F2\": [\n     2,\n     2469.0", "\"1\": 5664", "\"0\": 480"})
        EXPECT_NE(dump.find(expected), std::string::npos) << expected << "\n" << dump.substr(dump.find("\"heights\""));
}

TEST(XlsExport, OurValuesLoaderReadsTheExportBack) {
    ScratchFolder dir;
    std::string path = dir.file("export.xls");
    auto wb = recordBook();
    saveWorkbook(*wb, path);
    auto back = loadWorkbookValues(path);
    ASSERT_EQ(back->sheets.size(), 1u);
    const auto& cells = back->sheets[0]->cells;
    EXPECT_EQ(cells.find({1, 2})->value, Value::text("打印时间"));
    EXPECT_EQ(cells.find({1502, 14})->value, Value::text("账号62220212345678901502"));
    EXPECT_EQ(cells.find({2, 3})->value, Value::number(1234.5));
    EXPECT_EQ(cells.find({2, 6})->value, Value::number(2469));
}

TEST(XlsExport, SheetsPastTheFormatsLimitsAreRefusedAndTheOldFileKept) {
    ScratchFolder dir;
    std::string path = dir.file("big.xls");
    testing::writeBytes(path, "old");
    WorkbookModel wb;
    wb.sheets.push_back(std::make_unique<Sheet>());
    wb.sheets[0]->name = "S";
    wb.sheets[0]->cells.at({70000, 1}).value = Value::number(1);
    testing::expectRefusal([&] { saveWorkbook(wb, path); }, {path, "row 65536"});
    EXPECT_EQ(testing::readBytes(path), "old");
}

}  // namespace
}  // namespace vorra::engine
