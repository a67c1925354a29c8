// Hostile and broken files: each is refused with a message that names the file and
// the problem, nothing crashes, and a failed save leaves the old file as it was.

#include <gtest/gtest.h>

#include <zip.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <span>
#include <string_view>

#include "platform/engine/files/AtomicFile.h"
#include "platform/engine/files/XlsCompoundFile.h"
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
    auto compound = xls::compoundFileWithStream("EncryptionInfo", {4, 0, 4, 0});
    std::string path = store("secret.xlsx", std::string(compound.begin(), compound.end()));
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

// Many sheets naming one sheet part of just under 1 MiB, in a package of a few KB:
// refused before the part is parsed more than once, in bounded memory and time.
TEST_F(BadWorkbook, SheetsSharingOneSheetPartAreRefusedWithinBounds) {
    std::string rows;
    while (rows.size() < (1u << 20) - 200) rows += "<row><c><v>1</v></c><c><v>2</v></c></row>";
    auto parts = packageWithSheet(sheetWithData(rows));
    std::string sheets, rels;
    for (int i = 1; i <= 200; ++i) {
        sheets += "<sheet name=\"S" + std::to_string(i) + "\" sheetId=\"" + std::to_string(i) + "\" r:id=\"rId" +
                  std::to_string(i + 10) + "\"/>";
        rels += "<Relationship Id=\"rId" + std::to_string(i + 10) +
                "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
                "Target=\"worksheets/sheet1.xml\"/>";
    }
    parts[2].second = "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                      "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>" +
                      sheets + "</sheets></workbook>";
    parts[3].second = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" + rels +
                      "</Relationships>";
    std::string path = storePackage("shared-part.xlsx", parts);
    ASSERT_LT(std::filesystem::file_size(path), 16u << 10);
    auto m = testing::measureReading([&] { loadWorkbook(path); });
    EXPECT_TRUE(m.finished);
    EXPECT_FALSE(m.opened);
    EXPECT_NE(m.message.find("share one sheet part"), std::string::npos) << m.message;
    EXPECT_LT(m.peakMb, 500);
}

// Bytes that are not UTF-8 in a sheet name and a text come in as U+FFFD, so that the
// file saved here is well-formed and another program reads it.
TEST_F(BadWorkbook, InvalidUtf8IsReadAsReplacementCharactersAndNeverWritten) {
    auto parts = packageWithSheet(sheetWithData("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>账\xC3(号\xFF</t></is></c></row>"));
    const size_t name = parts[2].second.find("数据");
    parts[2].second.replace(name, std::string("数据").size(), "坏\xED\xA0\x80表");  // a surrogate's bytes
    std::string path = storePackage("bad-utf8.xlsx", parts);
    auto wb = loadWorkbook(path);
    const std::string fffd = "\xEF\xBF\xBD";
    EXPECT_EQ(wb->sheets[0]->name, "坏" + fffd + fffd + fffd + "表");
    EXPECT_EQ(wb->sheets[0]->cells.find({1, 1})->value, Value::text("账" + fffd + "(号" + fffd));
    std::string saved = dir.file("saved.xlsx");
    saveWorkbook(*wb, saved);
    std::string dumped = testing::runFixtureScript("dump " + saved);
    EXPECT_NE(dumped.find("\"title\": \"坏\uFFFD\uFFFD\uFFFD表\""), std::string::npos) << dumped;
    EXPECT_NE(dumped.find("账\uFFFD(号\uFFFD"), std::string::npos) << dumped;
}

// An OpenDocument spreadsheet (LibreOffice's own format, converted in the set-up) is
// told apart from a broken package.
TEST_F(BadWorkbook, OpenDocumentSpreadsheetsAreRefusedNamingTheFormat) {
    testing::runFixtureScript("openpyxl-template " + dir.file("template.xlsx"));
    testing::runFixtureScript("libreoffice ods " + dir.path().string() + " " + dir.file("template.xlsx"));
    const std::string ods = dir.file("template.ods");
    for (auto load : {&loadWorkbook, &loadWorkbookValues})
        expectRefusal([&] { load(ods); }, {ods, "OpenDocument spreadsheet (.ods)", "save it as .xlsx"});
}

TEST(AtomicFile, ASaveRemovesTheTemporaryFilesThatKilledSavesOfTheSameFileLeft) {
    namespace fs = std::filesystem;
    ScratchFolder dir;
    const std::string path = dir.file("模板.xls");
    pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string stale = dir.file(".模板.xls.vorra-save-" + std::to_string(gone) + "-AbC123");
    const std::string running = dir.file(".模板.xls.vorra-save-1-XyZ789");  // a process that still runs
    const std::string other = dir.file(".其他.xls.vorra-save-" + std::to_string(gone) + "-AbC123");
    for (const auto& f : {stale, running, other}) testing::writeBytes(f, std::string(4096, 'x'));
    saveWorkbook(*testing::sampleTemplate(), path);
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(running));
    EXPECT_TRUE(fs::exists(other));  // another file's save
    EXPECT_TRUE(fs::exists(path));
}

// Under a file-size limit smaller than the workbook the save fails as any other does,
// and the process lives on; the old file and the folder stay as they were.
TEST(AtomicFile, AFileSizeLimitFailsTheSaveWithoutEndingTheProcess) {
    ScratchFolder dir;
    const std::string path = dir.file("模板.xlsx");
    testing::writeBytes(path, "the old file");
    auto m = testing::measureReading([&] {
        rlimit limit{2048, 2048};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        saveWorkbook(*testing::sampleTemplate(), path);
    });
    EXPECT_TRUE(m.finished) << "the process was ended";
    EXPECT_FALSE(m.opened);
    EXPECT_EQ(m.message.rfind("Cannot save \"" + path + "\": ", 0), 0u) << m.message;
    EXPECT_NE(m.message.find("file-size limit"), std::string::npos) << m.message;
    EXPECT_EQ(readBytes(path), "the old file");
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(AtomicFile, SavingThroughASymbolicLinkReplacesWhatItPointsToAndKeepsTheLink) {
    namespace fs = std::filesystem;
    ScratchFolder dir;
    fs::create_directory(dir.file("真的"));
    const std::string target = dir.file("真的/模板.xlsx");
    testing::writeBytes(target, "old");
    fs::create_symlink("真的/模板.xlsx", dir.file("链接.xlsx"));
    fs::create_symlink("链接.xlsx", dir.file("链接的链接.xlsx"));
    fs::create_symlink("真的/新的.xls", dir.file("悬空.xls"));  // to a file not there yet
    saveWorkbook(*testing::sampleTemplate(), dir.file("链接的链接.xlsx"));
    saveWorkbook(*testing::sampleTemplate(), dir.file("悬空.xls"));
    for (const char* link : {"链接.xlsx", "链接的链接.xlsx", "悬空.xls"}) EXPECT_TRUE(fs::is_symlink(dir.file(link))) << link;
    EXPECT_EQ(loadWorkbook(target)->sheets.size(), 4u);
    EXPECT_EQ(loadWorkbook(dir.file("真的/新的.xls"))->sheets.size(), 4u);
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.file("真的"))) ++entries;
    EXPECT_EQ(entries, 2);  // the two files, no temporary one
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
