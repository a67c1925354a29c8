#include "platform/engine/print/CellGeometry.h"

#include <cmath>
#include <string_view>

namespace vorra::engine {

namespace {

bool isCjkSong(std::string_view name) {
    // Fonts whose digits are half an em wide and whose pixel size the host rounds
    // before halving: the Chinese system fonts templates use.
    for (std::string_view f : {"宋体", "新宋体", "SimSun", "NSimSun", "仿宋", "FangSong",
                               "楷体", "KaiTi", "黑体", "SimHei"}) {
        if (name == f) return true;
    }
    return false;
}

}  // namespace

int maxDigitWidthPx(const Font& font) {
    // Measured digit widths at 96 dpi. The host's default column width confirms the
    // two that matter most: 8.43 characters = 64 px under Calibri 11 (7 px digits),
    // 8.38 characters = 72 px under 宋体 11 (8 px digits); ECMA-376 Part 1,
    // §18.3.1.81 (defaultColWidth) gives the rule relating them.
    const double pixelSize = font.size * 96.0 / 72.0;
    if (isCjkSong(font.name)) {
        // Digits are half the rounded pixel size, halves rounded up: 11 pt → 15 px → 8.
        return std::max(1, static_cast<int>(std::ceil(std::round(pixelSize) / 2.0)));
    }
    double digitEm = 0.55;  // Arial and most sans-serif faces
    if (font.name == "Calibri") digitEm = 0.507;
    if (font.name == "Times New Roman") digitEm = 0.5;
    return std::max(1, static_cast<int>(std::lround(pixelSize * digitEm)));
}

int columnWidthPx(double characters, int maxDigitWidth) {
    if (!(characters > 0)) return 0;
    const double mdw = maxDigitWidth;
    if (characters < 1) {
        // Below one character the five pixels of padding shrink with the width.
        return static_cast<int>(std::lround(characters * (mdw + 5)));
    }
    // ECMA-376 Part 1, §18.3.1.13 (col, width): the stored width adds 5 pixels of
    // padding and is truncated to 1/256 of a character; pixels follow from it.
    const double stored = std::trunc((characters * mdw + 5) / mdw * 256) / 256;
    return static_cast<int>(std::trunc((256 * stored + std::trunc(128 / mdw)) / 256 * mdw));
}

double columnWidthPt(double characters, int maxDigitWidth) {
    return columnWidthPx(characters, maxDigitWidth) * kPointsPerPixel;
}

CellGeometry::CellGeometry(const Sheet& sheet, const StyleSheet& styles)
    : sheet_(sheet),
      maxDigitWidth_(maxDigitWidthPx(styles.fonts.empty() ? Font{} : styles.fonts.front())) {}

double CellGeometry::columnWidth(int column) const {
    double chars = sheet_.defaultColumnWidth;
    if (auto it = sheet_.columns.find(column); it != sheet_.columns.end()) {
        if (it->second.hidden) return 0;
        if (it->second.width >= 0) chars = it->second.width;
    }
    return columnWidthPt(chars, maxDigitWidth_);
}

double CellGeometry::rowHeight(int row) const {
    double height = sheet_.defaultRowHeight;
    if (auto it = sheet_.rows.find(row); it != sheet_.rows.end()) {
        if (it->second.hidden) return 0;
        if (it->second.height >= 0) height = it->second.height;
    }
    return std::max(0.0, height);
}

double CellGeometry::columnsWidth(int left, int right) const {
    double sum = 0;
    for (int c = left; c <= right; ++c) sum += columnWidth(c);
    return sum;
}

double CellGeometry::rowsHeight(int top, int bottom) const {
    double sum = 0;
    for (int r = top; r <= bottom; ++r) sum += rowHeight(r);
    return sum;
}

}  // namespace vorra::engine
