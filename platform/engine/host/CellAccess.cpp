// Reading and writing cell contents: scalars and arrays, formulas, typed entries,
// protection of locked cells, and the recalculation and change events that follow.
#include <utility>

#include "platform/engine/format/NumberFormat.h"
#include "platform/engine/host/EngineHost.h"
#include "platform/engine/host/TextMatch.h"
#include "platform/engine/host/TypedEntry.h"

namespace vorra::engine {

using host::Area;
using host::CellRef;
using host::HostError;
using host::Value;
namespace error = host::error;

namespace {

constexpr size_t kMaxCellTextCharacters = 32767;  // the host's limit for one cell
constexpr size_t kMaxFormulaCharacters = 8192;

bool looksLikeDateFormat(const StyleSheet& styles, const std::string& format) {
    if (styles.numberFormats.isDate(format)) return true;
    bool quoted = false;
    for (char c : format) {
        if (c == '"') quoted = !quoted;
        if (!quoted && (c == 'y' || c == 'Y' || c == 'd' || c == 'D' || c == 'h' || c == 'H'))
            return true;
    }
    return false;
}

// What one write needs to know about styles, cached over its cells.
class EntryWriter {
public:
    EntryWriter(WorkbookModel& workbook, FormulaEngine& formulas, int currentYear)
        : styles_(workbook.styles),
          formulas_(formulas),
          dates_(workbook.dateSystem()),
          currentYear_(currentYear) {}

    void store(Cell& cell, const Value& v) {
        cell.formula.clear();
        if (!v.isText()) {
            cell.value = v;
            return;
        }
        const std::string& typed = v.asText();
        if (typed.size() > kMaxCellTextCharacters && characterCount(typed) > kMaxCellTextCharacters)
            throw HostError(error::kApplicationDefined,
                            "A cell holds at most 32,767 characters; the text has " +
                                std::to_string(characterCount(typed)));
        bool textCell = isTextStyle(cell.style);
        if (!textCell && typed.size() > 1 && typed[0] == '=') {
            if (characterCount(typed) > kMaxFormulaCharacters)
                throw HostError(error::kApplicationDefined,
                                "A formula holds at most 8,192 characters");
            std::string f = typed.substr(1);
            formulas_.validate(f);
            cell.value = Value();
            cell.formula = std::move(f);
            return;
        }
        TypedEntry e = parseTypedEntry(typed, textCell, dates_, currentYear_);
        cell.value = std::move(e.value);
        if (!e.impliedFormat.empty()) cell.style = styleWithImpliedFormat(cell.style, e);
    }

private:
    const CellFormat& format(int style) const { return styles_.format(style); }

    bool isTextStyle(int style) {
        if (style < 0) style = 0;
        if (size_t(style) >= textStyles_.size()) textStyles_.resize(size_t(style) + 1, -1);
        auto& known = textStyles_[size_t(style)];
        if (known < 0) known = format(style).numberFormat == "@" ? 1 : 0;
        return known == 1;
    }

    // A typed percentage, thousands figure, date or time gives a general cell its
    // format; a date or time also replaces a number format that shows no date.
    int styleWithImpliedFormat(int style, const TypedEntry& e) {
        const std::string& current = format(style).numberFormat;
        bool replace = current == "General" || (e.isDateOrTime && !looksLikeDateFormat(styles_, current));
        if (!replace) return style;
        auto key = std::make_pair(style, e.impliedFormat);
        auto it = implied_.find(key);
        if (it != implied_.end()) return it->second;
        CellFormat f = format(style);
        f.numberFormat = e.impliedFormat;
        int n = styles_.internFormat(f);
        implied_.emplace(key, n);
        return n;
    }

    StyleSheet& styles_;
    FormulaEngine& formulas_;
    format::DateSystem dates_;
    int currentYear_;
    std::vector<signed char> textStyles_;
    std::map<std::pair<int, std::string>, int> implied_;
};

bool holdsSomething(const Cell& c) { return c.hasFormula() || !c.value.isEmpty(); }

}  // namespace

host::Variant EngineWorksheet::read(const Area& area) const {
    const Sheet& s = model();
    if (!area.valid()) throw HostError(error::kApplicationDefined, "The range is outside the sheet");
    if (area.isSingleCell()) {
        const Cell* c = s.cells.find(area.topLeft());
        return c ? c->value : Value();
    }
    if (area.count() > kMaxCellsPerOperation)
        throw HostError(error::kApplicationDefined,
                        "Too many cells to read at once (" + std::to_string(area.count()) + ")");
    host::Array2D out(area.rows(), area.columns());
    const auto& columns = s.cells.columns();
    for (auto col = columns.lower_bound(area.left); col != columns.end() && col->first <= area.right;
         ++col) {
        const auto& cells = col->second;
        for (auto it = cells.lower_bound(area.top); it != cells.end() && it->row <= area.bottom; ++it)
            out.at(it->row - area.top + 1, col->first - area.left + 1) = it->cell.value;
    }
    return out;
}

void EngineWorksheet::requireWritable(const Area& area, const char* operation) const {
    const Sheet& s = model();
    if (!s.protection.enabled) return;
    const StyleSheet& styles = book().model().styles;
    auto isLocked = [&](int style) { return styles.format(style).locked; };
    for (int c = area.left; c <= area.right; ++c) {
        const auto* col = s.cells.column(c);
        auto it = col ? col->lower_bound(area.top) : CellStore::Column::const_iterator{};
        for (int r = area.top; r <= area.bottom; ++r) {
            int style;
            if (col && it != col->end() && it->row == r) {
                style = it->cell.style;
                ++it;
            } else {
                style = inheritedStyle({r, c});
            }
            if (isLocked(style))
                throw HostError(error::kCellLocked,
                                std::string("Cannot ") + operation + ": the cell " +
                                    host::relativeAddress(Area::cell(r, c)) + " of \"" + s.name +
                                    "\" is locked and the sheet is protected");
        }
    }
}

void EngineWorksheet::clearContents(const Area& area) {
    Sheet& s = model();
    std::vector<int> columnNumbers;
    const auto& columns = s.cells.columns();
    for (auto col = columns.lower_bound(area.left); col != columns.end() && col->first <= area.right;
         ++col)
        columnNumbers.push_back(col->first);
    for (int c : columnNumbers) {
        auto& cells = s.cells.columnForWrite(c);
        for (auto it = cells.lower_bound(area.top); it != cells.end() && it->row <= area.bottom;) {
            if (it->cell.style == inheritedStyle({it->row, c})) {
                it = cells.erase(it);
            } else {
                it->cell.value = Value();
                it->cell.formula.clear();
                ++it;
            }
        }
        s.cells.pruneColumn(c);
    }
}

void EngineWorksheet::write(const Area& area, const host::Variant& values) {
    Sheet& s = model();
    if (!area.valid()) throw HostError(error::kApplicationDefined, "The range is outside the sheet");
    bool clearing = !values.isArray() && values.scalar().isEmpty();
    if (!clearing && area.count() > kMaxCellsPerOperation)
        throw HostError(error::kApplicationDefined,
                        "Too many cells to write at once (" + std::to_string(area.count()) + ")");
    if (values.isArray() && (values.array().rows() < 1 || values.array().columns() < 1))
        throw HostError(error::kTypeMismatch, "Cannot write an empty array");
    requireWritable(area, "change the cell");

    if (clearing) {
        clearContents(area);
        notifyChanged(area);
        return;
    }
    EngineWorkbook& wb = book();
    EntryWriter writer(wb.model(), wb.formulas(), wb.app().currentYear());
    static const Value notAvailable = Value::error(host::ErrorValue::NA);
    // An array fills the area from its top-left corner: a single row or column repeats
    // along the area, anything beyond the array's size gets #N/A, and the part of the
    // array beyond the area is dropped.
    auto source = [&](int r, int c) -> const Value& {
        if (!values.isArray()) return values.scalar();
        const host::Array2D& a = values.array();
        int i = a.rows() == 1 ? 1 : r - area.top + 1;
        int j = a.columns() == 1 ? 1 : c - area.left + 1;
        if (i > a.rows() || j > a.columns()) return notAvailable;
        return a.at(i, j);
    };
    try {
        for (int c = area.left; c <= area.right; ++c) {
            auto& cells = s.cells.columnForWrite(c);
            auto it = cells.lower_bound(area.top);
            for (int r = area.top; r <= area.bottom; ++r) {
                int inherited = inheritedStyle({r, c});
                if (it == cells.end() || it->row != r) {
                    Cell fresh;
                    fresh.style = inherited;
                    it = cells.emplace_hint(it, r, std::move(fresh));
                }
                writer.store(it->cell, source(r, c));
                // A cell left empty and unformatted is not kept (empty texts clear cells).
                if (!holdsSomething(it->cell) && it->cell.style == inherited)
                    it = cells.erase(it);
                else
                    ++it;
            }
            s.cells.pruneColumn(c);
        }
    } catch (...) {
        // The cells written before the failing one keep their new contents.
        recalculateAndTell(area);
        throw;
    }
    notifyChanged(area);
}

void EngineWorksheet::recalculateAndTell(const Area& area) {
    EngineWorkbook& wb = book();
    EngineApplication& app = wb.app();
    if (!app.hasChangeListeners()) {
        wb.formulas().cellsChanged(index(), area);
        wb.markChanged();
        return;
    }
    // The formula results before the recalculation, to tell which of them it changed.
    struct Result {
        const Sheet* sheet;
        CellRef cell;
        Value value;
    };
    std::vector<Result> before;
    for (const auto& sheet : wb.model().sheets)
        for (const auto& [column, cells] : sheet->cells.columns())
            for (const auto& [row, cell] : cells)
                if (cell.hasFormula()) before.push_back({sheet.get(), {row, column}, cell.value});
    wb.formulas().cellsChanged(index(), area);
    wb.markChanged();
    app.tellChange({EngineChange::Kind::Cells, &model(), area});
    for (const Result& r : before) {
        const Cell* now = r.sheet->cells.find(r.cell);
        if (!now || !(now->value == r.value))
            app.tellChange({EngineChange::Kind::Cells, r.sheet, Area::of(r.cell)});
    }
}

void EngineWorksheet::notifyChanged(const Area& area) {
    EngineWorkbook& wb = book();
    recalculateAndTell(area);
    auto self = shared_from_this();
    wb.app().raise([&](host::ApplicationEvents& e) { e.sheetChange(*this, host::Range(self, area)); });
}

std::string EngineWorksheet::formula(CellRef cell) const {
    const Cell* c = std::as_const(model().cells).find(cell);
    if (!c) return {};
    if (c->hasFormula()) return "=" + c->formula;
    if (c->value.isBoolean()) return c->value.asBoolean() ? "TRUE" : "FALSE";
    return c->value.toText();
}

std::string EngineWorksheet::displayText(CellRef cell) const {
    const Cell* c = std::as_const(model().cells).find(cell);
    if (!c || !holdsSomething(*c)) return {};
    const WorkbookModel& workbook = book().model();
    return workbook.styles.numberFormats.format(c->value, effectiveFormat(cell).numberFormat, workbook.dateSystem());
}

}  // namespace vorra::engine
