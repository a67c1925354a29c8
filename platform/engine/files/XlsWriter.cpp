#include "platform/engine/files/XlsWriter.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <stdexcept>
#include <unordered_map>

#include "platform/engine/files/CompoundFile.h"
#include "platform/engine/files/FileError.h"
#include "platform/engine/files/StylesPart.h"

namespace vorra::engine::files {

namespace {

constexpr int kXlsMaxRows = 65536;
constexpr int kXlsMaxColumns = 256;
constexpr size_t kMaxRecordData = 8224;  // longer data continues in CONTINUE records
constexpr int kStyleFormats = 16;        // 15 style formats and the default cell format

enum Record : std::uint16_t {
    kBof = 0x0809, kEof = 0x000A, kCodePage = 0x0042, kWindow1 = 0x003D, kDateMode = 0x0022,
    kFont = 0x0031, kFormat = 0x041E, kXf = 0x00E0, kStyle = 0x0293, kBoundSheet = 0x0085,
    kSst = 0x00FC, kContinue = 0x003C, kDimensions = 0x0200, kColInfo = 0x007D, kRow = 0x0208,
    kLabelSst = 0x00FD, kNumber = 0x0203, kBoolErr = 0x0205, kBlank = 0x0201, kWindow2 = 0x023E,
    kDefColWidth = 0x0055,
};

class Bytes {
public:
    void u8(unsigned v) { data_ += char(v & 0xFF); }
    void u16(unsigned v) { u8(v); u8(v >> 8); }
    void u32(std::uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); }
    void f64(double d) {
        std::uint64_t bits;
        std::memcpy(&bits, &d, 8);
        u32(std::uint32_t(bits));
        u32(std::uint32_t(bits >> 32));
    }
    void raw(const std::string& s) { data_ += s; }
    std::string& str() { return data_; }
    size_t size() const { return data_.size(); }

private:
    std::string data_;
};

std::u16string utf16(const std::string& s) {
    std::u16string out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        char32_t cp;
        int extra;
        if (c < 0x80) { cp = c; extra = 0; }
        else if ((c >> 5) == 6) { cp = c & 0x1F; extra = 1; }
        else if ((c >> 4) == 14) { cp = c & 0x0F; extra = 2; }
        else if ((c >> 3) == 30) { cp = c & 0x07; extra = 3; }
        else { cp = 0xFFFD; extra = 0; }
        ++i;
        for (int k = 0; k < extra && i < s.size(); ++k, ++i) cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += char16_t(0xD800 + (cp >> 10));
            out += char16_t(0xDC00 + (cp & 0x3FF));
        } else {
            out += char16_t(cp);
        }
    }
    return out;
}

void record(Bytes& out, std::uint16_t type, const std::string& data) {
    out.u16(type);
    out.u16(unsigned(data.size()));
    out.raw(data);
}

// Texts are always written in UTF-16 (flag 1): simple and lossless.
std::string shortString(const std::string& s) {  // 8-bit length
    std::u16string w = utf16(s).substr(0, 255);
    Bytes b;
    b.u8(unsigned(w.size()));
    b.u8(1);
    for (char16_t c : w) b.u16(c);
    return b.str();
}

std::string longString(const std::u16string& w) {  // 16-bit length
    Bytes b;
    b.u16(unsigned(w.size()));
    b.u8(1);
    for (char16_t c : w) b.u16(c);
    return b.str();
}

class XlsBuilder {
public:
    XlsBuilder(const WorkbookModel& model, const std::string& file) : model_(model), file_(file) {}

    std::string build() {
        for (const auto& sheet : model_.sheets) checkSize(*sheet);
        collectStrings();
        std::vector<std::string> sheets;
        for (size_t i = 0; i < model_.sheets.size(); ++i) sheets.push_back(sheetStream(*model_.sheets[i], int(i)));

        // The globals name each sheet's stream offset, which depends on the globals'
        // own length: write them once to measure, then for real.
        Bytes globals = globalsStream({});
        std::vector<std::uint32_t> offsets;
        std::uint32_t at = std::uint32_t(globals.size());
        for (const auto& s : sheets) {
            offsets.push_back(at);
            at += std::uint32_t(s.size());
        }
        Bytes stream = globalsStream(offsets);
        for (const auto& s : sheets) stream.raw(s);
        try {
            return writeCompoundFile("Workbook", std::move(stream.str()));
        } catch (const std::length_error&) {
            failSave(file_, "the workbook is too large for the .xls format");
        }
    }

private:
    void checkSize(const Sheet& sheet) {
        if (auto b = sheet.cells.bounds(); b && (b->bottom > kXlsMaxRows || b->right > kXlsMaxColumns))
            failSave(file_, "sheet \"" + sheet.name + "\" is larger than the .xls format's 65536 rows and 256 columns");
    }

    void collectStrings() {
        for (const auto& sheet : model_.sheets)
            for (const auto& [col, cells] : sheet->cells.columns())
                for (const auto& [row, cell] : cells)
                    if (cell.value.isText()) {
                        ++stringRefs_;
                        auto [it, added] = stringIndex_.try_emplace(cell.value.asText(), std::uint32_t(strings_.size()));
                        if (added) strings_.push_back(&it->first);
                    }
    }

    void writeBof(Bytes& out, unsigned kind) {
        Bytes b;
        b.u16(0x0600);  // BIFF8
        b.u16(kind);    // 0x0005 workbook globals, 0x0010 worksheet
        b.u16(0x0DBB);
        b.u16(0x07CC);
        b.u32(0);
        b.u32(0x06);
        record(out, kBof, b.str());
    }

    void writeFont(Bytes& out, const Font& f) {
        Bytes b;
        b.u16(unsigned(f.size * 20 + 0.5));  // twips
        b.u16((f.bold ? 0x01 : 0) | (f.italic ? 0x02 : 0) | (f.strike ? 0x08 : 0));  // bit 0 for old readers
        b.u16(f.colorIndex > 0 ? unsigned(f.colorIndex) : 0x7FFF);
        b.u16(f.bold ? 700 : 400);
        b.u16(0);                    // no super- or subscript
        b.u8(f.underline ? 1 : 0);
        b.u8(0);                     // font family
        b.u8(f.name == "宋体" || f.name.find("宋") != std::string::npos ? 134 : 1);  // GB2312 or default charset
        b.u8(0);
        b.raw(shortString(f.name.empty() ? "Arial" : f.name));
        record(out, kFont, b.str());
    }

    static unsigned hAlignCode(HAlign a) {
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
    static unsigned vAlignCode(VAlign a) {
        switch (a) {
            case VAlign::Top: return 0;
            case VAlign::Center: return 1;
            case VAlign::Bottom: return 2;
            case VAlign::Justify: return 3;
            case VAlign::Distributed: return 4;
        }
        return 2;
    }

    // The file starts with four copies of the default font; model font k > 0 follows
    // as record 3 + k, and indexes from 4 on skip 4, a gap the format keeps.
    static unsigned fontRef(int fontId) { return fontId == 0 ? 0 : unsigned(fontId) + 4; }

    void writeXf(Bytes& out, unsigned font, unsigned format, bool style, const CellFormat* f) {
        Bytes b;
        b.u16(font);
        b.u16(format);
        unsigned prot = style ? 0xFFF5 : ((f && !f->locked) ? 0 : 1) | ((f && f->formulaHidden) ? 2 : 0);
        b.u16(prot);  // a cell format's parent is style format 0
        unsigned align = f ? hAlignCode(f->hAlign) | (f->wrapText ? 0x08 : 0) | (vAlignCode(f->vAlign) << 4) : 0x20;
        b.u8(align);
        b.u8(f ? unsigned(f->rotation >= 0 && f->rotation <= 180 ? f->rotation : 0) : 0);
        b.u8(f ? (unsigned(std::min(f->indent, 15)) | (f->shrinkToFit ? 0x10 : 0)) : 0);
        b.u8(style ? 0 : 0xFC);  // a cell format sets all its attribute groups
        b.u32(0);                // no borders
        b.u32(0);
        b.u16(0x20C0);           // pattern colours: system foreground and background
        record(out, kXf, b.str());
    }

    Bytes globalsStream(const std::vector<std::uint32_t>& offsets) {
        Bytes out;
        writeBof(out, 0x0005);
        {
            Bytes b;
            b.u16(1200);  // texts in UTF-16
            record(out, kCodePage, b.str());
        }
        {
            Bytes b;
            b.u16(0); b.u16(0); b.u16(0x4000); b.u16(0x2000);
            b.u16(0x38);
            b.u16(unsigned(std::clamp(model_.activeSheet, 0, int(model_.sheets.size()) - 1)));
            b.u16(0); b.u16(1); b.u16(600);
            record(out, kWindow1, b.str());
        }
        {
            Bytes b;
            b.u16(model_.date1904 ? 1 : 0);
            record(out, kDateMode, b.str());
        }
        const auto& fonts = model_.styles.fonts;
        for (int i = 0; i < 4; ++i) writeFont(out, fonts.empty() ? Font{} : fonts[0]);
        for (size_t i = 1; i < fonts.size(); ++i) writeFont(out, fonts[i]);

        // Number formats: built-in ids where the code has one, custom ones from 164.
        std::map<std::string, unsigned> custom;
        std::vector<unsigned> formatIds;
        for (const auto& f : model_.styles.formats) {
            int id = builtInNumberFormatId(f.numberFormat);
            if (id < 0) {
                auto [it, added] = custom.try_emplace(f.numberFormat, 164 + unsigned(custom.size()));
                id = int(it->second);
            }
            formatIds.push_back(unsigned(id));
        }
        for (const auto& [code, id] : custom) {
            Bytes b;
            b.u16(id);
            b.raw(longString(utf16(code)));
            record(out, kFormat, b.str());
        }

        for (int i = 0; i < kStyleFormats - 1; ++i) writeXf(out, i == 0 ? 0 : 1, 0, true, nullptr);
        writeXf(out, 0, 0, false, nullptr);  // the default cell format
        for (size_t i = 0; i < model_.styles.formats.size(); ++i) {
            const CellFormat& f = model_.styles.formats[i];
            int fontId = f.fontId < int(fonts.size()) ? f.fontId : 0;
            writeXf(out, fontRef(fontId), formatIds[i], false, &f);
        }
        {
            Bytes b;
            b.u16(0x8000);  // built-in style "Normal" on style format 0
            b.u8(0);
            b.u8(0xFF);
            record(out, kStyle, b.str());
        }
        for (size_t i = 0; i < model_.sheets.size(); ++i) {
            const Sheet& s = *model_.sheets[i];
            Bytes b;
            b.u32(i < offsets.size() ? offsets[i] : 0);
            b.u8(s.visibility == SheetVisibility::Visible ? 0 : s.visibility == SheetVisibility::Hidden ? 1 : 2);
            b.u8(0);  // worksheet
            b.raw(shortString(s.name));
            record(out, kBoundSheet, b.str());
        }
        writeSst(out);
        record(out, kEof, "");
        return out;
    }

    // The shared-string table, split into CONTINUE records at the format's record
    // size; a string cut in two repeats its flags byte at the start of the next part.
    void writeSst(Bytes& out) {
        Bytes head;
        head.u32(std::uint32_t(stringRefs_));
        head.u32(std::uint32_t(strings_.size()));
        std::vector<std::string> records{head.str()};
        for (const std::string* s : strings_) {
            std::u16string w = utf16(*s);
            if (w.size() > 32767) w.resize(32767);
            std::string header = longString(u"");
            header[0] = char(w.size() & 0xFF);
            header[1] = char(w.size() >> 8);
            if (records.back().size() + header.size() + 2 > kMaxRecordData) records.emplace_back();
            records.back() += header;
            size_t i = 0;
            while (i < w.size()) {
                size_t room = (kMaxRecordData - records.back().size()) / 2;
                if (room == 0) {
                    records.emplace_back(1, '\x01');
                    continue;
                }
                for (size_t n = std::min(room, w.size() - i); n > 0; --n, ++i) {
                    records.back() += char(w[i] & 0xFF);
                    records.back() += char(w[i] >> 8);
                }
            }
        }
        for (size_t i = 0; i < records.size(); ++i) record(out, i == 0 ? kSst : kContinue, records[i]);
    }

    unsigned cellXf(int style) const {
        return unsigned(kStyleFormats + (style >= 0 && style < int(model_.styles.formats.size()) ? style : 0));
    }

    std::string sheetStream(const Sheet& sheet, int index) {
        Bytes out;
        writeBof(out, 0x0010);
        {
            Bytes b;
            b.u16(unsigned(sheet.defaultColumnWidth + 0.5));
            record(out, kDefColWidth, b.str());
        }
        for (const auto& [col, info] : sheet.columns) {
            if (col > kXlsMaxColumns) break;
            Bytes b;
            b.u16(unsigned(col - 1));
            b.u16(unsigned(col - 1));
            double width = info.width >= 0 ? info.width : sheet.defaultColumnWidth;
            b.u16(unsigned(std::clamp(width, 0.0, 255.0) * 256 + 0.5));
            b.u16(cellXf(info.style));
            b.u16(info.hidden ? 1 : 0);
            b.u16(0);
            record(out, kColInfo, b.str());
        }
        auto bounds = sheet.cells.bounds();
        {
            Bytes b;
            b.u32(bounds ? std::uint32_t(bounds->top - 1) : 0);
            b.u32(bounds ? std::uint32_t(bounds->bottom) : 0);
            b.u16(bounds ? unsigned(bounds->left - 1) : 0);
            b.u16(bounds ? unsigned(bounds->right) : 0);
            b.u16(0);
            record(out, kDimensions, b.str());
        }
        for (const auto& [row, info] : sheet.rows) {
            if (row > kXlsMaxRows) break;
            if (info.height < 0 && !info.hidden) continue;
            Bytes b;
            b.u16(unsigned(row - 1));
            b.u16(0);
            b.u16(0);
            double height = info.height >= 0 ? info.height : sheet.defaultRowHeight;
            b.u16(unsigned(std::clamp(height, 0.0, 409.0) * 20 + 0.5));
            b.u16(0);
            b.u16(0);
            b.u32(0x100 | (info.hidden ? 0x20 : 0) | (info.height >= 0 ? 0x40 : 0) | (std::uint32_t(0x0F) << 16));
            record(out, kRow, b.str());
        }
        // Cells row by row, as readers of the format expect.
        std::map<std::pair<int, int>, const Cell*> ordered;
        for (const auto& [col, cells] : sheet.cells.columns())
            for (const auto& [row, cell] : cells) ordered[{row, col}] = &cell;
        for (const auto& [at, cell] : ordered) {
            Bytes b;
            b.u16(unsigned(at.first - 1));
            b.u16(unsigned(at.second - 1));
            b.u16(cellXf(cell->style));
            const Value& v = cell->value;
            switch (v.kind()) {
                case Value::Kind::Text:
                    b.u32(stringIndex_.at(v.asText()));
                    record(out, kLabelSst, b.str());
                    break;
                case Value::Kind::Number:
                    b.f64(v.asNumber());
                    record(out, kNumber, b.str());
                    break;
                case Value::Kind::Boolean:
                    b.u8(v.asBoolean() ? 1 : 0);
                    b.u8(0);
                    record(out, kBoolErr, b.str());
                    break;
                case Value::Kind::Error: {
                    static const unsigned codes[] = {0x00, 0x07, 0x0F, 0x17, 0x1D, 0x24, 0x2A};
                    b.u8(codes[int(v.asError())]);
                    b.u8(1);
                    record(out, kBoolErr, b.str());
                    break;
                }
                case Value::Kind::Empty:
                    record(out, kBlank, b.str());
                    break;
            }
        }
        {
            Bytes b;
            bool active = index == std::clamp(model_.activeSheet, 0, int(model_.sheets.size()) - 1);
            b.u16(0x00B6 | (active ? 0x0600 : 0));  // gridlines, headers, zeros; selected and shown when active
            b.u16(0);
            b.u16(0);
            b.u16(64);
            b.u16(0);
            b.u16(0);
            b.u16(0);
            b.u32(0);
            record(out, kWindow2, b.str());
        }
        record(out, kEof, "");
        return out.str();
    }

    const WorkbookModel& model_;
    const std::string& file_;
    std::vector<const std::string*> strings_;
    std::unordered_map<std::string, std::uint32_t> stringIndex_;
    size_t stringRefs_ = 0;
};

}  // namespace

std::string writeXls(const WorkbookModel& model, const std::string& file) {
    if (model.sheets.empty()) failSave(file, "a workbook needs at least one sheet");
    return XlsBuilder(model, file).build();
}

}  // namespace vorra::engine::files
