// What the engine does not model must come back where the format wants it: elements
// of a sheet in the schema's order, a sheet's drawings and comments wherever the
// sheet goes, locale number formats and page measures in other units.

#include <gtest/gtest.h>

#include "platform/engine/files/PackageParts.h"
#include "platform/engine/files/WorkbookFiles.h"
#include "platform/engine/files/DefinedNames.h"
#include "platform/engine/files/ZipPackage.h"
#include "tests/platform/engine/WorkbookFileFixtures.h"

namespace vorra::engine {
namespace {

using testing::readBytes;
using testing::ScratchFolder;

constexpr const char* kContentTypes =
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Default Extension=\"png\" ContentType=\"image/png\"/>"
    "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
    "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
    "<Override PartName=\"/xl/drawings/drawing1.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.drawing+xml\"/>"
    "<Override PartName=\"/xl/styles.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
    "</Types>";

// A sheet with a picture (drawing → image), a hyperlink, validation and conditional
// format in a package whose sheet sits in an unusual folder.
std::string packageWithDrawing() {
    std::string rootRels =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" Target=\"/xl/workbook.xml\"/>"
        "</Relationships>";
    std::string wb =
        "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<sheets><sheet name=\"票样\" sheetId=\"4\" r:id=\"rId7\"/></sheets></workbook>";
    std::string wbRels =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId7\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
        "<Relationship Id=\"rId8\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" Target=\"styles.xml\"/>"
        "</Relationships>";
    std::string styles =
        "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<fonts count=\"1\"><font><sz val=\"11\"/><color theme=\"1\"/><name val=\"等线\"/><family val=\"2\"/></font></fonts>"
        "<cellXfs count=\"3\"><xf numFmtId=\"0\" fontId=\"0\"/><xf numFmtId=\"31\" fontId=\"0\"/><xf numFmtId=\"49\" fontId=\"0\"/></cellXfs>"
        "<dxfs count=\"1\"><dxf><font><b/></font></dxf></dxfs></styleSheet>";
    std::string sheet =
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<sheetPr codeName=\"Sheet4\"><tabColor rgb=\"FF00B050\"/></sheetPr>"
        "<sheetData><row r=\"1\"><c r=\"A1\" s=\"1\"><v>45352</v></c><c r=\"B1\" s=\"2\"><v>1</v></c></row></sheetData>"
        "<conditionalFormatting sqref=\"A1\"><cfRule type=\"cellIs\" dxfId=\"0\" priority=\"1\" operator=\"greaterThan\"><formula>1</formula></cfRule></conditionalFormatting>"
        "<dataValidations count=\"1\"><dataValidation type=\"list\" sqref=\"B1\"><formula1>\"甲,乙\"</formula1></dataValidation></dataValidations>"
        "<hyperlinks><hyperlink ref=\"A1\" r:id=\"rId2\"/></hyperlinks>"
        "<pageMargins left=\"0.5\" right=\"0.5\" top=\"1\" bottom=\"1\" header=\"0.5\" footer=\"0.5\"/>"
        "<pageSetup paperWidth=\"24cm\" paperHeight=\"4in\" orientation=\"landscape\" horizontalDpi=\"600\"/>"
        "<headerFooter><oddFooter>&amp;P</oddFooter></headerFooter>"
        "<drawing r:id=\"rId1\"/></worksheet>";
    std::string sheetRels =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/drawing\" Target=\"../drawings/drawing1.xml\"/>"
        "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/hyperlink\" Target=\"http://example.com/\" TargetMode=\"External\"/>"
        "</Relationships>";
    std::string drawingRels =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/image\" Target=\"../media/image1.png\"/>"
        "</Relationships>";
    return files::writeZip({{"[Content_Types].xml", kContentTypes},
                            {"_rels/.rels", rootRels},
                            {"xl/workbook.xml", wb},
                            {"xl/_rels/workbook.xml.rels", wbRels},
                            {"xl/styles.xml", styles},
                            {"xl/worksheets/sheet1.xml", sheet},
                            {"xl/worksheets/_rels/sheet1.xml.rels", sheetRels},
                            {"xl/drawings/drawing1.xml", "<xdr:wsDr xmlns:xdr=\"d\"/>"},
                            {"xl/drawings/_rels/drawing1.xml.rels", drawingRels},
                            {"xl/media/image1.png", std::string("\x89PNG\r\n\x1a\n\0\0", 10)}},
                           "drawing.xlsx");
}

class XlsxPreserved : public ::testing::Test {
protected:
    void SetUp() override {
        testing::writeBytes(dir.file("in.xlsx"), packageWithDrawing());
        wb = loadWorkbook(dir.file("in.xlsx"));
    }
    files::PartMap save(const WorkbookModel& model, const std::string& name) {
        saveWorkbook(model, dir.file(name));
        return files::readZip(readBytes(dir.file(name)), name, files::ReadLimits{});
    }
    ScratchFolder dir;
    std::unique_ptr<WorkbookModel> wb;
};

TEST_F(XlsxPreserved, UnmodelledSheetElementsComeBackInSchemaOrder) {
    auto parts = save(*wb, "out.xlsx");
    const std::string& sheet = parts.at("xl/worksheets/sheet1.xml");
    const char* order[] = {"<sheetPr codeName=\"Sheet4\"><tabColor rgb=\"FF00B050\"/>", "<sheetData>",
                           "<conditionalFormatting", "<dataValidations", "<hyperlinks>", "<pageMargins",
                           "<pageSetup", "horizontalDpi=\"600\"", "<headerFooter>", "<drawing r:id=\"rId1\"/>"};
    size_t at = 0;
    for (const char* element : order) {
        size_t found = sheet.find(element, at);
        ASSERT_NE(found, std::string::npos) << element << " missing or out of order in\n" << sheet;
        at = found;
    }
    EXPECT_NE(parts.at("xl/worksheets/_rels/sheet1.xml.rels").find("Target=\"../drawings/drawing1.xml\""),
              std::string::npos);
    EXPECT_EQ(parts.at("xl/media/image1.png"), std::string("\x89PNG\r\n\x1a\n\0\0", 10));
    EXPECT_NE(parts.at("[Content_Types].xml").find("/xl/drawings/drawing1.xml"), std::string::npos);
    EXPECT_NE(parts.at("xl/styles.xml").find("<dxfs count=\"1\">"), std::string::npos);
}

TEST_F(XlsxPreserved, ASheetTakesItsDrawingIntoANewWorkbook) {
    // What copying a sheet into a new workbook does to the model: the sheet moves,
    // the package-level parts of its old workbook stay behind.
    WorkbookModel copy;
    auto sheet = std::make_unique<Sheet>(*wb->sheets[0]);
    copy.sheets.push_back(std::move(sheet));
    auto parts = save(copy, "copy.xlsx");
    EXPECT_TRUE(parts.count("xl/drawings/drawing1.xml"));
    EXPECT_TRUE(parts.count("xl/drawings/_rels/drawing1.xml.rels"));
    EXPECT_TRUE(parts.count("xl/media/image1.png"));
    auto back = loadWorkbook(dir.file("copy.xlsx"));
    EXPECT_EQ(back->sheets[0]->cells.find({1, 1})->value, Value::number(45352));
}

TEST_F(XlsxPreserved, LocaleNumberFormatsAndPaperMeasuresInOtherUnitsAreRead) {
    EXPECT_EQ(wb->styles.formats.at(1).numberFormat, "yyyy\"年\"m\"月\"d\"日\"");
    EXPECT_EQ(wb->styles.formats.at(2).numberFormat, "@");
    EXPECT_EQ(wb->styles.fonts.at(0).name, "等线");
    EXPECT_NE(wb->styles.fonts.at(0).extraXml.find("<color theme=\"1\"/>"), std::string::npos);
    const PageSetup& page = wb->sheets[0]->pageSetup;
    EXPECT_EQ(page.paperSize, 0);
    EXPECT_DOUBLE_EQ(page.paperWidthMm, 240);
    EXPECT_DOUBLE_EQ(page.paperHeightMm, 101.6);
    EXPECT_EQ(page.orientation, Orientation::Landscape);

    // Written back: the locale format as a custom code, "@" under its built-in id.
    const std::string styles = save(*wb, "out.xlsx").at("xl/styles.xml");
    EXPECT_NE(styles.find("<numFmt numFmtId=\"164\" formatCode=\"yyyy&quot;年&quot;m&quot;月&quot;d&quot;日&quot;\"/>"),
              std::string::npos);
    EXPECT_NE(styles.find("<xf numFmtId=\"49\""), std::string::npos);
    EXPECT_NE(styles.find("<color theme=\"1\"/>"), std::string::npos);
}

TEST(XlsxPackagePaths, TargetsResolveAndRelativiseBothWays) {
    EXPECT_EQ(files::resolveTarget("xl/worksheets/", "../drawings/d1.xml"), "xl/drawings/d1.xml");
    EXPECT_EQ(files::resolveTarget("xl/", "/xl/theme/theme1.xml"), "xl/theme/theme1.xml");
    EXPECT_EQ(files::resolveTarget("", "xl/./workbook.xml"), "xl/workbook.xml");
    EXPECT_EQ(files::relativeTarget("xl/worksheets/", "xl/drawings/d1.xml"), "../drawings/d1.xml");
    EXPECT_EQ(files::relativeTarget("xl/", "xl/theme/theme1.xml"), "theme/theme1.xml");
    EXPECT_EQ(files::relativeTarget("xl/", "customXml/item1.xml"), "../customXml/item1.xml");
    EXPECT_EQ(files::relsPathOf("xl/worksheets/sheet3.xml"), "xl/worksheets/_rels/sheet3.xml.rels");
}

TEST(XlsxPackagePaths, SheetNamesAreQuotedInReferencesOnlyWhenNeeded) {
    EXPECT_EQ(files::sheetReferenceName("常用单位账号"), "常用单位账号");
    EXPECT_EQ(files::sheetReferenceName("Sheet1"), "Sheet1");
    EXPECT_EQ(files::sheetReferenceName("基本 信息"), "'基本 信息'");
    EXPECT_EQ(files::sheetReferenceName("2024"), "'2024'");
    EXPECT_EQ(files::sheetReferenceName("A1"), "'A1'");
    EXPECT_EQ(files::sheetReferenceName("R1C1"), "'R1C1'");
    EXPECT_EQ(files::sheetReferenceName("O'Brien"), "'O''Brien'");
}

}  // namespace
}  // namespace vorra::engine
