#include "platform/engine/formula/LookupIndex.h"

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

int LookupIndexCache::firstMatch(const CellStore& cells, int sheet, int column, int top, int bottom,
                                 const Value& key) {
    Index* found = nullptr;
    for (auto& ix : indexes_)
        if (ix.sheet == sheet && ix.column == column && ix.top == top && ix.bottom == bottom) found = &ix;
    if (!found) {
        if (indexes_.size() >= kMaxIndexes) indexes_.erase(indexes_.begin());
        indexes_.push_back({sheet, column, top, bottom, {}});
        found = &indexes_.back();
        if (const CellStore::Column* col = cells.column(column))
            for (auto it = col->lower_bound(top); it != col->end() && it->first <= bottom; ++it)
                if (!it->second.value.isEmpty()) found->first.emplace(lookupKey(it->second.value), it->first - top);
    }
    auto hit = found->first.find(lookupKey(key));
    return hit == found->first.end() ? -1 : hit->second;
}

void LookupIndexCache::invalidate(int sheet, const Area& area) {
    std::erase_if(indexes_, [&](const Index& ix) {
        return ix.sheet == sheet && ix.column >= area.left && ix.column <= area.right && ix.top <= area.bottom &&
               area.top <= ix.bottom;
    });
}

}  // namespace vorra::engine::formula
