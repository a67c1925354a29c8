#include "addin/frame/BookColumns.h"

#include <algorithm>

#include "addin/frame/FillInCells.h"
#include "addin/frame/TemplateLayout.h"

namespace vorra {

using host::Area;
using host::Range;

std::string columnAddress(int column, int firstRow, int lastRow) {
    std::string letters = host::columnLetters(column);
    return letters + std::to_string(firstRow) + ":" + letters + std::to_string(lastRow);
}

int lastUsedRow(host::Worksheet& sheet, int column) {
    return sheet.cells(layout::kEndSearchRow, column).end(host::Direction::Up).row();
}

int firstEmptyRow(host::Worksheet& sheet, int column, int startRow) {
    return firstBlankRow(sheet, column, startRow, host::kMaxRows - 1)
        .value_or(std::max(startRow, host::kMaxRows));
}

std::vector<host::Value> columnValues(const host::Worksheet& sheet, int column, int top,
                                      int bottom) {
    host::Variant v = sheet.read({top, column, bottom, column});
    std::vector<host::Value> values;
    if (!v.isArray()) {
        values.push_back(v.scalar());
        return values;
    }
    const host::Array2D& a = v.array();
    values.reserve(static_cast<size_t>(a.rows()));
    for (int r = 1; r <= a.rows(); ++r) values.push_back(a.at(r, 1));
    return values;
}

std::optional<int> firstBlankRow(const host::Worksheet& sheet, int column, int startRow,
                                 int lastRow, int guardColumn) {
    // Read a block of rows at a time: a book of tens of thousands of rows is walked in
    // a hundred reads instead of one read per cell.
    constexpr int kChunkRows = 512;
    for (int top = startRow; top <= lastRow; top += kChunkRows) {
        const int bottom = std::min(top + kChunkRows - 1, lastRow);
        const auto keys = columnValues(sheet, column, top, bottom);
        std::vector<host::Value> guards;
        if (guardColumn > 0) guards = columnValues(sheet, guardColumn, top, bottom);
        for (size_t i = 0; i < keys.size(); ++i)
            if (keys[i].isBlankText() && (guards.empty() || guards[i].isBlankText()))
                return top + static_cast<int>(i);
    }
    return std::nullopt;
}

std::vector<std::string> columnEntries(host::Worksheet& sheet, int column, int lastRow) {
    host::Variant block =
        sheet.range(columnAddress(column, layout::kBookFirstRow, lastRow)).value();
    if (!block.isArray())
        throw host::HostError(host::error::kTypeMismatch, "A single cell is not a list");
    std::vector<std::string> entries;
    const auto& rows = block.array();
    entries.reserve(static_cast<size_t>(rows.rows()));
    for (int r = 1; r <= rows.rows(); ++r) entries.push_back(rows.at(r, 1).toText());
    return entries;
}

std::vector<std::string> columnTexts(host::Worksheet& sheet, int column, int lastRow) {
    host::Variant block =
        sheet.range(columnAddress(column, layout::kBookFirstRow, lastRow)).value();
    if (!block.isArray()) return {block.scalar().toText()};
    std::vector<std::string> texts;
    auto& rows = block.array();
    texts.reserve(static_cast<size_t>(rows.rows()));
    for (int r = 1; r <= rows.rows(); ++r) texts.push_back(std::move(rows.at(r, 1)).takeText());
    return texts;
}

std::optional<int> findInColumn(host::Worksheet& sheet, int column, int firstRow, int lastRow,
                                const std::string& text) {
    host::FindOptions options;
    options.what = text;
    auto found = sheet.range(columnAddress(column, firstRow, lastRow)).find(options);
    if (!found) return std::nullopt;
    return found->row();
}

void copyUnitRow(host::Worksheet& sheet, int row, int targetRow) {
    auto source = sheet.range("D" + std::to_string(row) + ":I" + std::to_string(row)).value();
    sheet.range("D" + std::to_string(targetRow) + ":I" + std::to_string(targetRow))
        .setValue(keptTexts(source));
}

}  // namespace vorra
