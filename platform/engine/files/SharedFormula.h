#pragma once
// Shared formulas: a file may store one formula for a block of cells and let every
// other cell of the block refer to it. The engine keeps one formula text per cell,
// so the reader moves the master's relative references to each cell of the block.

#include <string>
#include <string_view>

namespace vorra::engine::files {

// The formula text moved by the given number of rows and columns: relative A1
// references shift, absolute parts ($) stay, texts in quotes are left alone.
// A reference pushed off the sheet becomes #REF!.
std::string shiftFormula(std::string_view formula, int rows, int columns);

}  // namespace vorra::engine::files
