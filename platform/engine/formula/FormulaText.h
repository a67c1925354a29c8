#pragma once
// Formula texts rewritten token by token, never by searching the text: the lexer finds
// the references and function names, and the text is rebuilt with just those tokens
// replaced, everything else (texts in quotes, blanks, names) kept as written.
//
// Used by the workbook files: a shared formula stored once for a block of cells is
// placed in each cell of the block by moving its references, and functions newer
// than the file format carry the "_xlfn." prefix in files only.

#include <functional>
#include <string>
#include <string_view>

namespace vorra::engine::formula {

// The formula as it reads in a cell `rows` below and `columns` right of the one it was
// written for: relative parts of references move, absolute parts stay, whole columns
// move only sideways and whole rows only up and down. A reference pushed off the sheet
// becomes #REF! (after its sheet, if it names one). A text that cannot be read is
// given back unchanged.
std::string shiftFormula(std::string_view formula, int rows, int columns);

// The formula as a file writes it: "_xlfn.IFNA(…)" for functions newer than the file
// format.
std::string formulaForFile(std::string_view formula);

// The formula as read from a file: the "_xlfn." prefix of the functions the engine
// knows dropped, so that the cell shows IFNA(…) as the host does.
std::string formulaFromFile(std::string_view formula);

// The formula with every reference and name qualified by a sheet that `isSheet`
// accepts made to name `newName` instead, or #REF! when `newName` is empty (the sheet
// was deleted); a text that cannot be read is given back unchanged. Tells whether the
// formula named that sheet, and whether it named others.
struct SheetRename {
    std::string text;
    bool namesSheet = false;
    bool namesOtherSheets = false;
};
SheetRename renameSheet(std::string_view formula, const std::function<bool(const std::string&)>& isSheet,
                        const std::string& newName);

}  // namespace vorra::engine::formula
