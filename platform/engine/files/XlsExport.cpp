#include "platform/engine/files/XlsExport.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <span>
#include <unordered_map>

#include "addin/frame/host/HostError.h"
#include "platform/engine/files/AtomicFile.h"
#include "platform/engine/files/XlsCompoundFile.h"

namespace vorra::engine {

namespace {

using host::HostError;

// Limits of the format.
constexpr int kMaxXlsRows = 65536;
constexpr int kMaxXlsColumns = 256;
constexpr size_t kMaxCellText = 32767;   // UTF-16 units
constexpr size_t kMaxSheetName = 31;
constexpr size_t kMaxRecordData = 8224;  // bytes of one record's body
constexpr int kStyleXfCount = 15;        // the style formats every file starts with
constexpr int kMaxXfCount = 4050;
constexpr int kFirstCustomFormat = 164;

// Record types.
enum : std::uint16_t {
    kBof = 0x0809,
    kEof = 0x000A,
    kCodepage = 0x0042,
    kWindow1 = 0x003D,
    kDateMode = 0x0022,
    kFont = 0x0031,
    kFormat = 0x041E,
    kXf = 0x00E0,
    kStyle = 0x0293,
    kBoundSheet = 0x0085,
    kSst = 0x00FC,
    kExtSst = 0x00FF,
    kContinue = 0x003C,
    kDimensions = 0x0200,
    kDefColWidth = 0x0055,
    kColInfo = 0x007D,
    kRow = 0x0208,
    kBlank = 0x0201,
    kNumber = 0x0203,
    kBoolErr = 0x0205,
    kLabelSst = 0x00FD,
    kWindow2 = 0x023E,
    kMergedCells = 0x00E5,
};

// ---- Bytes --------------------------------------------------------------------------

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
    size_t size() const { return data_.size(); }
    const std::vector<std::uint8_t>& data() const { return data_; }
    std::vector<std::uint8_t>& data() { return data_; }

private:
    std::vector<std::uint8_t> data_;
};

// The workbook stream: records one after the other.
class RecordWriter {
public:
    void record(std::uint16_t type, const Bytes& body) {
        if (body.size() > kMaxRecordData)
            throw HostError(host::error::kApplicationDefined, "Internal error: record too long");
        stream_.u16(type).u16(unsigned(body.size())).append(body.data());
    }
    size_t position() const { return stream_.size(); }
    void patch32(size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) stream_.data()[at + size_t(i)] = std::uint8_t(v >> (8 * i));
    }
    std::vector<std::uint8_t> take() { return std::move(stream_.data()); }

private:
    Bytes stream_;
};

// ---- Text -----------------------------------------------------------------------------

// UTF-8 to UTF-16 code units; a malformed sequence becomes U+FFFD.
std::u16string utf16(const std::string& s) {
    std::u16string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        std::uint32_t cp = 0xFFFD;
        size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (len == 0 || i + len > s.size()) {
            ++i;
        } else {
            cp = len == 1 ? c : len == 2 ? (c & 0x1Fu) : len == 3 ? (c & 0x0Fu) : (c & 0x07u);
            bool ok = true;
            for (size_t k = 1; k < len; ++k) {
                unsigned char cc = static_cast<unsigned char>(s[i + k]);
                if ((cc & 0xC0) != 0x80) ok = false;
                cp = (cp << 6) | (cc & 0x3Fu);
            }
            const std::uint32_t least[5] = {0, 0, 0x80, 0x800, 0x10000};
            if (!ok || cp < least[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
                cp = 0xFFFD;
                ++i;
            } else {
                i += len;
            }
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(char16_t(0xD800 + (cp >> 10)));
            out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(char16_t(cp));
        }
    }
    return out;
}

bool fitsOneByte(const std::u16string& s) {
    return std::all_of(s.begin(), s.end(), [](char16_t c) { return c < 0x100; });
}

// Characters after the option flags: one byte each when all fit, else UTF-16LE.
void appendChars(Bytes& b, const std::u16string& s, size_t from, size_t count, bool compressed) {
    for (size_t i = from; i < from + count; ++i) {
        if (compressed) b.u8(s[i]);
        else b.u16(s[i]);
    }
}

// A string with an 8-bit length (sheet and font names).
void appendShortString(Bytes& b, const std::u16string& s) {
    bool compressed = fitsOneByte(s);
    b.u8(unsigned(s.size())).u8(compressed ? 0 : 1);
    appendChars(b, s, 0, s.size(), compressed);
}

// A string with a 16-bit length (formats).
void appendLongString(Bytes& b, const std::u16string& s) {
    bool compressed = fitsOneByte(s);
    b.u16(unsigned(s.size())).u8(compressed ? 0 : 1);
    appendChars(b, s, 0, s.size(), compressed);
}

// ---- Formats --------------------------------------------------------------------------

int builtinFormatId(const std::string& format) {
    static const std::map<std::string, int> builtin = {
        {"General", 0}, {"0", 1}, {"0.00", 2}, {"#,##0", 3}, {"#,##0.00", 4},
        {"0%", 9}, {"0.00%", 10}, {"0.00E+00", 11}, {"# ?/?", 12}, {"# ?\?/?\?", 13},
        {"@", 49},
    };
    auto it = builtin.find(format);
    return it == builtin.end() ? -1 : it->second;
}

// The file's font index: the format has no font 4.
unsigned fontIndex(int modelFont) { return unsigned(modelFont < 4 ? modelFont : modelFont + 1); }

bool asciiOnly(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

Bytes fontRecord(const Font& f) {
    Bytes b;
    b.u16(unsigned(std::clamp(std::lround(f.size * 20), 20L, 8191L)));
    b.u16((f.bold ? 0x01u : 0u) | (f.italic ? 0x02u : 0u) | (f.strike ? 0x08u : 0u));
    // Colour indexes of the host are the file's palette indexes less 8 + 1.
    b.u16(f.colorIndex > 0 && f.colorIndex <= 56 ? unsigned(f.colorIndex + 7) : 0x7FFFu);
    b.u16(f.bold ? 700 : 400);
    b.u16(0);                   // no super- or subscript
    b.u8(f.underline ? 1 : 0);  // single underline
    b.u8(0);                    // font family: don't care
    b.u8(asciiOnly(f.name) ? 0 : 134);  // character set: GB 2312 for Chinese font names
    b.u8(0);
    std::u16string name = utf16(f.name.empty() ? std::string("Arial") : f.name);
    if (name.size() > 255) name.resize(255);
    appendShortString(b, name);
    return b;
}

unsigned hAlignCode(HAlign a) {
    switch (a) {
        case HAlign::General: return 0;
        case HAlign::Left: return 1;
        case HAlign::Center: return 2;
        case HAlign::Right: return 3;
        case HAlign::Fill: return 4;
        case HAlign::Justify: return 5;
        case HAlign::CenterContinuous: return 6;
        case HAlign::Distributed: return 7;
    }
    return 0;
}

unsigned vAlignCode(VAlign a) {
    switch (a) {
        case VAlign::Top: return 0;
        case VAlign::Center: return 1;
        case VAlign::Bottom: return 2;
        case VAlign::Justify: return 3;
        case VAlign::Distributed: return 4;
    }
    return 2;
}

// An extended format. Style formats have no parent; cell formats point to style 0.
Bytes xfRecord(unsigned font, unsigned format, const CellFormat& f, bool styleXf) {
    Bytes b;
    b.u16(font).u16(format);
    unsigned protection = (f.locked ? 0x1u : 0u) | (f.formulaHidden ? 0x2u : 0u);
    b.u16(styleXf ? (protection | 0x4u | 0xFFF0u) : protection);
    b.u8(hAlignCode(f.hAlign) | (f.wrapText ? 0x08u : 0u) | (vAlignCode(f.vAlign) << 4));
    b.u8(unsigned(f.rotation == 255 ? 255 : std::clamp(f.rotation, 0, 180)));
    b.u8(unsigned(std::clamp(f.indent, 0, 15)) | (f.shrinkToFit ? 0x10u : 0u));
    b.u8(styleXf ? 0x00 : 0xFC);  // a cell format sets every attribute itself
    b.u32(0);                     // no borders
    b.u32(0);                     // no diagonal, no fill pattern
    b.u16(64 | (65 << 7));        // pattern colours: system foreground and background
    return b;
}

// ---- Shared strings ---------------------------------------------------------------------

class SharedStrings {
public:
    std::uint32_t index(const std::string& text, CellRef where, const std::string& sheet) {
        auto [it, added] = indexes_.try_emplace(text, std::uint32_t(strings_.size()));
        if (added) {
            std::u16string s = utf16(text);
            if (s.size() > kMaxCellText)
                throw HostError(host::error::kApplicationDefined,
                                "Cell " + sheet + "!" + host::relativeAddress(host::Area::of(where)) +
                                    " holds a text longer than 32767 characters");
            strings_.push_back(std::move(s));
        }
        ++uses_;
        return it->second;
    }

    // SST with its CONTINUE records, then EXTSST (the index of every eighth string, or
    // of fewer when there are many).
    void write(RecordWriter& out) const {
        struct Bucket {
            std::uint32_t streamPos;
            std::uint16_t offsetInRecord;
        };
        std::vector<Bucket> buckets;
        // The index must fit one record of at most 1027 buckets: more strings, larger buckets.
        const size_t perBucket = std::max<size_t>(8, (strings_.size() + 1026) / 1027);
        std::vector<Bytes> records(1);
        records[0].u32(uses_).u32(std::uint32_t(strings_.size()));
        // Positions are worked out as if each record were written at once.
        size_t recordStart = out.position();
        auto newRecord = [&] {
            recordStart += 4 + records.back().size();
            records.emplace_back();
        };
        for (size_t i = 0; i < strings_.size(); ++i) {
            const std::u16string& s = strings_[i];
            bool compressed = fitsOneByte(s);
            size_t charSize = compressed ? 1 : 2;
            // The length and flags must not be split from the first character.
            if (records.back().size() + 3 + charSize > kMaxRecordData) newRecord();
            if (i % perBucket == 0)
                buckets.push_back({std::uint32_t(recordStart + 4 + records.back().size()),
                                   std::uint16_t(4 + records.back().size())});
            records.back().u16(unsigned(s.size())).u8(compressed ? 0 : 1);
            size_t done = 0;
            while (done < s.size()) {
                size_t room = (kMaxRecordData - records.back().size()) / charSize;
                if (room == 0) {
                    newRecord();
                    records.back().u8(compressed ? 0 : 1);  // a continued string repeats its flags
                    continue;
                }
                size_t n = std::min(room, s.size() - done);
                appendChars(records.back(), s, done, n, compressed);
                done += n;
            }
        }
        out.record(kSst, records[0]);
        for (size_t r = 1; r < records.size(); ++r) out.record(kContinue, records[r]);

        Bytes ext;
        ext.u16(unsigned(perBucket));
        for (const Bucket& b : buckets) ext.u32(b.streamPos).u16(b.offsetInRecord).u16(0);
        out.record(kExtSst, ext);
    }

private:
    std::unordered_map<std::string, std::uint32_t> indexes_;
    std::vector<std::u16string> strings_;
    std::uint32_t uses_ = 0;
};

// ---- Sheets -------------------------------------------------------------------------------

struct PlacedCell {
    int row;
    int column;
    const Cell* cell;
};

std::vector<PlacedCell> cellsByRow(const Sheet& sheet) {
    std::vector<PlacedCell> cells;
    for (const auto& [col, column] : sheet.cells.columns())
        for (const auto& [row, cell] : column) cells.push_back({row, col, &cell});
    std::sort(cells.begin(), cells.end(), [](const PlacedCell& a, const PlacedCell& b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    });
    return cells;
}

unsigned errorCode(ErrorValue e) {
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

class WorkbookEncoder {
public:
    explicit WorkbookEncoder(const WorkbookModel& wb) : wb_(wb) {}

    std::vector<std::uint8_t> encode() {
        check();
        std::vector<std::vector<PlacedCell>> cells;
        for (const auto& sheet : wb_.sheets) cells.push_back(cellsByRow(*sheet));
        // Strings are collected first: the shared-string table precedes the sheets.
        for (size_t s = 0; s < cells.size(); ++s)
            for (const PlacedCell& c : cells[s])
                if (c.cell->value.isText())
                    sstIndex_[c.cell] = sst_.index(c.cell->value.asText(), {c.row, c.column},
                                                   wb_.sheets[s]->name);

        std::vector<size_t> boundSheetFields = writeGlobals();
        for (size_t s = 0; s < wb_.sheets.size(); ++s) {
            out_.patch32(boundSheetFields[s], std::uint32_t(out_.position()));
            writeSheet(*wb_.sheets[s], cells[s], int(s) == activeSheet());
        }
        return xls::compoundFileWithStream("Workbook", out_.take());
    }

private:
    int activeSheet() const {
        return std::clamp(wb_.activeSheet, 0, int(wb_.sheets.size()) - 1);
    }

    void check() const {
        if (wb_.sheets.empty())
            throw HostError(host::error::kApplicationDefined, "A workbook needs at least one sheet");
        if (kStyleXfCount + wb_.styles.formats.size() > size_t(kMaxXfCount))
            throw HostError(host::error::kApplicationDefined,
                            "The workbook has more cell formats than a 97-2003 workbook can hold");
        for (const auto& sheet : wb_.sheets) {
            std::u16string name = utf16(sheet->name);
            if (name.empty() || name.size() > kMaxSheetName)
                throw HostError(host::error::kApplicationDefined,
                                "Sheet name \"" + sheet->name + "\" must have 1 to 31 characters");
            if (auto b = sheet->cells.bounds(); b && (b->bottom > kMaxXlsRows || b->right > kMaxXlsColumns))
                throw HostError(host::error::kApplicationDefined,
                                "Sheet \"" + sheet->name +
                                    "\" uses cells beyond row 65536 or column IV, which a "
                                    "97-2003 workbook cannot hold");
        }
    }

    std::vector<size_t> writeGlobals() {
        out_.record(kBof, Bytes().u16(0x0600).u16(0x0005).u16(0x0DBB).u16(0x07CC).u32(0).u32(6));
        out_.record(kCodepage, Bytes().u16(1200));  // texts are UTF-16
        out_.record(kWindow1, Bytes()
                                  .u16(0x0168).u16(0x001E).u16(0x3A5C).u16(0x2328)
                                  .u16(0x0038).u16(unsigned(activeSheet())).u16(0).u16(1)
                                  .u16(0x0258));
        out_.record(kDateMode, Bytes().u16(wb_.date1904 ? 1 : 0));

        const auto& fonts = wb_.styles.fonts;
        if (fonts.empty()) out_.record(kFont, fontRecord(Font{}));
        for (const Font& f : fonts) out_.record(kFont, fontRecord(f));

        std::map<std::string, int> custom;
        for (const CellFormat& f : wb_.styles.formats)
            if (builtinFormatId(f.numberFormat) < 0 && !custom.count(f.numberFormat))
                custom.emplace(f.numberFormat, kFirstCustomFormat + int(custom.size()));
        for (const auto& [text, id] : custom) {
            Bytes b;
            b.u16(unsigned(id));
            std::u16string s = utf16(text);
            if (s.size() > 255) s.resize(255);
            appendLongString(b, s);
            out_.record(kFormat, b);
        }

        CellFormat styleDefault;
        for (int i = 0; i < kStyleXfCount; ++i) out_.record(kXf, xfRecord(0, 0, styleDefault, true));
        for (const CellFormat& f : wb_.styles.formats) {
            int id = builtinFormatId(f.numberFormat);
            if (id < 0) id = custom.at(f.numberFormat);
            int font = f.fontId >= 0 && f.fontId < int(fonts.size()) ? f.fontId : 0;
            out_.record(kXf, xfRecord(fontIndex(font), unsigned(id), f, false));
        }
        out_.record(kStyle, Bytes().u16(0x8000).u8(0).u8(0xFF));  // "Normal" is style 0

        std::vector<size_t> fields;
        for (const auto& sheet : wb_.sheets) {
            fields.push_back(out_.position() + 4);
            Bytes b;
            b.u32(0);  // position of the sheet's BOF, patched once known
            b.u8(sheet->visibility == SheetVisibility::Visible  ? 0
                 : sheet->visibility == SheetVisibility::Hidden ? 1
                                                                 : 2);
            b.u8(0);  // worksheet
            appendShortString(b, utf16(sheet->name));
            out_.record(kBoundSheet, b);
        }
        sst_.write(out_);
        out_.record(kEof, Bytes());
        return fields;
    }

    unsigned xfOf(int style) const {
        if (style < 0 || style >= int(wb_.styles.formats.size())) style = 0;
        return unsigned(kStyleXfCount + style);
    }

    void writeSheet(const Sheet& sheet, const std::vector<PlacedCell>& cells, bool active) {
        out_.record(kBof, Bytes().u16(0x0600).u16(0x0010).u16(0x0DBB).u16(0x07CC).u32(0).u32(6));

        Bytes dim;
        if (auto b = sheet.cells.bounds())
            dim.u32(std::uint32_t(b->top - 1)).u32(std::uint32_t(b->bottom))
                .u16(unsigned(b->left - 1)).u16(unsigned(b->right)).u16(0);
        else
            dim.u32(0).u32(0).u16(0).u16(0).u16(0);
        out_.record(kDimensions, dim);

        double defaultWidth = sheet.defaultColumnWidth > 0 ? sheet.defaultColumnWidth : 8.43;
        out_.record(kDefColWidth, Bytes().u16(unsigned(std::clamp(std::lround(defaultWidth), 0L, 255L))));
        for (const auto& [col, info] : sheet.columns) {
            if (col < 1 || col > kMaxXlsColumns) continue;  // formatting only: nothing lost to see
            if (info.width < 0 && !info.hidden && info.style == 0) continue;
            double width = info.width >= 0 ? info.width : defaultWidth;
            Bytes b;
            b.u16(unsigned(col - 1)).u16(unsigned(col - 1));
            b.u16(unsigned(std::clamp(std::lround(width * 256), 0L, 65535L)));
            b.u16(xfOf(info.style)).u16(info.hidden ? 1 : 0).u16(0);
            out_.record(kColInfo, b);
        }

        for (const auto& [row, info] : sheet.rows) {
            if (row < 1 || row > kMaxXlsRows) continue;
            if (info.height < 0 && !info.hidden && info.style < 0) continue;
            double height = info.height >= 0 ? info.height : sheet.defaultRowHeight;
            unsigned twips = unsigned(std::clamp(std::lround(height * 20), 0L, 8189L));
            unsigned flags = 0x0100u | (info.hidden ? 0x20u : 0u) | (info.height >= 0 ? 0x40u : 0u) |
                             (info.style >= 0 ? 0x80u : 0u);
            Bytes b;
            b.u16(unsigned(row - 1)).u16(0).u16(0).u16(twips).u16(0).u16(0).u16(flags);
            b.u16(info.style >= 0 ? xfOf(info.style) : 0x0F);
            out_.record(kRow, b);
        }

        for (const PlacedCell& c : cells) {
            const Value& v = c.cell->value;
            unsigned row = unsigned(c.row - 1), col = unsigned(c.column - 1), xf = xfOf(c.cell->style);
            Bytes b;
            b.u16(row).u16(col).u16(xf);
            switch (v.kind()) {
                case Value::Kind::Empty:
                    if (c.cell->style == 0) continue;
                    out_.record(kBlank, b);
                    break;
                case Value::Kind::Number:
                    out_.record(kNumber, b.f64(v.asNumber()));
                    break;
                case Value::Kind::Text:
                    out_.record(kLabelSst, b.u32(sstIndex_.at(c.cell)));
                    break;
                case Value::Kind::Boolean:
                    out_.record(kBoolErr, b.u8(v.asBoolean() ? 1 : 0).u8(0));
                    break;
                case Value::Kind::Error:
                    out_.record(kBoolErr, b.u8(errorCode(v.asError())).u8(1));
                    break;
            }
        }

        unsigned grbit = 0x00B6 | (active ? 0x0600u : 0u);  // grid, headers, zeros, outline
        out_.record(kWindow2, Bytes().u16(grbit).u16(0).u16(0).u16(64).u16(0).u16(0).u16(0).u32(0));

        std::vector<Area> merges;
        for (const Area& a : sheet.merges)
            if (a.bottom <= kMaxXlsRows && a.right <= kMaxXlsColumns && a.valid()) merges.push_back(a);
        for (size_t first = 0; first < merges.size(); first += 1026) {
            size_t n = std::min<size_t>(1026, merges.size() - first);
            Bytes b;
            b.u16(unsigned(n));
            for (size_t k = first; k < first + n; ++k)
                b.u16(unsigned(merges[k].top - 1)).u16(unsigned(merges[k].bottom - 1))
                    .u16(unsigned(merges[k].left - 1)).u16(unsigned(merges[k].right - 1));
            out_.record(kMergedCells, b);
        }
        out_.record(kEof, Bytes());
    }

    const WorkbookModel& wb_;
    RecordWriter out_;
    SharedStrings sst_;
    std::unordered_map<const Cell*, std::uint32_t> sstIndex_;
};

}  // namespace

std::vector<std::uint8_t> encodeXlsWorkbook(const WorkbookModel& workbook) {
    return WorkbookEncoder(workbook).encode();
}

void saveXlsWorkbook(const WorkbookModel& workbook, const std::string& path) {
    namespace fs = std::filesystem;
    std::vector<std::uint8_t> bytes = encodeXlsWorkbook(workbook);

    fs::path target(path);
    fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        throw HostError(host::error::kPathNotFound,
                        "Cannot save \"" + path + "\": the folder \"" + folder.string() +
                            "\" does not exist");

    try {
        files::writeAtomically(path, std::as_bytes(std::span(bytes)));
    } catch (const HostError& e) {
        if (e.number() == host::error::kDiskFull) throw;  // the user can free space
        throw HostError(host::error::kPermissionDenied, e.what());  // an export's error number
    }
}

}  // namespace vorra::engine
