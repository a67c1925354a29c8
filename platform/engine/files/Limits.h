#pragma once
// Bounds on what the readers accept, so that a hostile file cannot exhaust memory or
// time. The defaults are far above any real bank template.

#include <cstddef>
#include <cstdint>

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
};

}  // namespace vorra::engine::files
