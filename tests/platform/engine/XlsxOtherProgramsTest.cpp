// Workbooks written by another program (openpyxl, run in the set-up) open with their
// values, formulas, names and protection, and after a save here that program reads
// everything back as it wrote it, including the parts this engine does not model.

#include <gtest/gtest.h>

#include "platform/engine/files/WorkbookFiles.h"
#include "platform/engine/files/ZipPackage.h"
#include "platform/engine/formula/FormulaEngine.h"
#include "platform/engine/print/PrintLayout.h"
#include "tests/platform/engine/WorkbookFileFixtures.h"

namespace vorra::engine {
namespace {

using testing::runFixtureScript;
using testing::ScratchFolder;

class XlsxFromOpenpyxl : public ::testing::Test {
protected:
    void SetUp() override {
        runFixtureScript("openpyxl-template " + dir.file("template.xlsx"));
        wb = loadWorkbook(dir.file("template.xlsx"));
    }
    const Cell& cell(int sheet, const char* address) {
        auto a = host::parseArea(address);
        const Cell* c = wb->sheets[size_t(sheet)]->cells.find(a.topLeft());
        if (!c) throw std::runtime_error(std::string("no cell ") + address);
        return *c;
    }
    const CellFormat& format(int sheet, const char* address) {
        return wb->styles.formats.at(size_t(cell(sheet, address).style));
    }
    ScratchFolder dir;
    std::unique_ptr<WorkbookModel> wb;
};

TEST_F(XlsxFromOpenpyxl, OpensWithValuesFormulasAndSheets) {
    ASSERT_EQ(wb->sheets.size(), 3u);
    EXPECT_EQ(wb->sheets[0]->name, "常用单位账号");
    EXPECT_EQ(wb->sheets[2]->visibility, SheetVisibility::Hidden);
    EXPECT_EQ(wb->activeSheet, 1);
    EXPECT_EQ(cell(0, "E8").value, Value::text("北京公司"));
    EXPECT_EQ(cell(0, "F8").value, Value::text("6222021234567890123"));
    EXPECT_EQ(cell(0, "K5").value, Value::text("  货款 "));
    EXPECT_EQ(cell(0, "K3").value, Value::number(1234.5));
    EXPECT_EQ(cell(0, "G6").value, Value::boolean(true));
    EXPECT_EQ(cell(0, "F4").formula, "VLOOKUP($E$4,收款人信息,2,FALSE)");
    EXPECT_TRUE(cell(0, "F4").value.isEmpty());
    EXPECT_EQ(cell(1, "B2").formula, "常用单位账号!E4");
    EXPECT_EQ(cell(2, "A2").formula, "A1*2");
}

TEST_F(XlsxFromOpenpyxl, OpensWithFormatsLayoutAndPageSetup) {
    EXPECT_EQ(format(0, "K3").numberFormat, "#,##0.00");
    EXPECT_EQ(format(0, "F8").numberFormat, "@");
    EXPECT_FALSE(format(0, "K3").locked);
    EXPECT_TRUE(format(0, "E8").locked);
    const Font& font = wb->styles.fonts.at(size_t(format(0, "K3").fontId));
    EXPECT_EQ(font.name, "宋体");
    EXPECT_EQ(font.size, 12);
    EXPECT_TRUE(font.bold);
    EXPECT_EQ(font.colorRgb, "FFFF0000");
    EXPECT_EQ(format(0, "K5").hAlign, HAlign::Center);
    EXPECT_EQ(format(0, "K5").vAlign, VAlign::Center);
    EXPECT_TRUE(format(0, "K5").wrapText);

    const Sheet& units = *wb->sheets[0];
    EXPECT_EQ(units.columns.at(5).width, 24.5);
    EXPECT_EQ(units.rows.at(7).height, 20.25);
    ASSERT_EQ(units.merges.size(), 1u);
    EXPECT_EQ(units.merges[0], (Area{1, 3, 2, 9}));

    const Sheet& cheque = *wb->sheets[1];
    EXPECT_EQ(cheque.printArea, (Area{1, 1, 20, 8}));
    EXPECT_EQ(cheque.pageSetup.paperSize, 9);
    EXPECT_EQ(cheque.pageSetup.orientation, Orientation::Landscape);
    EXPECT_EQ(cheque.pageSetup.scale, 90);
    EXPECT_EQ(cheque.pageSetup.marginLeft, 0.2);
    EXPECT_TRUE(cheque.pageSetup.centerHorizontally);
}

TEST_F(XlsxFromOpenpyxl, OpensWithNamesAndTheLegacyProtectionHash) {
    ASSERT_EQ(wb->names.size(), 3u);
    EXPECT_EQ(wb->names[0].name, "收款人信息");
    EXPECT_EQ(wb->names[0].refersTo, "常用单位账号!$E$8:$I$407");
    EXPECT_EQ(wb->names[0].localSheet, -1);
    EXPECT_EQ(wb->names[2].localSheet, 1);
    const auto& p = wb->sheets[0]->protection;
    EXPECT_TRUE(p.enabled);
    // openpyxl hashes "470518" with the format's legacy 16-bit password hash.
    EXPECT_EQ(p.passwordHash.size(), 4u);
    EXPECT_FALSE(wb->sheets[1]->protection.enabled);
}

TEST_F(XlsxFromOpenpyxl, AfterASaveHereOpenpyxlReadsEverythingAsBefore) {
    saveWorkbook(*wb, dir.file("saved.xlsx"));
    std::string before = runFixtureScript("dump " + dir.file("template.xlsx"));
    std::string after = runFixtureScript("dump " + dir.file("saved.xlsx"));
    ASSERT_NE(before.find("收款人户名"), std::string::npos);  // the comment is in the dump
    ASSERT_NE(before.find("现金支票,转账支票"), std::string::npos);  // and the validation
    EXPECT_EQ(before, after);
}

TEST_F(XlsxFromOpenpyxl, UnmodelledPartsAreCarriedByteForByte) {
    saveWorkbook(*wb, dir.file("saved.xlsx"));
    auto readParts = [](const std::string& path) {
        return files::readZip(testing::readBytes(path), path, files::ReadLimits{});
    };
    auto original = readParts(dir.file("template.xlsx"));
    auto saved = readParts(dir.file("saved.xlsx"));
    for (const char* part : {"xl/theme/theme1.xml", "xl/comments/comment1.xml",
                             "xl/drawings/commentsDrawing1.vml", "docProps/core.xml"}) {
        ASSERT_TRUE(saved.count(part)) << part;
        EXPECT_EQ(original.at(part), saved.at(part)) << part;
    }
    EXPECT_EQ(saved.count("xl/calcChain.xml"), 0u);
}

TEST_F(XlsxFromOpenpyxl, EditsMadeHereAreWhatOpenpyxlSees) {
    Sheet& units = *wb->sheets[0];
    units.cells.at({20, 5}).value = Value::text("新增单位");
    units.cells.at({3, 11}).value = Value::number(99.5);
    units.protection.enabled = false;
    wb->sheets[1]->printArea = Area{2, 2, 10, 4};
    saveWorkbook(*wb, dir.file("edited.xlsx"));
    std::string dump = runFixtureScript("dump " + dir.file("edited.xlsx"));
    EXPECT_NE(dump.find("\"E20\": [\n     \"'新增单位'\""), std::string::npos) << dump.substr(0, 400);
    EXPECT_NE(dump.find("\"K3\": [\n     \"99.5\""), std::string::npos);
    EXPECT_NE(dump.find("\"print_area\": \"$B$2:$D$10\""), std::string::npos);
}

TEST(XlsxOtherPrograms, AWorkbookSavedHereKeepsItsValuesInOpenpyxl) {
    ScratchFolder dir;
    saveWorkbook(*testing::sampleTemplate(), dir.file("sample.xlsx"));
    std::string dump = runFixtureScript("dump " + dir.file("sample.xlsx"));
    for (const char* expected :
         {"\"title\": \"常用单位账号\"", "\"state\": \"veryHidden\"", "\"'北京<公司>&\\\"分部\\\"'\"",
          "\"'=VLOOKUP($E$4,收款人信息,2,FALSE)'\"", "\"protected\": true", "\"password\": \"CF1A\"",
          "\"print_area\": \"$A$1:$H$20\"", "\"'6222021234567890123'\"", "\"#,##0.00\\\"元\\\"\"",
          "\"收款人信息@None\": \"常用单位账号!$E$8:$I$407\"", "\"active\": \"转账支票\""})
        EXPECT_NE(dump.find(expected), std::string::npos) << expected;
}

// A cheque workbook of the 1904 date system from another program: its dates show,
// calculate and print as written there, and that program reads them back so.
TEST(XlsxFromOpenpyxl1904, DatesShowCalculatePrintAndSaveInTheWorkbooksDateSystem) {
    ScratchFolder dir;
    runFixtureScript("cheque-1904 " + dir.file("cheque.xlsx"));
    auto wb = loadWorkbook(dir.file("cheque.xlsx"));
    ASSERT_TRUE(wb->date1904);
    FormulaEngine(*wb).recalculateAll();
    const CellStore& cells = wb->sheets[0]->cells;
    EXPECT_EQ(cells.find({3, 2})->value, Value::number(46363 - 1462));
    EXPECT_EQ(cells.find({4, 2})->value, Value::text("2026-12-7"));
    EXPECT_EQ(cells.find({5, 2})->value, Value::number(2026));
    std::string printed;
    const PrintLayout layout = layoutSheet(*wb, 0);
    for (const auto& run : layout.pages.at(0).runs)
        printed += host::relativeAddress(host::Area::of(run.cell)) + " " + run.text + ";";
    EXPECT_NE(printed.find("B3 2026年12月7日;"), std::string::npos) << printed;
    saveWorkbook(*wb, dir.file("saved.xlsx"));
    std::string dumped = runFixtureScript("dump " + dir.file("saved.xlsx"));
    EXPECT_NE(dumped.find("\"epoch1904\": true"), std::string::npos);
    EXPECT_NE(dumped.find("datetime.datetime(2026, 12, 7, 0, 0)"), std::string::npos) << dumped;
}

}  // namespace
}  // namespace vorra::engine
