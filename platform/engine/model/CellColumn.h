#pragma once
// One column's cells, ordered by row, stored without a heap object per cell.

#include <cstddef>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "addin/frame/host/Value.h"

namespace vorra::engine {

struct Cell {
    host::Value value;    // constant, or the cached result of the formula
    std::string formula;  // formula text without the leading "="; empty for constants
    int style = 0;        // index into StyleSheet::formats
    bool hasFormula() const { return !formula.empty(); }
};

struct CellEntry {
    int row = 0;
    Cell cell;
};

// The cells of a column in blocks of 64 consecutive rows. Each block holds only the
// rows that have a cell, in row order, and the blocks are kept in row order, so that a
// scan walks contiguous memory and a whole book's cells cost a few allocations per 64
// rows instead of one per cell. A look-up in a column without gaps between its blocks,
// and in a block without gaps between its rows, goes straight to the cell.
//
// Adding or removing a cell moves the cells of its block: it invalidates iterators,
// references and pointers into that block, and iterators (not references) into the
// blocks after it when a block is added or dropped.
class CellColumn {
    struct Block {
        int number = 0;                // rows number * 64 ... number * 64 + 63
        std::vector<CellEntry> cells;  // never empty, ascending rows
    };

public:
    template <bool IsConst>
    class Iterator {
        using Blocks = std::conditional_t<IsConst, const std::vector<Block>, std::vector<Block>>;

    public:
        using iterator_category = std::bidirectional_iterator_tag;
        using value_type = CellEntry;
        using difference_type = std::ptrdiff_t;
        using pointer = std::conditional_t<IsConst, const CellEntry*, CellEntry*>;
        using reference = std::conditional_t<IsConst, const CellEntry&, CellEntry&>;

        Iterator() = default;
        Iterator(Blocks* blocks, std::size_t block, std::size_t index)
            : blocks_(blocks), block_(block), index_(index) {}
        // A mutable iterator converts to a constant one.
        template <bool Other, typename = std::enable_if_t<IsConst && !Other>>
        Iterator(const Iterator<Other>& other)
            : blocks_(other.blocks_), block_(other.block_), index_(other.index_) {}

        reference operator*() const { return (*blocks_)[block_].cells[index_]; }
        pointer operator->() const { return &**this; }
        Iterator& operator++() {
            if (++index_ == (*blocks_)[block_].cells.size()) {
                ++block_;
                index_ = 0;
            }
            return *this;
        }
        Iterator operator++(int) {
            Iterator before = *this;
            ++*this;
            return before;
        }
        Iterator& operator--() {
            if (index_ == 0) {
                --block_;
                index_ = (*blocks_)[block_].cells.size();
            }
            --index_;
            return *this;
        }
        Iterator operator--(int) {
            Iterator before = *this;
            --*this;
            return before;
        }
        friend bool operator==(const Iterator& a, const Iterator& b) {
            return a.block_ == b.block_ && a.index_ == b.index_;
        }

    private:
        friend class CellColumn;
        template <bool>
        friend class Iterator;
        Blocks* blocks_ = nullptr;
        std::size_t block_ = 0;
        std::size_t index_ = 0;
    };
    using iterator = Iterator<false>;
    using const_iterator = Iterator<true>;
    using reverse_iterator = std::reverse_iterator<iterator>;
    using const_reverse_iterator = std::reverse_iterator<const_iterator>;

    iterator begin() { return {&blocks_, 0, 0}; }
    iterator end() { return {&blocks_, blocks_.size(), 0}; }
    const_iterator begin() const { return {&blocks_, 0, 0}; }
    const_iterator end() const { return {&blocks_, blocks_.size(), 0}; }
    reverse_iterator rbegin() { return reverse_iterator(end()); }
    reverse_iterator rend() { return reverse_iterator(begin()); }
    const_reverse_iterator rbegin() const { return const_reverse_iterator(end()); }
    const_reverse_iterator rend() const { return const_reverse_iterator(begin()); }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // The first and the last row holding a cell; the column must not be empty.
    int firstRow() const { return blocks_.front().cells.front().row; }
    int lastRow() const { return blocks_.back().cells.back().row; }

    const Cell* cell(int row) const;
    Cell* cell(int row) { return const_cast<Cell*>(std::as_const(*this).cell(row)); }
    const_iterator find(int row) const;
    iterator find(int row) { return mutableAt(std::as_const(*this).find(row)); }
    // The first cell at or below the row, and the first below it.
    const_iterator lower_bound(int row) const;
    iterator lower_bound(int row) { return mutableAt(std::as_const(*this).lower_bound(row)); }
    const_iterator upper_bound(int row) const;
    iterator upper_bound(int row) { return mutableAt(std::as_const(*this).upper_bound(row)); }

    // The row's cell, added empty when there is none; the flag says whether it was added.
    std::pair<iterator, bool> try_emplace(int row);
    // The row's cell, added as `cell` when there is none (the position is found anew).
    iterator emplace_hint(const_iterator, int row, Cell cell);
    // Removes the cell and returns the position of the one after it.
    iterator erase(const_iterator at);
    std::size_t erase(int row);
    void clear();

private:
    static constexpr int kBlockShift = 6;
    static constexpr int kBlockRows = 1 << kBlockShift;
    static int blockNumber(int row) { return row >> kBlockShift; }

    struct Position {
        std::size_t block = 0;
        std::size_t index = 0;
    };
    // The index of the block with this number, or of the first after it.
    std::size_t blockAtOrAfter(int number) const;
    // The index in a block of the row's cell, or of the first cell after it.
    static std::size_t indexAtOrAfter(const Block& block, int row);
    // The position of the row's cell, or of the first cell after it (the end when none).
    Position positionAtOrAfter(int row) const;
    // The position of the row's cell; the end when there is none.
    Position positionOf(int row) const;
    iterator mutableAt(const_iterator at) { return {&blocks_, at.block_, at.index_}; }

    std::vector<Block> blocks_;
    std::size_t size_ = 0;
};

}  // namespace vorra::engine
