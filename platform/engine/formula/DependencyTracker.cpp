#include "platform/engine/formula/DependencyTracker.h"

#include <algorithm>
#include <unordered_map>

namespace vorra::engine::formula {

namespace {

bool intersects(const Area& a, const Area& b) {
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

}  // namespace

// Calls f with each reader list an area of precedents belongs to (creating them
// when asked), for registering and unregistering.
template <class F>
void DependencyTracker::forEachBucket(const RangeRef& r, bool create, F f) {
    const Area& a = r.area;
    auto use = [&](auto& map, const auto& key) {
        if (create) return f(map[key]), void();
        auto it = map.find(key);
        if (it == map.end()) return;
        f(it->second);
        if (it->second.empty()) map.erase(it);
    };
    if (a.columns() > kNarrow) return use(wideReaders_, r.sheet);
    int firstBlock = a.top >> kRowBlockShift, lastBlock = a.bottom >> kRowBlockShift;
    for (int col = a.left; col <= a.right; ++col) {
        if (lastBlock - firstBlock >= kMaxBlocksPerArea) {
            use(tallReaders_, std::make_pair(r.sheet, col));
            continue;
        }
        for (int b = firstBlock; b <= lastBlock; ++b) use(readersByBlock_, Bucket{r.sheet, col, b});
    }
}

// Calls f with every reader list that may hold an area intersecting r.
template <class F>
void DependencyTracker::forEachReaderList(const RangeRef& r, F f) const {
    const Area& a = r.area;
    int firstBlock = a.top >> kRowBlockShift, lastBlock = a.bottom >> kRowBlockShift;
    bool manyColumns = a.columns() > kColumnScanLimit;
    if (manyColumns || lastBlock - firstBlock >= kMaxBlocksPerArea) {
        // Search the sheet's buckets (or the columns') rather than every block.
        auto from = readersByBlock_.lower_bound(Bucket{r.sheet, manyColumns ? 0 : a.left, 0});
        for (auto it = from; it != readersByBlock_.end() && std::get<0>(it->first) == r.sheet; ++it) {
            int col = std::get<1>(it->first);
            if (col > a.right) break;
            if (col >= a.left) f(it->second);
        }
    } else {
        for (int col = a.left; col <= a.right; ++col)
            for (int b = firstBlock; b <= lastBlock; ++b) {
                auto it = readersByBlock_.find(Bucket{r.sheet, col, b});
                if (it != readersByBlock_.end()) f(it->second);
            }
    }
    for (auto it = tallReaders_.lower_bound({r.sheet, manyColumns ? 0 : a.left});
         it != tallReaders_.end() && it->first.first == r.sheet && it->first.second <= a.right; ++it)
        f(it->second);
    auto wide = wideReaders_.find(r.sheet);
    if (wide != wideReaders_.end()) f(wide->second);
}

void DependencyTracker::index(CellKey cell, const Entry& e) {
    for (const auto& p : e.precedents)
        forEachBucket(p, true, [&](Readers& list) { list.push_back({p.area, cell}); });
    if (e.isVolatile) volatile_.insert(cell);
}

void DependencyTracker::unindex(CellKey cell, const Entry& e) {
    for (const auto& p : e.precedents)
        forEachBucket(p, false, [&](Readers& list) {
            list.erase(std::remove_if(list.begin(), list.end(), [cell](const auto& x) { return x.second == cell; }),
                       list.end());
        });
    volatile_.erase(cell);
}

void DependencyTracker::set(CellKey cell, std::vector<RangeRef> precedents, bool isVolatile) {
    remove(cell);
    Entry e{std::move(precedents), isVolatile};
    index(cell, e);
    entries_.emplace(cell, std::move(e));
}

void DependencyTracker::remove(CellKey cell) {
    auto it = entries_.find(cell);
    if (it == entries_.end()) return;
    unindex(cell, it->second);
    entries_.erase(it);
}

void DependencyTracker::clear() {
    entries_.clear();
    readersByBlock_.clear();
    tallReaders_.clear();
    wideReaders_.clear();
    volatile_.clear();
}

template <class F>
void DependencyTracker::forEachReader(const RangeRef& r, F f) const {
    forEachReaderList(r, [&](const Readers& readers) {
        for (const auto& [area, key] : readers)
            if (intersects(area, r.area)) f(key);
    });
}

RecalcPlan DependencyTracker::planAfterChange(const std::vector<RangeRef>& changed) const {
    std::unordered_set<CellKey> dirty;
    std::vector<CellKey> queue;
    auto mark = [&](CellKey k) {
        if (dirty.insert(k).second) queue.push_back(k);
    };
    auto readersOf = [&](const RangeRef& r) { forEachReader(r, mark); };
    for (const auto& r : changed) {
        // Formula cells inside the area were themselves rewritten.
        forEachKeyIn(entries_, r, mark);
        readersOf(r);
    }
    for (CellKey k : volatile_) mark(k);
    for (size_t i = 0; i < queue.size(); ++i) {
        CellKey k = queue[i];
        readersOf({keySheet(k), Area::cell(keyRow(k), keyColumn(k))});
    }
    std::vector<CellKey> sorted(dirty.begin(), dirty.end());
    std::sort(sorted.begin(), sorted.end());
    return orderVolatileLast(sorted);
}

RecalcPlan DependencyTracker::planAll() const {
    std::vector<CellKey> all;
    all.reserve(entries_.size());
    for (const auto& [k, e] : entries_) all.push_back(k);
    return orderVolatileLast(all);
}

// Volatile cells (OFFSET, INDIRECT, TODAY…) may read cells no precedent names, so
// they and every cell that reads them come after all the other dirty cells.
RecalcPlan DependencyTracker::orderVolatileLast(const std::vector<CellKey>& sorted) const {
    std::unordered_set<CellKey> late;
    std::vector<CellKey> queue;
    auto isDirty = [&](CellKey k) { return std::binary_search(sorted.begin(), sorted.end(), k); };
    for (CellKey k : volatile_)
        if (isDirty(k) && late.insert(k).second) queue.push_back(k);
    if (queue.empty()) return order(sorted);
    for (size_t i = 0; i < queue.size(); ++i) {
        CellKey k = queue[i];
        forEachReader({keySheet(k), Area::cell(keyRow(k), keyColumn(k))}, [&](CellKey reader) {
            if (isDirty(reader) && late.insert(reader).second) queue.push_back(reader);
        });
    }
    std::vector<CellKey> early, last;
    for (CellKey k : sorted) (late.count(k) ? last : early).push_back(k);
    RecalcPlan plan = order(early);
    RecalcPlan after = order(last);
    plan.order.insert(plan.order.end(), after.order.begin(), after.order.end());
    plan.circular.insert(after.circular.begin(), after.circular.end());
    return plan;
}

RecalcPlan DependencyTracker::order(const std::vector<CellKey>& dirty) const {
    RecalcPlan plan;
    plan.order.reserve(dirty.size());
    enum : unsigned char { Unvisited, Active, Done };
    std::unordered_map<CellKey, unsigned char> state;
    state.reserve(dirty.size() * 2);
    struct Frame {
        CellKey key;
        std::vector<CellKey> next;  // dirty cells this one reads
        size_t i = 0;
    };
    auto frameFor = [&](CellKey k) {
        Frame f{k, {}, 0};
        auto it = entries_.find(k);
        if (it != entries_.end())
            for (const auto& p : it->second.precedents)
                forEachKeyIn(dirty, p, [&](CellKey d) { f.next.push_back(d); });
        return f;
    };
    // Depth-first with an explicit stack: long chains of cells cannot overflow.
    std::vector<Frame> stack;
    for (CellKey start : dirty) {
        if (state[start] != Unvisited) continue;
        state[start] = Active;
        stack.push_back(frameFor(start));
        while (!stack.empty()) {
            Frame& top = stack.back();
            if (top.i < top.next.size()) {
                CellKey n = top.next[top.i++];
                unsigned char& s = state[n];
                if (s == Unvisited) {
                    s = Active;
                    stack.push_back(frameFor(n));
                } else if (s == Active) {
                    // A cycle: every cell on the stack from n up to here.
                    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
                        plan.circular.insert(it->key);
                        if (it->key == n) break;
                    }
                }
            } else {
                state[top.key] = Done;
                plan.order.push_back(top.key);
                stack.pop_back();
            }
        }
    }
    return plan;
}

}  // namespace vorra::engine::formula
