#pragma once
// Cell geometry as the spreadsheet host draws and prints it: column widths given in
// characters of the workbook's default font become whole pixels at 96 dpi, and so
// points; row heights are points already.

#include "platform/engine/model/Model.h"

namespace vorra::engine {

inline constexpr double kPointsPerPixel = 72.0 / 96.0;
inline constexpr double kPointsPerInch = 72.0;
inline constexpr double kPointsPerMm = 72.0 / 25.4;

// Width in pixels (at 96 dpi) of the widest digit of a font: the unit in which the
// file format measures column widths.
int maxDigitWidthPx(const Font& font);

// A column width in characters (as the host's column width shows it, 8.38 for the
// default column under 宋体 11) in whole pixels and in points.
int columnWidthPx(double characters, int maxDigitWidth);
double columnWidthPt(double characters, int maxDigitWidth);

// The sheet's geometry for printing: hidden columns and rows have no extent.
class CellGeometry {
public:
    CellGeometry(const Sheet& sheet, const StyleSheet& styles);

    double columnWidth(int column) const;  // points
    double rowHeight(int row) const;       // points
    // Sum over columns left..right (rows top..bottom), points; 0 for an empty span.
    double columnsWidth(int left, int right) const;
    double rowsHeight(int top, int bottom) const;
    int maxDigitWidth() const { return maxDigitWidth_; }

private:
    const Sheet& sheet_;
    int maxDigitWidth_;
};

}  // namespace vorra::engine
