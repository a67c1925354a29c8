#include "platform/engine/files/XlsCompoundFile.h"

#include <algorithm>
#include <cstring>

#include "addin/frame/host/HostError.h"
#include "platform/engine/files/TextEncoding.h"

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

// ---- Reading ------------------------------------------------------------------------

namespace {

std::uint16_t get16(std::string_view b, size_t at) {
    return std::uint16_t(static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8));
}
std::uint32_t get32(std::string_view b, size_t at) {
    return std::uint32_t(get16(b, at)) | (std::uint32_t(get16(b, at + 2)) << 16);
}

[[noreturn]] void malformed(const std::string& what) { throw FormatError("damaged compound file: " + what); }

bool sameName(const std::u16string& entry, std::string_view name) {
    if (entry.size() != name.size()) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        char16_t a = entry[i];
        char b = name[i];
        if (a >= u'a' && a <= u'z') a = char16_t(a - 32);
        if (b >= 'a' && b <= 'z') b = char(b - 32);
        if (a != char16_t(static_cast<unsigned char>(b))) return false;
    }
    return true;
}

}  // namespace

CompoundFile::CompoundFile(std::string_view file) : file_(file) {
    static const char kSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    if (file.size() < 512 || file.substr(0, 8) != std::string_view(kSignature, 8))
        throw FormatError("not a compound file");
    const std::uint16_t major = get16(file, 26);
    const std::uint16_t sectorShift = get16(file, 30);
    if (get16(file, 28) != 0xFFFE) malformed("unknown byte order");
    if (!((major == 3 && sectorShift == 9) || (major == 4 && sectorShift == 12)))
        malformed("unknown version " + std::to_string(major) + " with sectors of 2^" + std::to_string(sectorShift) +
                  " bytes");
    if (get16(file, 32) != 6) malformed("mini sectors that are not 64 bytes");
    sectorSize_ = 1u << sectorShift;
    if (file.size() < sectorSize_) malformed("the file ends inside its header");
    // A last sector cut short reads as if filled with zeros, as other readers take it.
    if ((file.size() - sectorSize_) % sectorSize_ != 0) {
        padded_.assign(file);
        padded_.resize(file.size() + sectorSize_ - (file.size() - sectorSize_) % sectorSize_, '\0');
        file_ = file = padded_;
    }
    miniCutoff_ = get32(file, 56);
    if (miniCutoff_ != 4096) malformed("a mini-stream cut-off other than 4096 bytes");
    const std::uint32_t count = sectorCount();
    const std::uint32_t idsPerSector = sectorSize_ / 4;

    // The allocation table's own sectors: 109 in the header, more in a chain of index
    // sectors, each ending with the number of the next.
    const std::uint32_t fatSectors = get32(file, 44);
    if (fatSectors == 0 || fatSectors > count)
        malformed("the allocation table claims " + std::to_string(fatSectors) + " sectors in a file of " +
                  std::to_string(count));
    std::vector<std::uint32_t> fatList;
    fatList.reserve(fatSectors);
    for (std::uint32_t i = 0; i < kHeaderDifatEntries && fatList.size() < fatSectors; ++i)
        fatList.push_back(get32(file, 76 + 4 * i));
    std::uint32_t difat = get32(file, 68);
    const std::uint32_t difatCount = get32(file, 72);
    if (difatCount > count) malformed("the allocation index claims more sectors than the file has");
    std::vector<bool> seenDifat(count, false);
    for (std::uint32_t d = 0; fatList.size() < fatSectors; ++d) {
        if (d >= difatCount || difat >= count) malformed("the allocation index ends before the table does");
        if (seenDifat[difat]) malformed("the allocation index runs in a circle");
        seenDifat[difat] = true;
        std::string_view s = sector(difat);
        for (std::uint32_t k = 0; k + 1 < idsPerSector && fatList.size() < fatSectors; ++k)
            fatList.push_back(get32(s, 4 * k));
        difat = get32(s, 4 * (idsPerSector - 1));
    }
    fat_.reserve(size_t(fatSectors) * idsPerSector);
    std::vector<bool> seenFat(count, false);
    for (std::uint32_t n : fatList) {
        if (n >= count) malformed("an allocation table sector lies outside the file");
        if (seenFat[n]) malformed("an allocation table sector is listed twice");
        seenFat[n] = true;
        std::string_view s = sector(n);
        for (std::uint32_t k = 0; k < idsPerSector; ++k) fat_.push_back(get32(s, 4 * k));
    }

    // The directory: 128-byte entries in a chain of sectors.
    auto directory = chain(fat_, get32(file, 48), count, "the directory");
    const size_t entriesPerSector = sectorSize_ / 128;
    entries_.reserve(directory.size() * entriesPerSector);
    for (std::uint32_t n : directory) {
        std::string_view s = sector(n);
        for (size_t k = 0; k < entriesPerSector; ++k) {
            std::string_view e = s.substr(128 * k, 128);
            Entry entry;
            entry.type = static_cast<unsigned char>(e[66]);
            std::uint16_t nameBytes = get16(e, 64);
            if (entry.type != 0) {
                if (nameBytes > 64 || nameBytes % 2 != 0) malformed("a directory entry has a name longer than 31 characters");
                for (size_t c = 0; c + 2 < nameBytes; c += 2) entry.name += char16_t(get16(e, c));
            }
            entry.left = get32(e, 68);
            entry.right = get32(e, 72);
            entry.child = get32(e, 76);
            entry.start = get32(e, 116);
            // Version 3 files keep only the low 32 bits; some writers leave the rest unset.
            entry.size = major == 3 ? get32(e, 120) : std::uint64_t(get32(e, 120)) | (std::uint64_t(get32(e, 124)) << 32);
            entries_.push_back(std::move(entry));
        }
    }
    if (entries_.empty() || entries_[0].type != 5) malformed("the directory has no root entry");

    // The root's children: a binary tree through the left and right siblings.
    std::vector<bool> seenEntry(entries_.size(), false);
    std::vector<std::uint32_t> pending;
    if (entries_[0].child != kNoStream) pending.push_back(entries_[0].child);
    while (!pending.empty()) {
        std::uint32_t i = pending.back();
        pending.pop_back();
        if (i >= entries_.size() || i == 0) malformed("a directory entry points outside the directory");
        if (seenEntry[i]) malformed("the directory tree runs in a circle");
        seenEntry[i] = true;
        const Entry& e = entries_[i];
        if (e.type != 1 && e.type != 2) malformed("the directory tree holds an unused entry");
        rootChildren_.push_back(i);
        if (e.left != kNoStream) pending.push_back(e.left);
        if (e.right != kNoStream) pending.push_back(e.right);
    }

    // The mini stream lives in the root entry's chain; its table in its own chain.
    const Entry& root = entries_[0];
    if (root.size > 0) {
        miniStream_ = readChain(root.start, root.size, "the mini stream");
        const std::uint32_t miniFatStart = get32(file, 60);
        const std::uint32_t miniFatSectors = get32(file, 64);
        if (miniFatSectors > count) malformed("the mini allocation table claims more sectors than the file has");
        for (std::uint32_t n : chain(fat_, miniFatStart, miniFatSectors, "the mini allocation table")) {
            std::string_view s = sector(n);
            for (std::uint32_t k = 0; k < idsPerSector; ++k) miniFat_.push_back(get32(s, 4 * k));
        }
    }
}

std::uint32_t CompoundFile::sectorCount() const {
    // The header fills sector -1.
    std::uint64_t n = (file_.size() - sectorSize_) / sectorSize_;
    return std::uint32_t(std::min<std::uint64_t>(n, 0xFFFFFFF0u));
}

std::string_view CompoundFile::sector(std::uint32_t n) const {
    return file_.substr(size_t(n + 1) * sectorSize_, sectorSize_);
}

// The sectors of a chain, checked: every number inside the table and the file, no
// sector twice, at most `limit` sectors.
std::vector<std::uint32_t> CompoundFile::chain(const std::vector<std::uint32_t>& table, std::uint32_t start,
                                               std::uint64_t limit, const char* what) const {
    std::vector<std::uint32_t> out;
    const std::uint32_t bound = &table == &fat_ ? std::min<std::uint32_t>(sectorCount(), std::uint32_t(table.size()))
                                                : std::uint32_t(table.size());
    std::vector<bool> seen(bound, false);
    for (std::uint32_t n = start; n != kEndOfChain; n = table[n]) {
        if (n >= bound) malformed(std::string(what) + " runs to a sector outside the file");
        if (seen[n]) malformed(std::string(what) + " runs in a circle");
        if (out.size() >= limit) malformed(std::string(what) + " is longer than it can be");
        seen[n] = true;
        out.push_back(n);
    }
    return out;
}

// A stream's bytes from the ordinary sectors.
std::string CompoundFile::readChain(std::uint32_t start, std::uint64_t size, const char* what) const {
    if (size > std::uint64_t(sectorCount()) * sectorSize_)
        malformed(std::string(what) + " claims " + std::to_string(size) + " bytes, more than the file holds");
    const std::uint64_t needed = (size + sectorSize_ - 1) / sectorSize_;
    auto sectors = chain(fat_, start, sectorCount(), what);
    if (sectors.size() < needed) malformed(std::string(what) + " ends before its last byte");
    std::string out;
    out.reserve(size_t(size));
    for (std::uint32_t n : sectors) {
        if (out.size() >= size) break;
        std::string_view s = sector(n);
        size_t take = std::min<size_t>(size_t(size) - out.size(), sectorSize_);
        out.append(s.substr(0, take));
    }
    return out;
}

const CompoundFile::Entry* CompoundFile::find(std::string_view name) const {
    for (std::uint32_t i : rootChildren_)
        if (sameName(entries_[i].name, name)) return &entries_[i];
    return nullptr;
}

bool CompoundFile::hasStream(std::string_view name) const {
    const Entry* e = find(name);
    return e && e->type == 2;
}

std::string CompoundFile::stream(std::string_view name) const {
    const Entry* e = find(name);
    if (!e || e->type != 2) throw FormatError("the file holds no stream \"" + std::string(name) + "\"");
    std::string what = "the stream \"" + std::string(name) + "\"";
    if (e->size >= miniCutoff_) return readChain(e->start, e->size, what.c_str());
    // A short stream: 64-byte sectors of the mini stream.
    if (e->size > miniStream_.size()) malformed(what + " claims more bytes than the mini stream holds");
    const std::uint64_t needed = (e->size + miniSectorSize_ - 1) / miniSectorSize_;
    const std::uint32_t miniCount = std::uint32_t(miniStream_.size() / miniSectorSize_);
    std::vector<std::uint32_t> table(miniFat_.begin(), miniFat_.begin() + std::min<size_t>(miniFat_.size(), miniCount));
    auto sectors = chain(table, e->start, miniCount, what.c_str());
    if (sectors.size() < needed) malformed(what + " ends before its last byte");
    std::string out;
    out.reserve(size_t(e->size));
    for (std::uint32_t n : sectors) {
        if (out.size() >= e->size) break;
        size_t take = std::min<size_t>(size_t(e->size) - out.size(), miniSectorSize_);
        out.append(miniStream_, size_t(n) * miniSectorSize_, take);
    }
    return out;
}

std::vector<std::string> CompoundFile::rootEntries() const {
    std::vector<std::string> names;
    for (std::uint32_t i : rootChildren_) {
        names.push_back(files::utf8FromUtf16(entries_[i].name));
    }
    return names;
}

// ---- Writing ------------------------------------------------------------------------

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
