#include "platform/engine/files/CompoundFile.h"

#include <cstdint>
#include <stdexcept>

namespace vorra::engine::files {

namespace {

constexpr std::uint32_t kSectorSize = 512;
constexpr std::uint32_t kFree = 0xFFFFFFFF;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;
constexpr std::uint32_t kMiniStreamCutoff = 4096;
constexpr std::uint32_t kHeaderFatSlots = 109;

void put16(std::string& out, size_t at, std::uint16_t v) {
    out[at] = char(v & 0xFF);
    out[at + 1] = char(v >> 8);
}
void put32(std::string& out, size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + size_t(i)] = char((v >> (8 * i)) & 0xFF);
}

// One 128-byte directory entry.
std::string directoryEntry(const std::u16string& name, std::uint8_t type, std::uint32_t child,
                           std::uint32_t start, std::uint32_t size) {
    std::string e(128, '\0');
    for (size_t i = 0; i < name.size() && i < 31; ++i) put16(e, i * 2, std::uint16_t(name[i]));
    put16(e, 64, std::uint16_t(name.empty() ? 0 : (name.size() + 1) * 2));
    e[66] = char(type);
    e[67] = 1;  // black in the red-black tree of siblings
    put32(e, 68, kNoStream);
    put32(e, 72, kNoStream);
    put32(e, 76, child);
    put32(e, 116, start);
    put32(e, 120, size);
    return e;
}

}  // namespace

std::string writeCompoundFile(const std::string& name, std::string stream) {
    if (stream.size() < kMiniStreamCutoff) stream.resize(kMiniStreamCutoff, '\0');
    std::uint32_t streamSectors = std::uint32_t((stream.size() + kSectorSize - 1) / kSectorSize);
    stream.resize(size_t(streamSectors) * kSectorSize, '\0');
    const std::uint32_t dirSectors = 1;
    std::uint32_t fatSectors = 1;
    while ((streamSectors + dirSectors + fatSectors + 127) / 128 > fatSectors) ++fatSectors;
    if (fatSectors > kHeaderFatSlots) throw std::length_error("the workbook is too large for a compound file");

    std::string out(kSectorSize, '\0');
    const char signature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    out.replace(0, 8, signature, 8);
    put16(out, 24, 0x003E);  // minor version
    put16(out, 26, 0x0003);  // major version 3: 512-byte sectors
    put16(out, 28, 0xFFFE);  // little-endian
    put16(out, 30, 9);       // sector size 2^9
    put16(out, 32, 6);       // mini sector size 2^6
    put32(out, 44, fatSectors);
    std::uint32_t dirStart = streamSectors;
    std::uint32_t fatStart = streamSectors + dirSectors;
    put32(out, 48, dirStart);
    put32(out, 56, kMiniStreamCutoff);
    put32(out, 60, kEndOfChain);  // no mini allocation table
    put32(out, 68, kEndOfChain);  // no extra allocation-table list
    for (std::uint32_t i = 0; i < kHeaderFatSlots; ++i)
        put32(out, 76 + size_t(i) * 4, i < fatSectors ? fatStart + i : kFree);

    out += stream;

    std::u16string streamName(name.begin(), name.end());
    std::string dir = directoryEntry(u"Root Entry", 5, 1, kEndOfChain, 0) +
                      directoryEntry(streamName, 2, kNoStream, 0, std::uint32_t(stream.size())) +
                      directoryEntry(u"", 0, kNoStream, 0, 0) + directoryEntry(u"", 0, kNoStream, 0, 0);
    // Unused entries still carry "no sibling" links.
    for (size_t e = 2; e < 4; ++e) {
        put32(dir, e * 128 + 68, kNoStream);
        put32(dir, e * 128 + 72, kNoStream);
    }
    out += dir;

    std::string fat(size_t(fatSectors) * kSectorSize, '\xFF');
    for (std::uint32_t i = 0; i < streamSectors; ++i)
        put32(fat, size_t(i) * 4, i + 1 == streamSectors ? kEndOfChain : i + 1);
    put32(fat, size_t(dirStart) * 4, kEndOfChain);
    for (std::uint32_t i = 0; i < fatSectors; ++i) put32(fat, size_t(fatStart + i) * 4, kFatSector);
    out += fat;
    return out;
}

}  // namespace vorra::engine::files
