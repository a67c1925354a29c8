#pragma once
// The container of a 97–2003 workbook file: a compound file, a small file system of
// fixed-size sectors with an allocation table, a directory of storages and streams,
// and a second, finer allocation for the short streams (the mini stream).
//
// Reading checks everything against the file before it allocates or follows
// anything: every sector number must lie in the file, every chain must end without
// running into itself and be as long as its stream says, the directory tree must be
// a tree. A file that breaks any rule is refused with what is wrong.
//
// Writing builds a version 3 file (512-byte sectors) holding the workbook stream.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vorra::engine::xls {

// A malformed binary workbook; the message says what is wrong, without the file name.
class FormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class CompoundFile {
public:
    // Reads the header, allocation tables and directory; throws FormatError.
    explicit CompoundFile(std::string_view file);
    CompoundFile(const CompoundFile&) = delete;
    CompoundFile& operator=(const CompoundFile&) = delete;

    // Whether the root storage holds a stream of that name (ASCII, case ignored as
    // the format compares names).
    bool hasStream(std::string_view name) const;
    // The stream's bytes; throws FormatError when it is absent or its chain is broken.
    std::string stream(std::string_view name) const;
    // Names of the streams and storages directly in the root storage, in UTF-8.
    std::vector<std::string> rootEntries() const;

private:
    struct Entry {
        std::u16string name;
        int type = 0;  // 1 storage, 2 stream, 5 root
        std::uint32_t left = 0, right = 0, child = 0;
        std::uint32_t start = 0;
        std::uint64_t size = 0;
    };

    std::uint32_t sectorCount() const;
    std::string_view sector(std::uint32_t n) const;
    std::vector<std::uint32_t> chain(const std::vector<std::uint32_t>& table, std::uint32_t start,
                                     std::uint64_t limit, const char* what) const;
    std::string readChain(std::uint32_t start, std::uint64_t size, const char* what) const;
    const Entry* find(std::string_view name) const;

    std::string_view file_;
    std::string padded_;  // the file with its last sector completed, when it was cut short
    std::uint32_t sectorSize_ = 512;
    std::uint32_t miniSectorSize_ = 64;
    std::uint32_t miniCutoff_ = 4096;
    std::vector<std::uint32_t> fat_;
    std::vector<std::uint32_t> miniFat_;
    std::string miniStream_;
    std::vector<Entry> entries_;
    std::vector<std::uint32_t> rootChildren_;  // directory entries in the root storage
};

// Builds a compound file whose root storage holds exactly one stream of that name
// (at most 31 characters of ASCII). Streams shorter than 4096 bytes are padded with
// zeros up to that size, so that they live in ordinary sectors and the file needs no
// mini stream; record readers stop at the stream's last end-of-file record.
std::vector<std::uint8_t> compoundFileWithStream(const std::string& streamName,
                                                 std::vector<std::uint8_t> stream);

}  // namespace vorra::engine::xls
