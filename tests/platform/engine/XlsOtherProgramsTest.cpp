// Binary workbooks of other programs: a template written by xlwt and one converted by
// LibreOffice (both made in the set-up) open here with their values, formulas,
// formats, merges, widths, page setup and protection; saved here as .xls, LibreOffice
// reads the same formulas (compared in its own formula text) and xlrd the same
// values and formats as from the originals.

#include <gtest/gtest.h>

#include <sstream>

#include "platform/engine/files/WorkbookFiles.h"
#include "platform/engine/print/CellGeometry.h"
#include "tests/platform/engine/WorkbookFileFixtures.h"

namespace vorra::engine {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class XlsFromOtherPrograms : public ::testing::Test {
protected:
    // The files are made once: LibreOffice takes seconds to start.
    static void SetUpTestSuite() {
        dir_ = fs::temp_directory_path() / ("vorra-xls-others-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        testing::runFixtureScript("xlwt-template " + file("xlwt.xls"));
        testing::runFixtureScript("openpyxl-template " + file("converted.xlsx"));
        testing::runFixtureScript("filled-formulas " + file("filled.xlsx"));
        testing::runFixtureScript("libreoffice xls " + dir_.string() + " " + file("converted.xlsx") + " " +
                                  file("filled.xlsx"));
        for (const char* name : {"xlwt", "converted"}) {
            auto wb = loadWorkbook(file(std::string(name) + ".xls"));
            saveWorkbook(*wb, file(std::string(name) + "-here.xls"));
        }
        // What LibreOffice reads from the four files, "--" after each.
        std::vector<std::string> lines =
            linesOf(testing::runFixtureScript("libreoffice-formulas " + file("xlwt.xls") + " " + file("xlwt-here.xls") +
                                              " " + file("converted.xls") + " " + file("converted-here.xls")));
        libreOffice_.assign(1, {});
        for (const auto& line : lines) {
            if (line == "--") libreOffice_.emplace_back();
            // LibreOffice reads a print area twice from its own file, once as a name.
            else if (line.rfind("name|_xlnm_Print_Area|", 0) != 0) libreOffice_.back().push_back(line);
        }
    }
    static void TearDownTestSuite() { fs::remove_all(dir_); }
    static std::string file(const std::string& name) { return (dir_ / name).string(); }

    static fs::path dir_;
    static std::vector<std::vector<std::string>> libreOffice_;  // xlwt, xlwt here, converted, converted here
};

fs::path XlsFromOtherPrograms::dir_;
std::vector<std::vector<std::string>> XlsFromOtherPrograms::libreOffice_;

TEST_F(XlsFromOtherPrograms, XlwtTemplateOpensWithFormulasFormatsLayoutPageSetupAndProtection) {
    auto wb = loadWorkbook(file("xlwt.xls"));
    ASSERT_EQ(wb->sheets.size(), 3u);
    EXPECT_EQ(wb->activeSheet, 1);
    const Sheet& units = *wb->sheets[0];
    EXPECT_EQ(units.cells.find({4, 6})->formula, "IF(E4=\"\",\"\",E4&\"-\"&F8)");
    EXPECT_EQ(units.cells.find({3, 13})->formula, "ROUND(K3*100,0)/100+SUM(C8:C9)");
    EXPECT_EQ(units.cells.find({8, 6})->value, Value::text("6222021234567890123"));
    EXPECT_EQ(wb->styles.format(units.cells.find({8, 6})->style).numberFormat, "@");
    const CellFormat& money = wb->styles.format(units.cells.find({3, 11})->style);
    EXPECT_EQ(money.numberFormat, "#,##0.00");
    EXPECT_FALSE(money.locked);
    EXPECT_EQ(wb->styles.format(units.cells.find({3, 12})->style).numberFormat, "yyyy\"年\"m\"月\"d\"日\"");
    const CellFormat& heading = wb->styles.format(units.cells.find({1, 3})->style);
    EXPECT_EQ(heading.hAlign, HAlign::Center);
    EXPECT_TRUE(heading.wrapText);
    const Font& headingFont = wb->styles.font(heading.fontId);
    EXPECT_EQ(headingFont.name, "宋体");
    EXPECT_TRUE(headingFont.bold);
    EXPECT_EQ(headingFont.size, 14);
    EXPECT_EQ(headingFont.colorIndex, 3);  // red
    EXPECT_NE(heading.borderId, 0);
    EXPECT_NE(heading.fillId, 0);
    EXPECT_EQ(units.merges, (std::vector<Area>{{1, 3, 2, 9}}));
    // 24 and 22 digits wide in the file, padding included, under Arial 10.
    const int mdw = maxDigitWidthPx(wb->styles.font(0));
    EXPECT_NEAR(fileColumnWidth(units.columns.at(5).width, mdw), 24, 0.01);
    EXPECT_NEAR(fileColumnWidth(units.columns.at(6).width, mdw), 22, 0.01);
    EXPECT_TRUE(units.columns.at(10).hidden);
    EXPECT_EQ(units.rows.at(7).height, 20.25);
    EXPECT_TRUE(units.protection.enabled);
    EXPECT_EQ(units.protection.passwordHash, "C409");  // of "470518"

    const Sheet& cheque = *wb->sheets[1];
    EXPECT_EQ(cheque.cells.find({2, 2})->formula, "常用单位账号!E4");
    EXPECT_EQ(cheque.cells.find({4, 4})->formula, "TEXT(常用单位账号!L3,\"yyyy-mm-dd\")");
    const PageSetup& page = cheque.pageSetup;
    EXPECT_EQ(page.paperSize, 9);
    EXPECT_EQ(page.orientation, Orientation::Landscape);
    EXPECT_EQ(page.marginLeft, 0.2);
    EXPECT_EQ(page.marginTop, 0.1);
    EXPECT_TRUE(page.centerHorizontally);
    EXPECT_EQ(page.scale, 90);
    EXPECT_EQ(page.header, "&C&P");
    EXPECT_EQ(wb->sheets[2]->visibility, SheetVisibility::Hidden);
    EXPECT_EQ(wb->sheets[2]->cells.find({2, 1})->formula, "A1*2");
}

TEST_F(XlsFromOtherPrograms, LibreOfficeTemplateOpensWithNamesPrintAreaFormulasAndFormats) {
    auto wb = loadWorkbook(file("converted.xls"));
    ASSERT_EQ(wb->sheets.size(), 3u);
    const Sheet& units = *wb->sheets[0];
    EXPECT_EQ(units.cells.find({4, 6})->formula, "VLOOKUP($E$4,收款人信息,2,FALSE)");
    EXPECT_EQ(units.cells.find({4, 6})->value, Value::text("6222021234567890123"));
    EXPECT_EQ(units.cells.find({6, 8})->value, Value::error(ErrorValue::Div0));
    const Cell* k3 = units.cells.find({3, 11});
    const Font& font = wb->styles.font(wb->styles.format(k3->style).fontId);
    EXPECT_EQ(font.name, "宋体");
    EXPECT_TRUE(font.bold);
    EXPECT_EQ(font.size, 12);
    EXPECT_FALSE(wb->styles.format(k3->style).locked);
    EXPECT_EQ(units.merges, (std::vector<Area>{{1, 3, 2, 9}}));
    EXPECT_EQ(units.rows.at(7).height, 20.25);
    // 24.5 digits wide in openpyxl's file; LibreOffice keeps widths to its own units.
    EXPECT_NEAR(fileColumnWidth(units.columns.at(5).width, maxDigitWidthPx(wb->styles.font(0))), 24.5, 0.05);
    EXPECT_TRUE(units.protection.enabled);
    EXPECT_EQ(units.protection.passwordHash, "C409");

    const Sheet& cheque = *wb->sheets[1];
    EXPECT_EQ(cheque.cells.find({2, 2})->formula, "常用单位账号!E4");
    EXPECT_EQ(cheque.printArea, (Area{1, 1, 20, 8}));
    EXPECT_EQ(cheque.pageSetup.paperSize, 9);
    EXPECT_EQ(cheque.pageSetup.orientation, Orientation::Landscape);
    EXPECT_EQ(cheque.pageSetup.scale, 90);
    EXPECT_TRUE(cheque.pageSetup.centerHorizontally);
    EXPECT_EQ(wb->sheets[2]->visibility, SheetVisibility::Hidden);
    ASSERT_EQ(wb->names.size(), 3u);
    EXPECT_EQ(wb->names[0].name, "付款人信息");
    EXPECT_EQ(wb->names[0].refersTo, "常用单位账号!$D$8:$I$407");
    EXPECT_EQ(wb->names[2].name, "本表金额");
    EXPECT_EQ(wb->names[2].localSheet, 1);
}

// LibreOffice stores formulas filled down a column once for the block (a shared
// formula) and an array formula once for its area: each cell gets its own text.
TEST_F(XlsFromOtherPrograms, SharedAndArrayFormulasOfLibreOfficeAreReadCellByCell) {
    auto wb = loadWorkbook(file("filled.xls"));
    const auto& cells = wb->sheets[0]->cells;
    for (int r = 1; r <= 10; ++r) {
        const std::string row = std::to_string(r);
        EXPECT_EQ(cells.find({r, 2})->formula, "A" + row + "*2+$A$1");
        EXPECT_EQ(cells.find({r, 4})->formula, "SUM(A$1:A" + row + ")");
        EXPECT_EQ(cells.find({r, 4})->value, Value::number(r * (r + 1) / 2));
    }
    EXPECT_EQ(cells.find({1, 3})->formula, "A1:A2*10");
    EXPECT_EQ(cells.find({2, 3})->value, Value::number(20));  // the array's other cell: its value
}

TEST_F(XlsFromOtherPrograms, SavedHereTheyReadAsTheOriginalsInLibreOfficeAndXlrd) {
    ASSERT_EQ(libreOffice_.size(), 5u);  // four files and what follows the last "--"
    for (size_t original : {0u, 2u}) {
        SCOPED_TRACE(original == 0 ? "xlwt" : "converted by LibreOffice");
        EXPECT_FALSE(libreOffice_[original].empty());
        EXPECT_EQ(libreOffice_[original], libreOffice_[original + 1]);
    }
    for (const char* name : {"xlwt", "converted"}) {
        SCOPED_TRACE(name);
        std::string theirs = testing::runFixtureScript("xlrd-formats " + file(std::string(name) + ".xls"));
        std::string ours = testing::runFixtureScript("xlrd-formats " + file(std::string(name) + "-here.xls"));
        EXPECT_NE(theirs.find("cell|"), std::string::npos);
        EXPECT_EQ(linesOf(theirs), linesOf(ours));
    }
}

}  // namespace
}  // namespace vorra::engine
