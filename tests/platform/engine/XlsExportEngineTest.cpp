// What the records export hands to the 97–2003 writer: a sheet copied into a new
// workbook by the embedded host keeps its values, column widths and text formats, and
// the writer carries them into the file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/engine/files/XlsExport.h"
#include "platform/engine/host/EngineHost.h"
#include "tests/support/XlsReadBack.h"

namespace vorra::engine {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::HasSubstr;

TEST(XlsExportOfACopiedSheet, KeepsValuesWidthsAndTextFormats) {
    EngineApplication app("16.0");
    auto book = app.addWorkbook();
    auto records = book->activeSheet();
    records->setName("打印记录");
    records->range("A:O").setNumberFormat("@");
    host::Array2D row(1, 3);
    row.at(1, 1) = host::Value::text("1");
    row.at(1, 2) = host::Value::text("2026-12-07  14:03:05");
    row.at(1, 3) = host::Value::text("00012345");
    records->range("A3:C3").setValue(row);
    auto& engineSheet = dynamic_cast<EngineWorksheet&>(*records);
    engineSheet.model().columns[2].width = 21.5;

    records->copyToNewWorkbook();
    auto copy = std::dynamic_pointer_cast<EngineWorkbook>(app.activeWorkbook());
    ASSERT_TRUE(copy);
    ASSERT_NE(copy.get(), book.get());

    fs::path file = fs::temp_directory_path() / ("copied-records-" + std::to_string(::getpid()) + ".xls");
    saveXlsWorkbook(copy->model(), file.string());
    auto lines = vorra::testing::readBackXls(file.string());
    fs::remove(file);
    EXPECT_THAT(lines, Contains("sheet|0|打印记录|0|1"));
    EXPECT_THAT(lines, Contains(HasSubstr("cell|打印记录|3|1|1|1|@|")));  // typed into a text cell: text
    EXPECT_THAT(lines, Contains(HasSubstr("cell|打印记录|3|3|1|00012345|@|")));
    EXPECT_THAT(lines, Contains("col|打印记录|2|5664|0"));  // (21.5 + 5/8) · 256
}

}  // namespace
}  // namespace vorra::engine
