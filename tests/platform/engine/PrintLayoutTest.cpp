// Print layout: where each printed text lands on the paper, in points.
#include "platform/engine/print/PrintLayout.h"

#include <gtest/gtest.h>

#include "addin/frame/host/HostError.h"
#include "platform/engine/print/CellGeometry.h"
#include "platform/engine/print/PaperSizes.h"

namespace vorra::engine {
namespace {

using host::HostError;

constexpr double kMargin = 0.5;  // inches, 36 pt
constexpr double kDefaultColumnPt = 54;  // 8.38 characters of 宋体 11: 72 px
constexpr double kTenCharsPt = 63.75;    // 10 characters of 宋体 11: 85 px

class PrintLayoutTest : public ::testing::Test {
protected:
    PrintLayoutTest() {
        sheet.name = "转账支票";
        sheet.pageSetup.marginLeft = sheet.pageSetup.marginRight = kMargin;
        sheet.pageSetup.marginTop = sheet.pageSetup.marginBottom = kMargin;
    }

    void put(int row, int column, Value v, int style = 0) {
        Cell& c = sheet.cells.at({row, column});
        c.value = std::move(v);
        c.style = style;
    }
    void text(int row, int column, const std::string& s, int style = 0) {
        put(row, column, Value::text(s), style);
    }
    int style(CellFormat f) { return styles.internFormat(f); }

    PrintLayout layout() { return layoutSheet(sheet, styles); }

    static const TextRun& runAt(const PrintPage& page, CellRef c) {
        for (const TextRun& r : page.runs)
            if (r.cell == c) return r;
        throw std::runtime_error("no run at " + relativeAddress(Area::of(c)));
    }

    Sheet sheet;
    StyleSheet styles;
};

void expectRect(const RectPt& r, double x, double y, double w, double h) {
    EXPECT_NEAR(r.x, x, 1e-6);
    EXPECT_NEAR(r.y, y, 1e-6);
    EXPECT_NEAR(r.width, w, 1e-6);
    EXPECT_NEAR(r.height, h, 1e-6);
}

Font fontOf(const std::string& name, double size) {
    Font f;
    f.name = name;
    f.size = size;
    return f;
}

std::string errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const HostError& e) {
        return e.what();
    }
    return "no error";
}

TEST(CellGeometry, ColumnWidthsFollowTheDefaultFontsDigitWidth) {
    EXPECT_EQ(maxDigitWidthPx(fontOf("宋体", 11)), 8);
    EXPECT_EQ(maxDigitWidthPx(fontOf("宋体", 12)), 8);
    EXPECT_EQ(maxDigitWidthPx(fontOf("Calibri", 11)), 7);
    EXPECT_EQ(maxDigitWidthPx(fontOf("Arial", 10)), 7);
    // The default columns of the two default fonts.
    EXPECT_EQ(columnWidthPx(8.38, 8), 72);
    EXPECT_EQ(columnWidthPx(8.43, 7), 64);
    EXPECT_EQ(columnWidthPx(10, 8), 85);
    EXPECT_EQ(columnWidthPx(0, 8), 0);
    EXPECT_EQ(columnWidthPx(-3, 8), 0);
    EXPECT_EQ(columnWidthPx(0.5, 8), 7);  // narrow column: the padding shrinks too
    EXPECT_DOUBLE_EQ(columnWidthPt(8.38, 8), kDefaultColumnPt);
}

TEST(PaperSizes, StandardCodesAndBankFormsShareOneTable) {
    auto a4 = paperByCode(9);
    ASSERT_TRUE(a4);
    EXPECT_EQ(a4->widthMm, 210);
    EXPECT_EQ(a4->heightMm, 297);
    EXPECT_EQ(paperByCode(11)->name, "A5");
    EXPECT_FALSE(paperByCode(0));
    EXPECT_FALSE(paperByCode(9999));
    for (const char* form : {"转账支票", "现金支票", "进账单"}) {
        auto p = paperByName(form);
        ASSERT_TRUE(p) << form;
        EXPECT_EQ(p->code, 0);
        EXPECT_GT(p->widthMm, p->heightMm) << form;  // fed long side across
    }
    PageSetup setup;
    applyPaper(setup, *paperByName("转账支票"));
    EXPECT_EQ(setup.paperSize, 0);
    EXPECT_EQ(setup.paperWidthMm, paperByName("转账支票")->widthMm);
    applyPaper(setup, *a4);
    EXPECT_EQ(setup.paperSize, 9);
}

// Files of other programs may state no paper code (LibreOffice writes paperSize="0"
// for a bill's own paper): the stated size, else the paper of the bill the sheet is
// named after, else A4, and the page setup says which.
TEST(PaperSizes, WithoutAPaperCodeTheStatedSizeThenTheBillFormThenA4AndThePageSetupSaysWhich) {
    struct Case {
        int code;
        double width, height;
        const char* sheet;
        double expectedWidth, expectedHeight;
        const char* shown;
    };
    const Case cases[] = {
        {9, 0, 0, "转账支票", 210, 297, "A4（210 × 297 毫米）"},
        {0, 200, 100, "转账支票", 200, 100, "自定义（200 × 100 毫米）"},
        {0, 0, 0, "转账支票", 240, 80, "转账支票（240 × 80 毫米）：文件未给出纸张大小，按票据的纸张"},
        {0, 0, 0, "工行转账支票(新)", 240, 80, "转账支票（240 × 80 毫米）：文件未给出纸张大小，按票据的纸张"},
        {0, 0, 0, "Sheet1", 210, 297, "A4（210 × 297 毫米）：文件未给出纸张大小，按默认纸张"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        PageSetup setup;
        setup.paperSize = c.code;
        setup.paperWidthMm = c.width;
        setup.paperHeightMm = c.height;
        auto paper = resolvePaper(setup, c.sheet);
        ASSERT_TRUE(paper);
        EXPECT_EQ(paper->widthMm, c.expectedWidth);
        EXPECT_EQ(paper->heightMm, c.expectedHeight);
        EXPECT_EQ(describePaper(setup, c.sheet), c.shown);
    }
    WorkbookModel wb;
    wb.sheets.push_back(std::make_unique<Sheet>());
    wb.sheets[0]->name = "转账支票";
    wb.sheets[0]->pageSetup.paperSize = 0;
    wb.sheets[0]->cells.at({1, 1}).value = Value::text("收款人");
    PrintLayout layout = layoutSheet(wb, 0);
    EXPECT_NEAR(layout.paperWidth, 240 * kPointsPerMm, 0.01);
    EXPECT_NEAR(layout.paperHeight, 80 * kPointsPerMm, 0.01);
}

TEST_F(PrintLayoutTest, KnownCellsSitAtTheirColumnAndRowOffsets) {
    sheet.columns[3].width = 10;
    sheet.rows[3].height = 20;
    sheet.printArea = Area{2, 2, 4, 4};
    text(2, 2, "收款人");
    text(3, 3, "人民币");
    text(4, 4, "用途");
    PrintLayout l = layout();
    ASSERT_EQ(l.pages.size(), 1u);
    EXPECT_NEAR(l.paperWidth, 595.2756, 1e-3);  // A4
    EXPECT_NEAR(l.paperHeight, 841.8898, 1e-3);
    expectRect(l.printable, 36, 36, l.paperWidth - 72, l.paperHeight - 72);
    const PrintPage& page = l.pages[0];
    ASSERT_EQ(page.runs.size(), 3u);
    expectRect(runAt(page, {2, 2}).box, 36, 36, kDefaultColumnPt, 13.5);
    expectRect(runAt(page, {3, 3}).box, 36 + kDefaultColumnPt, 36 + 13.5, kTenCharsPt, 20);
    expectRect(runAt(page, {4, 4}).box, 36 + kDefaultColumnPt + kTenCharsPt, 36 + 33.5,
               kDefaultColumnPt, 13.5);
    EXPECT_EQ(runAt(page, {2, 2}).text, "收款人");
    EXPECT_EQ(runAt(page, {2, 2}).fontName, "宋体");
    EXPECT_EQ(runAt(page, {2, 2}).fontSize, 11);
}

TEST_F(PrintLayoutTest, CellsOutsideThePrintAreaAreNotPrinted) {
    sheet.printArea = Area{2, 2, 3, 3};
    text(1, 1, "above");
    text(2, 4, "right of it");
    text(4, 2, "below");
    text(3, 3, "inside");
    PrintLayout l = layout();
    ASSERT_EQ(l.pages.size(), 1u);
    ASSERT_EQ(l.pages[0].runs.size(), 1u);
    EXPECT_EQ(l.pages[0].runs[0].text, "inside");
    expectRect(l.pages[0].runs[0].box, 36 + kDefaultColumnPt, 36 + 13.5, kDefaultColumnPt, 13.5);
}

TEST_F(PrintLayoutTest, WithoutPrintAreaTheSheetPrintsFromA1ToItsLastText) {
    text(3, 2, "x");
    text(5, 4, "y");
    sheet.cells.at({9, 9});  // an empty cell does not widen the printed area
    PrintLayout l = layout();
    EXPECT_EQ(l.area, (Area{1, 1, 5, 4}));
    expectRect(runAt(l.pages[0], {3, 2}).box, 36 + kDefaultColumnPt, 36 + 27, kDefaultColumnPt,
               13.5);
}

TEST_F(PrintLayoutTest, MergedCellsPrintTheirFirstCellOverTheWholeArea) {
    sheet.columns[3].width = 10;
    sheet.merges.push_back(Area{2, 2, 3, 4});
    text(2, 2, "壹万贰仟元整", style({.hAlign = HAlign::Center, .vAlign = VAlign::Center}));
    text(2, 3, "hidden under the merge");
    text(3, 4, "also hidden");
    PrintLayout l = layout();
    ASSERT_EQ(l.pages[0].runs.size(), 1u);
    const TextRun& run = l.pages[0].runs[0];
    expectRect(run.box, 36 + kDefaultColumnPt, 36 + 13.5, kDefaultColumnPt * 2 + kTenCharsPt, 27);
    EXPECT_EQ(run.hAlign, HAlign::Center);
    EXPECT_EQ(run.vAlign, VAlign::Center);
    // A merged area is a closed field: the text does not spill out of it.
    EXPECT_EQ(run.clip, run.box);
}

TEST_F(PrintLayoutTest, HiddenRowsAndColumnsTakeNoRoomAndPrintNothing) {
    sheet.columns[2].hidden = true;
    sheet.rows[2].hidden = true;
    text(1, 1, "a");
    text(2, 1, "in hidden row");
    text(1, 2, "in hidden column");
    text(3, 3, "c");
    PrintLayout l = layout();
    ASSERT_EQ(l.pages[0].runs.size(), 2u);
    expectRect(runAt(l.pages[0], {3, 3}).box, 36 + kDefaultColumnPt, 36 + 13.5, kDefaultColumnPt,
               13.5);
}

TEST_F(PrintLayoutTest, GeneralAlignmentPutsNumbersRightAndTextLeft) {
    put(1, 1, Value::number(1234.5));
    text(1, 2, "text");
    put(1, 3, Value::boolean(true));
    text(1, 4, "right", style({.hAlign = HAlign::Right, .vAlign = VAlign::Top}));
    text(1, 5, "wrapped", style({.hAlign = HAlign::Justify}));
    text(2, 1, "分散", style({.hAlign = HAlign::Distributed}));
    PrintLayout l = layout();
    const PrintPage& p = l.pages[0];
    EXPECT_EQ(runAt(p, {1, 1}).hAlign, HAlign::Right);
    EXPECT_EQ(runAt(p, {1, 1}).text, "1234.5");
    EXPECT_TRUE(runAt(p, {1, 1}).numeric);
    EXPECT_FALSE(runAt(p, {1, 2}).numeric);
    EXPECT_EQ(runAt(p, {1, 2}).hAlign, HAlign::Left);
    EXPECT_EQ(runAt(p, {1, 3}).hAlign, HAlign::Center);
    EXPECT_EQ(runAt(p, {1, 4}).hAlign, HAlign::Right);
    EXPECT_EQ(runAt(p, {1, 4}).vAlign, VAlign::Top);
    EXPECT_EQ(runAt(p, {1, 2}).vAlign, VAlign::Bottom);
    EXPECT_TRUE(runAt(p, {1, 5}).wrap);
    EXPECT_EQ(runAt(p, {2, 1}).hAlign, HAlign::Distributed);
    EXPECT_TRUE(runAt(p, {2, 1}).wrap);
    EXPECT_FALSE(runAt(p, {1, 2}).wrap);
    EXPECT_FALSE(runAt(p, {1, 2}).shrinkToFit);

    text(1, 6, "shrunk", style({.shrinkToFit = true}));
    text(1, 7, "wrapped, so not shrunk", style({.wrapText = true, .shrinkToFit = true}));
    PrintLayout again = layout();
    EXPECT_TRUE(runAt(again.pages[0], {1, 6}).shrinkToFit);
    EXPECT_FALSE(runAt(again.pages[0], {1, 7}).shrinkToFit);
}

TEST_F(PrintLayoutTest, UnwrappedTextSpillsIntoEmptyNeighboursOnly) {
    sheet.printArea = Area{1, 1, 2, 6};
    text(1, 2, "a long payee name");  // spills over C and D, stops at E
    text(1, 5, "next");
    put(2, 2, Value::number(123456789));  // numbers never spill
    text(2, 4, "right", style({.hAlign = HAlign::Right}));  // spills left over C, stops at B
    PrintLayout l = layout();
    const PrintPage& p = l.pages[0];
    expectRect(runAt(p, {1, 2}).clip, 36 + kDefaultColumnPt, 36, kDefaultColumnPt * 3, 13.5);
    EXPECT_EQ(runAt(p, {2, 2}).clip, runAt(p, {2, 2}).box);
    expectRect(runAt(p, {2, 4}).clip, 36 + kDefaultColumnPt * 2, 36 + 13.5, kDefaultColumnPt * 2,
               13.5);
    // The last column spills to the edge of the print area, no further.
    expectRect(runAt(p, {1, 5}).clip, 36 + kDefaultColumnPt * 4, 36, kDefaultColumnPt * 2, 13.5);
}

TEST_F(PrintLayoutTest, FontsAndColoursComeFromTheCellFormat) {
    Font redFont = fontOf("黑体", 14);
    redFont.bold = true;
    redFont.colorIndex = 3;
    Font blueFont = fontOf("Arial", 11);
    blueFont.italic = true;
    blueFont.colorRgb = "FF0000FF";
    int red = styles.internFont(redFont);
    int blue = styles.internFont(blueFont);
    text(1, 1, "red", style({.fontId = red}));
    text(1, 2, "blue", style({.fontId = blue}));
    text(1, 3, "bad font id", style({.fontId = 99}));
    PrintLayout l = layout();
    const TextRun& r = runAt(l.pages[0], {1, 1});
    EXPECT_EQ(r.fontName, "黑体");
    EXPECT_EQ(r.fontSize, 14);
    EXPECT_TRUE(r.bold);
    EXPECT_EQ(r.rgb, 0xFF0000u);
    EXPECT_EQ(runAt(l.pages[0], {1, 2}).rgb, 0x0000FFu);
    EXPECT_TRUE(runAt(l.pages[0], {1, 2}).italic);
    EXPECT_EQ(runAt(l.pages[0], {1, 3}).fontName, "宋体");  // falls back to the default font
    EXPECT_EQ(runAt(l.pages[0], {1, 3}).rgb, 0u);
}

TEST_F(PrintLayoutTest, CustomPaperLandscapeAndMarginsPlaceTheArea) {
    sheet.pageSetup.paperSize = 0;
    sheet.pageSetup.paperWidthMm = 80;
    sheet.pageSetup.paperHeightMm = 240;
    sheet.pageSetup.orientation = Orientation::Landscape;
    sheet.pageSetup.marginLeft = 0.25;
    sheet.pageSetup.marginTop = 1;
    text(1, 1, "x");
    PrintLayout l = layout();
    EXPECT_NEAR(l.paperWidth, 240 * 72 / 25.4, 1e-9);
    EXPECT_NEAR(l.paperHeight, 80 * 72 / 25.4, 1e-9);
    expectRect(l.pages[0].runs[0].box, 18, 72, kDefaultColumnPt, 13.5);
}

TEST_F(PrintLayoutTest, CentringPutsTheBandMidwayBetweenTheMargins) {
    sheet.pageSetup.centerHorizontally = true;
    sheet.pageSetup.centerVertically = true;
    sheet.printArea = Area{1, 1, 2, 2};
    text(1, 1, "x");
    PrintLayout l = layout();
    const double bandW = 2 * kDefaultColumnPt, bandH = 27;
    expectRect(l.pages[0].runs[0].box, 36 + (l.printable.width - bandW) / 2,
               36 + (l.printable.height - bandH) / 2, kDefaultColumnPt, 13.5);
}

TEST_F(PrintLayoutTest, ScaleShrinksCellsAndFontsButNotMargins) {
    sheet.pageSetup.scale = 50;
    text(2, 2, "x");
    PrintLayout l = layout();
    EXPECT_DOUBLE_EQ(l.scale, 0.5);
    const TextRun& r = l.pages[0].runs[0];
    expectRect(r.box, 36 + kDefaultColumnPt / 2, 36 + 13.5 / 2, kDefaultColumnPt / 2, 13.5 / 2);
    EXPECT_DOUBLE_EQ(r.fontSize, 5.5);
    EXPECT_DOUBLE_EQ(r.insetX, kTextInsetXPt / 2);
}

TEST_F(PrintLayoutTest, FitToPageChoosesTheLargestWholePercentThatFits) {
    sheet.printArea = Area{1, 1, 1, 20};  // 20 × 54 pt = 1080 pt across, 523.28 pt of room
    text(1, 20, "last");
    sheet.pageSetup.fitToPage = true;
    sheet.pageSetup.fitToWidth = 1;
    sheet.pageSetup.fitToHeight = 0;
    PrintLayout l = layout();
    EXPECT_DOUBLE_EQ(l.scale, 0.48);  // 523.28 / 1080 = 0.4845
    EXPECT_EQ(l.pages.size(), 1u);
    // A small area is never enlarged.
    sheet.printArea = Area{1, 1, 1, 1};
    EXPECT_DOUBLE_EQ(layout().scale, 1.0);
}

TEST_F(PrintLayoutTest, PageBreaksRunDownThenOver) {
    // A5 with half-inch margins: 348.66 pt × 523.28 pt of room, so 6 columns of 54 pt
    // and 38 rows of 13.5 pt fit on a page.
    sheet.pageSetup.paperSize = 11;
    sheet.printArea = Area{1, 1, 50, 8};
    text(1, 1, "first");
    text(39, 1, "second page");
    text(1, 7, "third page");
    text(50, 8, "fourth page");
    PrintLayout l = layout();
    ASSERT_EQ(l.pages.size(), 4u);
    EXPECT_EQ(l.pages[0].cells, (Area{1, 1, 38, 6}));
    EXPECT_EQ(l.pages[1].cells, (Area{39, 1, 50, 6}));
    EXPECT_EQ(l.pages[2].cells, (Area{1, 7, 38, 8}));
    EXPECT_EQ(l.pages[3].cells, (Area{39, 7, 50, 8}));
    // Each page starts again at the margins.
    expectRect(runAt(l.pages[1], {39, 1}).box, 36, 36, kDefaultColumnPt, 13.5);
    expectRect(runAt(l.pages[2], {1, 7}).box, 36, 36, kDefaultColumnPt, 13.5);
    expectRect(runAt(l.pages[3], {50, 8}).box, 36 + kDefaultColumnPt, 36 + 11 * 13.5,
               kDefaultColumnPt, 13.5);
}

TEST_F(PrintLayoutTest, AColumnWiderThanThePageGetsAPageOfItsOwn) {
    sheet.pageSetup.paperSize = 11;
    sheet.columns[2].width = 100;  // 805 px, wider than A5
    sheet.printArea = Area{1, 1, 1, 3};
    text(1, 1, "a");
    PrintLayout l = layout();
    ASSERT_EQ(l.pages.size(), 3u);
    EXPECT_EQ(l.pages[1].cells, (Area{1, 2, 1, 2}));
}

TEST_F(PrintLayoutTest, BadInputIsRefusedWithAMessageThatSaysWhy) {
    text(1, 1, "x");
    auto check = [&](auto change, const std::string& words) {
        const PageSetup setup = sheet.pageSetup;
        const auto printArea = sheet.printArea;
        change();
        EXPECT_NE(errorOf([&] { layout(); }).find(words), std::string::npos) << words;
        sheet.pageSetup = setup;
        sheet.printArea = printArea;
    };
    check([&] { sheet.printArea = Area{0, 1, 3, 3}; }, "lies outside the sheet");
    check([&] { sheet.printArea = Area{1, 1, host::kMaxRows + 1, 3}; }, "lies outside the sheet");
    check([&] { sheet.printArea = Area{5, 1, 3, 3}; }, "lies outside the sheet");
    check([&] { sheet.pageSetup.marginLeft = -0.1; }, "left margin -0.1 in");
    check([&] { sheet.pageSetup.marginBottom = 0; }, "bottom margin 0 in");
    check([&] { sheet.pageSetup.marginTop = std::nan(""); }, "top margin");
    check([&] { sheet.pageSetup.marginLeft = sheet.pageSetup.marginRight = 4.2; },
          "smaller than its margins");
    check(
        [&] {
            sheet.pageSetup.paperSize = 0;
            sheet.pageSetup.paperWidthMm = 20;
            sheet.pageSetup.paperHeightMm = 20;
        },
        "smaller than its margins");
    check(
        [&] {
            sheet.pageSetup.paperSize = 0;
            sheet.pageSetup.paperWidthMm = 0;  // one measure only: no size
            sheet.pageSetup.paperHeightMm = 240;
        },
        "not a positive size");
    check(
        [&] {
            sheet.pageSetup.paperSize = 0;
            sheet.pageSetup.paperWidthMm = 1e300;
            sheet.pageSetup.paperHeightMm = 80;
        },
        "not a positive size");
    check([&] { sheet.pageSetup.paperSize = 4242; }, "paper code 4242");
    check([&] { sheet.pageSetup.scale = 5; }, "scale 5 %");
    check([&] { sheet.printArea = Area{1, 1, host::kMaxRows, host::kMaxColumns}; },
          "more than 10000");
    sheet.cells.clear();
    EXPECT_NE(errorOf([&] { layout(); }).find("nothing to print"), std::string::npos);
}

TEST(PrintLayoutWorkbook, SheetIndexOutsideTheWorkbookIsAHostError) {
    WorkbookModel book;
    try {
        layoutSheet(book, 0);
        FAIL() << "no error";
    } catch (const HostError& e) {
        EXPECT_EQ(e.number(), host::error::kSubscriptOutOfRange);
    }
}

}  // namespace
}  // namespace vorra::engine
