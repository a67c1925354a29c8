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
// file formats measure column widths. Known default fonts of templates come from a
// table; any other font is measured with its own metrics (fontconfig finds it,
// FreeType measures its digits), and a font that is not installed is estimated.
int maxDigitWidthPx(const Font& font);

// A column width in characters (as the host's column width shows it, 8.38 for the
// default column under 宋体 11) in whole pixels and in points.
int columnWidthPx(double characters, int maxDigitWidth);
double columnWidthPt(double characters, int maxDigitWidth);

// Column widths as both workbook formats store them (ECMA-376 Part 1, §18.3.1.13,
// the same unit in the binary format's column records): the characters plus five
// pixels of padding, in widths of the widest digit. A width below one character
// shrinks its padding with it. The two convert into each other exactly.
double fileColumnWidth(double characters, int maxDigitWidth);
double charactersOfFileWidth(double fileWidth, int maxDigitWidth);
// Pixels of a stored width, the format's rule: Truncate(((256·w + Truncate(128/mdw))/256)·mdw).
int fileColumnWidthPx(double fileWidth, int maxDigitWidth);
// The sheet's default column from its base width in characters (8 unless the file
// says otherwise): the base plus the padding, rounded up to a multiple of 8 pixels,
// in characters (8.38 under 宋体 11, 8.43 under Calibri 11).
double defaultColumnCharacters(double baseWidth, int maxDigitWidth);

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
