#include "platform/engine/files/XlsExport.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <unordered_map>

#include "addin/frame/host/HostError.h"
#include "platform/engine/files/AtomicFile.h"
#include "platform/engine/files/DefinedNames.h"
#include "platform/engine/files/StylesPart.h"
#include "platform/engine/files/TextEncoding.h"
#include "platform/engine/files/XlsCompoundFile.h"
#include "platform/engine/files/XlsFormula.h"
#include "platform/engine/files/XlsRecords.h"
#include "platform/engine/files/XlsStyles.h"
#include "platform/engine/model/Palette.h"
#include "platform/engine/print/CellGeometry.h"

namespace vorra::engine {

namespace {

using host::HostError;
using xls::appendChars;
using xls::appendLongString;
using xls::appendShortString;
using xls::Bytes;
using xls::fitsOneByte;
using xls::RecordWriter;
namespace record = xls::record;

// Limits of the format.
constexpr int kMaxXlsRows = xls::kMaxRows;
constexpr int kMaxXlsColumns = xls::kMaxColumns;
constexpr size_t kMaxCellText = 32767;   // UTF-16 units
constexpr size_t kMaxSheetName = 31;
constexpr size_t kMaxRecordData = xls::kMaxRecordData;
constexpr int kStyleXfCount = 15;        // the style formats every file starts with
constexpr int kMaxXfCount = 4050;
constexpr int kFirstCustomFormat = 164;
constexpr int kRowsPerBlock = 32;        // rows whose records go together

std::u16string utf16(const std::string& s) { return files::utf16FromUtf8(s); }

// ---- Formats --------------------------------------------------------------------------

// The file's font index: the format has no font 4.
unsigned fontIndex(int modelFont) { return unsigned(modelFont < 4 ? modelFont : modelFont + 1); }

bool asciiOnly(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The palette the file carries: the standard one, with entries that no format uses
// given to RGB font colours the standard palette lacks, so that those come back as
// they were. Other RGB colours become the nearest entry.
class FilePalette {
public:
    explicit FilePalette(const StyleSheet& styles) {
        std::array<bool, 56> used{};
        auto use = [&](int hostIndex) {
            if (hostIndex >= 1 && hostIndex <= 56) used[size_t(hostIndex - 1)] = true;
        };
        for (const Font& f : styles.fonts)
            if (f.colorRgb.empty()) use(f.colorIndex);
        for (const auto& xml : styles.bordersXml) {
            xls::BorderLines b = xls::borderOfXml(xml);
            for (int c : {b.leftColor, b.rightColor, b.topColor, b.bottomColor, b.diagonalColor}) use(hostColorIndexOf(c));
        }
        for (const auto& xml : styles.fillsXml) {
            xls::FillPattern f = xls::fillOfXml(xml);
            use(hostColorIndexOf(f.fore));
            use(hostColorIndexOf(f.back));
        }
        // The colours with a name of their own (black to cyan) stay.
        for (size_t i = 0; i < 8; ++i) used[i] = true;
        for (const Font& f : styles.fonts) {
            auto rgb = rgbOf(f);
            if (!rgb || indexOf(*rgb)) continue;
            size_t free = used.size();
            while (free > 0 && used[free - 1]) --free;
            if (free == 0) continue;
            used[free - 1] = true;
            entries_[free - 1] = *rgb;
            custom_ = true;
        }
    }

    // The indexed colour of a font: its palette entry, or 0x7FFF for automatic.
    unsigned fontColor(const Font& f) const {
        if (auto rgb = rgbOf(f)) {
            int index = indexOf(*rgb);
            if (!index) index = nearestHostColorIndex(*rgb);
            return unsigned(index + kFirstIndexedColor - 1);
        }
        if (f.colorIndex > 0 && f.colorIndex <= 56) return unsigned(f.colorIndex + kFirstIndexedColor - 1);
        return 0x7FFF;
    }

    void write(RecordWriter& out) const {
        if (!custom_) return;
        Bytes b;
        b.u16(unsigned(entries_.size()));
        for (std::uint32_t rgb : entries_) b.u8((rgb >> 16) & 0xFF).u8((rgb >> 8) & 0xFF).u8(rgb & 0xFF).u8(0);
        out.record(record::kPalette, b);
    }

private:
    static std::optional<std::uint32_t> rgbOf(const Font& f) {
        if (f.colorRgb.empty()) return std::nullopt;
        std::string hex = f.colorRgb.size() == 8 ? f.colorRgb.substr(2) : f.colorRgb;
        char* end = nullptr;
        unsigned long rgb = std::strtoul(hex.c_str(), &end, 16);
        if (!end || *end != '\0' || hex.empty()) return std::nullopt;
        return std::uint32_t(rgb & 0xFFFFFF);
    }
    // The host index (1–56) of an entry with exactly this colour; 0 when none has it.
    int indexOf(std::uint32_t rgb) const {
        for (size_t i = 0; i < entries_.size(); ++i)
            if (entries_[i] == rgb) return int(i) + 1;
        return 0;
    }

    std::array<std::uint32_t, 56> entries_ = kPalette;
    bool custom_ = false;
};

Bytes fontRecord(const Font& f, const FilePalette& palette) {
    Bytes b;
    b.u16(unsigned(std::clamp(std::lround(f.size * 20), 20L, 8191L)));
    b.u16((f.bold ? 0x01u : 0u) | (f.italic ? 0x02u : 0u) | (f.strike ? 0x08u : 0u));
    b.u16(palette.fontColor(f));
    b.u16(f.bold ? 700 : 400);
    b.u16(0);                   // no super- or subscript
    b.u8(f.underline ? 1 : 0);  // single underline
    b.u8(0);                    // font family: don't care
    b.u8(asciiOnly(f.name) ? 0 : 134);  // character set: GB 2312 for Chinese font names
    b.u8(0);
    appendShortString(b, utf16(f.name.empty() ? std::string("Arial") : f.name));
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

// An extended format. Style formats have no parent; cell formats point to style 0
// and set every attribute group themselves.
Bytes xfRecord(unsigned font, unsigned format, const CellFormat& f, bool styleXf, const xls::BorderLines& border,
               const xls::FillPattern& fill) {
    Bytes b;
    b.u16(font).u16(format);
    unsigned protection = (f.locked ? 0x1u : 0u) | (f.formulaHidden ? 0x2u : 0u);
    b.u16(styleXf ? (protection | 0x4u | 0xFFF0u) : protection);
    b.u8(hAlignCode(f.hAlign) | (f.wrapText ? 0x08u : 0u) | (vAlignCode(f.vAlign) << 4));
    b.u8(unsigned(f.rotation == 255 ? 255 : std::clamp(f.rotation, 0, 180)));
    b.u8(unsigned(std::clamp(f.indent, 0, 15)) | (f.shrinkToFit ? 0x10u : 0u));
    b.u8(styleXf ? 0x00 : 0xFC);
    auto line = [](std::uint8_t style) { return std::uint32_t(style <= 13 ? style : 0); };
    auto color = [](std::uint8_t c) { return std::uint32_t(c & 0x7F); };
    std::uint32_t b1 = line(border.left) | (line(border.right) << 4) | (line(border.top) << 8) |
                       (line(border.bottom) << 12) | (color(border.leftColor) << 16) | (color(border.rightColor) << 23) |
                       (border.diagonalDown ? 0x40000000u : 0u) | (border.diagonalUp ? 0x80000000u : 0u);
    std::uint32_t b2 = color(border.topColor) | (color(border.bottomColor) << 7) | (color(border.diagonalColor) << 14) |
                       (line(border.diagonal) << 21) | (std::uint32_t(fill.pattern <= 18 ? fill.pattern : 0) << 26);
    b.u32(b1).u32(b2);
    b.u16(color(fill.fore) | (color(fill.back) << 7));
    return b;
}

// ---- Shared strings ---------------------------------------------------------------------

class SharedStrings {
public:
    std::uint32_t index(const std::string& text, CellRef where, const std::string& sheet) {
        auto [it, added] = indexes_.try_emplace(text, std::uint32_t(strings_.size()));
        if (added) {
            std::u16string s = files::utf16FromUtf8(text);
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
        out.record(record::kSst, records[0]);
        for (size_t r = 1; r < records.size(); ++r) out.record(record::kContinue, records[r]);

        Bytes ext;
        ext.u16(unsigned(perBucket));
        for (const Bucket& b : buckets) ext.u32(b.streamPos).u16(b.offsetInRecord).u16(0);
        out.record(record::kExtSst, ext);
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
    std::uint32_t sharedString = 0;  // a text's entry in the shared-string table
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

// A number in the compact form when it is an integer that fits its 30 bits.
bool fitsRk(double d, std::uint32_t& rk) {
    if (!(d >= -(1 << 29) && d < (1 << 29)) || d != std::floor(d)) return false;
    rk = (std::uint32_t(std::int32_t(d)) << 2) | 0x02u;
    return true;
}

// The printer settings block that carries a custom paper size, which the page setup
// record cannot name: the system's device mode structure with the paper's size in
// tenths of a millimetre (fields of DEVMODEW: orientation, paper size, length, width).
Bytes customPaperSettings(const PageSetup& p) {
    Bytes d;
    for (int i = 0; i < 32; ++i) d.u16(0);  // device name
    d.u16(0x0401).u16(0).u16(220).u16(0);   // version, driver version, size, driver extra
    d.u32(0x1u | 0x2u | 0x4u | 0x8u);       // orientation, paper size, length and width are set
    d.u16(p.orientation == Orientation::Landscape ? 2 : 1);
    d.u16(256);  // a paper of the user's size
    d.u16(unsigned(std::clamp(std::lround(p.paperHeightMm * 10), 1L, 32767L)));
    d.u16(unsigned(std::clamp(std::lround(p.paperWidthMm * 10), 1L, 32767L)));
    while (d.size() < 220) d.u8(0);
    Bytes b;
    b.u16(0);  // for Windows
    b.append(d);
    return b;
}

class WorkbookEncoder {
public:
    explicit WorkbookEncoder(const WorkbookModel& wb)
        : wb_(wb),
          mdw_(maxDigitWidthPx(wb.styles.fonts.empty() ? Font{} : wb.styles.fonts.front())),
          names_(files::definedNamesOf(wb)),
          formulas_(wb, names_) {}

    std::vector<std::uint8_t> encode() {
        check();
        std::vector<std::vector<PlacedCell>> cells;
        for (const auto& sheet : wb_.sheets) cells.push_back(cellsByRow(*sheet));
        // Strings are collected first: the shared-string table precedes the sheets.
        for (size_t s = 0; s < cells.size(); ++s)
            for (PlacedCell& c : cells[s])
                if (c.cell->value.isText() && !c.cell->hasFormula())
                    c.sharedString = sst_.index(c.cell->value.asText(), {c.row, c.column}, wb_.sheets[s]->name);
        // Formulas are encoded before the globals too: they decide which books, sheet
        // ranges and names the globals list.
        for (size_t s = 0; s < cells.size(); ++s)
            for (const PlacedCell& c : cells[s])
                if (c.cell->hasFormula())
                    formulaOf_[c.cell] = formulas_.cell(
                        c.cell->formula, int(s),
                        "Cell " + files::sheetReferenceName(wb_.sheets[s]->name) + "!" +
                            host::relativeAddress(host::Area::cell(c.row, c.column)));
        for (const DefinedName& n : names_) nameFormulas_.push_back(formulas_.name(n.refersTo, "The name \"" + n.name + "\""));

        std::vector<size_t> boundSheetFields = writeGlobals();
        for (size_t s = 0; s < wb_.sheets.size(); ++s) {
            out_.patch32(boundSheetFields[s], std::uint32_t(out_.position()));
            writeSheet(*wb_.sheets[s], cells[s], int(s) == activeSheet());
        }
        return xls::compoundFileWithStream("Workbook", out_.take());
    }

private:
    int activeSheet() const { return std::clamp(wb_.activeSheet, 0, int(wb_.sheets.size()) - 1); }

    void check() const {
        if (wb_.sheets.empty()) throw HostError(host::error::kApplicationDefined, "A workbook needs at least one sheet");
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
        out_.record(record::kBof, Bytes().u16(0x0600).u16(0x0005).u16(0x0DBB).u16(0x07CC).u32(0).u32(6));
        out_.record(record::kCodePage, Bytes().u16(1200));  // texts are UTF-16
        out_.record(record::kWindowProtect, Bytes().u16(0));
        out_.record(record::kProtect, Bytes().u16(0));
        out_.record(record::kPassword, Bytes().u16(0));
        out_.record(record::kBackup, Bytes().u16(0));
        out_.record(record::kHideObj, Bytes().u16(0));
        out_.record(record::kWindow1, Bytes()
                                          .u16(0x0168).u16(0x001E).u16(0x3A5C).u16(0x2328)
                                          .u16(0x0038).u16(unsigned(activeSheet())).u16(0).u16(1)
                                          .u16(0x0258));
        out_.record(record::kDateMode, Bytes().u16(wb_.date1904 ? 1 : 0));
        out_.record(record::kPrecision, Bytes().u16(1));
        out_.record(record::kBookBool, Bytes().u16(0));

        const auto& fonts = wb_.styles.fonts;
        FilePalette palette(wb_.styles);
        if (fonts.empty()) out_.record(record::kFont, fontRecord(Font{}, palette));
        for (const Font& f : fonts) out_.record(record::kFont, fontRecord(f, palette));

        std::map<std::string, int> custom;
        for (const CellFormat& f : wb_.styles.formats)
            if (files::builtInNumberFormatId(f.numberFormat) < 0 && !custom.count(f.numberFormat))
                custom.emplace(f.numberFormat, kFirstCustomFormat + int(custom.size()));
        for (const auto& [text, id] : custom) {
            Bytes b;
            b.u16(unsigned(id));
            std::u16string s = utf16(text);
            if (s.size() > 255) s.resize(255);
            appendLongString(b, s);
            out_.record(record::kFormat, b);
        }

        CellFormat styleDefault;
        for (int i = 0; i < kStyleXfCount; ++i)
            out_.record(record::kXf, xfRecord(0, 0, styleDefault, true, {}, {}));
        for (const CellFormat& f : wb_.styles.formats) {
            int id = files::builtInNumberFormatId(f.numberFormat);
            if (id < 0) id = custom.at(f.numberFormat);
            int font = f.fontId >= 0 && f.fontId < int(fonts.size()) ? f.fontId : 0;
            xls::BorderLines border;
            xls::FillPattern fill;
            if (f.borderId > 0 && size_t(f.borderId) < wb_.styles.bordersXml.size())
                border = xls::borderOfXml(wb_.styles.bordersXml[size_t(f.borderId)]);
            if (f.fillId > 0 && size_t(f.fillId) < wb_.styles.fillsXml.size())
                fill = xls::fillOfXml(wb_.styles.fillsXml[size_t(f.fillId)]);
            if (fill.pattern == 17 && f.fillId == 1) fill = {};  // the package's obligatory second fill
            out_.record(record::kXf, xfRecord(fontIndex(font), unsigned(id), f, false, border, fill));
        }
        out_.record(record::kStyle, Bytes().u16(0x8000).u8(0).u8(0xFF));  // "Normal" is style 0
        palette.write(out_);

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
            out_.record(record::kBoundSheet, b);
        }
        xls::writeLinkRecords(out_, formulas_.links());
        writeNames();
        sst_.write(out_);
        out_.record(record::kEof, Bytes());
        return fields;
    }

    // Every name the formulas number: the workbook's own with their formulas, then the
    // names of functions called by name, then names used but not defined (no formula).
    void writeNames() {
        const auto& names = formulas_.links().names;
        for (size_t i = 0; i < names.size(); ++i) {
            const xls::LinkTable::Name& n = names[i];
            int code = xls::builtInNameCode(n.name);
            std::u16string text = code >= 0 ? std::u16string(1, char16_t(code)) : utf16(n.name);
            if (text.size() > 255)
                throw HostError(host::error::kApplicationDefined,
                                "The name \"" + n.name + "\" is longer than a 97-2003 workbook allows");
            unsigned options = (code >= 0 ? 0x0020u : 0u) | (n.function ? 0x000Bu : 0u) |
                               (i < names_.size() && names_[i].hidden ? 0x0001u : 0u);
            Bytes tokens, extra;
            if (i < nameFormulas_.size()) {
                tokens = nameFormulas_[i].tokens;
                extra = nameFormulas_[i].extra;
            } else if (n.function) {
                tokens.u8(0x1C).u8(0x1D);  // a function's name stands for no value: #NAME?
            }
            bool compressed = fitsOneByte(text);
            Bytes b;
            b.u16(options).u8(0).u8(unsigned(text.size())).u16(unsigned(tokens.size())).u16(0);
            b.u16(n.sheet >= 0 ? unsigned(n.sheet + 1) : 0u).u32(0);
            b.u8(compressed ? 0 : 1);
            appendChars(b, text, 0, text.size(), compressed);
            b.append(tokens).append(extra);
            if (b.size() > kMaxRecordData)
                throw HostError(host::error::kApplicationDefined,
                                "The name \"" + n.name + "\" has a formula too long for a 97-2003 workbook");
            out_.record(record::kName, b);
        }
    }

    unsigned xfOf(int style) const {
        if (style < 0 || style >= int(wb_.styles.formats.size())) style = 0;
        return unsigned(kStyleXfCount + style);
    }

    void writePageSetup(const Sheet& sheet) {
        const PageSetup& p = sheet.pageSetup;
        out_.record(record::kPrintHeaders, Bytes().u16(0));
        out_.record(record::kPrintGridLines, Bytes().u16(p.printGridLines ? 1 : 0));
        out_.record(record::kGridSet, Bytes().u16(1));
        out_.record(record::kGuts, Bytes().u16(0).u16(0).u16(0).u16(0));
        unsigned rowFlags = sheet.defaultRowHeight != 13.5 ? 0x01u : 0u;  // a height of its own
        out_.record(record::kDefaultRowHeight,
                    Bytes().u16(rowFlags).u16(unsigned(std::clamp(std::lround(sheet.defaultRowHeight * 20), 1L, 8189L))));
        out_.record(record::kWsBool, Bytes().u16(0x04C1u | (p.fitToPage ? 0x0100u : 0u)));
        for (auto [type, text] : {std::pair{record::kHeader, &p.header}, std::pair{record::kFooter, &p.footer}}) {
            Bytes b;
            if (!text->empty()) {
                std::u16string s = utf16(*text);
                if (s.size() > 255) s.resize(255);
                appendLongString(b, s);
            }
            out_.record(type, b);
        }
        out_.record(record::kHCenter, Bytes().u16(p.centerHorizontally ? 1 : 0));
        out_.record(record::kVCenter, Bytes().u16(p.centerVertically ? 1 : 0));
        out_.record(record::kLeftMargin, Bytes().f64(p.marginLeft));
        out_.record(record::kRightMargin, Bytes().f64(p.marginRight));
        out_.record(record::kTopMargin, Bytes().f64(p.marginTop));
        out_.record(record::kBottomMargin, Bytes().f64(p.marginBottom));
        bool custom = p.paperSize == 0 && p.paperWidthMm > 0 && p.paperHeightMm > 0;
        // A custom size goes into the printer settings, which come before the page setup.
        if (custom) out_.record(record::kPls, customPaperSettings(p));
        unsigned flags = p.orientation == Orientation::Portrait ? 0x0002u : 0u;
        Bytes setup;
        setup.u16(unsigned(std::clamp(p.paperSize, 0, 0xFFFF)))
            .u16(unsigned(std::clamp(p.scale, 10, 400)))
            .u16(1)
            .u16(unsigned(std::clamp(p.fitToWidth, 0, 0x7FFF)))
            .u16(unsigned(std::clamp(p.fitToHeight, 0, 0x7FFF)))
            .u16(flags)
            .u16(600)
            .u16(600)
            .f64(p.marginHeader)
            .f64(p.marginFooter)
            .u16(1);
        out_.record(record::kSetup, setup);
        if (sheet.protection.enabled) {
            out_.record(record::kProtect, Bytes().u16(1));
            out_.record(record::kScenProtect, Bytes().u16(1));
            out_.record(record::kObjProtect, Bytes().u16(1));
            unsigned hash = 0;
            if (sheet.protection.passwordHash.size() == 4)
                hash = unsigned(std::strtoul(sheet.protection.passwordHash.c_str(), nullptr, 16));
            if (hash) out_.record(record::kPassword, Bytes().u16(hash));
        }
    }

    void writeColumns(const Sheet& sheet) {
        double defaultWidth = sheet.defaultColumnWidth > 0 ? sheet.defaultColumnWidth : 8.43;
        out_.record(record::kDefColWidth, Bytes().u16(unsigned(std::clamp(std::lround(defaultWidth), 0L, 255L))));
        out_.record(record::kStandardWidth, Bytes().u16(fileWidth(defaultWidth)));
        auto it = sheet.columns.begin();
        while (it != sheet.columns.end()) {
            auto first = it++;
            if (first->first < 1 || first->first > kMaxXlsColumns) continue;  // formatting only: nothing to see lost
            const ColumnInfo& info = first->second;
            if (info.width < 0 && !info.hidden && info.style == 0) continue;
            auto last = first;
            while (it != sheet.columns.end() && it->first == last->first + 1 && it->first <= kMaxXlsColumns &&
                   it->second.width == info.width && it->second.hidden == info.hidden && it->second.style == info.style)
                last = it++;
            double width = info.width >= 0 ? info.width : defaultWidth;
            Bytes b;
            b.u16(unsigned(first->first - 1)).u16(unsigned(last->first - 1));
            b.u16(fileWidth(width));
            b.u16(xfOf(info.style)).u16((info.hidden ? 0x01u : 0u) | (info.width >= 0 ? 0x02u : 0u)).u16(0);
            out_.record(record::kColInfo, b);
        }
    }

    unsigned fileWidth(double characters) const {
        return unsigned(std::clamp(std::lround(fileColumnWidth(characters, mdw_) * 256), 0L, 65535L));
    }

    void writeRow(const Sheet& sheet, int row, int firstColumn, int lastColumn) {
        auto it = sheet.rows.find(row);
        RowInfo info = it != sheet.rows.end() ? it->second : RowInfo{};
        double height = info.height >= 0 ? info.height : sheet.defaultRowHeight;
        unsigned twips = unsigned(std::clamp(std::lround(height * 20), 0L, 8189L));
        unsigned flags = 0x0100u | (info.hidden ? 0x20u : 0u) | (info.height >= 0 ? 0x40u : 0u) |
                         (info.style >= 0 ? 0x80u : 0u);
        Bytes b;
        b.u16(unsigned(row - 1)).u16(unsigned(firstColumn - 1)).u16(unsigned(lastColumn)).u16(twips).u16(0).u16(0).u16(flags);
        b.u16(info.style >= 0 ? xfOf(info.style) : 0x0F);
        out_.record(record::kRow, b);
    }

    void writeCell(const PlacedCell& c) {
        const Value& v = c.cell->value;
        unsigned row = unsigned(c.row - 1), col = unsigned(c.column - 1), xf = xfOf(c.cell->style);
        Bytes b;
        b.u16(row).u16(col).u16(xf);
        if (c.cell->hasFormula()) return writeFormula(b, *c.cell, formulaOf_.at(c.cell));
        switch (v.kind()) {
            case Value::Kind::Empty:
                if (c.cell->style == 0) return;
                out_.record(record::kBlank, b);
                return;
            case Value::Kind::Number: {
                std::uint32_t rk;
                if (fitsRk(v.asNumber(), rk)) out_.record(record::kRk, b.u32(rk));
                else out_.record(record::kNumber, b.f64(v.asNumber()));
                return;
            }
            case Value::Kind::Text:
                out_.record(record::kLabelSst, b.u32(c.sharedString));
                return;
            case Value::Kind::Boolean:
                out_.record(record::kBoolErr, b.u8(v.asBoolean() ? 1 : 0).u8(0));
                return;
            case Value::Kind::Error:
                out_.record(record::kBoolErr, b.u8(xls::errorCode(v.asError())).u8(1));
                return;
        }
    }

    // A formula cell: its last result (a text one in a STRING record after it), options,
    // the tokens and their data.
    void writeFormula(Bytes& b, const Cell& cell, const xls::EncodedFormula& f) {
        const Value& v = cell.value;
        const std::u16string* text = nullptr;
        std::u16string result;
        switch (v.kind()) {
            case Value::Kind::Number: b.f64(v.asNumber()); break;
            case Value::Kind::Text:
                result = utf16(v.asText());
                if (result.size() > kMaxCellText) result.resize(kMaxCellText);
                if (result.empty()) {
                    b.u8(3).u8(0).u32(0).u16(0xFFFF);  // an empty text
                } else {
                    b.u8(0).u8(0).u32(0).u16(0xFFFF);
                    text = &result;
                }
                break;
            case Value::Kind::Boolean: b.u8(1).u8(0).u8(v.asBoolean() ? 1 : 0).u8(0).u16(0).u16(0xFFFF); break;
            case Value::Kind::Error: b.u8(2).u8(0).u8(xls::errorCode(v.asError())).u8(0).u16(0).u16(0xFFFF); break;
            case Value::Kind::Empty: b.u8(3).u8(0).u32(0).u16(0xFFFF); break;
        }
        b.u16(f.isVolatile ? 0x0001 : 0x0000).u32(0);  // calculated every time when volatile
        b.u16(unsigned(f.tokens.size())).append(f.tokens).append(f.extra);
        if (b.size() > kMaxRecordData)
            throw HostError(host::error::kApplicationDefined,
                            "A formula is too long for a 97-2003 workbook: " + cell.formula.substr(0, 40) + "…");
        out_.record(record::kFormula, b);
        if (text) writeContinuedString(record::kString, *text);
    }

    // A string of up to 32767 characters in a record and its continuations, each of
    // which starts again with the width of the characters it holds.
    void writeContinuedString(std::uint16_t type, const std::u16string& s) {
        bool compressed = fitsOneByte(s);
        size_t width = compressed ? 1 : 2;
        Bytes b;
        b.u16(unsigned(s.size())).u8(compressed ? 0 : 1);
        size_t done = 0;
        bool first = true;
        while (first || done < s.size()) {
            size_t n = std::min(s.size() - done, (kMaxRecordData - b.size()) / width);
            appendChars(b, s, done, n, compressed);
            done += n;
            out_.record(first ? type : record::kContinue, b);
            first = false;
            b = Bytes();
            if (done < s.size()) b.u8(compressed ? 0 : 1);
        }
    }

    void writeCells(const Sheet& sheet, const std::vector<PlacedCell>& cells) {
        // The rows that have records: those with cells and those with settings.
        std::map<int, std::pair<int, int>> rows;  // row → first and last column
        for (const PlacedCell& c : cells) {
            auto [it, added] = rows.try_emplace(c.row, c.column, c.column);
            if (!added) it->second.second = std::max(it->second.second, c.column);
        }
        for (const auto& [row, info] : sheet.rows)
            if (row >= 1 && row <= kMaxXlsRows && (info.height >= 0 || info.hidden || info.style >= 0))
                rows.try_emplace(row, 1, 0);
        // Rows go in blocks of 32: the block's row records, then its cells.
        size_t next = 0;
        auto row = rows.begin();
        while (row != rows.end()) {
            int blockEnd = (row->first - 1) / kRowsPerBlock * kRowsPerBlock + kRowsPerBlock;
            auto blockStart = row;
            for (; row != rows.end() && row->first <= blockEnd; ++row)
                writeRow(sheet, row->first, row->second.first, row->second.second);
            for (; next < cells.size() && cells[next].row <= blockEnd; ++next) writeCell(cells[next]);
            (void)blockStart;
        }
    }

    void writeSheet(const Sheet& sheet, const std::vector<PlacedCell>& cells, bool active) {
        out_.record(record::kBof, Bytes().u16(0x0600).u16(0x0010).u16(0x0DBB).u16(0x07CC).u32(0).u32(6));
        out_.record(record::kCalcMode, Bytes().u16(1));
        out_.record(record::kCalcCount, Bytes().u16(100));
        out_.record(record::kRefMode, Bytes().u16(1));
        out_.record(record::kIteration, Bytes().u16(0));
        out_.record(record::kDelta, Bytes().f64(0.001));
        out_.record(record::kSaveRecalc, Bytes().u16(1));
        writePageSetup(sheet);
        writeColumns(sheet);

        Bytes dim;
        if (auto b = sheet.cells.bounds())
            dim.u32(std::uint32_t(b->top - 1)).u32(std::uint32_t(b->bottom)).u16(unsigned(b->left - 1)).u16(unsigned(b->right)).u16(0);
        else
            dim.u32(0).u32(0).u16(0).u16(0).u16(0);
        out_.record(record::kDimensions, dim);
        writeCells(sheet, cells);

        unsigned grbit = 0x00B6 | (active ? 0x0600u : 0u);  // grid, headers, zeros, outline
        out_.record(record::kWindow2, Bytes().u16(grbit).u16(0).u16(0).u16(64).u16(0).u16(0).u16(0).u32(0));
        Area sel = sheet.selection;
        CellRef at = sheet.activeCell;
        if (at.row <= kMaxXlsRows && at.column <= kMaxXlsColumns && sel.valid() && sel.bottom <= kMaxXlsRows &&
            sel.right <= kMaxXlsColumns)
            out_.record(record::kSelection, Bytes()
                                                .u8(3)
                                                .u16(unsigned(at.row - 1))
                                                .u16(unsigned(at.column - 1))
                                                .u16(0)
                                                .u16(1)
                                                .u16(unsigned(sel.top - 1))
                                                .u16(unsigned(sel.bottom - 1))
                                                .u8(unsigned(sel.left - 1))
                                                .u8(unsigned(sel.right - 1)));

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
            out_.record(record::kMergedCells, b);
        }
        if (sheet.tabColorIndex > 0 && sheet.tabColorIndex < 0x7F) {
            Bytes b;
            b.u16(record::kSheetExt).u16(0).u32(0).u32(0).u32(0x14).u32(unsigned(sheet.tabColorIndex) & 0x7Fu);
            out_.record(record::kSheetExt, b);
        }
        out_.record(record::kEof, Bytes());
    }

    const WorkbookModel& wb_;
    int mdw_;
    RecordWriter out_;
    SharedStrings sst_;
    std::vector<DefinedName> names_;
    xls::FormulaEncoder formulas_;
    std::unordered_map<const Cell*, xls::EncodedFormula> formulaOf_;
    std::vector<xls::EncodedFormula> nameFormulas_;
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
                        "Cannot save \"" + path + "\": the folder \"" + folder.string() + "\" does not exist");

    try {
        files::writeAtomically(path, std::as_bytes(std::span(bytes)));
    } catch (const HostError& e) {
        if (e.number() == host::error::kDiskFull) throw;  // the user can free space
        throw HostError(host::error::kPermissionDenied, e.what());  // an export's error number
    }
}

}  // namespace vorra::engine
