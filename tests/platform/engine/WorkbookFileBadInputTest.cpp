// Hostile and broken files: each is refused with a message that names the file and
// the problem, nothing crashes, and a failed save leaves the old file as it was.

#include <gtest/gtest.h>

#include <zip.h>

#include <span>
#include <string_view>

#include "platform/engine/files/AtomicFile.h"
#include "platform/engine/files/WorkbookFiles.h"
#include "platform/engine/files/XlsExport.h"
#include "platform/engine/files/ZipPackage.h"
#include "platform/engine/formula/FormulaEngine.h"
#include "tests/platform/engine/WorkbookFileFixtures.h"

namespace vorra::engine {
namespace {

using testing::expectRefusal;
using testing::readBytes;
using testing::ScratchFolder;
using testing::writeBytes;

// The parts of a one-sheet package whose sheet XML the test supplies.
std::vector<std::pair<std::string, std::string>> packageWithSheet(const std::string& sheetXml,
                                                                  bool withSharedStrings = true) {
    std::string ct =
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
        "</Types>";
    std::string rootRels =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" Target=\"xl/workbook.xml\"/>"
        "</Relationships>";
    std::string wb =
        "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<sheets><sheet name=\"数据\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
    std::string wbRels =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
        "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\" Target=\"sharedStrings.xml\"/>"
        "</Relationships>";
    std::vector<std::pair<std::string, std::string>> parts{
        {"[Content_Types].xml", ct}, {"_rels/.rels", rootRels}, {"xl/workbook.xml", wb},
        {"xl/_rels/workbook.xml.rels", wbRels}, {"xl/worksheets/sheet1.xml", sheetXml}};
    if (withSharedStrings)
        parts.emplace_back("xl/sharedStrings.xml",
                           "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                           "<si><t>甲</t></si><si><r><t>富</t></r><r><rPr><b/></rPr><t xml:space=\"preserve\"> 文本</t></r>"
                           "<rPh><t>フ</t></rPh></si></sst>");
    return parts;
}

std::string sheetWithData(const std::string& data, const std::string& before = "") {
    return "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" + before +
           "<sheetData>" + data + "</sheetData></worksheet>";
}

class BadWorkbook : public ::testing::Test {
protected:
    std::string store(const std::string& name, const std::string& bytes) {
        std::string path = dir.file(name);
        writeBytes(path, bytes);
        return path;
    }
    std::string storePackage(const std::string& name, const std::vector<std::pair<std::string, std::string>>& parts) {
        return store(name, files::writeZip(parts, name));
    }
    ScratchFolder dir;
};

TEST_F(BadWorkbook, NotAZipIsRefusedNamingTheFile) {
    std::string path = store("notes.xlsx", "just some text, not a workbook");
    expectRefusal([&] { loadWorkbook(path); }, {path, "not a workbook"});
    expectRefusal([&] { loadWorkbook(store("empty.xlsx", "")); }, {"not a workbook"});
    expectRefusal([&] { loadWorkbook(dir.file("missing.xlsx")); }, {"does not exist"});
}

TEST_F(BadWorkbook, TruncatedZipIsRefused) {
    saveWorkbook(*testing::sampleTemplate(), dir.file("good.xlsx"));
    std::string bytes = readBytes(dir.file("good.xlsx"));
    for (size_t keep : {bytes.size() / 2, bytes.size() - 10, size_t(30)}) {
        SCOPED_TRACE(keep);
        std::string path = store("cut.xlsx", bytes.substr(0, keep));
        expectRefusal([&] { loadWorkbook(path); }, {path, "truncated or damaged"});
    }
}

TEST_F(BadWorkbook, EntriesThatEscapeThePackageAreRefused) {
    for (const char* name : {"../evil.xml", "xl/../../evil.xml", "/etc/evil.xml"}) {
        SCOPED_TRACE(name);
        auto parts = packageWithSheet(sheetWithData(""));
        parts.emplace_back(name, "x");
        std::string path = storePackage("escape.xlsx", parts);
        expectRefusal([&] { loadWorkbook(path); }, {"points outside the package", name});
    }
}

TEST_F(BadWorkbook, DecompressionBombsAreRefused) {
    // 8 MiB of zeros shrink to a few KiB: far past any ratio a real part has.
    auto parts = packageWithSheet(sheetWithData(""));
    parts.emplace_back("xl/media/zeros.bin", std::string(8 << 20, '\0'));
    std::string path = storePackage("bomb.xlsx", parts);
    expectRefusal([&] { loadWorkbook(path); }, {"decompression bomb"});

    // The total bound, checked on the packager with a small limit.
    files::ReadLimits tight;
    tight.maxUncompressedBytes = 1000;
    auto big = packageWithSheet(sheetWithData(""));
    big.emplace_back("xl/media/text.bin", std::string(2000, 'x'));
    std::string bytes = files::writeZip(big, "big.xlsx");
    expectRefusal([&] { files::readZip(bytes, "big.xlsx", tight); }, {"big.xlsx", "unpacks to more than"});
    tight = {};
    tight.maxEntries = 3;
    expectRefusal([&] { files::readZip(bytes, "big.xlsx", tight); }, {"entries"});
}

TEST_F(BadWorkbook, XmlWithDocumentTypeOrEntitiesIsRefused) {
    std::string laugh =
        "<?xml version=\"1.0\"?><!DOCTYPE worksheet [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]>" +
        sheetWithData("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&b;</t></is></c></row>");
    std::string path = storePackage("entities.xlsx", packageWithSheet(laugh));
    expectRefusal([&] { loadWorkbook(path); }, {path, "xl/worksheets/sheet1.xml", "entities"});
}

TEST_F(BadWorkbook, MalformedXmlAndDeepNestingAreRefused) {
    std::string path = storePackage("broken.xlsx", packageWithSheet("<worksheet><sheetData><row>"));
    expectRefusal([&] { loadWorkbook(path); }, {"xl/worksheets/sheet1.xml", "not well-formed"});
    std::string deep;
    for (int i = 0; i < 500; ++i) deep += "<x>";
    for (int i = 0; i < 500; ++i) deep += "</x>";
    path = storePackage("deep.xlsx", packageWithSheet(sheetWithData("", deep)));
    expectRefusal([&] { loadWorkbook(path); }, {"nests XML elements deeper"});
}

TEST_F(BadWorkbook, DimensionsAndCellsPastTheSheetsLimitsAreRefused) {
    std::string path = storePackage(
        "wide.xlsx", packageWithSheet(sheetWithData("", "<dimension ref=\"A1:XFE1\"/>")));
    expectRefusal([&] { loadWorkbook(path); }, {"数据", "XFE1", "past the sheet's limits"});
    path = storePackage("tall.xlsx",
                        packageWithSheet(sheetWithData("<row r=\"1048577\"><c r=\"A1048577\"><v>1</v></c></row>")));
    expectRefusal([&] { loadWorkbook(path); }, {"1048577", "past the sheet's limits"});
    path = storePackage("cols.xlsx", packageWithSheet(sheetWithData("", "<cols><col min=\"1\" max=\"20000\" width=\"3\"/></cols>")));
    expectRefusal([&] { loadWorkbook(path); }, {"column range"});
}

TEST_F(BadWorkbook, MissingSharedStringsPartIsRefusedOnlyWhenACellNeedsIt) {
    std::string numbers = storePackage(
        "numbers.xlsx", packageWithSheet(sheetWithData("<row r=\"1\"><c r=\"A1\"><v>5</v></c></row>"), false));
    EXPECT_EQ(loadWorkbook(numbers)->sheets[0]->cells.find({1, 1})->value, Value::number(5));
    std::string texts = storePackage(
        "texts.xlsx", packageWithSheet(sheetWithData("<row r=\"1\"><c r=\"B1\" t=\"s\"><v>0</v></c></row>"), false));
    expectRefusal([&] { loadWorkbook(texts); }, {texts, "B1", "shared-strings part"});
    std::string outOfRange = storePackage(
        "range.xlsx", packageWithSheet(sheetWithData("<row r=\"1\"><c r=\"B1\" t=\"s\"><v>7</v></c></row>")));
    expectRefusal([&] { loadWorkbook(outOfRange); }, {"shared string 7"});
}

TEST_F(BadWorkbook, PasswordProtectedWorkbookIsRefusedAsSuch) {
    // An encrypted package is a compound file whose directory names an EncryptionInfo stream.
    std::string compound("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    compound += std::string(504, '\0');
    for (char c : std::string("EncryptionInfo")) {
        compound += c;
        compound += '\0';
    }
    compound += std::string(512, '\0');
    std::string path = store("secret.xlsx", compound);
    expectRefusal([&] { loadWorkbook(path); }, {path, "password-protected workbook"});
    expectRefusal([&] { loadWorkbookValues(path); }, {"password-protected workbook"});
}

TEST_F(BadWorkbook, OtherDocumentsInAZipAreRefused) {
    auto parts = packageWithSheet(sheetWithData(""));
    parts[0].second =
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>";
    std::string path = storePackage("letter.xlsx", parts);
    expectRefusal([&] { loadWorkbook(path); }, {"not a workbook", "wordprocessingml"});
    std::string plainZip = storePackage("plain.zip", {{"readme.txt", "hello"}});
    expectRefusal([&] { loadWorkbook(plainZip); }, {"[Content_Types].xml is missing"});
}

TEST_F(BadWorkbook, FailedSaveLeavesTheOldFileUntouched) {
    std::string path = dir.file("keep.xlsx");
    saveWorkbook(*testing::sampleTemplate(), path);
    std::string before = readBytes(path);
    WorkbookModel empty;  // no sheets: cannot be written
    expectRefusal([&] { saveWorkbook(empty, path); }, {path, "at least one sheet"});
    EXPECT_EQ(readBytes(path), before);

    // The target is a folder: the rename fails after the temporary file was written.
    std::filesystem::create_directory(dir.file("folder.xlsx"));
    expectRefusal([&] { saveWorkbook(*testing::sampleTemplate(), dir.file("folder.xlsx")); },
                  {"cannot replace the file"});
    expectRefusal([&] { saveWorkbook(*testing::sampleTemplate(), dir.file("no/such/folder/x.xlsx")); },
                  {"cannot create a file"});
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 2);  // keep.xlsx and the folder: no temporary files left behind
}

// Cell encodings other programs use: shared formulas, rich text, inline strings.
TEST_F(BadWorkbook, SharedFormulasRichTextAndInlineStringsAreRead) {
    std::string data =
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>1</v></c><c r=\"B1\" t=\"inlineStr\"><is><r><t>内</t></r><r><t>联</t></r></is></c>"
        "<c r=\"C1\"><f t=\"shared\" ref=\"C1:C3\" si=\"0\">A1+$B$1*SUM(A1:B1)&amp;\"A1\"</f><v>2</v></c></row>"
        "<row r=\"2\"><c r=\"C2\"><f t=\"shared\" si=\"0\"/><v>3</v></c><c r=\"D2\" t=\"str\"><f>\"x\"</f><v>x</v></c></row>"
        "<row r=\"3\"><c r=\"C3\"><f t=\"shared\" si=\"0\"/><v>4</v></c><c r=\"D3\" t=\"e\"><v>#DIV/0!</v></c></row>"
        "<row><c><v>9</v></c><c t=\"b\"><v>0</v></c></row>";
    std::string path = storePackage("shared.xlsx", packageWithSheet(sheetWithData(data)));
    auto wb = loadWorkbook(path);
    const auto& cells = wb->sheets[0]->cells;
    EXPECT_EQ(cells.find({1, 1})->value, Value::text("富 文本"));
    EXPECT_EQ(cells.find({1, 2})->value, Value::text("内联"));
    EXPECT_EQ(cells.find({1, 3})->formula, "A1+$B$1*SUM(A1:B1)&\"A1\"");
    EXPECT_EQ(cells.find({2, 3})->formula, "A2+$B$1*SUM(A2:B2)&\"A1\"");
    EXPECT_EQ(cells.find({3, 3})->formula, "A3+$B$1*SUM(A3:B3)&\"A1\"");
    EXPECT_EQ(cells.find({3, 3})->value, Value::number(4));
    EXPECT_EQ(cells.find({2, 4})->value, Value::text("x"));
    EXPECT_EQ(cells.find({3, 4})->value, Value::error(ErrorValue::Div0));
    EXPECT_EQ(cells.find({4, 1})->value, Value::number(9));  // rows and cells without "r"
    EXPECT_EQ(cells.find({4, 2})->value, Value::boolean(false));
}

// A shared SUM(A:A) over C1:D1 reads SUM(B:B) in D1, calculates so and is saved so;
// the newer functions' file prefix ("_xlfn.") is the file's business only.
TEST_F(BadWorkbook, SharedWholeColumnFormulasMoveTheirColumnsAndNewerFunctionsLoseTheirPrefix) {
    std::string data =
        "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\"><v>10</v></c>"
        "<c r=\"C1\"><f t=\"shared\" ref=\"C1:D1\" si=\"0\">SUM(A:A)</f><v>3</v></c>"
        "<c r=\"D1\"><f t=\"shared\" si=\"0\"/><v>3</v></c>"
        "<c r=\"E1\"><f>_xlfn.IFNA(_xlfn.XOR(A1,B1),\"_xlfn.\")</f><v>0</v></c></row>"
        "<row r=\"2\"><c r=\"A2\"><v>2</v></c><c r=\"B2\"><v>20</v></c></row>";
    std::string path = storePackage("whole.xlsx", packageWithSheet(sheetWithData(data)));
    auto wb = loadWorkbook(path);
    const auto& cells = wb->sheets[0]->cells;
    EXPECT_EQ(cells.find({1, 4})->formula, "SUM(B:B)");
    EXPECT_EQ(cells.find({1, 5})->formula, "IFNA(XOR(A1,B1),\"_xlfn.\")");
    FormulaEngine(*wb).recalculateAll();
    EXPECT_EQ(cells.find({1, 3})->value, Value::number(3));
    EXPECT_EQ(cells.find({1, 4})->value, Value::number(30));
    EXPECT_EQ(cells.find({1, 5})->value, Value::boolean(false));
    saveWorkbook(*wb, dir.file("saved.xlsx"));
    std::string saved = dir.file("saved.xlsx");
    const std::string sheet = files::readZip(readBytes(saved), saved, files::ReadLimits{}).at("xl/worksheets/sheet1.xml");
    EXPECT_NE(sheet.find("<c r=\"D1\"><f>SUM(B:B)</f><v>30</v></c>"), std::string::npos) << sheet;
    EXPECT_NE(sheet.find("<f>_xlfn.IFNA(_xlfn.XOR(A1,B1),&quot;_xlfn.&quot;)</f>"), std::string::npos) << sheet;
}

TEST_F(BadWorkbook, NonNumericNumberCellIsRefused) {
    std::string path = storePackage(
        "nan.xlsx", packageWithSheet(sheetWithData("<row r=\"1\"><c r=\"A1\"><v>12abc</v></c></row>")));
    expectRefusal([&] { loadWorkbook(path); }, {"A1", "12abc", "not a number"});
}

}  // namespace
}  // namespace vorra::engine

namespace vorra::engine {
namespace {

TEST_F(BadWorkbook, StyleIndexesTheStylesPartLacksFallBackToTheDefaultFormat) {
    std::string path = storePackage(
        "styles.xlsx",
        packageWithSheet(sheetWithData("<row r=\"1\" s=\"40\" customFormat=\"1\"><c r=\"A1\" s=\"99\"><v>1</v></c></row>",
                                       "<cols><col min=\"2\" max=\"2\" width=\"5\" style=\"7\"/></cols>")));
    auto wb = loadWorkbook(path);
    const Sheet& sheet = *wb->sheets[0];
    EXPECT_EQ(sheet.cells.find({1, 1})->style, 0);
    EXPECT_EQ(sheet.rows.at(1).style, 0);
    EXPECT_EQ(sheet.columns.at(2).style, 0);
}

TEST_F(BadWorkbook, OverlappingColumnDefinitionsWithoutEndAreRefused) {
    std::string cols = "<cols>";
    for (int i = 0; i < 20; ++i) cols += "<col min=\"1\" max=\"16384\" width=\"3\"/>";
    cols += "</cols>";
    std::string path = storePackage("cols.xlsx", packageWithSheet(sheetWithData("", cols)));
    expectRefusal([&] { loadWorkbook(path); }, {"too many column definitions"});
}

TEST(AtomicFile, ReplacedFilesKeepTheirPermissionsAndExportFailuresTheirErrorNumber) {
    namespace fs = std::filesystem;
    ScratchFolder dir;
    std::string path = dir.file("打印记录.xls");
    auto write = [&](std::string_view text) { files::writeAtomically(path, std::as_bytes(std::span(text))); };
    auto permissions = [&] { return fs::status(path).permissions() & fs::perms::all; };
    write("one");
    EXPECT_EQ(readBytes(path), "one");
    EXPECT_EQ(permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                 fs::perms::others_read);
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    write("two");
    EXPECT_EQ(readBytes(path), "two");
    EXPECT_EQ(permissions(), fs::perms::owner_read | fs::perms::owner_write);

    // The export reports a failed write with its own error number; nothing is left over.
    fs::create_directory(dir.file("folder.xls"));
    WorkbookModel wb;
    wb.sheets.push_back(std::make_unique<Sheet>());
    wb.sheets.back()->name = "打印记录";
    try {
        saveXlsWorkbook(wb, dir.file("folder.xls"));
        ADD_FAILURE() << "replaced a folder";
    } catch (const host::HostError& e) {
        EXPECT_EQ(e.number(), host::error::kPermissionDenied);
        EXPECT_NE(std::string(e.what()).find("cannot replace the file"), std::string::npos) << e.what();
    }
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 2);
}

}  // namespace
}  // namespace vorra::engine
