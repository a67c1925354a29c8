#pragma once
// The print layout of one sheet: which cells go on which page and where each cell's
// displayed text lands, in points from the top-left corner of the paper. Pure
// computation from the model; the printer back ends only draw what it says.
//
// Rules, as the spreadsheet host prints:
// - the print area, or else everything from A1 to the last non-empty cell (merged
//   areas included);
// - the paper of the page setup, turned for landscape; margins in inches, not scaled;
// - the cells scaled by the page setup's percentage, or by the largest whole percentage
//   (at most 100) that fits the requested pages when fit-to-page is on;
// - page breaks where the next column or row would cross the printable width or
//   height; pages numbered down, then over;
// - each band of cells optionally centred between the margins;
// - no grid lines, no fills or borders: only the texts, which is what overlay printing
//   needs.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/engine/model/Model.h"

namespace vorra::engine {

struct RectPt {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    double right() const { return x + width; }
    double bottom() const { return y + height; }
    friend bool operator==(const RectPt&, const RectPt&) = default;
};

// One cell's text as printed.
struct TextRun {
    CellRef cell;
    RectPt box;   // the cell, or the whole merged area, on the page
    RectPt clip;  // where the text may show: an unwrapped text spills into empty neighbours
    std::string text;
    std::string fontName;
    double fontSize = 11;  // points, scaled
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::uint32_t rgb = 0;  // 0xRRGGBB
    // Resolved: Left, Center, Right, or Distributed (the characters of each line spread
    // evenly from the left edge to the right edge, as Chinese forms often want).
    HAlign hAlign = HAlign::Left;
    VAlign vAlign = VAlign::Bottom;  // resolved: Top, Center or Bottom only
    bool wrap = false;
    bool shrinkToFit = false;  // an unwrapped text wider than its box is drawn smaller
    bool numeric = false;      // a number: never cut off; shown as "###" when it does not fit
    double insetX = 0;  // distance of the text from the box's left and right edges, points
    double insetY = 0;  // from its top and bottom edges
};

struct PrintPage {
    Area cells;  // the part of the printed area on this page
    std::vector<TextRun> runs;
};

struct PrintLayout {
    std::string sheetName;
    double paperWidth = 0;  // points, as oriented
    double paperHeight = 0;
    double scale = 1;  // 1 = 100 %
    RectPt printable;  // the paper inside the margins
    Area area;         // everything printed
    std::vector<PrintPage> pages;
};

// Distance of cell text from the cell's edges at 100 %: two pixels across, one pixel
// up and down, the inset at which the host's sheet view draws cell text.
inline constexpr double kTextInsetXPt = 1.5;
inline constexpr double kTextInsetYPt = 0.75;

// More pages than this is a print area gone wrong, not a bill: refused.
inline constexpr int kMaxPrintPages = 10000;

// Lays out one sheet. Throws host::HostError with a message that says what is wrong
// for a print area outside the sheet, margins that are not positive, a paper that the
// margins leave no room on, an unknown paper code, a scale outside 10–400 %, a sheet
// with nothing to print or an area of more than kMaxPrintPages pages.
// Dates print in the workbook's date system; a sheet laid out on its own takes the
// date system given.
PrintLayout layoutSheet(const WorkbookModel& workbook, int sheetIndex);
PrintLayout layoutSheet(const Sheet& sheet, const StyleSheet& styles,
                        format::DateSystem dates = format::DateSystem::From1900);

// A bill prints on one page of its paper or not at all: throws host::HostError
// (host::error::kPrintPastPage) for a layout of more than one page, or whose printed
// cells reach past the margins, with a message that names the sheet, its paper,
// margins and scale, and the columns and rows that do not fit.
void requireOnePage(const PrintLayout& layout, const PageSetup& setup);

struct SizePt {
    double width = 0;
    double height = 0;
};

// The paper inside the margins, in points; throws for the page setups layoutSheet
// refuses (paper, margins), naming the sheet in the message.
RectPt printableArea(const PageSetup& setup, const std::string& sheetName);

// The RGB colour of a font: its explicit RGB, else its host colour index in the
// default palette; automatic is black.
std::uint32_t fontRgb(const Font& font);

}  // namespace vorra::engine
