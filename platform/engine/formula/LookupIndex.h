#pragma once
// Indexes for exact look-ups in long columns: the first row of each value of a column
// area, built on the first exact look-up and kept up to date through small writes
// (larger ones drop it). A write can leave an entry pointing at a row that no
// longer holds its value; a hit is therefore checked against the cell, and a stale
// index is rebuilt.
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

    // Brings the indexes covering the area up to date after its cells changed.
    void update(const CellStore& cells, int sheet, const Area& area);
    void clear() { indexes_.clear(); }

private:
    struct Index {
        int sheet, column, top, bottom;
        std::unordered_map<std::string, int> first;
    };
    static constexpr size_t kMaxIndexes = 16;
    static constexpr long long kMaxUpdatedCells = 64;  // larger writes drop the index
    void build(const CellStore& cells, Index& ix);
    std::vector<Index> indexes_;
};

// The key under which a value is indexed: kind and content, texts case-folded.
std::string lookupKey(const Value& v);

}  // namespace vorra::engine::formula
