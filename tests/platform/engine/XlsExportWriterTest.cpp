// The 97–2003 workbook writer, checked by reading its files back with an independent
// reader: values, formats and widths must come back as written, and files that do
// not fit the format must be refused before anything is written.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "addin/frame/host/HostError.h"
#include "platform/engine/files/XlsCompoundFile.h"
#include "platform/engine/files/XlsExport.h"
#include "tests/support/XlsReadBack.h"

namespace vorra::engine {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using vorra::testing::readBackXls;
using vorra::testing::runPython;

class XlsExportWriter : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("xls-export-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    static Sheet& addSheet(WorkbookModel& wb, const std::string& name) {
        wb.sheets.push_back(std::make_unique<Sheet>());
        wb.sheets.back()->name = name;
        return *wb.sheets.back();
    }
    static void put(Sheet& s, int row, int col, Value v, int style = 0) {
        Cell& c = s.cells.at({row, col});
        c.value = std::move(v);
        c.style = style;
    }
    std::vector<std::string> saveAndRead(const WorkbookModel& wb) {
        std::string path = (dir / "out.xls").string();
        saveXlsWorkbook(wb, path);
        return readBackXls(path);
    }

    fs::path dir;
};

// A record sheet as the print records keep it: texts in fifteen columns, a heading.
TEST_F(XlsExportWriter, ValuesOfEveryKindComeBackOnTheirSheets) {
    WorkbookModel wb;
    Sheet& records = addSheet(wb, "打印记录");
    put(records, 1, 1, Value::text("打印记录表"));
    put(records, 3, 1, Value::text("1"));
    put(records, 3, 2, Value::text("2026-12-07  14:03:05"));
    put(records, 3, 14, Value::text("00012345"));
    put(records, 4, 1, Value::number(2.5));
    put(records, 4, 2, Value::number(-1e20));
    put(records, 4, 3, Value::boolean(true));
    put(records, 4, 4, Value::error(ErrorValue::NA));
    put(records, 4, 5, Value::text("line one\nline two"));
    Sheet& other = addSheet(wb, "Sheet2");
    other.visibility = SheetVisibility::Hidden;
    put(other, 65536, 2, Value::text("last row"));
    put(addSheet(wb, "Sheet3"), 1, 256, Value::text("last column"));
    wb.activeSheet = 0;

    auto lines = saveAndRead(wb);
    EXPECT_THAT(lines, Contains("sheet|0|打印记录|0|1"));
    EXPECT_THAT(lines, Contains("sheet|1|Sheet2|1|0"));
    EXPECT_THAT(lines, Contains("cell|打印记录|1|1|1|打印记录表|General|宋体|0|0|0"));
    EXPECT_THAT(lines, Contains("cell|打印记录|3|2|1|2026-12-07  14:03:05|General|宋体|0|0|0"));
    EXPECT_THAT(lines, Contains("cell|打印记录|3|14|1|00012345|General|宋体|0|0|0"));
    EXPECT_THAT(lines, Contains("cell|打印记录|4|1|2|2.5|General|宋体|0|0|0"));
    EXPECT_THAT(lines, Contains("cell|打印记录|4|2|2|-1e+20|General|宋体|0|0|0"));
    EXPECT_THAT(lines, Contains("cell|打印记录|4|3|4|1|General|宋体|0|0|0"));
    EXPECT_THAT(lines, Contains("cell|打印记录|4|4|5|42|General|宋体|0|0|0"));  // #N/A
    EXPECT_THAT(lines, Contains("cell|打印记录|4|5|1|line one\\nline two|General|宋体|0|0|0"));
    EXPECT_THAT(lines, Contains(HasSubstr("cell|Sheet2|65536|2|1|last row|")));
    EXPECT_THAT(lines, Contains(HasSubstr("cell|Sheet3|1|256|1|last column|")));
}

TEST_F(XlsExportWriter, FormatsWidthsRowsAndMergesComeBack) {
    WorkbookModel wb;
    Font bold;
    bold.name = "黑体";
    bold.bold = true;
    int boldFont = wb.styles.internFont(bold);
    CellFormat textFormat;
    textFormat.numberFormat = "@";
    CellFormat heading;
    heading.fontId = boldFont;
    heading.hAlign = HAlign::Center;
    heading.wrapText = true;
    CellFormat dated;
    dated.numberFormat = "yyyy\"年\"m\"月\"d\"日\"";
    int text = wb.styles.internFormat(textFormat);
    int head = wb.styles.internFormat(heading);
    int date = wb.styles.internFormat(dated);

    Sheet& s = addSheet(wb, "打印记录");
    put(s, 1, 1, Value::text("序号"), head);
    put(s, 3, 14, Value::text("00012346"), text);
    put(s, 3, 2, Value::number(46000), date);  // the reader sees a date format (type 3)
    put(s, 5, 5, Value(), text);  // formatted, empty
    s.columns[2].width = 20.5;
    s.columns[3].hidden = true;
    s.columns[300].width = 40;  // beyond the format: left out, nothing to see there
    s.rows[1].height = 30;
    s.rows[7].hidden = true;
    s.merges.push_back(Area{1, 1, 2, 15});

    auto lines = saveAndRead(wb);
    EXPECT_THAT(lines, Contains("cell|打印记录|1|1|1|序号|General|黑体|1|2|1"));
    EXPECT_THAT(lines, Contains("cell|打印记录|3|14|1|00012346|@|宋体|0|0|0"));
    EXPECT_THAT(lines, Contains("cell|打印记录|3|2|3|46000.0|yyyy\"年\"m\"月\"d\"日\"|宋体|0|0|0"));
    EXPECT_THAT(lines, Contains("cell|打印记录|5|5|6||@|宋体|0|0|0"));
    // Widths as the format stores them: the characters plus five pixels of padding,
    // in 1/256 of the widest digit (8 px under 宋体 11): (20.5 + 5/8) · 256.
    EXPECT_THAT(lines, Contains("col|打印记录|2|5408|0"));
    EXPECT_THAT(lines, Contains("col|打印记录|3|2305|1"));  // hidden, default width 8.38
    EXPECT_THAT(lines, Contains("row|打印记录|1|600|0"));
    EXPECT_THAT(lines, Contains("row|打印记录|7|270|1"));
    EXPECT_THAT(lines, Contains("merge|打印记录|1|2|1|15"));
    for (const auto& l : lines) EXPECT_THAT(l, ::testing::Not(HasSubstr("col|打印记录|300|")));
}

// Enough distinct texts, and one long Chinese text, that the shared-string table
// runs over several continuation records, splitting strings between them.
TEST_F(XlsExportWriter, SharedStringsSpanningContinuationRecordsComeBackWhole) {
    WorkbookModel wb;
    Sheet& s = addSheet(wb, "长文本");
    std::string longText;
    for (int i = 0; i < 9000; ++i) longText += (i % 2 ? "票" : "据");
    put(s, 1, 1, Value::text(longText));
    // More distinct texts than the string index can point to one by eight.
    for (int r = 2; r <= 12001; ++r) put(s, r, 1, Value::text("收款人" + std::to_string(r) + "abc"));
    put(s, 12002, 1, Value::text(std::string(20000, 'x')));

    auto lines = saveAndRead(wb);
    EXPECT_THAT(lines, Contains("cell|长文本|1|1|1|" + longText + "|General|宋体|0|0|0"));
    EXPECT_THAT(lines, Contains("cell|长文本|2|1|1|收款人2abc|General|宋体|0|0|0"));
    EXPECT_THAT(lines, Contains("cell|长文本|12001|1|1|收款人12001abc|General|宋体|0|0|0"));
    EXPECT_THAT(lines, Contains("cell|长文本|12002|1|1|" + std::string(20000, 'x') + "|General|宋体|0|0|0"));
}

TEST_F(XlsExportWriter, TextsThatAreNotValidUtf8AreWrittenWithReplacementCharacters) {
    WorkbookModel wb;
    Sheet& s = addSheet(wb, "Sheet1");
    put(s, 1, 1, Value::text(std::string("ab\xff\xc3", 4)));
    put(s, 1, 2, Value::text("\xf0\x9f\x98\x80"));  // outside the basic plane: a surrogate pair
    auto lines = saveAndRead(wb);
    EXPECT_THAT(lines, Contains("cell|Sheet1|1|1|1|ab\xef\xbf\xbd\xef\xbf\xbd|General|宋体|0|0|0"));
    EXPECT_THAT(lines, Contains("cell|Sheet1|1|2|1|\xf0\x9f\x98\x80|General|宋体|0|0|0"));
}

TEST_F(XlsExportWriter, WorkbooksTheFormatCannotHoldAreRefusedWithAReason) {
    auto refusal = [](const WorkbookModel& wb) {
        try {
            encodeXlsWorkbook(wb);
        } catch (const host::HostError& e) {
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    WorkbookModel none;
    EXPECT_THAT(refusal(none), HasSubstr("at least one sheet"));

    WorkbookModel tooLong;
    put(addSheet(tooLong, "Sheet1"), 65537, 1, Value::number(1));
    EXPECT_THAT(refusal(tooLong), HasSubstr("beyond row 65536"));

    WorkbookModel tooWide;
    put(addSheet(tooWide, "Sheet1"), 1, 257, Value::number(1));
    EXPECT_THAT(refusal(tooWide), HasSubstr("column IV"));

    WorkbookModel longName;
    addSheet(longName, std::string(32, 'n'));
    EXPECT_THAT(refusal(longName), HasSubstr("1 to 31 characters"));

    WorkbookModel longText;
    put(addSheet(longText, "Sheet1"), 2, 3, Value::text(std::string(32768, 'x')));
    EXPECT_THAT(refusal(longText), HasSubstr("Sheet1!C2"));
}

TEST_F(XlsExportWriter, AFailedSaveLeavesTheExistingFileAndNoTemporaryFile) {
    std::string path = (dir / "打印记录20261207140305.xls").string();
    WorkbookModel good;
    put(addSheet(good, "打印记录"), 1, 1, Value::text("good"));
    saveXlsWorkbook(good, path);
    auto before = fs::file_size(path);

    WorkbookModel bad;
    put(addSheet(bad, "打印记录"), 70000, 1, Value::text("bad"));
    EXPECT_THROW(saveXlsWorkbook(bad, path), host::HostError);
    EXPECT_EQ(fs::file_size(path), before);
    EXPECT_THAT(readBackXls(path), Contains(HasSubstr("cell|打印记录|1|1|1|good")));
    int entries = 0;
    for (auto& e : fs::directory_iterator(dir)) (void)e, ++entries;
    EXPECT_EQ(entries, 1);

    // A second save under the same name replaces the first.
    put(*good.sheets[0], 1, 1, Value::text("again"));
    saveXlsWorkbook(good, path);
    EXPECT_THAT(readBackXls(path), Contains(HasSubstr("cell|打印记录|1|1|1|again")));
}

TEST_F(XlsExportWriter, SavingIntoAFolderThatDoesNotExistNamesTheFolder) {
    WorkbookModel wb;
    addSheet(wb, "打印记录");
    std::string folder = (dir / "no-such-desktop").string();
    try {
        saveXlsWorkbook(wb, folder + "/x.xls");
        FAIL() << "saved into a missing folder";
    } catch (const host::HostError& e) {
        EXPECT_EQ(e.number(), host::error::kPathNotFound);
        EXPECT_THAT(e.what(), HasSubstr(folder));
        EXPECT_THAT(e.what(), HasSubstr("does not exist"));
    }
    EXPECT_FALSE(fs::exists(folder));
}

// A stream large enough that the allocation table needs more than the 109 sectors the
// header can index, read back by the reader's own container code.
TEST_F(XlsExportWriter, LargeStreamsGetAnExtendedAllocationIndex) {
    std::vector<std::uint8_t> stream(8'000'000);
    std::uint32_t x = 12345, sum = 0;
    for (auto& b : stream) {
        x = x * 1103515245u + 12345u;
        b = std::uint8_t(x >> 16);
        sum += b;
    }
    auto file = xls::compoundFileWithStream("Workbook", stream);
    std::string path = (dir / "big.cfb").string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()),
                                                std::streamsize(file.size()));
    auto lines = runPython(R"PY(
import sys
from xlrd import compdoc
data = open(sys.argv[1], "rb").read()
cd = compdoc.CompDoc(data, logfile=sys.stderr)
s = cd.get_named_stream("Workbook")
print(len(s), sum(s) & 0xFFFFFFFF)
)PY",
                           "'" + path + "'");
    EXPECT_EQ(lines, std::vector<std::string>{std::to_string(stream.size()) + " " + std::to_string(sum)});
}

TEST_F(XlsExportWriter, ShortStreamsArePaddedOutOfTheMiniStream) {
    auto file = xls::compoundFileWithStream("Workbook", {1, 2, 3});
    EXPECT_EQ(file.size(), 512u * (1 + 1 + 1 + 8));  // header, table, directory, 4096 bytes
    EXPECT_THROW(xls::compoundFileWithStream(std::string(32, 's'), {}), host::HostError);
}

}  // namespace
}  // namespace vorra::engine
