#pragma once
// Bounds on what the readers accept, so that a hostile file cannot exhaust memory or
// time. The defaults are far above any real bank template: the largest unit books of
// 50,000 rows use about a tenth of the cell budget.

#include <cstddef>
#include <cstdint>
#include <string>

namespace vorra::engine::files {

struct ReadLimits {
    std::uint64_t maxFileBytes = 256ull << 20;          // the file as stored
    std::uint64_t maxUncompressedBytes = 256ull << 20;  // all entries together
    std::uint64_t maxEntries = 10000;
    // An entry that inflates by more than this factor (and past a small floor) is
    // treated as a decompression bomb.
    std::uint64_t maxCompressionRatio = 200;
    std::uint64_t ratioFloorBytes = 1ull << 20;
    int maxXmlDepth = 128;
    // One workbook, whatever its format: cells of all sheets together, and the memory
    // the reader may use for it (the file's parts, their parsed form and the model).
    std::uint64_t maxCells = 4'000'000;
    std::uint64_t maxMemoryBytes = 320ull << 20;
};

// What one workbook costs while it is read, counted against the limits. A reader
// charges every cell, every text and every part it holds; past a limit the file is
// refused with a message that names the limit.
class WorkbookBudget {
public:
    // What one stored cell costs besides its text: the cell and its row in its
    // column's block, with room for the block's growth, rounded up.
    static constexpr std::uint64_t kCellBytes = 160;

    WorkbookBudget(const ReadLimits& limits, const std::string& file) : limits_(limits), file_(file) {}

    // One cell whose text (if any) has this many bytes.
    void addCell(std::uint64_t textBytes) {
        if (++cells_ > limits_.maxCells) refuseCells();
        addBytes(kCellBytes + textBytes);
    }
    // Memory the model or the reader keeps for the rest of the reading.
    void addBytes(std::uint64_t bytes) {
        used_ += bytes;
        if (used_ > limits_.maxMemoryBytes) refuseMemory();
    }
    // Memory needed for a while on top of what is kept (a part's parsed form).
    void checkTransient(std::uint64_t bytes) const {
        if (used_ + bytes > limits_.maxMemoryBytes) refuseMemory();
    }
    // What has been counted so far, to count a stretch of the reading again from
    // there when it is read a second way.
    struct Mark {
        std::uint64_t cells = 0, bytes = 0;
    };
    Mark mark() const { return {cells_, used_}; }
    void rewind(Mark m) {
        cells_ = m.cells;
        used_ = m.bytes;
    }
    std::uint64_t cells() const { return cells_; }
    std::uint64_t bytes() const { return used_; }

private:
    [[noreturn]] void refuseCells() const;
    [[noreturn]] void refuseMemory() const;

    const ReadLimits& limits_;
    const std::string& file_;
    std::uint64_t cells_ = 0;
    std::uint64_t used_ = 0;
};

}  // namespace vorra::engine::files
