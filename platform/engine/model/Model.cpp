#include "platform/engine/model/Model.h"

#include <algorithm>
#include <atomic>
#include <utility>

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

std::uint64_t CellStore::newStoreNumber() {
    static std::atomic<std::uint64_t> next{0};
    return ++next;
}

CellStore& CellStore::operator=(const CellStore& other) {
    if (this != &other) {
        columns_ = other.columns_;
        forgetColumn();
        touch();
    }
    return *this;
}

CellStore& CellStore::operator=(CellStore&& other) noexcept {
    if (this != &other) {
        columns_ = std::move(other.columns_);
        other.columns_.clear();
        forgetColumn();
        other.forgetColumn();
        touch();
        other.touch();
    }
    return *this;
}

CellStore::Column* CellStore::lookUpColumn(int col, bool create) const {
    if (lastColumn_ && lastColumnNumber_ == col) return lastColumn_;
    auto& columns = const_cast<std::map<int, Column>&>(columns_);
    auto it = create ? columns.try_emplace(col).first : columns.find(col);
    if (it == columns.end()) return nullptr;
    lastColumnNumber_ = col;
    lastColumn_ = &it->second;
    return lastColumn_;
}

const Cell* CellStore::find(CellRef c) const {
    const Column* cells = lookUpColumn(c.column, false);
    return cells ? cells->cell(c.row) : nullptr;
}

Cell* CellStore::find(CellRef c) {
    touch();
    return const_cast<Cell*>(std::as_const(*this).find(c));
}

Cell& CellStore::at(CellRef c) {
    touch();
    return lookUpColumn(c.column, true)->try_emplace(c.row).first->cell;
}

void CellStore::erase(CellRef c) {
    touch();
    auto col = columns_.find(c.column);
    if (col == columns_.end()) return;
    if (col->second.erase(c.row) != 0 && col->second.empty()) {
        forgetColumn();
        columns_.erase(col);
    }
}

void CellStore::clear() {
    touch();
    forgetColumn();
    columns_.clear();
}

const CellStore::Column* CellStore::column(int col) const { return lookUpColumn(col, false); }

CellStore::Column& CellStore::columnForWrite(int col) {
    touch();
    return *lookUpColumn(col, true);
}

CellStore::Column* CellStore::mutableColumn(int col) {
    touch();
    return lookUpColumn(col, false);
}

void CellStore::pruneColumn(int col) {
    touch();
    auto it = columns_.find(col);
    if (it != columns_.end() && it->second.empty()) {
        forgetColumn();
        columns_.erase(it);
    }
}

std::optional<Area> CellStore::bounds() const {
    if (columns_.empty()) return std::nullopt;
    Area a{host::kMaxRows, columns_.begin()->first, 1, columns_.rbegin()->first};
    for (const auto& [col, cells] : columns_) {
        a.top = std::min(a.top, cells.firstRow());
        a.bottom = std::max(a.bottom, cells.lastRow());
    }
    return a;
}

int WorkbookModel::sheetIndex(const std::string& name) const {
    for (size_t i = 0; i < sheets.size(); ++i)
        if (sheets[i]->name == name) return static_cast<int>(i);
    return -1;
}

}  // namespace vorra::engine
