#pragma once
// Reading the book columns of the fill-in sheet, with the two end-of-column rules:
// the last used row (going up from row 65536, passing over gaps) and the first empty
// row (going down from a start row, stopping at the first gap).

#include <optional>
#include <string>
#include <vector>

#include "addin/frame/host/Host.h"

namespace vorra {

int lastUsedRow(host::Worksheet& sheet, int column);
int firstEmptyRow(host::Worksheet& sheet, int column, int startRow);

// The values of one column from top to bottom, whether the host gave one cell as a
// scalar or several as an array.
std::vector<host::Value> columnValues(const host::Worksheet& sheet, int column, int top,
                                      int bottom);

// The first row from startRow to lastRow whose cell in the column equals the empty
// text; with a guard column, only a row whose guard cell is empty as well. Nothing when
// every row is taken. Host errors reach the caller.
std::optional<int> firstBlankRow(const host::Worksheet& sheet, int column, int startRow,
                                 int lastRow, int guardColumn = 0);

// The values of a column from row 8 to the given row as list entries. A block of one
// cell reads as a single value, not as a list: that is a host error here, as it is
// for a list assignment. A last row above 8 reads rows last..8 (the heading shows).
std::vector<std::string> columnEntries(host::Worksheet& sheet, int column, int lastRow);

// The cells of a column from row 8 to the given row as texts, one per cell.
std::vector<std::string> columnTexts(host::Worksheet& sheet, int column, int lastRow);

// Finds a text in a block of a column as the host's find does with only the text
// given; the row of the first match.
std::optional<int> findInColumn(host::Worksheet& sheet, int column, int firstRow, int lastRow,
                                const std::string& text);

// Copies D(r):I(r) of a sheet to D(target):I(target) of the same sheet; texts stay
// texts (an account keeps its digits whatever the target cell's number format).
void copyUnitRow(host::Worksheet& sheet, int row, int targetRow);

std::string columnAddress(int column, int firstRow, int lastRow);

}  // namespace vorra
