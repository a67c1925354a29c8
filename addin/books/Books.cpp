#include "addin/books/Books.h"

#include <algorithm>

#include "addin/frame/BookColumns.h"
#include "addin/frame/FillInCells.h"
#include "addin/books/EntryText.h"

namespace vorra::books {

using host::Area;
using host::CellRef;
using host::resume;

std::shared_ptr<host::Worksheet> fillInSheet(host::Application& app) {
    std::shared_ptr<host::Worksheet> sheet;
    resume([&] { sheet = app.sheets(layout::kSheetFillIn); });
    return sheet;
}

void liftProtection(host::Worksheet* sheet) {
    if (sheet) resume([&] { sheet->unprotect(layout::kSheetPassword); });
}

void restoreProtection(host::Worksheet* sheet) {
    if (sheet) resume([&] { sheet->protect(layout::kSheetPassword); });
}

int firstFreeRow(host::Worksheet& sheet, int column, int startRow, int guardColumn) {
    int found = 0;
    resume([&] {
        found = firstBlankRow(sheet, column, startRow, host::kMaxRows, guardColumn).value_or(0);
    });
    return found;
}

namespace {

bool sameEntryText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

}  // namespace

int countEntries(host::Worksheet& sheet, int column, int freeRow, const std::string& text) {
    if (freeRow < layout::kBookFirstRow) return 0;
    int count = 0;
    resume([&] {
        for (const host::Value& cell : columnValues(sheet, column, layout::kBookFirstRow, freeRow))
            if (!cell.isEmpty() && sameEntryText(cell.toText(), text)) ++count;
    });
    return count;
}

void CellWriter::set(int row, int column, const host::Value& value) {
    if (!resume([&] { sheet_.cells(row, column).setValue(keptText(value)); })) failed_ = true;
}

void CellWriter::set(const char* reference, const host::Value& value) {
    if (!resume([&] { sheet_.range(reference).setValue(keptText(value)); })) failed_ = true;
}

BookWrite writeFillInSheet(host::Application& app, const std::function<void(CellWriter&)>& writes) {
    if (!fillInSheet(app)) return BookWrite::NoSheet;
    bool failed = true;  // also when the protection cannot be lifted
    resume([&] {
        writeFillInCells([&](host::Worksheet& sheet) {
            CellWriter writer(sheet);
            writes(writer);
            failed = writer.failed();
        });
    });
    return failed ? BookWrite::Failed : BookWrite::Done;
}

std::vector<int> findAllRows(host::Worksheet& sheet, const Area& within, const std::string& text) {
    std::vector<int> rows;
    resume([&] {
        host::FindOptions options;
        options.what = text;
        options.lookIn = host::LookIn::Values;
        options.lookAt = host::LookAt::Part;
        auto first = sheet.find(within, options);
        if (!first) return;
        // The host wraps round to the first match; the range size bounds a host that
        // never does.
        CellRef cell = *first;
        for (long long n = 0; n < within.count(); ++n) {
            rows.push_back(cell.row);
            auto next = sheet.findNext(within, cell);
            if (!next || *next == *first) break;
            cell = *next;
        }
    });
    return rows;
}

UnitRecord unitAt(host::Worksheet& sheet, int row) {
    UnitRecord unit;
    unit.row = row;
    for (int i = 0; i < 6; ++i)
        resume([&] { unit.fields[size_t(i)] = sheet.displayText({row, layout::kColShortName + i}); });
    return unit;
}

std::vector<int> searchUnitRows(host::Worksheet& sheet, const std::string& text) {
    std::vector<int> rows = findAllRows(
        sheet, {layout::kBookFirstRow, layout::kColAccountName, kSearchLastRow, layout::kColAccountName}, text);
    if (rows.empty())
        rows = findAllRows(
            sheet, {layout::kBookFirstRow, layout::kColShortName, kSearchLastRow, layout::kColShortName}, text);
    return rows;
}

std::vector<UnitRecord> searchUnits(host::Worksheet& sheet, const std::string& text) {
    const std::vector<int> rows = searchUnitRows(sheet, text);
    std::vector<UnitRecord> units;
    units.reserve(rows.size());
    for (int row : rows) units.push_back(unitAt(sheet, row));
    return units;
}

std::vector<PurposeRecord> searchPurposes(host::Worksheet& sheet, const std::string& text) {
    std::vector<int> rows = findAllRows(
        sheet, {layout::kBookFirstRow, layout::kColPurpose, kSearchLastRow, layout::kColPurpose}, text);
    std::vector<PurposeRecord> purposes;
    purposes.reserve(rows.size());
    for (int row : rows) {
        PurposeRecord p;
        p.row = row;
        resume([&] { p.code = sheet.displayText({row, layout::kColPurposeCode}); });
        resume([&] { p.text = sheet.displayText({row, layout::kColPurpose}); });
        purposes.push_back(std::move(p));
    }
    return purposes;
}

void setCurrentUnit(host::Worksheet& sheet, int currentRow, const UnitRecord& unit) {
    const Area target{currentRow, layout::kColShortName, currentRow, layout::kColCounty};
    bool copied = false;
    if (unit.row >= layout::kBookFirstRow) {
        resume([&] {
            if (sheet.displayText({unit.row, layout::kColAccountName}) != unit.accountName()) return;
            // Values keep their kind: a text of digits stays text, a text starting with
            // "=" no formula.
            sheet.write(target, keptTexts(sheet.read({unit.row, layout::kColShortName, unit.row, layout::kColCounty})));
            copied = true;
        });
    }
    if (copied) return;
    host::Array2D texts(1, 6);
    for (int i = 0; i < 6; ++i) texts.at(1, i + 1) = keptText(host::Value::text(unit.fields[size_t(i)]));
    resume([&] { sheet.write(target, texts); });
}

void setCurrentPurpose(host::Worksheet& sheet, const std::string& purpose) {
    resume([&] { sheet.range(layout::kPurposeCell).setValue(keptText(host::Value::text(purpose))); });
}

int rowWithAccount(host::Worksheet& sheet, const std::string& typedAccount, int lastRow) {
    const std::string wanted = accountDigits(typedAccount);
    if (wanted.empty() || lastRow < layout::kBookFirstRow) return 0;
    int found = 0;
    resume([&] {
        auto cells = columnValues(sheet, layout::kColAccount, layout::kBookFirstRow, lastRow);
        for (size_t i = 0; i < cells.size(); ++i) {
            if (accountDigitsOfCell(cells[i]) == wanted) {
                found = layout::kBookFirstRow + static_cast<int>(i);
                return;
            }
        }
    });
    return found;
}

}  // namespace vorra::books
