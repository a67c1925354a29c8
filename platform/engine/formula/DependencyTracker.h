#pragma once
// Last stage: which formula cells to recalculate after a write, and in which order.
// Each formula cell is registered with the areas it reads. After a change, the cells
// reading the changed area are dirty, then the cells reading those, and so on; they
// are evaluated so that every cell comes after the dirty cells it reads, and volatile
// cells (whose references are computed) with their readers after all others. Cells on
// a cycle are reported instead of being followed round and round.

#include <algorithm>
#include <cstdint>
#include <map>
#include <tuple>
#include <type_traits>
#include <unordered_set>
#include <vector>

#include "platform/engine/formula/Operand.h"

namespace vorra::engine::formula {

// A cell's key; ordered by sheet, then column, then row, so an area of one column
// is a contiguous key range.
using CellKey = std::uint64_t;
inline CellKey cellKey(int sheet, int row, int column) {
    return (static_cast<CellKey>(sheet) << 36) | (static_cast<CellKey>(column) << 21) | static_cast<CellKey>(row);
}
inline int keySheet(CellKey k) { return static_cast<int>(k >> 36); }
inline int keyColumn(CellKey k) { return static_cast<int>((k >> 21) & 0x7FFF); }
inline int keyRow(CellKey k) { return static_cast<int>(k & 0x1FFFFF); }

// Columns beyond which an area is searched sheet-wide rather than column by column.
constexpr int kColumnScanLimit = 256;

// Calls f with each key within the area of a sorted vector of keys or a map keyed by
// them, in key order. An area of up to kColumnScanLimit columns is found by one
// binary search per column; a wider one by a pass over all keys of its sheet.
template <class SortedKeys, class F>
void forEachKeyIn(const SortedKeys& keys, const RangeRef& r, F f) {
    auto keyOf = [](const auto& element) -> CellKey {
        if constexpr (std::is_same_v<std::decay_t<decltype(element)>, CellKey>) return element;
        else return element.first;
    };
    auto lowerBound = [&](CellKey k) {
        if constexpr (requires { keys.lower_bound(k); }) return keys.lower_bound(k);
        else return std::lower_bound(keys.begin(), keys.end(), k);
    };
    const Area& a = r.area;
    if (a.columns() <= kColumnScanLimit) {
        for (int col = a.left; col <= a.right; ++col) {
            CellKey last = cellKey(r.sheet, a.bottom, col);
            for (auto it = lowerBound(cellKey(r.sheet, a.top, col)); it != keys.end() && keyOf(*it) <= last; ++it)
                f(keyOf(*it));
        }
        return;
    }
    for (auto it = lowerBound(cellKey(r.sheet, 0, 0)); it != keys.end() && keySheet(keyOf(*it)) == r.sheet; ++it) {
        CellKey k = keyOf(*it);
        if (a.contains({keyRow(k), keyColumn(k)})) f(k);
    }
}

struct RecalcPlan {
    std::vector<CellKey> order;             // evaluation order
    std::unordered_set<CellKey> circular;   // cells on a cycle: give an error value
};

class DependencyTracker {
public:
    void set(CellKey cell, std::vector<RangeRef> precedents, bool isVolatile);
    void remove(CellKey cell);
    void clear();
    bool contains(CellKey cell) const { return entries_.count(cell) != 0; }

    // Formula cells in the changed areas, every cell that reads them directly or
    // through other formula cells, and the volatile cells.
    RecalcPlan planAfterChange(const std::vector<RangeRef>& changed) const;
    // Every registered cell.
    RecalcPlan planAll() const;

private:
    struct Entry {
        std::vector<RangeRef> precedents;
        bool isVolatile = false;
    };
    RecalcPlan order(const std::vector<CellKey>& dirty) const;
    RecalcPlan orderVolatileLast(const std::vector<CellKey>& sorted) const;
    template <class F>
    void forEachReader(const RangeRef& r, F f) const;
    void index(CellKey cell, const Entry& e);
    void unindex(CellKey cell, const Entry& e);

    std::map<CellKey, Entry> entries_;
    // Readers of an area, found by where the area lies: narrow areas of moderate
    // height in buckets by sheet, column and block of rows; taller ones by sheet and
    // column; areas wider than kNarrow columns by sheet.
    static constexpr int kNarrow = 16;
    static constexpr int kRowBlockShift = 10;   // blocks of 1,024 rows
    static constexpr int kMaxBlocksPerArea = 64;
    using Readers = std::vector<std::pair<Area, CellKey>>;
    using Bucket = std::tuple<int, int, int>;   // sheet, column, row block
    template <class F>
    void forEachBucket(const RangeRef& r, bool create, F f);
    template <class F>
    void forEachReaderList(const RangeRef& r, F f) const;
    std::map<Bucket, Readers> readersByBlock_;
    std::map<std::pair<int, int>, Readers> tallReaders_;
    std::map<int, Readers> wideReaders_;
    std::unordered_set<CellKey> volatile_;
};

}  // namespace vorra::engine::formula
