#include "platform/engine/print/PrintLayout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>

#include "addin/frame/host/Address.h"
#include "addin/frame/host/HostError.h"
#include "platform/engine/format/NumberFormat.h"
#include "platform/engine/print/CellGeometry.h"
#include "platform/engine/model/Palette.h"
#include "platform/engine/print/PaperSizes.h"

namespace vorra::engine {

namespace {

using host::HostError;

[[noreturn]] void refuse(const std::string& sheet, const std::string& why) {
    throw HostError(host::error::kApplicationDefined,
                    "Cannot print sheet \"" + sheet + "\": " + why);
}

std::string number(double d) { return host::numberToText(d); }

constexpr double kMaxPaperMm = 5000;

// Start index of each band of consecutive items whose extents fit `room`; an item
// larger than the room gets a band of its own.
std::vector<int> bandStarts(const std::vector<double>& extents, double room) {
    std::vector<int> starts;
    double used = 0;
    for (int i = 0; i < static_cast<int>(extents.size()); ++i) {
        if (starts.empty() || (used > 0 && used + extents[i] > room + 1e-9)) {
            starts.push_back(i);
            used = 0;
        }
        used += extents[i];
    }
    return starts;
}

// Index of the band that holds item i.
int bandOf(const std::vector<int>& starts, int i) {
    auto it = std::upper_bound(starts.begin(), starts.end(), i);
    return static_cast<int>(it - starts.begin()) - 1;
}

// Prefix sums: offsets[i] is the extent of items before item i.
std::vector<double> offsetsOf(const std::vector<double>& extents) {
    std::vector<double> offsets(extents.size() + 1, 0);
    for (size_t i = 0; i < extents.size(); ++i) offsets[i + 1] = offsets[i] + extents[i];
    return offsets;
}

bool isBlank(const Cell* cell) { return cell == nullptr || cell->value.isBlankText(); }

HAlign resolveHAlign(HAlign a, const Value& v) {
    switch (a) {
        case HAlign::General:
            if (v.isNumber()) return HAlign::Right;
            if (v.isBoolean() || v.isError()) return HAlign::Center;
            return HAlign::Left;
        case HAlign::Center:
        case HAlign::CenterContinuous: return HAlign::Center;
        case HAlign::Distributed: return HAlign::Distributed;
        case HAlign::Right: return HAlign::Right;
        case HAlign::Left:
        case HAlign::Fill:
        case HAlign::Justify: return HAlign::Left;
    }
    return HAlign::Left;
}

VAlign resolveVAlign(VAlign a) {
    switch (a) {
        case VAlign::Top: return VAlign::Top;
        case VAlign::Center:
        case VAlign::Justify:
        case VAlign::Distributed: return VAlign::Center;
        case VAlign::Bottom: return VAlign::Bottom;
    }
    return VAlign::Bottom;
}

RectPt printableAreaOf(const PageSetup& setup, SizePt paper, const std::string& sheet) {
    const std::array<std::pair<const char*, double>, 4> margins{{
        {"left", setup.marginLeft},
        {"right", setup.marginRight},
        {"top", setup.marginTop},
        {"bottom", setup.marginBottom},
    }};
    for (auto [side, inches] : margins) {
        if (!(inches > 0) || !std::isfinite(inches))
            refuse(sheet, std::string("the ") + side + " margin " + number(inches) +
                              " in must be greater than zero");
    }
    RectPt r{setup.marginLeft * kPointsPerInch, setup.marginTop * kPointsPerInch, 0, 0};
    r.width = paper.width - r.x - setup.marginRight * kPointsPerInch;
    r.height = paper.height - r.y - setup.marginBottom * kPointsPerInch;
    if (r.width <= 0 || r.height <= 0)
        refuse(sheet, "the paper (" + number(paper.width / kPointsPerMm) + " × " +
                          number(paper.height / kPointsPerMm) + " mm) is smaller than its margins");
    return r;
}

class SheetLayouter {
public:
    SheetLayouter(const Sheet& sheet, const StyleSheet& styles, format::DateSystem dates)
        : sheet_(sheet), styles_(styles), dates_(dates), geometry_(sheet, styles) {}

    PrintLayout run() {
        PrintLayout layout;
        layout.sheetName = sheet_.name;
        const PageSetup& setup = sheet_.pageSetup;
        SizePt paper = paperSizePt(setup, sheet_.name);
        layout.paperWidth = paper.width;
        layout.paperHeight = paper.height;
        layout.printable = printableAreaOf(setup, paper, sheet_.name);
        layout.area = printedArea();
        area_ = layout.area;

        widths_.resize(area_.columns());
        for (int c = area_.left; c <= area_.right; ++c)
            widths_[c - area_.left] = geometry_.columnWidth(c);
        heights_.resize(area_.rows());
        for (int r = area_.top; r <= area_.bottom; ++r)
            heights_[r - area_.top] = geometry_.rowHeight(r);
        colOffsets_ = offsetsOf(widths_);
        rowOffsets_ = offsetsOf(heights_);

        scale_ = chooseScale(setup, layout.printable);
        layout.scale = scale_;
        colBands_ = bandStarts(widths_, layout.printable.width / scale_);
        rowBands_ = bandStarts(heights_, layout.printable.height / scale_);
        const double pageCount = double(colBands_.size()) * double(rowBands_.size());
        if (pageCount > kMaxPrintPages)
            refuse(sheet_.name, "the print area would take " + number(pageCount) +
                                    " pages, more than " + std::to_string(kMaxPrintPages));

        // Pages run down, then over.
        for (size_t cb = 0; cb < colBands_.size(); ++cb) {
            for (size_t rb = 0; rb < rowBands_.size(); ++rb) {
                PrintPage page;
                page.cells = {area_.top + rowBands_[rb], area_.left + colBands_[cb],
                              area_.top + bandEnd(rowBands_, rb, heights_.size()),
                              area_.left + bandEnd(colBands_, cb, widths_.size())};
                layout.pages.push_back(std::move(page));
            }
        }
        pageOrigins(layout);
        placeTexts(layout);
        return layout;
    }

    static SizePt paperSizePt(const PageSetup& setup, const std::string& sheet) {
        // A code of the table, a custom size, or, when the file states no paper, the
        // paper of the sheet's bank form or A4 (resolvePaper).
        auto paper = resolvePaper(setup, sheet);
        if (setup.paperSize != 0 && !paper)
            refuse(sheet, "paper code " + std::to_string(setup.paperSize) + " is not a paper size this system knows");
        double wMm = paper ? paper->widthMm : setup.paperWidthMm;
        double hMm = paper ? paper->heightMm : setup.paperHeightMm;
        // A PDF page is at most 200 inches (5080 mm) a side.
        if (!(wMm > 0) || !(hMm > 0) || !(wMm <= kMaxPaperMm) || !(hMm <= kMaxPaperMm))
            refuse(sheet, "the custom paper size " + number(wMm) + " × " + number(hMm) +
                              " mm is not a positive size of at most " + number(kMaxPaperMm) + " mm");
        if (setup.orientation == Orientation::Landscape) std::swap(wMm, hMm);
        return {wMm * kPointsPerMm, hMm * kPointsPerMm};
    }

private:
    Area printedArea() const {
        if (sheet_.printArea) {
            const Area& a = *sheet_.printArea;
            if (!a.valid())
                refuse(sheet_.name, "the print area (rows " + std::to_string(a.top) + "–" +
                                        std::to_string(a.bottom) + ", columns " +
                                        std::to_string(a.left) + "–" +
                                        std::to_string(a.right) + ") lies outside the sheet");
            return a;
        }
        // Without a print area the host prints from A1 to the last cell with content.
        int lastRow = 0, lastColumn = 0;
        for (const auto& [col, cells] : sheet_.cells.columns()) {
            for (const auto& [row, cell] : cells) {
                if (cell.value.isBlankText()) continue;
                CellRef at{row, col};
                Area extent = Area::of(at);
                if (const Area* m = mergeStartingAt(at)) extent = *m;
                lastRow = std::max(lastRow, extent.bottom);
                lastColumn = std::max(lastColumn, extent.right);
            }
        }
        if (lastRow == 0) refuse(sheet_.name, "the sheet has nothing to print");
        return {1, 1, lastRow, lastColumn};
    }

    double chooseScale(const PageSetup& setup, const RectPt& printable) const {
        if (!setup.fitToPage) {
            if (setup.scale < 10 || setup.scale > 400)
                refuse(sheet_.name, "the scale " + std::to_string(setup.scale) +
                                        " % lies outside 10–400 %");
            return setup.scale / 100.0;
        }
        double fit = 1;
        if (setup.fitToWidth > 0 && colOffsets_.back() > 0)
            fit = std::min(fit, printable.width * setup.fitToWidth / colOffsets_.back());
        if (setup.fitToHeight > 0 && rowOffsets_.back() > 0)
            fit = std::min(fit, printable.height * setup.fitToHeight / rowOffsets_.back());
        // The host settles on a whole percentage, never below 10 %.
        return std::max(10.0, std::floor(fit * 100 + 1e-9)) / 100.0;
    }

    static int bandEnd(const std::vector<int>& starts, size_t band, size_t count) {
        return (band + 1 < starts.size() ? starts[band + 1] : static_cast<int>(count)) - 1;
    }

    void pageOrigins(const PrintLayout& layout) {
        const PageSetup& setup = sheet_.pageSetup;
        origins_.clear();
        for (const PrintPage& page : layout.pages) {
            double bandWidth = (colOffsets_[page.cells.right - area_.left + 1] -
                                colOffsets_[page.cells.left - area_.left]) * scale_;
            double bandHeight = (rowOffsets_[page.cells.bottom - area_.top + 1] -
                                 rowOffsets_[page.cells.top - area_.top]) * scale_;
            double x = layout.printable.x, y = layout.printable.y;
            if (setup.centerHorizontally)
                x += std::max(0.0, (layout.printable.width - bandWidth) / 2);
            if (setup.centerVertically)
                y += std::max(0.0, (layout.printable.height - bandHeight) / 2);
            origins_.push_back({x, y});
        }
    }

    const Area* mergeStartingAt(CellRef c) const {
        for (const Area& m : sheet_.merges)
            if (m.top == c.row && m.left == c.column) return &m;
        return nullptr;
    }

    const Area* mergeCovering(CellRef c) const {
        for (const Area& m : sheet_.merges)
            if (m.contains(c)) return &m;
        return nullptr;
    }

    // Whether an unwrapped text may spill into this cell: empty and not merged.
    bool spillable(int row, int column) const {
        CellRef c{row, column};
        return isBlank(sheet_.cells.find(c)) && mergeCovering(c) == nullptr;
    }

    const CellFormat& formatOf(const Cell& cell) const { return styles_.format(cell.style); }

    const Font& fontOf(const CellFormat& format) const { return styles_.font(format.fontId); }

    void placeTexts(PrintLayout& layout) {
        for (const auto& [col, cells] : sheet_.cells.columns()) {
            if (col < area_.left || col > area_.right) continue;
            for (auto it = cells.lower_bound(area_.top);
                 it != cells.end() && it->row <= area_.bottom; ++it) {
                placeText(layout, CellRef{it->row, col}, it->cell);
            }
        }
        // Reading order on each page: top to bottom, left to right.
        for (PrintPage& page : layout.pages) {
            std::sort(page.runs.begin(), page.runs.end(), [](const TextRun& a, const TextRun& b) {
                return a.cell.row != b.cell.row ? a.cell.row < b.cell.row
                                                : a.cell.column < b.cell.column;
            });
        }
    }

    void placeText(PrintLayout& layout, CellRef at, const Cell& cell) {
        Area extent = Area::of(at);
        if (const Area* m = mergeCovering(at)) {
            if (m->top != at.row || m->left != at.column) return;  // shown by its first cell
            extent = *m;
        }
        const int ci = at.column - area_.left, ri = at.row - area_.top;
        if (widths_[ci] <= 0 || heights_[ri] <= 0) return;  // hidden

        const CellFormat& format = formatOf(cell);
        std::string text = styles_.numberFormats.format(cell.value, format.numberFormat, dates_);
        if (text.empty()) return;

        const int cb = bandOf(colBands_, ci), rb = bandOf(rowBands_, ri);
        const size_t pageIndex = static_cast<size_t>(cb) * rowBands_.size() + rb;
        PrintPage& page = layout.pages[pageIndex];
        const auto [originX, originY] = origins_[pageIndex];
        const double bandX = colOffsets_[colBands_[cb]], bandY = rowOffsets_[rowBands_[rb]];

        TextRun run;
        run.cell = at;
        run.box.x = originX + (colOffsets_[ci] - bandX) * scale_;
        run.box.y = originY + (rowOffsets_[ri] - bandY) * scale_;
        run.box.width = geometry_.columnsWidth(extent.left, extent.right) * scale_;
        run.box.height = geometry_.rowsHeight(extent.top, extent.bottom) * scale_;
        run.text = std::move(text);

        const Font& font = fontOf(format);
        run.fontName = font.name;
        run.fontSize = font.size * scale_;
        run.bold = font.bold;
        run.italic = font.italic;
        run.underline = font.underline;
        run.rgb = fontRgb(font);
        run.hAlign = resolveHAlign(format.hAlign, cell.value);
        run.vAlign = resolveVAlign(format.vAlign);
        run.wrap = format.wrapText || format.hAlign == HAlign::Justify ||
                   format.hAlign == HAlign::Distributed;
        run.shrinkToFit = format.shrinkToFit && !run.wrap;
        run.numeric = cell.value.isNumber();
        run.insetX = kTextInsetXPt * scale_;
        run.insetY = kTextInsetYPt * scale_;
        run.clip = spillArea(run, extent, page.cells, cell.value);
        page.runs.push_back(std::move(run));
    }

    // An unwrapped text (not a number) may show over empty neighbours on its page:
    // to the right when left-aligned, to the left when right-aligned, both ways when
    // centred.
    RectPt spillArea(const TextRun& run, const Area& extent, const Area& page,
                     const Value& value) const {
        RectPt clip = run.box;
        if (run.wrap || value.isNumber() || extent.rows() > 1) return clip;
        const bool spillsRight = run.hAlign != HAlign::Right;
        const bool spillsLeft = run.hAlign != HAlign::Left;
        if (spillsRight) {
            for (int c = extent.right + 1; c <= page.right && spillable(extent.top, c); ++c)
                clip.width += widths_[c - area_.left] * scale_;
        }
        if (spillsLeft) {
            for (int c = extent.left - 1; c >= page.left && spillable(extent.top, c); --c) {
                const double w = widths_[c - area_.left] * scale_;
                clip.x -= w;
                clip.width += w;
            }
        }
        return clip;
    }

    const Sheet& sheet_;
    const StyleSheet& styles_;
    format::DateSystem dates_;
    CellGeometry geometry_;
    Area area_;
    std::vector<double> widths_, heights_, colOffsets_, rowOffsets_;
    std::vector<int> colBands_, rowBands_;
    std::vector<std::pair<double, double>> origins_;
    double scale_ = 1;
};

}  // namespace

RectPt printableArea(const PageSetup& setup, const std::string& sheetName) {
    return printableAreaOf(setup, SheetLayouter::paperSizePt(setup, sheetName), sheetName);
}

std::uint32_t fontRgb(const Font& font) {
    if (font.colorRgb.size() == 8 || font.colorRgb.size() == 6) {
        try {
            return static_cast<std::uint32_t>(
                       std::stoul(font.colorRgb, nullptr, 16)) & 0xFFFFFFu;
        } catch (...) {
            // Not hexadecimal: fall back to the index.
        }
    }
    if (font.colorIndex >= 1 && font.colorIndex <= 56) return kPalette[font.colorIndex - 1];
    return 0x000000;
}

PrintLayout layoutSheet(const Sheet& sheet, const StyleSheet& styles, format::DateSystem dates) {
    return SheetLayouter(sheet, styles, dates).run();
}

PrintLayout layoutSheet(const WorkbookModel& workbook, int sheetIndex) {
    if (sheetIndex < 0 || sheetIndex >= static_cast<int>(workbook.sheets.size()) ||
        !workbook.sheets[sheetIndex])
        throw HostError(host::error::kSubscriptOutOfRange,
                        "No sheet number " + std::to_string(sheetIndex + 1) + " to print");
    return layoutSheet(*workbook.sheets[sheetIndex], workbook.styles, workbook.dateSystem());
}

namespace {

std::string millimetres(double points) {
    return host::numberToText(std::round(points / kPointsPerMm * 10) / 10);
}

// "column K goes", "columns K to M go", followed by `where`.
std::string columnSpan(int first, int last, const std::string& where) {
    return first == last ? "column " + host::columnLetters(first) + " goes " + where
                         : "columns " + host::columnLetters(first) + " to " + host::columnLetters(last) + " go " + where;
}

std::string rowSpan(int first, int last, const std::string& where) {
    return first == last ? "row " + std::to_string(first) + " goes " + where
                         : "rows " + std::to_string(first) + " to " + std::to_string(last) + " go " + where;
}

}  // namespace

void requireOnePage(const PrintLayout& layout, const PageSetup& setup) {
    if (layout.pages.empty()) return;
    constexpr double kSlackPt = 0.01;
    const Area& first = layout.pages.front().cells;
    std::vector<std::string> misfits;
    // Cells that go onto further pages.
    if (first.right < layout.area.right)
        misfits.push_back(columnSpan(first.right + 1, layout.area.right, "onto another page"));
    if (first.bottom < layout.area.bottom)
        misfits.push_back(rowSpan(first.bottom + 1, layout.area.bottom, "onto another page"));
    // A cell too large for the page on its own gets a page of its own, past whose
    // margins it reaches.
    int wideFrom = 0, wideTo = 0, tallFrom = 0, tallTo = 0;
    for (const TextRun& run : layout.pages.front().runs) {
        if (run.box.right() > layout.printable.right() + kSlackPt) {
            wideFrom = wideFrom ? std::min(wideFrom, run.cell.column) : run.cell.column;
            wideTo = std::max(wideTo, run.cell.column);
        }
        if (run.box.bottom() > layout.printable.bottom() + kSlackPt) {
            tallFrom = tallFrom ? std::min(tallFrom, run.cell.row) : run.cell.row;
            tallTo = std::max(tallTo, run.cell.row);
        }
    }
    if (wideFrom) misfits.push_back(columnSpan(wideFrom, wideTo, "past the right margin"));
    if (tallFrom) misfits.push_back(rowSpan(tallFrom, tallTo, "past the bottom margin"));
    if (misfits.empty() && layout.pages.size() == 1) return;

    std::string why;
    for (const std::string& m : misfits) why += (why.empty() ? "" : "; ") + m;
    throw HostError(host::error::kPrintPastPage,
                    "The print area " + host::relativeAddress(layout.area) + " of \"" + layout.sheetName +
                        "\" does not fit on one page of its paper (" + millimetres(layout.paperWidth) + " × " +
                        millimetres(layout.paperHeight) + " mm, margins left " +
                        millimetres(setup.marginLeft * kPointsPerInch) + ", right " +
                        millimetres(setup.marginRight * kPointsPerInch) + ", top " +
                        millimetres(setup.marginTop * kPointsPerInch) + ", bottom " +
                        millimetres(setup.marginBottom * kPointsPerInch) + " mm, scale " +
                        host::numberToText(std::round(layout.scale * 100)) + " %)" +
                        (layout.pages.size() > 1 ? ", it would take " + std::to_string(layout.pages.size()) + " pages"
                                                 : std::string()) +
                        (why.empty() ? "" : ": " + why));
}

}  // namespace vorra::engine
