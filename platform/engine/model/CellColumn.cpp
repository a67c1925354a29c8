#include "platform/engine/model/CellColumn.h"

#include <algorithm>
#include <limits>

namespace vorra::engine {

std::size_t CellColumn::blockAtOrAfter(int number) const {
    if (blocks_.empty() || blocks_.front().number >= number) return 0;
    if (blocks_.back().number < number) return blocks_.size();
    // Blocks without gaps between them: the index follows from the number.
    const auto guess = static_cast<std::size_t>(number - blocks_.front().number);
    if (guess < blocks_.size() && blocks_[guess].number == number) return guess;
    auto it = std::lower_bound(blocks_.begin(), blocks_.end(), number,
                               [](const Block& b, int n) { return b.number < n; });
    return static_cast<std::size_t>(it - blocks_.begin());
}

std::size_t CellColumn::indexAtOrAfter(const Block& block, int row) {
    const std::vector<CellEntry>& cells = block.cells;
    // Rows without gaps from the block's first row: the index follows from the row.
    const auto guess = static_cast<std::size_t>(row - block.number * kBlockRows);
    if (guess < cells.size() && cells[guess].row == row) return guess;
    if (cells.back().row < row) return cells.size();
    auto it = std::lower_bound(cells.begin(), cells.end(), row,
                               [](const CellEntry& e, int r) { return e.row < r; });
    return static_cast<std::size_t>(it - cells.begin());
}

CellColumn::Position CellColumn::positionAtOrAfter(int row) const {
    const int number = blockNumber(row);
    const std::size_t b = blockAtOrAfter(number);
    if (b == blocks_.size() || blocks_[b].number != number) return {b, 0};
    const std::size_t i = indexAtOrAfter(blocks_[b], row);
    if (i == blocks_[b].cells.size()) return {b + 1, 0};
    return {b, i};
}

CellColumn::Position CellColumn::positionOf(int row) const {
    const Position p = positionAtOrAfter(row);
    if (p.block < blocks_.size() && blocks_[p.block].cells[p.index].row == row) return p;
    return {blocks_.size(), 0};
}

const Cell* CellColumn::cell(int row) const {
    const Position p = positionOf(row);
    return p.block < blocks_.size() ? &blocks_[p.block].cells[p.index].cell : nullptr;
}

CellColumn::const_iterator CellColumn::find(int row) const {
    const Position p = positionOf(row);
    return {&blocks_, p.block, p.index};
}

CellColumn::const_iterator CellColumn::lower_bound(int row) const {
    const Position p = positionAtOrAfter(row);
    return {&blocks_, p.block, p.index};
}

CellColumn::const_iterator CellColumn::upper_bound(int row) const {
    return row == std::numeric_limits<int>::max() ? end() : lower_bound(row + 1);
}

std::pair<CellColumn::iterator, bool> CellColumn::try_emplace(int row) {
    const int number = blockNumber(row);
    const std::size_t b = blockAtOrAfter(number);
    if (b == blocks_.size() || blocks_[b].number != number) {
        Block fresh;
        fresh.number = number;
        // A column filled row after row takes a whole block at once, instead of
        // growing each block from one cell.
        if (b > 0 && blocks_[b - 1].number == number - 1 && blocks_[b - 1].cells.size() == kBlockRows)
            fresh.cells.reserve(kBlockRows);
        fresh.cells.push_back(CellEntry{row, Cell{}});
        blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(b), std::move(fresh));
        ++size_;
        return {iterator(&blocks_, b, 0), true};
    }
    std::vector<CellEntry>& cells = blocks_[b].cells;
    const std::size_t i = indexAtOrAfter(blocks_[b], row);
    if (i < cells.size() && cells[i].row == row) return {iterator(&blocks_, b, i), false};
    cells.insert(cells.begin() + static_cast<std::ptrdiff_t>(i), CellEntry{row, Cell{}});
    ++size_;
    return {iterator(&blocks_, b, i), true};
}

CellColumn::iterator CellColumn::emplace_hint(const_iterator, int row, Cell cell) {
    auto [it, added] = try_emplace(row);
    if (added) it->cell = std::move(cell);
    return it;
}

CellColumn::iterator CellColumn::erase(const_iterator at) {
    const std::size_t b = at.block_, i = at.index_;
    std::vector<CellEntry>& cells = blocks_[b].cells;
    cells.erase(cells.begin() + static_cast<std::ptrdiff_t>(i));
    --size_;
    if (cells.empty()) {
        blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(b));
        return {&blocks_, b, 0};
    }
    if (i == cells.size()) return {&blocks_, b + 1, 0};
    return {&blocks_, b, i};
}

std::size_t CellColumn::erase(int row) {
    const Position p = positionOf(row);
    if (p.block == blocks_.size()) return 0;
    erase(const_iterator(&blocks_, p.block, p.index));
    return 1;
}

void CellColumn::clear() {
    blocks_.clear();
    size_ = 0;
}

}  // namespace vorra::engine
