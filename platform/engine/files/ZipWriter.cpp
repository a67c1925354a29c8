#include "platform/engine/files/ZipWriter.h"

#include <zlib.h>

#include <algorithm>
#include <array>

#include "platform/engine/files/FileError.h"

namespace vorra::engine::files {

namespace {

// Every entry is dated 1980-01-02 00:00, the same for every save, so that saving an
// unchanged workbook gives the same bytes.
constexpr std::uint16_t kDosTime = 0;
constexpr std::uint16_t kDosDate = (0 << 9) | (1 << 5) | 2;
constexpr std::uint16_t kVersion = 20;        // deflate, no 64-bit extensions
constexpr std::uint16_t kUtf8Names = 0x0800;  // general purpose flag: names are UTF-8
constexpr std::uint16_t kDeflated = 8;
constexpr size_t kOutBuffer = 64 * 1024;

void put16(std::string& s, std::uint32_t v) {
    s += char(v & 0xFF);
    s += char((v >> 8) & 0xFF);
}
void put32(std::string& s, std::uint64_t v) {
    put16(s, std::uint32_t(v & 0xFFFF));
    put16(s, std::uint32_t((v >> 16) & 0xFFFF));
}

}  // namespace

struct ZipWriter::Deflater {
    z_stream z{};
    std::array<unsigned char, kOutBuffer> buffer{};
};

ZipWriter::ZipWriter(ByteSink& out, std::string file, std::uint64_t maxBytes)
    : out_(out),
      file_(std::move(file)),
      maxBytes_(std::min(maxBytes, kMaxArchiveBytes)),
      deflater_(new Deflater) {
    // Raw deflate (no zlib wrapper), level 1: saving stays fast and XML still shrinks
    // several times.
    if (deflateInit2(&deflater_->z, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        delete deflater_;
        failSave(file_, "out of memory");
    }
}

ZipWriter::~ZipWriter() {
    deflateEnd(&deflater_->z);
    delete deflater_;
}

void ZipWriter::tooLarge() const {
    failSave(file_,
             "the workbook package would be larger than 4 GiB, which is more than a workbook file "
             "may hold");
}

void ZipWriter::emit(std::string_view bytes) {
    if (offset_ + bytes.size() > maxBytes_) tooLarge();
    out_.write(bytes);
    offset_ += bytes.size();
}

void ZipWriter::beginPart(const std::string& name) {
    if (open_ || finished_)
        failSave(file_, "zip entry \"" + name + "\" started before the previous one ended");
    if (entries_.size() >= kMaxEntries)
        failSave(file_, "the workbook package would have more than 65535 parts");
    if (name.empty() || name.size() > 0xFFFF)
        failSave(file_, "a zip entry name must have 1 to 65535 bytes");
    if (!names_.insert(name).second)
        failSave(file_, "the workbook package would hold \"" + name + "\" twice");
    if (deflateReset(&deflater_->z) != Z_OK) failSave(file_, "compression failed");
    Entry e;
    e.name = name;
    e.headerOffset = offset_;
    e.crc = std::uint32_t(crc32(0, nullptr, 0));
    std::string h;
    put32(h, 0x04034b50);
    put16(h, kVersion);
    put16(h, kUtf8Names);
    put16(h, kDeflated);
    put16(h, kDosTime);
    put16(h, kDosDate);
    put32(h, 0);  // checksum and sizes: patched when the entry ends
    put32(h, 0);
    put32(h, 0);
    put16(h, std::uint32_t(name.size()));
    put16(h, 0);  // no extra field
    h += name;
    entries_.push_back(std::move(e));
    open_ = true;
    emit(h);
}

void ZipWriter::deflateSome(int flush) {
    z_stream& z = deflater_->z;
    Entry& e = entries_.back();
    for (;;) {
        z.next_out = deflater_->buffer.data();
        z.avail_out = uInt(deflater_->buffer.size());
        int rc = deflate(&z, flush);
        if (rc == Z_STREAM_ERROR) failSave(file_, "compression failed");
        size_t produced = deflater_->buffer.size() - z.avail_out;
        if (produced) {
            emit(std::string_view(reinterpret_cast<const char*>(deflater_->buffer.data()),
                                  produced));
            e.compressedSize += produced;
        }
        if (flush == Z_FINISH ? rc == Z_STREAM_END : (z.avail_in == 0 && z.avail_out != 0)) return;
    }
}

void ZipWriter::write(std::string_view text) {
    if (!open_) failSave(file_, "zip data written outside an entry");
    Entry& e = entries_.back();
    // zlib counts in 32 bits: long texts go in slices.
    constexpr size_t kSlice = 1u << 30;
    while (!text.empty()) {
        std::string_view slice = text.substr(0, kSlice);
        text.remove_prefix(slice.size());
        e.size += slice.size();
        if (e.size > kMaxArchiveBytes) tooLarge();
        e.crc = std::uint32_t(
            crc32(e.crc, reinterpret_cast<const Bytef*>(slice.data()), uInt(slice.size())));
        deflater_->z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(slice.data()));
        deflater_->z.avail_in = uInt(slice.size());
        deflateSome(Z_NO_FLUSH);
    }
}

void ZipWriter::endPart() {
    if (!open_) failSave(file_, "zip entry ended that was not started");
    deflater_->z.next_in = nullptr;
    deflater_->z.avail_in = 0;
    deflateSome(Z_FINISH);
    open_ = false;
    const Entry& e = entries_.back();
    std::string fields;
    put32(fields, e.crc);
    put32(fields, e.compressedSize);
    put32(fields, e.size);
    out_.patch(e.headerOffset + 14, fields);
}

void ZipWriter::addPart(const std::string& name, std::string_view text) {
    beginPart(name);
    write(text);
    endPart();
}

void ZipWriter::finish() {
    if (open_) failSave(file_, "zip entry \"" + entries_.back().name + "\" was not ended");
    if (finished_) return;
    const std::uint64_t directoryOffset = offset_;
    std::string d;
    for (const Entry& e : entries_) {
        put32(d, 0x02014b50);
        put16(d, (3u << 8) | kVersion);  // made on a Unix system, so the mode below counts
        put16(d, kVersion);
        put16(d, kUtf8Names);
        put16(d, kDeflated);
        put16(d, kDosTime);
        put16(d, kDosDate);
        put32(d, e.crc);
        put32(d, e.compressedSize);
        put32(d, e.size);
        put16(d, std::uint32_t(e.name.size()));
        put16(d, 0);                             // extra field
        put16(d, 0);                             // comment
        put16(d, 0);                             // disk
        put16(d, 0);                             // internal attributes
        put32(d, std::uint64_t(0100644) << 16);  // a regular file, rw-r--r--
        put32(d, e.headerOffset);
        d += e.name;
        if (d.size() >= kOutBuffer) {
            emit(d);
            d.clear();
        }
    }
    emit(d);
    const std::uint64_t directorySize = offset_ - directoryOffset;
    std::string end;
    put32(end, 0x06054b50);
    put16(end, 0);  // this disk
    put16(end, 0);  // the directory's disk
    put16(end, std::uint32_t(entries_.size()));
    put16(end, std::uint32_t(entries_.size()));
    put32(end, directorySize);
    put32(end, directoryOffset);
    put16(end, 0);  // comment
    emit(end);
    finished_ = true;
}

}  // namespace vorra::engine::files
