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

namespace {

// Columns this short are found fast enough in their tree.
constexpr std::size_t kIndexedColumnMin = 32;
// Tree look-ups per cell of the column before the index is built: building costs a
// pass over the column, paid back by the look-ups after it.
constexpr std::size_t kLookupsPerCellToIndex = 8;
// Rows spread thinner than this many rows per cell are not indexed.
constexpr std::size_t kMaxRowsPerCell = 8;

}  // namespace

std::uint64_t CellStore::newStoreNumber() {
    static std::atomic<std::uint64_t> next{0};
    return ++next;
}

CellStore& CellStore::operator=(const CellStore& other) {
    if (this != &other) {
        columns_ = other.columns_;
        index_.clear();
        touch();
    }
    return *this;
}

CellStore& CellStore::operator=(CellStore&& other) noexcept {
    if (this != &other) {
        columns_ = std::move(other.columns_);
        index_.clear();
        other.index_.clear();
        touch();
        other.touch();
    }
    return *this;
}

CellStore::RowIndex* CellStore::rowIndex(int col) const {
    if (col < 0 || static_cast<std::size_t>(col) >= index_.size()) return nullptr;
    return &index_[static_cast<std::size_t>(col)];
}

void CellStore::noteLookup(int col, const Column& cells) const {
    if (cells.size() < kIndexedColumnMin || col < 0 || col > host::kMaxColumns) return;
    if (static_cast<std::size_t>(col) >= index_.size()) index_.resize(static_cast<std::size_t>(col) + 1);
    RowIndex& ix = index_[static_cast<std::size_t>(col)];
    if (++ix.lookups * kLookupsPerCellToIndex < cells.size()) return;
    ix.lookups = 0;
    const std::size_t span =
        static_cast<std::size_t>(cells.rbegin()->first) - static_cast<std::size_t>(cells.begin()->first) + 1;
    if (span > cells.size() * kMaxRowsPerCell) return;
    ix.top = cells.begin()->first;
    ix.cells.assign(span, nullptr);
    // The tree hands out its cells as const; the index serves the non-const find too.
    Column& owned = const_cast<Column&>(cells);
    for (auto& [row, cell] : owned) ix.cells[static_cast<std::size_t>(row - ix.top)] = &cell;
    ix.size = cells.size();
    ix.column = &cells;
}

void CellStore::noteInsert(int col, int row, Cell* cell) {
    RowIndex* ix = rowIndex(col);
    if (!ix || !ix->column) return;
    if (row < ix->top || static_cast<std::size_t>(row - ix->top) >= ix->size * kMaxRowsPerCell + kIndexedColumnMin) {
        dropIndex(col);
        return;
    }
    const auto i = static_cast<std::size_t>(row - ix->top);
    if (i >= ix->cells.size()) ix->cells.resize(i + 1, nullptr);
    ix->cells[i] = cell;
    ++ix->size;
}

void CellStore::dropIndex(int col) {
    if (RowIndex* ix = rowIndex(col)) *ix = RowIndex{};
}

const Cell* CellStore::find(CellRef c) const {
    if (const RowIndex* ix = rowIndex(c.column); ix && ix->column) {
        // A column changed behind the index (through columnForWrite) no longer has the
        // size the index knows: fall back to the tree.
        if (ix->column->size() == ix->size) {
            if (c.row < ix->top) return nullptr;
            const auto i = static_cast<std::size_t>(c.row - ix->top);
            return i < ix->cells.size() ? ix->cells[i] : nullptr;
        }
    }
    auto col = columns_.find(c.column);
    if (col == columns_.end()) return nullptr;
    noteLookup(c.column, col->second);
    auto cell = col->second.find(c.row);
    return cell == col->second.end() ? nullptr : &cell->second;
}

Cell* CellStore::find(CellRef c) {
    touch();
    return const_cast<Cell*>(static_cast<const CellStore*>(this)->find(c));
}

Cell& CellStore::at(CellRef c) {
    touch();
    auto [it, inserted] = columns_[c.column].try_emplace(c.row);
    if (inserted) noteInsert(c.column, c.row, &it->second);
    return it->second;
}

void CellStore::erase(CellRef c) {
    touch();
    auto col = columns_.find(c.column);
    if (col == columns_.end()) return;
    if (col->second.erase(c.row) == 0) return;
    if (col->second.empty()) {
        dropIndex(c.column);
        columns_.erase(col);
        return;
    }
    if (RowIndex* ix = rowIndex(c.column); ix && ix->column) {
        const long long i = static_cast<long long>(c.row) - ix->top;
        if (i >= 0 && i < static_cast<long long>(ix->cells.size())) ix->cells[static_cast<std::size_t>(i)] = nullptr;
        --ix->size;
    }
}

bool CellStore::empty() const { return columns_.empty(); }

void CellStore::clear() {
    touch();
    columns_.clear();
    index_.clear();
}

const CellStore::Column* CellStore::column(int col) const {
    auto it = columns_.find(col);
    return it == columns_.end() ? nullptr : &it->second;
}

CellStore::Column& CellStore::columnForWrite(int col) {
    touch();
    dropIndex(col);
    return columns_[col];
}

CellStore::Column* CellStore::mutableColumn(int col) {
    touch();
    dropIndex(col);
    auto it = columns_.find(col);
    return it == columns_.end() ? nullptr : &it->second;
}

void CellStore::pruneColumn(int col) {
    touch();
    auto it = columns_.find(col);
    if (it != columns_.end() && it->second.empty()) {
        dropIndex(col);
        columns_.erase(it);
    }
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
