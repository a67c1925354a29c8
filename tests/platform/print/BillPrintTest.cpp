// A bill printed to PDF: the texts land on the paper where the layout put them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <unistd.h>

#include <QPrinter>

#include "PdfWords.h"
#include "addin/frame/host/HostError.h"
#include "platform/engine/print/CellGeometry.h"
#include "platform/engine/print/PaperSizes.h"
#include "platform/print/PageOutput.h"
#include "platform/print/QtPrinter.h"

namespace vorra::print {
namespace {

namespace fs = std::filesystem;
using namespace vorra::engine;
using testing::pdfPageCount;
using testing::pdfPageSize;
using testing::pdfWords;
using testing::PdfWord;

constexpr double kTolerancePt = 0.5 * kPointsPerMm;  // half a millimetre

const std::string kDate = "贰零贰陆年壹拾贰月零柒日";
const std::string kPayee = "北京华夏建材有限公司";
const std::string kAmountInWords = "壹万贰仟叁佰肆拾伍元陆角柒分";
const std::string kPurpose = "货款";
const std::string kStubDate = "2026年12月07日";
const std::string kStubPayee = "华夏建材";

// A transfer-cheque-like sheet: stub on the left, body on the right, on the cheque's
// custom paper with small margins.
std::unique_ptr<WorkbookModel> chequeBook() {
    auto book = std::make_unique<WorkbookModel>();
    auto sheet = std::make_unique<Sheet>();
    Sheet& s = *sheet;
    s.name = "转账支票";
    applyPaper(s.pageSetup, *paperByName("转账支票"));
    s.pageSetup.marginLeft = s.pageSetup.marginRight = 0.2;
    s.pageSetup.marginTop = s.pageSetup.marginBottom = 0.2;
    s.printArea = Area{1, 1, 6, 8};
    for (auto [col, width] : {std::pair{1, 2.0}, {2, 14.0}, {3, 3.0}, {4, 10.0}, {5, 10.0},
                              {6, 10.0}, {7, 10.0}, {8, 12.0}})
        s.columns[col].width = width;
    for (auto [row, height] : {std::pair{1, 22.5}, {2, 18.0}, {3, 27.0}, {4, 18.0}})
        s.rows[row].height = height;

    StyleSheet& st = book->styles;
    Font big;
    big.size = 12;
    big.bold = true;
    const int bigFont = st.internFont(big);
    const int centred = st.internFormat({.hAlign = HAlign::Center, .vAlign = VAlign::Center});
    const int amount = st.internFormat({.fontId = bigFont, .vAlign = VAlign::Center});
    const int topLeft = st.internFormat({.vAlign = VAlign::Top});
    const int money = st.internFormat({.numberFormat = "0.00", .hAlign = HAlign::Right});

    auto put = [&](int row, int col, Value v, int style) {
        Cell& c = s.cells.at({row, col});
        c.value = std::move(v);
        c.style = style;
    };
    s.merges = {Area{1, 4, 1, 7}, Area{2, 4, 2, 8}, Area{3, 4, 3, 7}};
    put(1, 4, Value::text(kDate), centred);
    put(2, 4, Value::text(kPayee), 0);
    put(3, 4, Value::text(kAmountInWords), amount);
    put(3, 8, Value::number(12345.67), money);
    put(4, 4, Value::text(kPurpose), topLeft);
    put(1, 2, Value::text(kStubDate), 0);
    put(2, 2, Value::text(kStubPayee), 0);
    book->sheets.push_back(std::move(sheet));
    return book;
}

class PrintFolderFixture : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("vorra-print-test-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(dir, fs::perms::owner_all, ignored);
        fs::remove_all(dir, ignored);
    }
    std::vector<fs::path> filesIn(const fs::path& folder) const {
        std::vector<fs::path> files;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(folder, ec)) files.push_back(e.path());
        return files;
    }
    fs::path dir;
};

// Where the layout says a text goes: the point of its box that its alignment pins.
struct Expected {
    double x;  // left edge, right edge or centre, per hAlign
    double y;  // top edge, bottom edge or centre, per vAlign
};

Expected pinnedPoint(const TextRun& run) {
    const double left = run.box.x + run.insetX, right = run.box.right() - run.insetX;
    const double top = run.box.y + run.insetY, bottom = run.box.bottom() - run.insetY;
    Expected e{left, bottom};
    if (run.hAlign == HAlign::Right) e.x = right;
    if (run.hAlign == HAlign::Center) e.x = (left + right) / 2;
    if (run.vAlign == VAlign::Top) e.y = top;
    if (run.vAlign == VAlign::Center) e.y = (top + bottom) / 2;
    return e;
}

Expected pinnedPoint(const PdfWord& w, const TextRun& run) {
    Expected e{w.xMin, w.yMax};
    if (run.hAlign == HAlign::Right) e.x = w.xMax;
    if (run.hAlign == HAlign::Center) e.x = (w.xMin + w.xMax) / 2;
    if (run.vAlign == VAlign::Top) e.y = w.yMin;
    if (run.vAlign == VAlign::Center) e.y = (w.yMin + w.yMax) / 2;
    return e;
}

std::string listed(const std::vector<PdfWord>& words) {
    std::string out;
    for (const PdfWord& w : words)
        out += "\n  \"" + w.text + "\" at " + std::to_string(w.xMin) + ", " +
               std::to_string(w.yMin) + " – " + std::to_string(w.xMax) + ", " +
               std::to_string(w.yMax);
    return out;
}

using BillPrint = PrintFolderFixture;

TEST_F(BillPrint, TextsLandWithinHalfAMillimetreOfTheirLayoutPositions) {
    auto book = chequeBook();
    const PrintLayout layout = layoutSheet(*book, 0);
    QtPrinter printer{PrintFolder(dir)};
    const fs::path pdf = printer.printLayout(layout, 1, true).file;

    auto [width, height] = pdfPageSize(pdf);
    EXPECT_NEAR(width, 240 * kPointsPerMm, 0.5);
    EXPECT_NEAR(height, 80 * kPointsPerMm, 0.5);

    const std::vector<PdfWord> words = pdfWords(pdf);
    ASSERT_EQ(layout.pages.size(), 1u);
    ASSERT_EQ(layout.pages[0].runs.size(), 7u);
    for (const TextRun& run : layout.pages[0].runs) {
        std::string where = relativeAddress(Area::of(run.cell)) + " \"" + run.text + "\"";
        const PdfWord* found = nullptr;
        for (const PdfWord& w : words) {
            if (w.text == run.text && std::abs(w.xMin - run.box.x) < 200 &&
                std::abs(w.yMin - run.box.y) < 30)
                found = &w;
        }
        ASSERT_NE(found, nullptr) << where << " is not in the PDF, which has: " << listed(words);
        Expected want = pinnedPoint(run), got = pinnedPoint(*found, run);
        EXPECT_NEAR(got.x, want.x, kTolerancePt) << where;
        EXPECT_NEAR(got.y, want.y, kTolerancePt) << where;
    }
}

TEST_F(BillPrint, WrappedAndShrunkTextsStayInsideTheirBoxes) {
    auto book = chequeBook();
    Sheet& s = *book->sheets[0];
    StyleSheet& st = book->styles;
    s.rows[5].height = 60;
    // Column B of the stub: 14 characters, 87.75 pt, too narrow for these at 11 pt.
    s.cells.at({5, 2}).value = Value::text("北京华夏建材有限公司第一分公司");
    s.cells.at({5, 2}).style = st.internFormat({.vAlign = VAlign::Top, .wrapText = true});
    s.cells.at({6, 2}).value = Value::text("北京华夏建材有限公司");
    s.cells.at({6, 2}).style = st.internFormat({.shrinkToFit = true});
    const PrintLayout layout = layoutSheet(*book, 0);
    QtPrinter printer{PrintFolder(dir)};
    const std::vector<PdfWord> words = pdfWords(printer.printLayout(layout, 1, true).file);

    const TextRun* wrapped = nullptr;
    const TextRun* shrunk = nullptr;
    for (const TextRun& r : layout.pages[0].runs) {
        if (r.cell == CellRef{5, 2}) wrapped = &r;
        if (r.cell == CellRef{6, 2}) shrunk = &r;
    }
    ASSERT_TRUE(wrapped && shrunk);
    int wrappedLines = 0;
    bool shrunkFound = false;
    for (const PdfWord& w : words) {
        const bool inWrapped = w.yMin >= wrapped->box.y - kTolerancePt &&
                               w.yMax <= wrapped->box.bottom() + kTolerancePt &&
                               w.xMin < wrapped->box.right();
        if (inWrapped) {
            ++wrappedLines;
            EXPECT_NEAR(w.xMin, wrapped->box.x + wrapped->insetX, kTolerancePt) << w.text;
            EXPECT_LE(w.xMax, wrapped->box.right() + kTolerancePt) << w.text;
        }
        if (w.text == "北京华夏建材有限公司" && std::abs(w.yMax - shrunk->box.bottom()) < 5) {
            shrunkFound = true;
            EXPECT_NEAR(w.xMin, shrunk->box.x + shrunk->insetX, kTolerancePt);
            EXPECT_NEAR(w.xMax, shrunk->box.right() - shrunk->insetX, kTolerancePt);
        }
    }
    EXPECT_GE(wrappedLines, 2) << listed(words);
    EXPECT_TRUE(shrunkFound) << listed(words);
}

TEST_F(BillPrint, DistributedTextRunsFromEdgeToEdge) {
    auto book = chequeBook();
    Sheet& s = *book->sheets[0];
    s.cells.at({4, 4}).style = book->styles.internFormat({.hAlign = HAlign::Distributed});
    s.cells.at({4, 4}).value = Value::text("转账");  // column D: 63.75 pt for two characters
    const PrintLayout layout = layoutSheet(*book, 0);
    QtPrinter printer{PrintFolder(dir)};
    const std::vector<PdfWord> words = pdfWords(printer.printLayout(layout, 1, true).file);
    const TextRun* run = nullptr;
    for (const TextRun& r : layout.pages[0].runs)
        if (r.cell == CellRef{4, 4}) run = &r;
    ASSERT_NE(run, nullptr);
    const PdfWord* first = nullptr;
    const PdfWord* last = nullptr;
    for (const PdfWord& w : words) {
        if (w.text == "转") first = &w;
        if (w.text == "账") last = &w;
    }
    ASSERT_TRUE(first && last) << listed(words);
    EXPECT_NEAR(first->xMin, run->box.x + run->insetX, kTolerancePt);
    EXPECT_NEAR(last->xMax, run->box.right() - run->insetX, kTolerancePt);
}

TEST_F(BillPrint, ANumberTooWideForItsCellPrintsAsHashesNotCutOff) {
    auto book = chequeBook();
    Sheet& s = *book->sheets[0];
    s.cells.at({5, 3}).value = Value::number(12345678.9);  // column C: 3 characters
    s.cells.at({5, 2}).value = Value::number(42);
    QtPrinter printer{PrintFolder(dir)};
    const std::vector<PdfWord> words = pdfWords(printer.printLayout(layoutSheet(*book, 0), 1, true).file);
    bool hashes = false, fits = false;
    for (const PdfWord& w : words) {
        EXPECT_EQ(w.text.find("678"), std::string::npos) << "a cut-off amount: " << w.text;
        if (w.text.find_first_not_of('#') == std::string::npos) hashes = true;
        if (w.text == "42") fits = true;
    }
    EXPECT_TRUE(hashes) << listed(words);
    EXPECT_TRUE(fits) << listed(words);
}

// A real printer goes through QPrinter rather than QPdfWriter; Qt's PDF output format of
// QPrinter stands in for the print service here, so the same positions are checked.
TEST_F(BillPrint, PrinterPathPutsTextsAtTheSamePositions) {
    auto book = chequeBook();
    const PrintLayout layout = layoutSheet(*book, 0);
    fs::create_directories(dir);
    const fs::path pdf = dir / "through-printer.pdf";
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf.string()));
    QtPrinter::printOn(printer, layout, 1, true);

    auto [width, height] = pdfPageSize(pdf);
    EXPECT_NEAR(width, 240 * kPointsPerMm, 0.5);
    EXPECT_NEAR(height, 80 * kPointsPerMm, 0.5);
    const std::vector<PdfWord> words = pdfWords(pdf);
    for (const TextRun& run : layout.pages[0].runs) {
        const PdfWord* found = nullptr;
        for (const PdfWord& w : words)
            if (w.text == run.text) found = &w;
        ASSERT_NE(found, nullptr) << run.text << listed(words);
        Expected want = pinnedPoint(run), got = pinnedPoint(*found, run);
        EXPECT_NEAR(got.x, want.x, kTolerancePt) << run.text;
        EXPECT_NEAR(got.y, want.y, kTolerancePt) << run.text;
    }
}

// A printer's calibration moves every text run of the page: the offsets exactly, a
// scale about the paper's top-left corner; a sheet's own calibration replaces the
// printer's. Checked against the same bill printed without one.
TEST_F(BillPrint, CalibrationMovesEveryTextRunExactly) {
    struct Case {
        const char* name;
        const char* calibration;
        const char* sheet;  // the sheet printed
        double dx, dy;      // mm
        double scale;
    };
    const Case cases[] = {
        {"offsets", "[#file]\noffset-x = 1.5\noffset-y = -0.7\n", "转账支票", 1.5, -0.7, 1},
        {"scale", "[#file]\nscale-x = 0.99\nscale-y = 0.99\n", "转账支票", 0, 0, 0.99},
        {"sheet's own", "[#file]\noffset-x = 3\n[#file 转账支票]\noffset-x = -2\nscale-y = 0.99\n", "转账支票",
         -2, 0, 0},
        {"another sheet's", "[#file 现金支票]\noffset-x = 5\n", "转账支票", 0, 0, 1},
        {"another printer's", "[柜台]\noffset-y = 5\n", "转账支票", 0, 0, 1},
    };
    auto book = chequeBook();
    const PrintLayout layout = layoutSheet(*book, 0);
    const std::vector<PdfWord> plain = pdfWords(QtPrinter{PrintFolder(dir / "plain")}.printLayout(layout, 1, true).file);
    ASSERT_GE(plain.size(), 7u) << listed(plain);
    constexpr double kExact = 0.05 * kPointsPerMm;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QtPrinter printer{PrintFolder(dir / c.name)};
        printer.setCalibrations(Calibrations::parse(c.calibration));
        const std::vector<PdfWord> moved = pdfWords(printer.printLayout(layout, 1, true).file);
        ASSERT_EQ(moved.size(), plain.size()) << listed(moved);
        // The sheet's own case scales only down: 0 stands for "x 1, y 0.99".
        const double sx = c.scale == 0 ? 1 : c.scale, sy = c.scale == 0 ? 0.99 : c.scale;
        for (size_t i = 0; i < plain.size(); ++i) {
            const PdfWord& was = plain[i];
            const PdfWord& now = moved[i];
            ASSERT_EQ(now.text, was.text);
            EXPECT_NEAR(now.xMin, c.dx * kPointsPerMm + sx * was.xMin, kExact) << was.text;
            EXPECT_NEAR(now.xMax, c.dx * kPointsPerMm + sx * was.xMax, kExact) << was.text;
            EXPECT_NEAR(now.yMin, c.dy * kPointsPerMm + sy * was.yMin, kExact) << was.text;
            EXPECT_NEAR(now.yMax, c.dy * kPointsPerMm + sy * was.yMax, kExact) << was.text;
        }
    }
}

// The calibration page of a sheet's paper, printed with the calibration in force: the
// crosses land where their labels say, moved by that calibration, and the page says
// which one it used.
TEST_F(BillPrint, CalibrationPageCrossesLandWhereItsCalibrationPutsThem) {
    QtPrinter printer{PrintFolder(dir)};
    printer.setCalibrations(Calibrations::parse("[#file 转账支票]\noffset-x = 1.5\noffset-y = -0.7\n"));
    const PrintedJob job = printer.printCalibration("转账支票", 240 * kPointsPerMm, 80 * kPointsPerMm);
    EXPECT_EQ(job.file.filename().string().rfind("校准页-转账支票-", 0), 0u) << job.file;
    auto [width, height] = pdfPageSize(job.file);
    EXPECT_NEAR(width, 240 * kPointsPerMm, 0.5);
    EXPECT_NEAR(height, 80 * kPointsPerMm, 0.5);
    std::string text;
    for (const PdfWord& w : pdfWords(job.file)) text += w.text;
    for (const char* shown : {"打印校准页：转账支票（纸张240×80毫米）", "横向+1.5毫米，纵向-0.7毫米", "(15.0,15.0)",
                              "(225.0,65.0)", "(120.0,40.0)"})
        EXPECT_NE(text.find(shown), std::string::npos) << shown << " not in " << text;

    const testing::PdfInk ink(job.file, 600);
    const double mm = kPointsPerMm;
    for (const MarkMm& m : calibrationMarks(240, 80)) {
        const double x = (m.x + 1.5) * mm, y = (m.y - 0.7) * mm;
        // A piece of each arm outside the circle: its middle is the cross's line.
        const auto across = ink.inkIn({x + 2 * mm, y - 1 * mm, x + 4.5 * mm, y + 1 * mm});
        const auto down = ink.inkIn({x - 1 * mm, y - 4.5 * mm, x + 1 * mm, y - 2 * mm});
        ASSERT_TRUE(across && down) << m.x << ", " << m.y;
        EXPECT_NEAR((across->yMin + across->yMax) / 2, y, 0.1 * mm) << m.x << ", " << m.y;
        EXPECT_NEAR((down->xMin + down->xMax) / 2, x, 0.1 * mm) << m.x << ", " << m.y;
    }
    EXPECT_THROW(printer.printCalibration("转账支票", 0, 80 * kPointsPerMm), host::HostError);
}

TEST(Calibrations, ReadWrittenAndRefusedWithTheLineAtFault) {
    Calibrations kept;
    kept.set("柜台", "", {1.5, -0.7, 1, 1});
    kept.set("柜台", "转账支票", {0, 0.2, 0.995, 1.01});
    kept.set("柜台", "现金支票", {});                 // this sheet prints as laid out
    kept.set("柜台", "进账单", {1.5, -0.7, 1, 1});    // the printer's anyway: not stored
    kept.set(kFilePrinterName, "", {0, 0, 1, 1});  // nothing to correct: not stored
    const Calibrations again = Calibrations::parse(kept.format());
    EXPECT_EQ(again.format(), kept.format());
    EXPECT_EQ(again.forJob("柜台", "转账支票"), (PageAdjustment{0, 0.2, 0.995, 1.01}));
    EXPECT_TRUE(again.forJob("柜台", "现金支票").identity());
    EXPECT_EQ(again.forJob("柜台", "进账单"), (PageAdjustment{1.5, -0.7, 1, 1}));
    EXPECT_FALSE(again.has("柜台", "进账单"));
    EXPECT_TRUE(again.forJob(kFilePrinterName, "转账支票").identity());
    EXPECT_FALSE(again.has(kFilePrinterName));

    const std::pair<const char*, const char*> refused[] = {
        {"offset-x = 1\n", "line 1: a value before"},
        {"# note\n[p]\noffset-x = 1,5\n", "line 3: \"1,5\" is not a number"},
        {"[p]\noffset-z = 1\n", "line 2: unknown key"},
        {"[p]\noffset-y = 31\n", "line 1: The vertical offset 31 mm"},
        {"[p]\nscale-x = 1.2\n", "line 1: The horizontal scale 1.2"},
        {"[p]\nscale-x = nan\n", "line 1: The horizontal scale nan"},
        {"[p]\n[p]\n", "line 2: [p] appears twice"},
        {"[p\n", "line 1: a section is written"},
        {"[p]\njunk\n", "line 2: expected key = value"},
    };
    for (const auto& [text, message] : refused) {
        try {
            Calibrations::parse(text);
            ADD_FAILURE() << "accepted: " << text;
        } catch (const CalibrationError& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(Calibrations::parse(std::string(kMaxCalibrationBytes + 1, '#')), CalibrationError);
    EXPECT_THROW(Calibrations::load("/nonexistent/calibration"), CalibrationError);
    EXPECT_THROW(kept.set("two words", "", {1, 0, 1, 1}), CalibrationError);
}

TEST_F(BillPrint, PrintSheetWritesOneFileNamedWithSheetAndTime) {
    auto book = chequeBook();
    QtPrinter printer{PrintFolder(dir)};
    EXPECT_TRUE(printer.printsToFile());
    EXPECT_EQ(printer.description(), "PDF: " + dir.string());
    printer.printSheet(*book, 0, 1, true);
    printer.printSheet(*book, 0, 1, true);
    auto files = filesIn(dir);
    ASSERT_EQ(files.size(), 2u);  // no temporary files left over
    const std::string name = printer.lastFile().filename().string();
    // 转账支票-yyyymmdd-hhmmss-002.pdf
    ASSERT_EQ(name.size(), std::string("转账支票-20261207-134500-002.pdf").size()) << name;
    EXPECT_EQ(name.substr(0, std::string("转账支票-").size()), "转账支票-");
    EXPECT_EQ(name.substr(name.size() - 8), "-002.pdf");
    EXPECT_EQ(pdfPageCount(printer.lastFile()), 1);
    const engine::Printer& seam = printer;
    EXPECT_EQ(seam.lastOutput(), printer.lastFile().string());
}

TEST_F(BillPrint, CopiesRepeatThePagesCollatedOrNot) {
    EXPECT_EQ(pageSequence(2, 2, true), (std::vector<int>{0, 1, 0, 1}));
    EXPECT_EQ(pageSequence(2, 2, false), (std::vector<int>{0, 0, 1, 1}));
    EXPECT_EQ(pageSequence(3, 1, true), (std::vector<int>{0, 1, 2}));

    auto book = chequeBook();
    book->sheets[0]->pageSetup.paperSize = 11;  // A5 landscape: the area takes two pages
    book->sheets[0]->pageSetup.orientation = Orientation::Landscape;
    book->sheets[0]->columns[5].width = 60;
    QtPrinter printer{PrintFolder(dir)};
    printer.printSheet(*book, 0, 2, true);
    EXPECT_EQ(pdfPageCount(printer.lastFile()), 4);
    EXPECT_THROW(printer.printSheet(*book, 0, 0, true), host::HostError);
}

TEST_F(BillPrint, EachPageCarriesItsOwnTextsAtTheirPositions) {
    auto book = chequeBook();
    Sheet& s = *book->sheets[0];
    s.pageSetup.paperSize = 11;  // A5 landscape, and column E so wide that H goes over
    s.pageSetup.orientation = Orientation::Landscape;
    s.columns[5].width = 60;
    s.merges.clear();
    const PrintLayout layout = layoutSheet(*book, 0);
    ASSERT_EQ(layout.pages.size(), 2u);
    QtPrinter printer{PrintFolder(dir)};
    const std::vector<PdfWord> words = pdfWords(printer.printLayout(layout, 1, true).file);
    for (int p = 0; p < 2; ++p) {
        ASSERT_FALSE(layout.pages[p].runs.empty());
        for (const TextRun& run : layout.pages[p].runs) {
            const PdfWord* found = nullptr;
            for (const PdfWord& w : words)
                if (w.text == run.text && w.page == p) found = &w;
            ASSERT_NE(found, nullptr) << run.text << " not on page " << p + 1 << listed(words);
            Expected want = pinnedPoint(run), got = pinnedPoint(*found, run);
            EXPECT_NEAR(got.x, want.x, kTolerancePt) << run.text;
            EXPECT_NEAR(got.y, want.y, kTolerancePt) << run.text;
        }
    }
}

TEST_F(BillPrint, BadPageSetupFailsBeforeAnyFileIsWritten) {
    auto book = chequeBook();
    book->sheets[0]->pageSetup.marginLeft = -1;
    QtPrinter printer{PrintFolder(dir)};
    try {
        printer.printSheet(*book, 0, 1, true);
        FAIL() << "printed with a negative margin";
    } catch (const host::HostError& e) {
        EXPECT_NE(std::string(e.what()).find("left margin"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(filesIn(dir).empty());
}

TEST_F(BillPrint, UnwritablePrintFolderIsAClearErrorAndLeavesNothing) {
    auto book = chequeBook();
    // A file where the folder should be.
    fs::create_directories(dir);
    const fs::path blocked = dir / "blocked";
    { std::ofstream(blocked) << "x"; }
    QtPrinter printer{PrintFolder(blocked / "prints")};
    try {
        printer.printSheet(*book, 0, 1, true);
        FAIL() << "printed into a path through a file";
    } catch (const host::HostError& e) {
        EXPECT_EQ(e.number(), host::error::kPathNotFound);
        EXPECT_NE(std::string(e.what()).find("cannot be created"), std::string::npos) << e.what();
    }
    EXPECT_EQ(filesIn(dir).size(), 1u);

    // A folder without write permission (only meaningful when not running as root).
    if (::geteuid() != 0) {
        const fs::path readOnly = dir / "read-only";
        fs::create_directories(readOnly);
        fs::permissions(readOnly, fs::perms::owner_read | fs::perms::owner_exec);
        QtPrinter locked{PrintFolder(readOnly)};
        EXPECT_THROW(locked.printSheet(*book, 0, 1, true), host::HostError);
        EXPECT_TRUE(filesIn(readOnly).empty());
        fs::permissions(readOnly, fs::perms::owner_all);
    }
}

TEST_F(BillPrint, TheTargetFileAppearsOnlyWhenComplete) {
    auto book = chequeBook();
    fs::create_directories(dir);
    const fs::path target = dir / "bill.pdf";
    // Writing into a folder that vanished: nothing at the target, no partial file.
    EXPECT_THROW(PdfPrinter::writePdf(layoutSheet(*book, 0), dir / "gone" / "bill.pdf", 1, true),
                 host::HostError);
    EXPECT_TRUE(filesIn(dir).empty());
    PdfPrinter::writePdf(layoutSheet(*book, 0), target, 1, true);
    EXPECT_EQ(filesIn(dir), std::vector<fs::path>{target});
}

TEST(PrintFolder, StandardFolderAndSafeNames) {
    EXPECT_EQ(PrintFolder::standard("/tmp/somewhere", "/home/cashier").path(), fs::path("/tmp/somewhere"));
    EXPECT_EQ(PrintFolder::standard(nullptr, "/home/cashier").path(), fs::path("/home/cashier") / "vorra-prints");
    EXPECT_EQ(PrintFolder::standard("", nullptr).path(), fs::path("out") / "prints");

    EXPECT_EQ(fileNamePart("转账支票"), "转账支票");
    EXPECT_EQ(fileNamePart("a/b\\c\nd"), "a_b_c_d");
    EXPECT_EQ(fileNamePart(".."), "sheet");
    EXPECT_EQ(fileNamePart(""), "sheet");
    EXPECT_EQ(fileNamePart(".hidden"), "_hidden");
}

TEST(QtPrinterChoice, UnknownPrinterIsRefusedAndFileStaysCurrent) {
    QtPrinter printer{PrintFolder("/tmp")};
    EXPECT_THROW(printer.choosePrinter("no such printer 4242"), host::HostError);
    EXPECT_TRUE(printer.printsToFile());
    for (const std::string& name : printer.systemPrinters()) EXPECT_FALSE(name.empty());
    printer.choosePrinter("");
    EXPECT_TRUE(printer.printsToFile());
}

}  // namespace
}  // namespace vorra::print
