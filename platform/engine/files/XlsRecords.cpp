#include "platform/engine/files/XlsRecords.h"

#include <algorithm>
#include <cstdio>

#include "addin/frame/host/HostError.h"
#include "platform/engine/files/TextEncoding.h"

namespace vorra::engine::xls {

namespace {

std::string hex4(unsigned v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04X", v & 0xFFFF);
    return buf;
}

[[noreturn]] void shortRecord(std::uint16_t type) {
    throw FormatError("record 0x" + hex4(type) + " is shorter than what it holds");
}

// Characters of a string body: one byte (ISO 8859-1) or two (UTF-16LE) each.
std::string decodeChars(std::string_view bytes, bool wide) {
    return wide ? files::utf8FromUtf16le(bytes) : files::utf8FromLatin1(bytes);
}

}  // namespace

void ByteReader::tooShort() const { shortRecord(type_); }

std::string Record::joined() const {
    std::string all(data);
    for (auto c : continues) all.append(c);
    return all;
}

bool RecordStream::next(Record& out) {
    auto header = [&](size_t at, std::uint16_t& type, std::uint16_t& size) {
        auto byte = [&](size_t k) { return static_cast<unsigned char>(stream_[at + k]); };
        type = std::uint16_t(byte(0) | (byte(1) << 8));
        size = std::uint16_t(byte(2) | (byte(3) << 8));
    };
    if (at_ + 4 > stream_.size()) return false;
    std::uint16_t type, size;
    header(at_, type, size);
    // Streams padded with zeros (as short streams often are) end where the zeros start.
    if (type == 0 && size == 0) return false;
    if (size > kMaxRecordData || at_ + 4 + size > stream_.size())
        throw FormatError("record 0x" + hex4(type) + " at byte " + std::to_string(at_) +
                          " runs past the end of the workbook stream");
    out.type = type;
    out.offset = at_;
    out.data = stream_.substr(at_ + 4, size);
    out.continues.clear();
    at_ += 4 + size;
    while (at_ + 4 <= stream_.size()) {
        header(at_, type, size);
        if (type != record::kContinue) break;
        if (size > kMaxRecordData || at_ + 4 + size > stream_.size())
            throw FormatError("a continued record at byte " + std::to_string(at_) +
                              " runs past the end of the workbook stream");
        out.continues.push_back(stream_.substr(at_ + 4, size));
        at_ += 4 + size;
    }
    return true;
}

ContinuedReader::ContinuedReader(const Record& r) : type_(r.type) {
    fragments_.push_back(r.data);
    fragments_.insert(fragments_.end(), r.continues.begin(), r.continues.end());
}

void ContinuedReader::tooShort() const { shortRecord(type_); }

void ContinuedReader::advanceFragment() {
    while (fragment_ < fragments_.size() && at_ >= fragments_[fragment_].size()) {
        ++fragment_;
        at_ = 0;
    }
}

std::uint8_t ContinuedReader::u8() {
    advanceFragment();
    if (fragment_ >= fragments_.size()) shortRecord(type_);
    return std::uint8_t(fragments_[fragment_][at_++]);
}

std::uint16_t ContinuedReader::u16() {
    unsigned lo = u8();
    return std::uint16_t(lo | (unsigned(u8()) << 8));
}

std::uint32_t ContinuedReader::u32() {
    std::uint32_t lo = u16();
    return lo | (std::uint32_t(u16()) << 16);
}

void ContinuedReader::skip(size_t n) {
    while (n > 0) {
        advanceFragment();
        if (fragment_ >= fragments_.size()) shortRecord(type_);
        size_t take = std::min(n, fragments_[fragment_].size() - at_);
        at_ += take;
        n -= take;
    }
}

size_t ContinuedReader::remaining() const {
    size_t n = 0;
    for (size_t f = fragment_; f < fragments_.size(); ++f)
        n += fragments_[f].size() - (f == fragment_ ? std::min(at_, fragments_[f].size()) : 0);
    return n;
}

std::string ContinuedReader::chars(size_t count, bool wide) {
    // Every character takes at least one byte: a count the data cannot hold is refused
    // before anything is reserved for it.
    if (count > remaining()) shortRecord(type_);
    std::string out;
    std::string raw;
    while (count > 0) {
        if (fragment_ < fragments_.size() && at_ >= fragments_[fragment_].size()) {
            // The characters go on in the next fragment, which says their width anew.
            out += decodeChars(raw, wide);
            raw.clear();
            advanceFragment();
            if (fragment_ >= fragments_.size()) shortRecord(type_);
            wide = (std::uint8_t(fragments_[fragment_][at_++]) & 0x01) != 0;
            continue;
        }
        if (fragment_ >= fragments_.size()) shortRecord(type_);
        size_t width = wide ? 2 : 1;
        size_t available = (fragments_[fragment_].size() - at_) / width;
        if (available == 0) shortRecord(type_);  // half a character at a fragment's end
        size_t take = std::min(count, available);
        raw.append(fragments_[fragment_].substr(at_, take * width));
        at_ += take * width;
        count -= take;
    }
    out += decodeChars(raw, wide);
    return out;
}

std::string shortString(ByteReader& r) {
    size_t count = r.u8();
    return stringOfLength(r, count);
}

std::string longString(ByteReader& r) {
    size_t count = r.u16();
    std::uint8_t options = r.u8();
    bool wide = options & 0x01;
    size_t runs = (options & 0x08) ? r.u16() : 0;
    size_t phonetic = (options & 0x04) ? r.u32() : 0;
    std::string text = decodeChars(r.bytes(count * (wide ? 2 : 1)), wide);
    if (runs * 4 > r.remaining()) r.tooShort();
    r.skip(runs * 4);
    if (phonetic > r.remaining()) r.tooShort();
    r.skip(phonetic);
    return text;
}

std::string stringOfLength(ByteReader& r, size_t count) {
    if (count == 0 && r.atEnd()) return {};
    bool wide = r.u8() & 0x01;
    return decodeChars(r.bytes(count * (wide ? 2 : 1)), wide);
}

std::string continuedString(ContinuedReader& r) {
    size_t count = r.u16();
    std::uint8_t options = r.u8();
    size_t runs = (options & 0x08) ? r.u16() : 0;
    size_t phonetic = (options & 0x04) ? r.u32() : 0;
    std::string text = r.chars(count, options & 0x01);
    if (runs * 4 + phonetic > r.remaining()) r.tooShort();
    r.skip(runs * 4 + phonetic);
    return text;
}

// ---- Writing ------------------------------------------------------------------------

bool fitsOneByte(const std::u16string& s) {
    return std::all_of(s.begin(), s.end(), [](char16_t c) { return c < 0x100; });
}

void appendChars(Bytes& b, const std::u16string& s, size_t from, size_t count, bool compressed) {
    for (size_t i = from; i < from + count; ++i) {
        if (compressed) b.u8(s[i]);
        else b.u16(s[i]);
    }
}

void appendShortString(Bytes& b, const std::u16string& s) {
    size_t n = std::min<size_t>(s.size(), 255);
    bool compressed = fitsOneByte(s);
    b.u8(unsigned(n)).u8(compressed ? 0 : 1);
    appendChars(b, s, 0, n, compressed);
}

void appendLongString(Bytes& b, const std::u16string& s) {
    size_t n = std::min<size_t>(s.size(), 32767);
    bool compressed = fitsOneByte(s);
    b.u16(unsigned(n)).u8(compressed ? 0 : 1);
    appendChars(b, s, 0, n, compressed);
}

void RecordWriter::record(std::uint16_t type, const Bytes& body) {
    if (body.size() > kMaxRecordData)
        throw host::HostError(host::error::kApplicationDefined,
                              "Internal error: record 0x" + hex4(type) + " is too long");
    stream_.u16(type).u16(unsigned(body.size())).append(body.data());
}

unsigned errorCode(host::ErrorValue e) {
    using host::ErrorValue;
    switch (e) {
        case ErrorValue::Null: return 0x00;
        case ErrorValue::Div0: return 0x07;
        case ErrorValue::Value: return 0x0F;
        case ErrorValue::Ref: return 0x17;
        case ErrorValue::Name: return 0x1D;
        case ErrorValue::Num: return 0x24;
        case ErrorValue::NA: return 0x2A;
    }
    return 0x0F;
}

host::ErrorValue errorOfCode(unsigned code) {
    using host::ErrorValue;
    switch (code) {
        case 0x00: return ErrorValue::Null;
        case 0x07: return ErrorValue::Div0;
        case 0x0F: return ErrorValue::Value;
        case 0x17: return ErrorValue::Ref;
        case 0x1D: return ErrorValue::Name;
        case 0x24: return ErrorValue::Num;
        default: return ErrorValue::NA;
    }
}

}  // namespace vorra::engine::xls
