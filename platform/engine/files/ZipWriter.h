#pragma once
// Writing a zip archive part by part as the parts are produced: each part's text is
// deflated as it arrives, in a bounded buffer, and goes straight to the sink, so a
// save holds one buffer's worth of a part rather than every part's whole text. Each
// entry's checksum and sizes are patched into its local header when the entry ends
// (no data descriptors), which every reader accepts.

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/engine/files/ByteSink.h"

namespace vorra::engine::files {

class ZipWriter {
public:
    // Archives without the 64-bit extensions end at 4 GiB: no offset, size or count
    // may pass this.
    static constexpr std::uint64_t kMaxArchiveBytes = 0xFFFFFFFFu;
    static constexpr size_t kMaxEntries = 0xFFFF;

    // `file` names the file in error messages. `maxBytes` lowers the archive's bound
    // (tests reach it without writing 4 GiB).
    ZipWriter(ByteSink& out, std::string file, std::uint64_t maxBytes = kMaxArchiveBytes);
    ~ZipWriter();
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    // Starts an entry; the previous one must have ended.
    void beginPart(const std::string& name);
    // Adds text to the current entry.
    void write(std::string_view text);
    void endPart();
    // A whole entry at once.
    void addPart(const std::string& name, std::string_view text);
    // Writes the central directory; nothing may be added afterwards.
    void finish();

private:
    struct Entry {
        std::string name;
        std::uint32_t crc = 0;
        std::uint64_t compressedSize = 0, size = 0, headerOffset = 0;
    };
    void emit(std::string_view bytes);
    void deflateSome(int flush);
    [[noreturn]] void tooLarge() const;

    ByteSink& out_;
    std::string file_;
    std::uint64_t maxBytes_;
    std::uint64_t offset_ = 0;
    std::vector<Entry> entries_;
    std::set<std::string> names_;
    bool open_ = false;
    bool finished_ = false;
    struct Deflater;
    Deflater* deflater_;
};

}  // namespace vorra::engine::files
