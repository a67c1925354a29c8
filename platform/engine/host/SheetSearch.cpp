// Range.End and Range.Find with the host's rules.
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
    bool here = at != col->end() && holdsSomething(at->second);
    if (here) {
        auto next = up ? (at == col->begin() ? col->end() : std::prev(at)) : std::next(at);
        bool neighbour = next != col->end() && next->first == row + (up ? -1 : 1) &&
                         holdsSomething(next->second);
        if (neighbour) {
            auto last = next;
            while (true) {
                auto further = up ? (last == col->begin() ? col->end() : std::prev(last))
                                  : std::next(last);
                if (further == col->end() || further->first != last->first + (up ? -1 : 1) ||
                    !holdsSomething(further->second))
                    return last->first;
                last = further;
            }
        }
    }
    if (up) {
        auto it = col->lower_bound(row);
        while (it != col->begin()) {
            --it;
            if (holdsSomething(it->second)) return it->first;
        }
    } else {
        for (auto it = col->upper_bound(row); it != col->end(); ++it)
            if (holdsSomething(it->second)) return it->first;
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

    TextMatcher matcher(options.what, options.lookAt == host::LookAt::Whole, options.matchCase);
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
        return matcher.matches(text);
    };
    const auto& columns = s.cells.columns();

    // One column, the common case: walk the column in search order from the cell after
    // the start cell and stop at the first match, so that a FindNext costs only the
    // distance to the next match.
    if (within.left == within.right) {
        auto col = columns.find(within.left);
        if (col == columns.end()) return std::nullopt;
        const Column& cells = col->second;
        const int column = within.left;
        if (forward) {
            for (auto it = cells.upper_bound(after.row); it != cells.end() && it->first <= within.bottom; ++it)
                if (matches(it->first, column, it->second)) return CellRef{it->first, column};
            for (auto it = cells.lower_bound(within.top); it != cells.end() && it->first <= after.row; ++it)
                if (matches(it->first, column, it->second)) return CellRef{it->first, column};
        } else {
            for (auto it = std::make_reverse_iterator(cells.lower_bound(after.row));
                 it != cells.rend() && it->first >= within.top; ++it)
                if (matches(it->first, column, it->second)) return CellRef{it->first, column};
            for (auto it = std::make_reverse_iterator(cells.upper_bound(within.bottom));
                 it != cells.rend() && it->first >= after.row; ++it)
                if (matches(it->first, column, it->second)) return CellRef{it->first, column};
        }
        return std::nullopt;
    }

    for (auto col = columns.lower_bound(within.left); col != columns.end() && col->first <= within.right;
         ++col) {
        const Column& cells = col->second;
        for (auto it = cells.lower_bound(within.top); it != cells.end() && it->first <= within.bottom;
             ++it) {
            long long k = key(it->first, col->first);
            if (!improves(k)) continue;
            if (matches(it->first, col->first, it->second)) take(k);
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
