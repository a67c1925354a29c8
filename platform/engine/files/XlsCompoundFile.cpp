#include "platform/engine/files/XlsCompoundFile.h"

#include <algorithm>
#include <cstring>

#include "addin/frame/host/HostError.h"

namespace vorra::engine::xls {

namespace {

constexpr std::uint32_t kSectorSize = 512;
constexpr std::uint32_t kIdsPerSector = kSectorSize / 4;  // FAT entries in one sector
constexpr std::uint32_t kHeaderDifatEntries = 109;
constexpr std::uint32_t kMiniStreamCutoff = 4096;

// Special sector numbers of the allocation table.
constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
constexpr std::uint32_t kDifatSector = 0xFFFFFFFC;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;

void put16(std::uint8_t* at, std::uint16_t v) {
    at[0] = std::uint8_t(v);
    at[1] = std::uint8_t(v >> 8);
}
void put32(std::uint8_t* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = std::uint8_t(v >> (8 * i));
}

std::uint32_t sectorsFor(std::uint64_t bytes) {
    return std::uint32_t((bytes + kSectorSize - 1) / kSectorSize);
}

// One 128-byte directory entry.
void writeDirectoryEntry(std::uint8_t* at, const std::string& name, std::uint8_t type,
                         std::uint32_t child, std::uint32_t start, std::uint32_t size) {
    for (size_t i = 0; i < name.size(); ++i) put16(at + 2 * i, std::uint8_t(name[i]));
    put16(at + 64, std::uint16_t(2 * (name.size() + 1)));  // bytes, terminator included
    at[66] = type;
    at[67] = 1;  // black: a tree of one node per level is a valid red-black tree
    put32(at + 68, kNoStream);  // left sibling
    put32(at + 72, kNoStream);  // right sibling
    put32(at + 76, child);
    put32(at + 116, start);
    put32(at + 120, size);
}

}  // namespace

std::vector<std::uint8_t> compoundFileWithStream(const std::string& streamName,
                                                 std::vector<std::uint8_t> stream) {
    if (streamName.empty() || streamName.size() > 31)
        throw host::HostError(host::error::kInvalidArgument, "Stream name must have 1 to 31 characters");
    if (stream.size() > 0x7FFFFFFFu)
        throw host::HostError(host::error::kApplicationDefined,
                              "The workbook is too large for a 97-2003 workbook file");
    if (stream.size() < kMiniStreamCutoff) stream.resize(kMiniStreamCutoff, 0);

    const std::uint32_t streamSectors = sectorsFor(stream.size());
    const std::uint32_t directorySectors = 1;  // root, the stream and two unused entries
    // The allocation table covers every sector including its own and those of the
    // table's index (DIFAT) beyond the 109 entries of the header: grow until it fits.
    std::uint32_t fatSectors = 1, difatSectors = 0;
    for (;;) {
        std::uint32_t total = streamSectors + directorySectors + fatSectors + difatSectors;
        std::uint32_t neededFat = (total + kIdsPerSector - 1) / kIdsPerSector;
        std::uint32_t neededDifat =
            neededFat > kHeaderDifatEntries
                ? (neededFat - kHeaderDifatEntries + kIdsPerSector - 2) / (kIdsPerSector - 1)
                : 0;
        if (neededFat == fatSectors && neededDifat == difatSectors) break;
        fatSectors = std::max(fatSectors, neededFat);
        difatSectors = std::max(difatSectors, neededDifat);
    }
    const std::uint32_t firstDifat = fatSectors;
    const std::uint32_t directory = fatSectors + difatSectors;
    const std::uint32_t firstStream = directory + directorySectors;
    const std::uint32_t totalSectors = firstStream + streamSectors;

    std::vector<std::uint8_t> file(size_t(totalSectors + 1) * kSectorSize, 0);
    auto sector = [&](std::uint32_t n) { return file.data() + size_t(n + 1) * kSectorSize; };

    // Header.
    std::uint8_t* h = file.data();
    const std::uint8_t signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::memcpy(h, signature, 8);
    put16(h + 24, 0x003E);  // minor version
    put16(h + 26, 0x0003);  // major version 3: 512-byte sectors
    put16(h + 28, 0xFFFE);  // little-endian
    put16(h + 30, 9);       // sector size 2^9
    put16(h + 32, 6);       // mini sector size 2^6
    put32(h + 44, fatSectors);
    put32(h + 48, directory);
    put32(h + 56, kMiniStreamCutoff);
    put32(h + 60, kEndOfChain);  // no mini allocation table
    put32(h + 64, 0);
    put32(h + 68, difatSectors ? firstDifat : kEndOfChain);
    put32(h + 72, difatSectors);
    for (std::uint32_t i = 0; i < kHeaderDifatEntries; ++i)
        put32(h + 76 + 4 * i, i < fatSectors ? i : kFreeSector);

    // The table's index beyond the header: 127 entries and the next index sector each.
    for (std::uint32_t d = 0; d < difatSectors; ++d) {
        std::uint8_t* s = sector(firstDifat + d);
        for (std::uint32_t k = 0; k < kIdsPerSector - 1; ++k) {
            std::uint32_t fat = kHeaderDifatEntries + d * (kIdsPerSector - 1) + k;
            put32(s + 4 * k, fat < fatSectors ? fat : kFreeSector);
        }
        put32(s + 4 * (kIdsPerSector - 1), d + 1 < difatSectors ? firstDifat + d + 1 : kEndOfChain);
    }

    // Allocation table.
    auto setFat = [&](std::uint32_t n, std::uint32_t value) {
        put32(sector(n / kIdsPerSector) + 4 * (n % kIdsPerSector), value);
    };
    for (std::uint32_t n = 0; n < fatSectors * kIdsPerSector; ++n) setFat(n, kFreeSector);
    for (std::uint32_t n = 0; n < fatSectors; ++n) setFat(n, kFatSector);
    for (std::uint32_t n = 0; n < difatSectors; ++n) setFat(firstDifat + n, kDifatSector);
    setFat(directory, kEndOfChain);
    for (std::uint32_t n = 0; n < streamSectors; ++n)
        setFat(firstStream + n, n + 1 < streamSectors ? firstStream + n + 1 : kEndOfChain);

    // Directory: the root storage with the one stream as its child.
    std::uint8_t* dir = sector(directory);
    writeDirectoryEntry(dir, "Root Entry", 5, 1, kEndOfChain, 0);
    writeDirectoryEntry(dir + 128, streamName, 2, kNoStream, firstStream,
                        std::uint32_t(stream.size()));
    for (int unused = 2; unused < 4; ++unused) {
        std::uint8_t* e = dir + 128 * unused;
        put32(e + 68, kNoStream);
        put32(e + 72, kNoStream);
        put32(e + 76, kNoStream);
    }

    std::memcpy(sector(firstStream), stream.data(), stream.size());
    return file;
}

}  // namespace vorra::engine::xls
