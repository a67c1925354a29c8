#pragma once
// The record stream of a 97–2003 workbook (BIFF8): records of a type, a length and
// at most 8224 bytes of data, a long record continued in CONTINUE records. Readers
// get the records one by one with their continuations and read their fields through
// a cursor that refuses to read past the end; writers build records the same way.

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "addin/frame/host/Value.h"
#include "platform/engine/files/XlsCompoundFile.h"

namespace vorra::engine::xls {

// Record types this system reads or writes.
namespace record {
inline constexpr std::uint16_t kFormula = 0x0006, kEof = 0x000A, kCalcCount = 0x000C, kCalcMode = 0x000D,
                               kPrecision = 0x000E, kRefMode = 0x000F, kDelta = 0x0010, kIteration = 0x0011,
                               kProtect = 0x0012, kPassword = 0x0013, kHeader = 0x0014, kFooter = 0x0015,
                               kExternSheet = 0x0017, kName = 0x0018, kWindowProtect = 0x0019,
                               kSelection = 0x001D, kDateMode = 0x0022, kExternName = 0x0023,
                               kLeftMargin = 0x0026, kRightMargin = 0x0027, kTopMargin = 0x0028,
                               kBottomMargin = 0x0029, kPrintHeaders = 0x002A, kPrintGridLines = 0x002B,
                               kFilePass = 0x002F, kFont = 0x0031, kContinue = 0x003C, kWindow1 = 0x003D,
                               kBackup = 0x0040, kPane = 0x0041, kCodePage = 0x0042, kPls = 0x004D, kDefColWidth = 0x0055,
                               kSaveRecalc = 0x005F, kObjProtect = 0x0063, kColInfo = 0x007D,
                               kGuts = 0x0080, kWsBool = 0x0081, kGridSet = 0x0082, kHCenter = 0x0083,
                               kVCenter = 0x0084, kBoundSheet = 0x0085, kCountry = 0x008C, kHideObj = 0x008D,
                               kPalette = 0x0092, kStandardWidth = 0x0099, kSetup = 0x00A1,
                               kMulRk = 0x00BD, kMulBlank = 0x00BE, kRString = 0x00D6, kBookBool = 0x00DA,
                               kScenProtect = 0x00DD, kXf = 0x00E0, kMergedCells = 0x00E5, kSst = 0x00FC,
                               kLabelSst = 0x00FD, kExtSst = 0x00FF, kUsesElfs = 0x0160, kSupBook = 0x01AE,
                               kDimensions = 0x0200, kBlank = 0x0201, kNumber = 0x0203, kLabel = 0x0204,
                               kBoolErr = 0x0205, kString = 0x0207, kRow = 0x0208, kArray = 0x0221,
                               kDefaultRowHeight = 0x0225, kTable = 0x0236, kWindow2 = 0x023E,
                               kRk = 0x027E, kStyle = 0x0293, kFormat = 0x041E, kShrFmla = 0x04BC,
                               kBof = 0x0809, kSheetExt = 0x0862;
}  // namespace record

inline constexpr size_t kMaxRecordData = 8224;  // bytes of one record's data
inline constexpr int kMaxRows = 65536;          // rows and columns a sheet of the format holds
inline constexpr int kMaxColumns = 256;

// The format's numbers for the error values, in cells and in formula tokens; an
// unknown number reads as #N/A.
unsigned errorCode(host::ErrorValue e);
host::ErrorValue errorOfCode(unsigned code);

// Reads little-endian fields from a record's data; reading past its end throws.
class ByteReader {
public:
    ByteReader(std::string_view data, std::uint16_t type) : data_(data), type_(type) {}

    std::uint8_t u8() { return std::uint8_t(take(1)[0]); }
    std::uint16_t u16() {
        auto b = take(2);
        return std::uint16_t(std::uint8_t(b[0]) | (std::uint8_t(b[1]) << 8));
    }
    std::int16_t i16() { return std::int16_t(u16()); }
    std::uint32_t u32() {
        std::uint32_t lo = u16();
        return lo | (std::uint32_t(u16()) << 16);
    }
    std::int32_t i32() { return std::int32_t(u32()); }
    double f64() {
        auto b = take(8);
        std::uint64_t bits = 0;
        for (int i = 7; i >= 0; --i) bits = (bits << 8) | std::uint8_t(b[size_t(i)]);
        double d;
        std::memcpy(&d, &bits, 8);
        return d;
    }
    std::string_view bytes(size_t n) { return take(n); }
    void skip(size_t n) { take(n); }
    size_t remaining() const { return data_.size() - at_; }
    size_t position() const { return at_; }
    bool atEnd() const { return at_ >= data_.size(); }
    std::uint16_t type() const { return type_; }

    // A record ending early, or a count that the data cannot hold.
    [[noreturn]] void tooShort() const;

private:
    std::string_view take(size_t n) {
        if (n > data_.size() - at_) tooShort();
        auto s = data_.substr(at_, n);
        at_ += n;
        return s;
    }

    std::string_view data_;
    size_t at_ = 0;
    std::uint16_t type_;
};

// One record with the data of the CONTINUE records that follow it.
struct Record {
    std::uint16_t type = 0;
    std::string_view data;
    std::vector<std::string_view> continues;
    size_t offset = 0;  // of the record header in the stream
    // All data joined (the continuations appended).
    std::string joined() const;
};

// The records of a stream, from a position on.
class RecordStream {
public:
    explicit RecordStream(std::string_view stream, size_t from = 0) : stream_(stream), at_(from) {}
    // The next record; false at the end of the stream. A header running past the end
    // throws.
    bool next(Record& out);
    size_t position() const { return at_; }

private:
    std::string_view stream_;
    size_t at_;
};

// Reads across a record and its continuations, as the shared-string table needs: a
// string whose characters run into the next CONTINUE starts that one with a new
// option byte saying whether its characters are one or two bytes wide.
class ContinuedReader {
public:
    explicit ContinuedReader(const Record& r);
    std::uint8_t u8();
    std::uint16_t u16();
    std::uint32_t u32();
    void skip(size_t n);
    // `count` characters starting in the given width; UTF-8 of them.
    std::string chars(size_t count, bool wide);
    // Bytes left in this and the following fragments.
    size_t remaining() const;
    bool atEnd() const { return remaining() == 0; }
    [[noreturn]] void tooShort() const;

private:
    void advanceFragment();
    std::vector<std::string_view> fragments_;
    size_t fragment_ = 0;
    size_t at_ = 0;
    std::uint16_t type_;
};

// Strings of the format, read to UTF-8 (malformed UTF-16 as U+FFFD):
// an 8-bit count, option byte and characters (sheet and font names);
std::string shortString(ByteReader& r);
// a 16-bit count, option byte and characters, rich-text runs and phonetic data
// skipped (formats, labels, headers);
std::string longString(ByteReader& r);
// characters after an option byte whose count was given before (names);
std::string stringOfLength(ByteReader& r, size_t count);
// a 16-bit count, option byte and characters that may run on into CONTINUE records
// (shared strings, labels, a formula's text result).
std::string continuedString(ContinuedReader& r);

// ---- Writing ------------------------------------------------------------------------

class Bytes {
public:
    Bytes& u8(unsigned v) {
        data_.push_back(std::uint8_t(v));
        return *this;
    }
    Bytes& u16(unsigned v) {
        u8(v & 0xFF);
        return u8((v >> 8) & 0xFF);
    }
    Bytes& u32(std::uint32_t v) {
        u16(v & 0xFFFF);
        return u16(v >> 16);
    }
    Bytes& f64(double d) {
        std::uint64_t bits;
        std::memcpy(&bits, &d, 8);
        u32(std::uint32_t(bits));
        return u32(std::uint32_t(bits >> 32));
    }
    Bytes& append(const std::vector<std::uint8_t>& more) {
        data_.insert(data_.end(), more.begin(), more.end());
        return *this;
    }
    Bytes& append(const Bytes& more) { return append(more.data()); }
    size_t size() const { return data_.size(); }
    const std::vector<std::uint8_t>& data() const { return data_; }
    std::vector<std::uint8_t>& data() { return data_; }

private:
    std::vector<std::uint8_t> data_;
};

// Strings as written: one byte per character when every character fits, else UTF-16.
// The text is cut to `maxChars` UTF-16 units.
void appendShortString(Bytes& b, const std::u16string& s);  // 8-bit count
void appendLongString(Bytes& b, const std::u16string& s);   // 16-bit count
void appendChars(Bytes& b, const std::u16string& s, size_t from, size_t count, bool compressed);
bool fitsOneByte(const std::u16string& s);

// The workbook stream: records one after the other.
class RecordWriter {
public:
    // A record of at most 8224 bytes of data (longer ones are split by their writers,
    // since what a continuation must repeat depends on the record).
    void record(std::uint16_t type, const Bytes& body);
    size_t position() const { return stream_.size(); }
    void patch32(size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) stream_.data()[at + size_t(i)] = std::uint8_t(v >> (8 * i));
    }
    std::vector<std::uint8_t> take() { return std::move(stream_.data()); }

private:
    Bytes stream_;
};

}  // namespace vorra::engine::xls
