#pragma once
// Indexes for exact look-ups in long columns: the first row of each value of a column
// area, built on the first exact look-up and kept until a cell of the area changes.
// With them, VLOOKUP($E$4,收款人信息,2,FALSE) over a 50,000-row book is a hash look-up
// on every recalculation instead of a scan.

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/engine/model/Model.h"

namespace vorra::engine::formula {

class LookupIndexCache {
public:
    // Areas shorter than this are scanned; the index would not pay off.
    static constexpr int kMinRows = 1000;

    // 0-based offset from `top` of the first cell of the column area whose value equals
    // the key (kinds equal, texts ignoring case); -1 when there is none.
    int firstMatch(const CellStore& cells, int sheet, int column, int top, int bottom, const Value& key);

    // Forgets the indexes that cover any cell of the area.
    void invalidate(int sheet, const Area& area);
    void clear() { indexes_.clear(); }

private:
    struct Index {
        int sheet, column, top, bottom;
        std::unordered_map<std::string, int> first;
    };
    static constexpr size_t kMaxIndexes = 16;
    std::vector<Index> indexes_;
};

// The key under which a value is indexed: kind and content, texts case-folded.
std::string lookupKey(const Value& v);

}  // namespace vorra::engine::formula
