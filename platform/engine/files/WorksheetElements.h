#pragma once
// The children of a worksheet part in the order the format prescribes. The reader
// files each element it does not model under its place in this order, the writer
// writes modelled and kept elements back in it.

#include <iterator>
#include <string_view>

namespace vorra::engine::files::worksheet {

inline constexpr std::string_view kElementOrder[] = {
    "sheetPr", "dimension", "sheetViews", "sheetFormatPr", "cols", "sheetData",
    "sheetCalcPr", "sheetProtection", "protectedRanges", "scenarios", "autoFilter",
    "sortState", "dataConsolidate", "customSheetViews", "mergeCells", "phoneticPr",
    "conditionalFormatting", "dataValidations", "hyperlinks", "printOptions",
    "pageMargins", "pageSetup", "headerFooter", "rowBreaks", "colBreaks",
    "customProperties", "cellWatches", "ignoredErrors", "smartTags", "drawing",
    "legacyDrawing", "legacyDrawingHF", "drawingHF", "picture", "oleObjects", "controls",
    "webPublishItems", "tableParts", "extLst"};
inline constexpr int kOrderCount = int(std::size(kElementOrder));

enum Order {
    kSheetPr = 0, kDimension = 1, kSheetViews = 2, kSheetFormatPr = 3, kCols = 4,
    kSheetData = 5, kSheetProtection = 7, kMergeCells = 14, kPrintOptions = 19,
    kPageMargins = 20, kPageSetup = 21, kHeaderFooter = 22
};

// The place of a kept fragment that is no child of its own: the sheetPr read from the
// file, which the writer merges with what the model says.
inline constexpr int kSheetPrTemplate = -1;

// The place of a child element in kElementOrder; -1 for an element it does not list.
inline int orderOf(std::string_view name) {
    for (int i = 0; i < kOrderCount; ++i)
        if (kElementOrder[i] == name) return i;
    return -1;
}

}  // namespace vorra::engine::files::worksheet
