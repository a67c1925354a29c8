// Workbooks built in the model, saved, opened and saved again: nothing the model
// holds may change on the way, and a second save writes the same bytes.

#include <gtest/gtest.h>

#include <random>

#include <tuple>
#include <vector>

#include "platform/engine/files/WorkbookFiles.h"
#include "platform/engine/files/WorksheetReader.h"
#include "platform/engine/files/ZipPackage.h"
#include "tests/platform/engine/WorkbookFileFixtures.h"

namespace vorra::engine {
namespace {

using testing::ScratchFolder;
using testing::readBytes;
using testing::sampleTemplate;

files::PartMap partsOf(const std::string& path) {
    return files::readZip(readBytes(path), path, files::ReadLimits{});
}

TEST(XlsxRoundTrip, SampleTemplateIsEqualAfterSaveOpenSave) {
    ScratchFolder dir;
    auto original = sampleTemplate();
    saveWorkbook(*original, dir.file("a.xlsx"));
    auto first = loadWorkbook(dir.file("a.xlsx"));
    testing::expectSameWorkbook(*original, *first);

    saveWorkbook(*first, dir.file("b.xlsx"));
    auto second = loadWorkbook(dir.file("b.xlsx"));
    testing::expectSameWorkbook(*first, *second);
    saveWorkbook(*second, dir.file("c.xlsx"));
    EXPECT_EQ(readBytes(dir.file("b.xlsx")), readBytes(dir.file("c.xlsx")));
}

TEST(XlsxRoundTrip, PrintAreasBecomeSheetLocalNamesWithQuotedSheetNames) {
    ScratchFolder dir;
    saveWorkbook(*sampleTemplate(), dir.file("a.xlsx"));
    const std::string workbook = partsOf(dir.file("a.xlsx")).at("xl/workbook.xml");
    EXPECT_NE(workbook.find("<definedName name=\"_xlnm.Print_Area\" localSheetId=\"1\">转账支票!$A$1:$H$20<"),
              std::string::npos);
    EXPECT_NE(workbook.find("localSheetId=\"2\">'基本 信息'!$A$1<"), std::string::npos);
    EXPECT_NE(workbook.find("<definedName name=\"本表\" localSheetId=\"1\" hidden=\"1\">"), std::string::npos);
}

TEST(XlsxRoundTrip, ProtectionCustomPaperAndCellTypesAreWrittenInTheFormatsOwnTerms) {
    ScratchFolder dir;
    saveWorkbook(*sampleTemplate(), dir.file("a.xlsx"));
    auto parts = partsOf(dir.file("a.xlsx"));
    const std::string& units = parts.at("xl/worksheets/sheet1.xml");
    const std::string& cheque = parts.at("xl/worksheets/sheet2.xml");
    EXPECT_NE(units.find("<sheetProtection password=\"CF1A\" sheet=\"1\""), std::string::npos);
    EXPECT_NE(cheque.find("algorithmName=\"SHA-512\" hashValue=\"q83vEjRWeJA=\" saltValue=\"c2FsdA==\" spinCount=\"100000\""),
              std::string::npos);
    EXPECT_NE(cheque.find("paperHeight=\"93.5mm\" paperWidth=\"240mm\""), std::string::npos);
    EXPECT_NE(cheque.find("<pageSetUpPr fitToPage=\"1\"/>"), std::string::npos);
    EXPECT_NE(units.find("<c r=\"G6\" t=\"b\"><v>1</v></c>"), std::string::npos);
    EXPECT_NE(units.find("<c r=\"H6\" t=\"e\"><v>#N/A</v></c>"), std::string::npos);
    EXPECT_NE(units.find("<f>SUM(K3,1)&amp;&quot;&lt;元&gt;&quot;</f><v>1.3&lt;元&gt;</v>"), std::string::npos);
    // 0.1 + 0.2 needs seventeen digits to read back as the same double.
    EXPECT_NE(units.find("<v>0.30000000000000004</v>"), std::string::npos);
    const std::string& strings = parts.at("xl/sharedStrings.xml");
    EXPECT_NE(strings.find("<t xml:space=\"preserve\"> 前后有空格 </t>"), std::string::npos);
}

TEST(XlsxRoundTrip, AProtectionMadeHereReplacesTheModernHashReadFromTheFile) {
    ScratchFolder dir;
    auto wb = sampleTemplate();
    auto& p = wb->sheets[1]->protection;  // protected with a modern hash, as read
    p.passwordHash = "CE4B";               // then protected again by the engine
    saveWorkbook(*wb, dir.file("a.xlsx"));
    const std::string cheque = partsOf(dir.file("a.xlsx")).at("xl/worksheets/sheet2.xml");
    EXPECT_NE(cheque.find("<sheetProtection password=\"CE4B\" sheet=\"1\""), std::string::npos);
    EXPECT_EQ(cheque.find("hashValue"), std::string::npos);
}

TEST(XlsxRoundTrip, DateSystemAndEmptySheetsSurvive) {
    ScratchFolder dir;
    WorkbookModel wb;
    wb.date1904 = true;
    wb.sheets.push_back(std::make_unique<Sheet>());
    wb.sheets[0]->name = "Sheet1";
    saveWorkbook(wb, dir.file("a.xlsx"));
    auto back = loadWorkbook(dir.file("a.xlsx"));
    EXPECT_TRUE(back->date1904);
    ASSERT_EQ(back->sheets.size(), 1u);
    EXPECT_TRUE(back->sheets[0]->cells.empty());
}

TEST(XlsxRoundTrip, ChangedExternalLinkTargetIsWhatTheSavedFileLinksTo) {
    ScratchFolder dir;
    auto wb = sampleTemplate();
    wb->externalLinks.push_back({"../旧目录/units.xlsx", nullptr});
    wb->sheets[1]->cells.at({5, 5}).formula = "[1]Sheet1!$A$1";
    saveWorkbook(*wb, dir.file("a.xlsx"));
    auto back = loadWorkbook(dir.file("a.xlsx"));
    ASSERT_EQ(back->externalLinks.size(), 1u);
    EXPECT_EQ(back->externalLinks[0].target, "../旧目录/units.xlsx");

    back->externalLinks[0].target = "/data/新目录/units.xlsx";
    saveWorkbook(*back, dir.file("b.xlsx"));
    auto parts = partsOf(dir.file("b.xlsx"));
    const std::string& rels = parts.at("xl/externalLinks/_rels/externalLink1.xml.rels");
    EXPECT_NE(rels.find("Target=\"/data/新目录/units.xlsx\" TargetMode=\"External\""), std::string::npos);
    EXPECT_EQ(rels.find("旧目录"), std::string::npos);
    EXPECT_NE(parts.at("xl/workbook.xml").find("<externalReferences><externalReference r:id="),
              std::string::npos);
    EXPECT_EQ(loadWorkbook(dir.file("b.xlsx"))->sheets[1]->cells.find({5, 5})->formula, "[1]Sheet1!$A$1");
}

TEST(XlsxRoundTrip, SaveReplacesAnExistingFileAndLeavesNoTemporaryFiles) {
    ScratchFolder dir;
    testing::writeBytes(dir.file("a.xlsx"), "old contents");
    saveWorkbook(*sampleTemplate(), dir.file("a.xlsx"));
    EXPECT_EQ(loadWorkbook(dir.file("a.xlsx"))->sheets.size(), 4u);
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1);
}

TEST(XlsxRoundTrip, MacroProjectStaysInXlsmAndLeavesXlsx) {
    ScratchFolder dir;
    // A macro-enabled package as another program writes it, reduced to what matters.
    const std::string ct =
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"bin\" ContentType=\"application/vnd.ms-office.vbaProject\"/>"
        "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/vnd.ms-excel.sheet.macroEnabled.main+xml\"/>"
        "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
        "</Types>";
    const std::string rootRels =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" Target=\"xl/workbook.xml\"/>"
        "</Relationships>";
    const std::string wbXml =
        "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<workbookPr codeName=\"ThisWorkbook\"/><sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
    const std::string wbRels =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
        "<Relationship Id=\"rId9\" Type=\"http://schemas.microsoft.com/office/2006/relationships/vbaProject\" Target=\"vbaProject.bin\"/>"
        "</Relationships>";
    const std::string sheet =
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
        "<row r=\"1\"><c r=\"A1\"><v>7</v></c></row></sheetData></worksheet>";
    std::string bytes = files::writeZip({{"[Content_Types].xml", ct}, {"_rels/.rels", rootRels},
                                         {"xl/workbook.xml", wbXml}, {"xl/_rels/workbook.xml.rels", wbRels},
                                         {"xl/worksheets/sheet1.xml", sheet}, {"xl/vbaProject.bin", "VBA\x01\x02"}},
                                        "m.xlsm");
    testing::writeBytes(dir.file("m.xlsm"), bytes);
    auto wb = loadWorkbook(dir.file("m.xlsm"));
    saveWorkbook(*wb, dir.file("again.xlsm"));
    saveWorkbook(*wb, dir.file("plain.xlsx"));

    auto macro = partsOf(dir.file("again.xlsm"));
    EXPECT_EQ(macro.at("xl/vbaProject.bin"), "VBA\x01\x02");
    EXPECT_NE(macro.at("xl/_rels/workbook.xml.rels").find("Id=\"rId9\""), std::string::npos);
    EXPECT_NE(macro.at("[Content_Types].xml").find("macroEnabled.main+xml"), std::string::npos);
    EXPECT_NE(macro.at("xl/workbook.xml").find("codeName=\"ThisWorkbook\""), std::string::npos);

    auto plain = partsOf(dir.file("plain.xlsx"));
    EXPECT_EQ(plain.count("xl/vbaProject.bin"), 0u);
    EXPECT_EQ(plain.at("xl/_rels/workbook.xml.rels").find("vbaProject"), std::string::npos);
    EXPECT_EQ(plain.at("[Content_Types].xml").find("macroEnabled.main"), std::string::npos);
    EXPECT_EQ(loadWorkbook(dir.file("plain.xlsx"))->sheets[0]->cells.find({1, 1})->value, Value::number(7));
}

// A sheet of many rows is read slice by slice; rows and cells that do not give their
// number continue from the last one across the slices, with a namespace prefix, and
// the cells are those of the part parsed whole (which a comment in the part forces).
TEST(XlsxSheetRows, ASheetReadInSlicesHoldsTheCellsOfTheWholePart) {
    std::string rows;
    for (int r = 1; r <= 20000; ++r) {
        rows += r % 3 ? "<x:row>" : "<x:row r=\"" + std::to_string(r) + "\">";
        rows += "<x:c t=\"inlineStr\"><x:is><x:t>行" + std::to_string(r) + "</x:t></x:is></x:c>";
        rows += "<x:c><x:v>" + std::to_string(r) + "</x:v></x:c></x:row>";
    }
    const std::string head = "<x:worksheet xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";
    const std::string sliced = head + "<x:sheetData>" + rows + "</x:sheetData><x:mergeCells><x:mergeCell ref=\"C1:D2\"/></x:mergeCells></x:worksheet>";
    const std::string whole = head + "<!-- whole --><x:sheetData>" + rows + "</x:sheetData><x:mergeCells><x:mergeCell ref=\"C1:D2\"/></x:mergeCells></x:worksheet>";
    const std::string file = "rows.xlsx", part = "xl/worksheets/sheet1.xml";
    const files::ReadLimits limits;
    const files::WorksheetSource source{file, part, nullptr, limits};
    Sheet a, b;
    files::WorksheetPreserved keptA, keptB;
    files::readWorksheet(sliced, source, a, keptA);
    files::readWorksheet(whole, source, b, keptB);
    ASSERT_NE(a.cells.find({20000, 2}), nullptr);
    EXPECT_EQ(a.cells.find({20000, 2})->value, Value::number(20000));
    EXPECT_EQ(a.cells.find({12345, 1})->value, Value::text("行12345"));
    auto cellsOf = [](const Sheet& sheet) {
        std::vector<std::tuple<int, int, Value, std::string, int>> cells;
        for (const auto& [column, rowsOfColumn] : sheet.cells.columns())
            for (const auto& [row, cell] : rowsOfColumn) cells.emplace_back(column, row, cell.value, cell.formula, cell.style);
        return cells;
    };
    EXPECT_EQ(cellsOf(a).size(), 40000u);
    EXPECT_EQ(cellsOf(a), cellsOf(b));
    EXPECT_EQ(a.merges, b.merges);
    EXPECT_EQ(a.merges.size(), 1u);
}

// The rows read by the scanner and by the tree agree, cell for cell and row for row,
// on every kind of cell, on what the scanner leaves to the tree, and on mutated rows;
// where one refuses the part, so does the other.
TEST(XlsxSheetRows, TheScannedRowsAreTheTreesRows) {
    const std::vector<std::string> strings = {"甲", "乙 丙"};
    const std::string file = "rows.xlsx", part = "xl/worksheets/sheet1.xml";
    const files::ReadLimits limits;
    const files::WorksheetSource source{file, part, &strings, limits, false, 4};
    // Cells and rows as read, or the refusal.
    auto read = [&](const std::string& rows, bool whole) -> std::string {
        Sheet sheet;
        files::WorksheetPreserved kept;
        const std::string xml = "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" +
                                std::string(whole ? "<!-- whole -->" : "") + "<sheetData>" + rows +
                                "</sheetData></worksheet>";
        try {
            files::readWorksheet(xml, source, sheet, kept);
        } catch (const host::HostError&) {
            return "refused";
        }
        std::string out;
        for (const auto& [column, cells] : sheet.cells.columns())
            for (const auto& [row, cell] : cells)
                out += std::to_string(column) + "," + std::to_string(row) + ":" + std::to_string(int(cell.value.kind())) +
                       cell.value.toText() + "|" + cell.formula + "|" + std::to_string(cell.style) + "\n";
        for (const auto& [row, info] : sheet.rows)
            out += "row " + std::to_string(row) + " " + std::to_string(info.height) + " " +
                   std::to_string(info.hidden) + " " + std::to_string(info.style) + "\n";
        return out;
    };
    const std::vector<std::string> rows = {
        "<row r=\"2\" ht=\"20.5\" customHeight=\"1\" hidden=\"1\"><c r=\"B2\" s=\"1\" t=\"s\"><v>1</v></c>"
        "<c t=\"b\"><v>1</v></c><c t=\"e\"><v>#N/A</v></c><c><v> +12.5e1</v></c></row><row><c><v/></c></row>",
        "<row r=\"3\" customFormat=\"1\" s=\"2\" hidden=\"true\"/><row r=\"4\" ht=\"-1\" s=\"x\"><c s=\"3\"/></row>",
        "<row><c t=\"str\"><f>A1&amp;\"_x000D_\"</f><v>a_x000D_b&lt;</v></c><c t=\"d\"><v>2026-12-08</v></c></row>",
        "<row><c t=\"inlineStr\"><is><r><rPr><b/></rPr><t>粗\r\n</t></r><r><t>细</t></r><rPh><t>x</t></rPh></is></c>"
        "<c t=\"inlineStr\"><is><t/></is></c><c><is><t>not inline</t></is><v>3</v></c></row>",
        "<row r=\"9\"><c r=\"A9\"><f t=\"shared\" ref=\"A9:A11\" si=\"0\">B9*2</f><v>4</v></c></row>"
        "<row><c><f t=\"shared\" si=\"0\"/><v>6</v></c></row><row><c><f t=\"shared\" si=\"7\"/><v>8</v></c></row>"
        "<row><c><f t=\"dataTable\" ref=\"A12\">B1</f><v>1</v></c><c><f>SUM(A1:A3)</f><f>MAX(1,2)</f></c></row>",
        "<row r=\"&#49;5\"><c r=\"A15\" s=\"&#50;\"><v>1</v></c></row><row><c r=\"B16\"\ts=\"1\"><v>2</v></c></row>",
        "<row r=\"20\"><c r=\"A20\" s=\"1\" s=\"2\"><v>1</v></c><c><v>&#x4E2D;</v><extLst><x/></extLst></c></row>",
        "<row r=\"21\"><c><v>1<b/>2</v></c></row>", "<row r=\"22\"><c><v>&bogus;</v></c></row>",
        "<other><row><c><v>5</v></c></row></other>text<row r=\"30\"/>",
        "<row r=\"0\"><c><v>1</v></c></row>", "<row r=\"1048577\"/>", "<row><c r=\"XFE1\"><v>1</v></c></row>",
        "<row><c r=\"1A\"><v>1</v></c></row>", "<row><c><v>12abc</v></c></row>",
        "<row><c t=\"s\"><v>2</v></c></row>", "<row><c><v>1</v></c>", "<row><c><v>1</v></row></c>",
    };
    for (const std::string& r : rows) EXPECT_EQ(read(r, false), read(r, true)) << r;

    // Mutations of a few plain rows: any difference between the two readings shows.
    const std::string seed = rows[0] + rows[2] + rows[3] + rows[4];
    const std::string pieces[] = {"<", ">", "/", "&", "\"", "=", " ", "\r", "c", "v", "row", "<v>", "</v>", "<c>",
                                  "</c>", "<row>", "</row>", "r=\"5\"", "s=\"2\"", "t=\"s\"", "&amp;", "9"};
    std::mt19937 random(1208);
    for (int round = 0; round < 1500; ++round) {
        std::string mutated = seed;
        for (int k = 0, edits = 1 + int(random() % 3); k < edits; ++k) {
            const std::size_t at = random() % mutated.size();
            if (random() % 2) mutated.erase(at, 1 + random() % 3);
            else mutated.insert(at, pieces[random() % std::size(pieces)]);
        }
        ASSERT_EQ(read(mutated, false), read(mutated, true)) << mutated;
    }
}

}  // namespace
}  // namespace vorra::engine
