#pragma once
// Shared set-up of the workbook-file tests: a scratch folder, files written by other
// programs (made by fixtures/workbooks.py with the system's python3), and a small
// bill-template model built in code.

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>
#include <string>

#include "addin/frame/host/HostError.h"
#include "platform/engine/model/Model.h"

namespace vorra::engine::testing {

inline const std::filesystem::path kFixtureScript =
    std::filesystem::path(VORRA_SOURCE_DIR) / "tests/platform/engine/fixtures/workbooks.py";
inline constexpr const char* kPython = VORRA_PYTHON;

// A folder of its own for each test, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder() {
        auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                ("vorra-files-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" + info->name());
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() { std::filesystem::remove_all(path_); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// Runs the fixture script; returns what it printed. Fails the test when it fails.
inline std::string runFixtureScript(const std::string& arguments) {
    std::string command = std::string(kPython) + " " + kFixtureScript.string() + " " + arguments;
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        ADD_FAILURE() << "cannot run " << command;
        return {};
    }
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) output.append(buf, n);
    int status = ::pclose(pipe);
    EXPECT_EQ(status, 0) << "failed: " << command;
    return output;
}

// Expects `statement` to throw a host error whose message contains every fragment.
template <class Statement>
void expectRefusal(Statement&& statement, std::initializer_list<std::string> fragments) {
    try {
        statement();
        ADD_FAILURE() << "no error raised; expected one mentioning \"" << *fragments.begin() << "\"";
    } catch (const host::HostError& e) {
        for (const auto& f : fragments)
            EXPECT_NE(std::string(e.what()).find(f), std::string::npos)
                << "message \"" << e.what() << "\" lacks \"" << f << "\"";
    }
}

// What reading a file cost, measured in a child process of its own so that the peak
// memory is the reading's alone: whether it opened, the refusal's message, the peak
// resident memory, and whether it finished within the time given (it is stopped
// otherwise). `read` throws host::HostError to refuse.
struct MeasuredReading {
    bool finished = false;
    bool opened = false;
    std::string message;
    long peakMb = 0;
};

inline MeasuredReading measureReading(const std::function<void()>& read, unsigned seconds = 30) {
    int out[2];
    if (::pipe(out) != 0) return {};
    std::fflush(nullptr);
    pid_t pid = ::fork();
    if (pid == 0) {
        ::close(out[0]);
        ::alarm(seconds);
        std::string result = "opened";
        try {
            read();
        } catch (const host::HostError& e) {
            result = std::string("refused:") + e.what();
        }
        ssize_t ignored = ::write(out[1], result.data(), result.size());
        (void)ignored;
        ::_exit(0);
    }
    ::close(out[1]);
    std::string result;
    char buf[4096];
    for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) > 0;) result.append(buf, size_t(n));
    ::close(out[0]);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    MeasuredReading m;
    m.finished = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    m.opened = result == "opened";
    if (result.rfind("refused:", 0) == 0) m.message = result.substr(8);
    m.peakMb = usage.ru_maxrss / 1024;
    return m;
}

// A bill template in miniature: the fill-in sheet with its books and formats, a
// cheque sheet with page setup and print area, a hidden working sheet, names.
inline std::unique_ptr<WorkbookModel> sampleTemplate() {
    auto wb = std::make_unique<WorkbookModel>();
    Font bold;
    bold.bold = true;
    bold.size = 14;
    bold.colorIndex = 10;
    int boldFont = wb->styles.internFont(bold);
    Font red;
    red.name = "Arial";
    red.italic = true;
    red.colorRgb = "FFFF0000";
    int redFont = wb->styles.internFont(red);
    CellFormat heading;
    heading.fontId = boldFont;
    heading.hAlign = HAlign::Center;
    heading.vAlign = VAlign::Center;
    heading.wrapText = true;
    int headingStyle = wb->styles.internFormat(heading);
    CellFormat account;
    account.numberFormat = "@";
    account.locked = false;
    int accountStyle = wb->styles.internFormat(account);
    CellFormat money;
    money.numberFormat = "#,##0.00\"元\"";
    money.fontId = redFont;
    money.formulaHidden = true;
    int moneyStyle = wb->styles.internFormat(money);
    CellFormat date;
    date.numberFormat = "yyyy\"年\"m\"月\"d\"日\"";
    int dateStyle = wb->styles.internFormat(date);

    auto units = std::make_unique<Sheet>();
    units->name = "常用单位账号";
    auto put = [](Sheet& s, int r, int c, Value v, int style = 0) {
        Cell& cell = s.cells.at({r, c});
        cell.value = std::move(v);
        cell.style = style;
    };
    put(*units, 7, 3, Value::text("序号"), headingStyle);
    put(*units, 7, 5, Value::text("户名"), headingStyle);
    put(*units, 7, 6, Value::text("账号"), headingStyle);
    put(*units, 8, 3, Value::number(1));
    put(*units, 8, 5, Value::text("北京<公司>&\"分部\""));
    put(*units, 8, 6, Value::text("6222021234567890123"), accountStyle);
    put(*units, 9, 5, Value::text(" 前后有空格 "));
    put(*units, 9, 6, Value::text("第一行\n第二行"));
    put(*units, 3, 11, Value::number(0.1 + 0.2), moneyStyle);
    put(*units, 3, 12, Value::number(45292), dateStyle);
    put(*units, 6, 7, Value::boolean(true));
    put(*units, 6, 8, Value::error(ErrorValue::NA));
    put(*units, 6, 9, Value(), accountStyle);  // formatted but empty
    Cell& lookup = units->cells.at({4, 6});
    lookup.formula = "VLOOKUP($E$4,收款人信息,2,FALSE)";
    lookup.value = Value::text("6222021234567890123");
    Cell& sum = units->cells.at({3, 13});
    sum.formula = "SUM(K3,1)&\"<元>\"";
    sum.value = Value::text("1.3<元>");
    units->columns[5] = {24.5, false, 0};
    units->columns[6] = {22, false, accountStyle};
    units->columns[7] = {22, false, accountStyle};
    units->columns[10] = {-1, true, 0};
    units->rows[7] = {20.25, false, -1};
    units->rows[12] = {-1, true, headingStyle};
    units->merges.push_back({1, 3, 2, 9});
    units->protection.enabled = true;
    units->protection.passwordHash = "CF1A";
    units->activeCell = {4, 5};
    units->selection = {4, 5, 5, 9};
    units->defaultRowHeight = 14.25;
    units->tabColorIndex = 12;
    wb->sheets.push_back(std::move(units));

    auto cheque = std::make_unique<Sheet>();
    cheque->name = "转账支票";
    Cell& payee = cheque->cells.at({2, 2});
    payee.formula = "常用单位账号!E4";
    payee.value = Value::text("北京公司");
    cheque->printArea = Area{1, 1, 20, 8};
    cheque->pageSetup.paperSize = 0;
    cheque->pageSetup.paperWidthMm = 240;
    cheque->pageSetup.paperHeightMm = 93.5;
    cheque->pageSetup.orientation = Orientation::Landscape;
    cheque->pageSetup.marginLeft = 0.2;
    cheque->pageSetup.marginTop = 0.1;
    cheque->pageSetup.centerHorizontally = true;
    cheque->pageSetup.centerVertically = true;
    cheque->pageSetup.scale = 85;
    cheque->pageSetup.fitToPage = true;
    cheque->pageSetup.fitToWidth = 1;
    cheque->pageSetup.fitToHeight = 0;
    cheque->protection.enabled = true;
    cheque->protection.algorithmName = "SHA-512";
    cheque->protection.hashValue = "q83vEjRWeJA=";
    cheque->protection.saltValue = "c2FsdA==";
    cheque->protection.spinCount = 100000;
    wb->sheets.push_back(std::move(cheque));

    auto info = std::make_unique<Sheet>();
    info->name = "基本 信息";
    info->visibility = SheetVisibility::Hidden;
    info->cells.at({1, 1}).value = Value::number(-1.5e-7);
    info->defaultColumnWidth = 10.5;
    info->printArea = Area{1, 1, 1, 1};
    wb->sheets.push_back(std::move(info));

    auto records = std::make_unique<Sheet>();
    records->name = "打印记录";
    records->visibility = SheetVisibility::VeryHidden;
    wb->sheets.push_back(std::move(records));

    wb->names.push_back({"收款人信息", "常用单位账号!$E$8:$I$407", -1, false});
    wb->names.push_back({"付款人信息", "常用单位账号!$D$8:$I$407", -1, false});
    wb->names.push_back({"本表", "转账支票!$B$2", 1, true});
    wb->activeSheet = 1;
    return wb;
}

}  // namespace vorra::engine::testing

namespace vorra::engine::testing {

// Everything the model holds, compared part by part so that a failure names the
// sheet, the cell or the format that differs.
inline void expectSameWorkbook(const WorkbookModel& a, const WorkbookModel& b) {
    ASSERT_EQ(a.sheets.size(), b.sheets.size());
    EXPECT_EQ(a.activeSheet, b.activeSheet);
    EXPECT_EQ(a.date1904, b.date1904);
    ASSERT_EQ(a.styles.fonts.size(), b.styles.fonts.size());
    for (size_t i = 0; i < a.styles.fonts.size(); ++i)
        EXPECT_TRUE(a.styles.fonts[i] == b.styles.fonts[i]) << "font " << i;
    ASSERT_EQ(a.styles.formats.size(), b.styles.formats.size());
    for (size_t i = 0; i < a.styles.formats.size(); ++i) {
        EXPECT_TRUE(a.styles.formats[i] == b.styles.formats[i]) << "format " << i;
        EXPECT_EQ(a.styles.formats[i].numberFormat, b.styles.formats[i].numberFormat) << "format " << i;
    }
    ASSERT_EQ(a.names.size(), b.names.size());
    for (size_t i = 0; i < a.names.size(); ++i) {
        EXPECT_EQ(a.names[i].name, b.names[i].name);
        EXPECT_EQ(a.names[i].refersTo, b.names[i].refersTo) << a.names[i].name;
        EXPECT_EQ(a.names[i].localSheet, b.names[i].localSheet) << a.names[i].name;
        EXPECT_EQ(a.names[i].hidden, b.names[i].hidden) << a.names[i].name;
    }
    ASSERT_EQ(a.externalLinks.size(), b.externalLinks.size());
    for (size_t i = 0; i < a.externalLinks.size(); ++i)
        EXPECT_EQ(a.externalLinks[i].target, b.externalLinks[i].target);
    for (size_t s = 0; s < a.sheets.size(); ++s) {
        const Sheet& x = *a.sheets[s];
        const Sheet& y = *b.sheets[s];
        SCOPED_TRACE("sheet " + x.name);
        EXPECT_EQ(x.name, y.name);
        EXPECT_EQ(x.visibility, y.visibility);
        for (const auto* pair : {&x, &y}) {
            const Sheet& one = *pair;
            const Sheet& other = pair == &x ? y : x;
            for (const auto& [col, cells] : one.cells.columns())
                for (const auto& [row, cell] : cells) {
                    const Cell* twin = other.cells.find({row, col});
                    std::string where = relativeAddress(Area::cell(row, col));
                    ASSERT_NE(twin, nullptr) << "cell " << where << " missing on one side";
                    EXPECT_TRUE(cell.value == twin->value) << where << ": " << cell.value.toText()
                                                           << " vs " << twin->value.toText();
                    EXPECT_EQ(cell.formula, twin->formula) << where;
                    EXPECT_EQ(cell.style, twin->style) << where;
                }
        }
        ASSERT_EQ(x.columns.size(), y.columns.size());
        for (const auto& [col, info] : x.columns) {
            ASSERT_TRUE(y.columns.count(col)) << "column " << col;
            EXPECT_EQ(info.width, y.columns.at(col).width) << "column " << col;
            EXPECT_EQ(info.hidden, y.columns.at(col).hidden) << "column " << col;
            EXPECT_EQ(info.style, y.columns.at(col).style) << "column " << col;
        }
        ASSERT_EQ(x.rows.size(), y.rows.size());
        for (const auto& [row, info] : x.rows) {
            ASSERT_TRUE(y.rows.count(row)) << "row " << row;
            EXPECT_EQ(info.height, y.rows.at(row).height) << "row " << row;
            EXPECT_EQ(info.hidden, y.rows.at(row).hidden) << "row " << row;
            EXPECT_EQ(info.style, y.rows.at(row).style) << "row " << row;
        }
        EXPECT_EQ(x.defaultColumnWidth, y.defaultColumnWidth);
        EXPECT_EQ(x.defaultRowHeight, y.defaultRowHeight);
        EXPECT_EQ(x.merges, y.merges);
        EXPECT_EQ(x.printArea, y.printArea);
        EXPECT_TRUE(x.pageSetup == y.pageSetup);
        EXPECT_EQ(x.protection.enabled, y.protection.enabled);
        EXPECT_EQ(x.protection.passwordHash, y.protection.passwordHash);
        EXPECT_EQ(x.protection.algorithmName, y.protection.algorithmName);
        EXPECT_EQ(x.protection.hashValue, y.protection.hashValue);
        EXPECT_EQ(x.protection.saltValue, y.protection.saltValue);
        EXPECT_EQ(x.protection.spinCount, y.protection.spinCount);
        EXPECT_EQ(x.activeCell, y.activeCell);
        EXPECT_EQ(x.selection, y.selection);
        EXPECT_EQ(x.tabColorIndex, y.tabColorIndex);
    }
}

}  // namespace vorra::engine::testing
