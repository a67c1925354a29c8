#include "platform/engine/model/Model.h"

#include <algorithm>

namespace vorra::engine {

int StyleSheet::internFormat(const CellFormat& f) {
    auto it = std::find(formats.begin(), formats.end(), f);
    if (it != formats.end()) return static_cast<int>(it - formats.begin());
    formats.push_back(f);
    return static_cast<int>(formats.size() - 1);
}

int StyleSheet::internFont(const Font& f) {
    auto it = std::find(fonts.begin(), fonts.end(), f);
    if (it != fonts.end()) return static_cast<int>(it - fonts.begin());
    fonts.push_back(f);
    return static_cast<int>(fonts.size() - 1);
}

const Cell* CellStore::find(CellRef c) const {
    auto col = columns_.find(c.column);
    if (col == columns_.end()) return nullptr;
    auto cell = col->second.find(c.row);
    return cell == col->second.end() ? nullptr : &cell->second;
}

Cell* CellStore::find(CellRef c) {
    return const_cast<Cell*>(static_cast<const CellStore*>(this)->find(c));
}

Cell& CellStore::at(CellRef c) { return columns_[c.column][c.row]; }

void CellStore::erase(CellRef c) {
    auto col = columns_.find(c.column);
    if (col == columns_.end()) return;
    col->second.erase(c.row);
    if (col->second.empty()) columns_.erase(col);
}

bool CellStore::empty() const { return columns_.empty(); }

const CellStore::Column* CellStore::column(int col) const {
    auto it = columns_.find(col);
    return it == columns_.end() ? nullptr : &it->second;
}

CellStore::Column* CellStore::mutableColumn(int col) {
    auto it = columns_.find(col);
    return it == columns_.end() ? nullptr : &it->second;
}

void CellStore::pruneColumn(int col) {
    auto it = columns_.find(col);
    if (it != columns_.end() && it->second.empty()) columns_.erase(it);
}

std::optional<Area> CellStore::bounds() const {
    if (columns_.empty()) return std::nullopt;
    Area a{host::kMaxRows, columns_.begin()->first, 1, columns_.rbegin()->first};
    for (const auto& [col, cells] : columns_) {
        a.top = std::min(a.top, cells.begin()->first);
        a.bottom = std::max(a.bottom, cells.rbegin()->first);
    }
    return a;
}

int WorkbookModel::sheetIndex(const std::string& name) const {
    for (size_t i = 0; i < sheets.size(); ++i)
        if (sheets[i]->name == name) return static_cast<int>(i);
    return -1;
}

}  // namespace vorra::engine
