#include "platform/engine/formula/LookupIndex.h"

#include <algorithm>
#include <cstring>

#include "platform/engine/formula/TextOrder.h"

namespace vorra::engine::formula {

std::string lookupKey(const Value& v) {
    switch (v.kind()) {
        case Value::Kind::Number: {
            double d = v.asNumber() == 0 ? 0.0 : v.asNumber();  // -0 equals 0
            std::string k(1 + sizeof d, 'n');
            std::memcpy(k.data() + 1, &d, sizeof d);
            return k;
        }
        case Value::Kind::Text: return "t" + TextOrder::fold(v.asText());
        case Value::Kind::Boolean: return v.asBoolean() ? "b1" : "b0";
        case Value::Kind::Error: return "e" + std::to_string(static_cast<int>(v.asError()));
        case Value::Kind::Empty: return "z";
    }
    return "z";
}

void LookupIndexCache::build(const CellStore& cells, Index& ix) {
    ix.first.clear();
    if (const CellStore::Column* col = cells.column(ix.column))
        for (auto it = col->lower_bound(ix.top); it != col->end() && it->row <= ix.bottom; ++it)
            if (!it->cell.value.isEmpty()) ix.first.emplace(lookupKey(it->cell.value), it->row - ix.top);
}

int LookupIndexCache::firstMatch(const CellStore& cells, int sheet, int column, int top, int bottom,
                                 const Value& key) {
    Index* found = nullptr;
    for (auto& ix : indexes_)
        if (ix.sheet == sheet && ix.column == column && ix.top == top && ix.bottom == bottom) found = &ix;
    if (!found) {
        if (indexes_.size() >= kMaxIndexes) indexes_.erase(indexes_.begin());
        indexes_.push_back({sheet, column, top, bottom, {}});
        found = &indexes_.back();
        build(cells, *found);
    }
    const std::string k = lookupKey(key);
    auto hit = found->first.find(k);
    if (hit == found->first.end()) return -1;
    const Cell* c = cells.find({top + hit->second, column});
    if (c && lookupKey(c->value) == k) return hit->second;
    build(cells, *found);  // the row was overwritten since: start afresh
    hit = found->first.find(k);
    return hit == found->first.end() ? -1 : hit->second;
}

void LookupIndexCache::update(const CellStore& cells, int sheet, const Area& area) {
    std::erase_if(indexes_, [&](Index& ix) {
        if (ix.sheet != sheet || ix.column < area.left || ix.column > area.right || ix.top > area.bottom ||
            area.top > ix.bottom)
            return false;
        int from = std::max(area.top, ix.top), to = std::min(area.bottom, ix.bottom);
        if (to - from + 1 > kMaxUpdatedCells) return true;
        for (int row = from; row <= to; ++row) {
            const Cell* c = cells.find({row, ix.column});
            if (!c || c->value.isEmpty()) continue;
            auto [it, inserted] = ix.first.emplace(lookupKey(c->value), row - ix.top);
            if (!inserted && it->second > row - ix.top) it->second = row - ix.top;
        }
        return false;
    });
}

}  // namespace vorra::engine::formula
