// Range.End and Range.Find with the host's rules.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/engine/format/NumberFormat.h"
#include "platform/engine/host/EngineHost.h"
#include "platform/engine/host/TextMatch.h"

namespace vorra::engine {

using host::Area;
using host::CellRef;
using host::HostError;
namespace error = host::error;

namespace {

bool holdsSomething(const Cell& c) { return c.hasFormula() || !c.value.isEmpty(); }

using Column = CellStore::Column;

// End along a column. From a filled cell whose neighbour is filled too, the end of that
// block; otherwise the next filled cell, or the sheet's edge when there is none.
int endInColumn(const Column* col, int row, bool up) {
    int edge = up ? 1 : host::kMaxRows;
    if (row == edge || !col) return edge;
    auto at = col->find(row);
    bool here = at != col->end() && holdsSomething(at->cell);
    if (here) {
        auto next = up ? (at == col->begin() ? col->end() : std::prev(at)) : std::next(at);
        bool neighbour = next != col->end() && next->row == row + (up ? -1 : 1) &&
                         holdsSomething(next->cell);
        if (neighbour) {
            auto last = next;
            while (true) {
                auto further = up ? (last == col->begin() ? col->end() : std::prev(last))
                                  : std::next(last);
                if (further == col->end() || further->row != last->row + (up ? -1 : 1) ||
                    !holdsSomething(further->cell))
                    return last->row;
                last = further;
            }
        }
    }
    if (up) {
        auto it = col->lower_bound(row);
        while (it != col->begin()) {
            --it;
            if (holdsSomething(it->cell)) return it->row;
        }
    } else {
        for (auto it = col->upper_bound(row); it != col->end(); ++it)
            if (holdsSomething(it->cell)) return it->row;
    }
    return edge;
}

// The same along a row, over the stored columns.
int endInRow(const CellStore& cells, int row, int column, bool left) {
    int edge = left ? 1 : host::kMaxColumns;
    if (column == edge) return edge;
    auto filled = [&](int c) {
        const Cell* cell = cells.find({row, c});
        return cell && holdsSomething(*cell);
    };
    int step = left ? -1 : 1;
    if (filled(column) && filled(column + step)) {
        int c = column + step;
        while (c + step >= 1 && c + step <= host::kMaxColumns && filled(c + step)) c += step;
        return c;
    }
    const auto& columns = cells.columns();
    if (left) {
        auto it = columns.lower_bound(column);
        while (it != columns.begin()) {
            --it;
            if (filled(it->first)) return it->first;
        }
    } else {
        for (auto it = columns.upper_bound(column); it != columns.end(); ++it)
            if (filled(it->first)) return it->first;
    }
    return edge;
}

}  // namespace

CellRef EngineWorksheet::end(CellRef from, host::Direction direction) const {
    const Sheet& s = model();
    if (!Area::of(from).valid()) throw HostError(error::kApplicationDefined, "The cell is outside the sheet");
    switch (direction) {
        case host::Direction::Up:
        case host::Direction::Down:
            return {endInColumn(s.cells.column(from.column), from.row, direction == host::Direction::Up),
                    from.column};
        case host::Direction::ToLeft:
        case host::Direction::ToRight:
            return {from.row,
                    endInRow(s.cells, from.row, from.column, direction == host::Direction::ToLeft)};
    }
    throw HostError(error::kInvalidArgument, "End: unknown direction");
}

namespace {

// The rows of one column that match one search, kept while the cells and their formats
// stay as they were. The add-in's searches call Find once and FindNext for every
// further match, and every keystroke searches again for a text that extends the last
// one: the first call scans the column (or only the rows that matched the shorter
// text), and the calls after it look the next row up in the list.
struct ColumnMatches {
    CellStore::Version version;
    const StyleSheet* styles = nullptr;
    std::size_t formatCount = 0;
    bool date1904 = false;
    int column = 0, top = 0, bottom = 0;
    host::LookIn lookIn = host::LookIn::Values;
    bool wholeCell = false;
    bool matchCase = false;
    std::string what;
    std::vector<int> rows;  // ascending
    // The index of the row a forward FindNext returned last: the next call starts after
    // it, so that walking all matches costs no search of the list per call.
    mutable std::size_t cursor = 0;

    bool sameSearchOf(const ColumnMatches& o) const {
        return version == o.version && styles == o.styles && formatCount == o.formatCount &&
               date1904 == o.date1904 && column == o.column && top == o.top && bottom == o.bottom &&
               lookIn == o.lookIn && wholeCell == o.wholeCell && matchCase == o.matchCase;
    }
    // Whether every cell matching `longer` matches this search too: a part match of a
    // plain text (no wildcard, no tilde) that the longer text starts with, cut at a
    // character boundary.
    bool narrows(const std::string& longer) const {
        if (wholeCell || what.empty() || what.find_first_of("*?~") != std::string::npos) return false;
        if (longer.size() <= what.size() || longer.compare(0, what.size(), what) != 0) return false;
        return (static_cast<unsigned char>(longer[what.size()]) & 0xC0) != 0x80;
    }
};

// Columns with fewer cells are searched by walking them.
constexpr std::size_t kListedSearchMinCells = 64;
constexpr std::size_t kKeptSearches = 4;

std::vector<ColumnMatches>& keptSearches() {
    static std::vector<ColumnMatches> kept;
    return kept;
}

}  // namespace

std::optional<CellRef> EngineWorksheet::find(const Area& within, const host::FindOptions& options) {
    const Sheet& s = model();
    if (!within.valid()) throw HostError(error::kApplicationDefined, "Find: the range is outside the sheet");
    CellRef after = options.after.value_or(within.topLeft());
    if (!within.contains(after))
        throw HostError(error::kApplicationDefined,
                        "Find: the cell to search after lies outside the range");
    book().app().rememberFind(options);
    if (options.what.empty()) return std::nullopt;

    bool byRows = options.order == host::SearchOrder::ByRows;
    bool forward = options.direction == host::SearchDirection::Next;
    auto key = [&](int r, int c) {
        return byRows ? (long long)r * (host::kMaxColumns + 1) + c
                      : (long long)c * (host::kMaxRows + 1) + r;
    };
    const long long afterKey = key(after.row, after.column);
    // The first match in search order after the start cell; failing that, the first
    // match from the range's start (the search wraps, and the start cell comes last).
    std::optional<long long> best, wrapped;
    auto improves = [&](long long k) {
        bool beyond = forward ? k > afterKey : k < afterKey;
        auto& slot = beyond ? best : wrapped;
        if (!slot) return true;
        return forward ? k < *slot : k > *slot;
    };
    auto take = [&](long long k) {
        bool beyond = forward ? k > afterKey : k < afterKey;
        (beyond ? best : wrapped) = k;
    };

    // Made at the first cell looked at: a FindNext answered from the kept rows needs none.
    std::optional<TextMatcher> matcher;
    const StyleSheet& styles = book().model().styles;
    std::string scratch;
    // Whether a cell's text as Find sees it (its formula or its displayed value)
    // matches the searched text.
    auto matches = [&](int row, int column, const Cell& cell) {
        if (!holdsSomething(cell)) return false;
        std::string_view text;
        if (options.lookIn == host::LookIn::Formulas) {
            if (cell.hasFormula()) {
                scratch = "=" + cell.formula;
                text = scratch;
            } else if (cell.value.isText()) {
                text = cell.value.asText();
            } else {
                scratch = formula({row, column});
                text = scratch;
            }
        } else {
            const CellFormat& f = styles.format(cell.style);
            if (cell.value.isText() && (f.numberFormat == "General" || f.numberFormat == "@")) {
                text = cell.value.asText();
            } else {
                scratch = styles.numberFormats.format(cell.value, f.numberFormat, book().model().dateSystem());
                text = scratch;
            }
        }
        if (!matcher) matcher.emplace(options.what, options.lookAt == host::LookAt::Whole, options.matchCase);
        return matcher->matches(text);
    };
    const auto& columns = s.cells.columns();

    // One column, the common case.
    if (within.left == within.right) {
        auto col = columns.find(within.left);
        if (col == columns.end()) return std::nullopt;
        const Column& cells = col->second;
        const int column = within.left;
        // A long column: the list of its matching rows, kept for the FindNext calls and
        // the longer texts that follow.
        if (cells.size() >= kListedSearchMinCells) {
            ColumnMatches search;
            search.version = s.cells.version();
            search.styles = &styles;
            search.formatCount = styles.formats.size();
            search.date1904 = book().model().date1904;
            search.column = column;
            search.top = within.top;
            search.bottom = within.bottom;
            search.lookIn = options.lookIn;
            search.wholeCell = options.lookAt == host::LookAt::Whole;
            search.matchCase = options.matchCase;
            auto& kept = keptSearches();
            const ColumnMatches* listed = nullptr;
            const ColumnMatches* shorter = nullptr;
            for (const ColumnMatches& k : kept) {
                if (!k.sameSearchOf(search)) continue;
                if (k.what == options.what) listed = &k;
                else if (k.narrows(options.what) && (!shorter || k.rows.size() < shorter->rows.size())) shorter = &k;
            }
            if (!listed) {
                search.what = options.what;
                if (shorter) {
                    for (int row : shorter->rows)
                        if (const Cell* c = s.cells.find({row, column}); c && matches(row, column, *c))
                            search.rows.push_back(row);
                } else {
                    for (auto it = cells.lower_bound(within.top); it != cells.end() && it->row <= within.bottom; ++it)
                        if (matches(it->row, column, it->cell)) search.rows.push_back(it->row);
                }
                if (kept.size() >= kKeptSearches) kept.erase(kept.begin());
                kept.push_back(std::move(search));
                listed = &kept.back();
            }
            const std::vector<int>& rows = listed->rows;
            if (rows.empty()) return std::nullopt;
            if (forward) {
                std::size_t next = listed->cursor;
                if (next < rows.size() && rows[next] == after.row)
                    ++next;
                else
                    next = static_cast<std::size_t>(std::upper_bound(rows.begin(), rows.end(), after.row) - rows.begin());
                if (next == rows.size()) next = 0;  // wrapped: rows.front() <= after.row
                listed->cursor = next;
                return CellRef{rows[next], column};
            }
            auto previous = std::lower_bound(rows.begin(), rows.end(), after.row);
            if (previous != rows.begin()) return CellRef{*std::prev(previous), column};
            return CellRef{rows.back(), column};  // wrapped: rows.back() >= after.row
        }
        // Walk the column in search order from the cell after the start cell and stop
        // at the first match, so that a FindNext costs only the distance to the next match.
        if (forward) {
            for (auto it = cells.upper_bound(after.row); it != cells.end() && it->row <= within.bottom; ++it)
                if (matches(it->row, column, it->cell)) return CellRef{it->row, column};
            for (auto it = cells.lower_bound(within.top); it != cells.end() && it->row <= after.row; ++it)
                if (matches(it->row, column, it->cell)) return CellRef{it->row, column};
        } else {
            for (auto it = std::make_reverse_iterator(cells.lower_bound(after.row));
                 it != cells.rend() && it->row >= within.top; ++it)
                if (matches(it->row, column, it->cell)) return CellRef{it->row, column};
            for (auto it = std::make_reverse_iterator(cells.upper_bound(within.bottom));
                 it != cells.rend() && it->row >= after.row; ++it)
                if (matches(it->row, column, it->cell)) return CellRef{it->row, column};
        }
        return std::nullopt;
    }

    for (auto col = columns.lower_bound(within.left); col != columns.end() && col->first <= within.right;
         ++col) {
        const Column& cells = col->second;
        for (auto it = cells.lower_bound(within.top); it != cells.end() && it->row <= within.bottom;
             ++it) {
            long long k = key(it->row, col->first);
            if (!improves(k)) continue;
            if (matches(it->row, col->first, it->cell)) take(k);
        }
    }
    std::optional<long long> found = best ? best : wrapped;
    if (!found) return std::nullopt;
    if (byRows)
        return CellRef{int(*found / (host::kMaxColumns + 1)), int(*found % (host::kMaxColumns + 1))};
    return CellRef{int(*found % (host::kMaxRows + 1)), int(*found / (host::kMaxRows + 1))};
}

std::optional<CellRef> EngineWorksheet::findNext(const Area& within, CellRef after) {
    model();
    const auto& last = book().app().lastFind();
    if (!last) return std::nullopt;
    host::FindOptions options = *last;
    options.after = after;
    return find(within, options);
}

}  // namespace vorra::engine
