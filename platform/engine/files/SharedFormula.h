#pragma once
// Shared formulas: a file may store one formula for a block of cells and let every
// other cell of the block refer to it. The engine keeps one formula text per cell, so
// the reader places the master's formula in each cell of the block by moving its
// reference tokens (formula/FormulaText), never by rewriting the text.

#include <string>
#include <string_view>

#include "platform/engine/formula/FormulaText.h"

namespace vorra::engine::files {

// The master's formula as it reads `rows` below and `columns` right of the master:
// relative parts of references move, absolute parts ($) stay, whole columns move only
// sideways, whole rows only up and down; texts in quotes and names are left alone. A
// reference pushed off the sheet becomes #REF!.
inline std::string shiftFormula(std::string_view formula, int rows, int columns) {
    return formula::shiftFormula(formula, rows, columns);
}

}  // namespace vorra::engine::files
