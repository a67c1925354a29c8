// Reading a binary workbook: the compound file gives the workbook stream, whose
// globals come first (fonts, formats, shared strings, the list of sheets with the
// offsets of their records) and each sheet's records after them.
#include "platform/engine/files/XlsReader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <set>

#include "platform/engine/files/DefinedNames.h"
#include "platform/engine/files/FileError.h"
#include "platform/engine/files/StylesPart.h"
#include "platform/engine/files/TextEncoding.h"
#include "platform/engine/files/XlsCompoundFile.h"
#include "platform/engine/files/XlsFormula.h"
#include "platform/engine/files/XlsRecords.h"
#include "platform/engine/files/XlsStyles.h"
#include "platform/engine/formula/FormulaText.h"
#include "platform/engine/formula/Lexer.h"
#include "platform/engine/model/Palette.h"
#include "platform/engine/print/CellGeometry.h"

namespace vorra::engine::files {

namespace {

using xls::ByteReader;
using xls::FormatError;
using xls::Record;
using xls::RecordStream;
namespace record = xls::record;

constexpr int kXlsRows = xls::kMaxRows;
constexpr int kXlsColumns = xls::kMaxColumns;
constexpr std::uint16_t kBiff8 = 0x0600;
constexpr std::uint16_t kGlobalsSubstream = 0x0005;
constexpr std::uint16_t kWorksheetSubstream = 0x0010;

[[noreturn]] void malformed(const std::string& what) { throw FormatError(what); }

std::string hex4(unsigned v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04X", v & 0xFFFF);
    return buf;
}

// A number in the compact 30-bit form: an integer or the high half of a double,
// optionally a hundredth of it.
double rkValue(std::uint32_t rk) {
    double v;
    if (rk & 0x02) {
        v = double(std::int32_t(rk) >> 2);
    } else {
        std::uint64_t bits = std::uint64_t(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&v, &bits, 8);
    }
    return (rk & 0x01) ? v / 100 : v;
}

HAlign hAlignOf(unsigned code) {
    static const HAlign kAligns[] = {HAlign::General, HAlign::Left,    HAlign::Center,           HAlign::Right,
                                     HAlign::Fill,    HAlign::Justify, HAlign::CenterContinuous, HAlign::Distributed};
    return code < 8 ? kAligns[code] : HAlign::General;
}

VAlign vAlignOf(unsigned code) {
    static const VAlign kAligns[] = {VAlign::Top, VAlign::Center, VAlign::Bottom, VAlign::Justify, VAlign::Distributed};
    return code < 5 ? kAligns[code] : VAlign::Bottom;
}

// One extended format as stored (BIFF8, 20 bytes).
struct RawXf {
    unsigned font = 0, format = 0;
    bool locked = true, hidden = false, isStyle = false;
    unsigned parent = 0xFFF;
    unsigned hAlign = 0, vAlign = 2, rotation = 0, indent = 0;
    bool wrap = false, shrink = false;
    xls::BorderLines border;
    xls::FillPattern fill;
};


RawXf readXf(ByteReader& r) {
    RawXf x;
    x.font = r.u16();
    x.format = r.u16();
    unsigned type = r.u16();
    x.locked = type & 0x0001;
    x.hidden = type & 0x0002;
    x.isStyle = type & 0x0004;
    x.parent = type >> 4;
    unsigned align = r.u8();
    x.hAlign = align & 0x07;
    x.wrap = align & 0x08;
    x.vAlign = (align >> 4) & 0x07;
    x.rotation = r.u8();
    unsigned indent = r.u8();
    x.indent = indent & 0x0F;
    x.shrink = indent & 0x10;
    r.u8();  // which attribute groups differ from the style
    std::uint32_t b1 = r.u32(), b2 = r.u32();
    unsigned colors = r.u16();
    auto& b = x.border;
    b.left = std::uint8_t(b1 & 0x0F);
    b.right = std::uint8_t((b1 >> 4) & 0x0F);
    b.top = std::uint8_t((b1 >> 8) & 0x0F);
    b.bottom = std::uint8_t((b1 >> 12) & 0x0F);
    b.leftColor = std::uint8_t((b1 >> 16) & 0x7F);
    b.rightColor = std::uint8_t((b1 >> 23) & 0x7F);
    b.diagonalDown = b1 & 0x40000000u;
    b.diagonalUp = b1 & 0x80000000u;
    b.topColor = std::uint8_t(b2 & 0x7F);
    b.bottomColor = std::uint8_t((b2 >> 7) & 0x7F);
    b.diagonalColor = std::uint8_t((b2 >> 14) & 0x7F);
    b.diagonal = std::uint8_t((b2 >> 21) & 0x0F);
    x.fill.pattern = std::uint8_t((b2 >> 26) & 0x3F);
    x.fill.fore = std::uint8_t(colors & 0x7F);
    x.fill.back = std::uint8_t((colors >> 7) & 0x7F);
    return x;
}

struct SheetEntry {
    std::string name;
    std::uint32_t offset = 0;
    SheetVisibility visibility = SheetVisibility::Visible;
    unsigned type = 0;  // 0 worksheet, 1 macro sheet, 2 chart, 6 module
};

class XlsReader {
public:
    XlsReader(std::string_view stream, const std::string& file, const ReadLimits& limits, bool valuesOnly)
        : stream_(stream), file_(file), valuesOnly_(valuesOnly), budget_(limits, file) {
        budget_.addBytes(stream.size());
    }

    std::unique_ptr<WorkbookModel> read() {
        model_ = std::make_unique<WorkbookModel>();
        readGlobals();
        if (!valuesOnly_) buildStyles();
        mdw_ = maxDigitWidthPx(model_->styles.fonts.empty() ? Font{} : model_->styles.fonts.front());
        std::set<std::uint32_t> offsets;
        for (const SheetEntry& entry : sheets_) {
            if (entry.type != 0) {
                if (valuesOnly_) continue;
                malformed("sheet \"" + entry.name + "\" is a " +
                          (entry.type == 2 ? "chart" : entry.type == 1 ? "macro" : "module") +
                          " sheet, which this program cannot keep");
            }
            // Each sheet has records of its own: sheets sharing them would multiply
            // the work of one sheet's worth of bytes.
            if (!offsets.insert(entry.offset).second)
                malformed("sheets \"" + entry.name + "\" and another one share their records");
            if (model_->sheetIndex(entry.name) >= 0) malformed("two sheets are named \"" + entry.name + "\"");
            auto sheet = std::make_unique<Sheet>();
            sheet->name = entry.name;
            sheet->visibility = entry.visibility;
            budget_.addBytes(sizeof(Sheet) + entry.name.size());
            readSheet(entry, *sheet);
            model_->sheets.push_back(std::move(sheet));
        }
        if (model_->sheets.empty()) malformed("the workbook has no worksheets");
        if (!valuesOnly_) readNames();
        model_->activeSheet = std::clamp(activeSheet_, 0, int(model_->sheets.size()) - 1);
        return std::move(model_);
    }

private:
    // ---- Globals ------------------------------------------------------------------

    void readGlobals() {
        RecordStream records(stream_);
        Record r;
        if (!records.next(r) || r.type != record::kBof) malformed("the workbook stream does not start with a workbook");
        ByteReader bof(r.data, r.type);
        std::uint16_t version = bof.u16(), kind = bof.u16();
        if (version != kBiff8)
            malformed("it is a workbook of an older format (BIFF version 0x" + hex4(version) +
                      "); save it as .xls (97-2003) or .xlsx in another spreadsheet program first");
        if (kind != kGlobalsSubstream) malformed("the workbook stream does not start with the workbook globals");
        while (records.next(r)) {
            if (r.type == record::kEof) return finishGlobals();
            ByteReader in(r.data, r.type);
            switch (r.type) {
                case record::kFilePass:
                    throw FormatError("password-protected workbook (binary .xls); remove the password first");
                case record::kDateMode: model_->date1904 = in.u16() == 1; break;
                case record::kWindow1:
                    in.skip(10);
                    activeSheet_ = in.u16();
                    break;
                case record::kBoundSheet: readBoundSheet(in); break;
                case record::kSst: readSharedStrings(r); break;
                default:
                    if (valuesOnly_) break;
                    switch (r.type) {
                        case record::kSupBook: xls::readSupBook(r, links_); break;
                        case record::kExternName: xls::readExternName(r, links_); break;
                        case record::kExternSheet: xls::readExternSheet(r, links_); break;
                        case record::kName: readName(r); break;
                        case record::kFont: readFont(in); break;
                        case record::kFormat: {
                            unsigned id = in.u16();
                            formats_[id] = xls::longString(in);
                            break;
                        }
                        case record::kXf: xfs_.push_back(readXf(in)); break;
                        case record::kPalette: readPalette(in); break;
                        default: break;
                    }
            }
        }
        malformed("the workbook globals have no end");
    }

    // What formulas refer to: the sheets by their place in the list of sheets, the
    // external books by their place among the books.
    void finishGlobals() {
        for (const SheetEntry& e : sheets_) links_.sheets.push_back(e.name);
        for (const auto& book : links_.books) {
            if (book.kind != xls::LinkTable::BookKind::External) continue;
            ExternalLinkModel link;
            link.target = book.path;
            model_->externalLinks.push_back(std::move(link));
        }
    }

    // A defined name: its options, the lengths of its name and formula, its sheet, then
    // the name and the formula's tokens (the formula is read once every sheet is known).
    void readName(const Record& r) {
        std::string data = r.joined();
        ByteReader in(data, r.type);
        unsigned options = in.u16();
        in.u8();  // keyboard shortcut
        size_t length = in.u8();
        size_t tokens = in.u16();
        in.u16();
        unsigned sheet = in.u16();
        in.skip(4);  // lengths of the menu text, description, help and status texts
        std::string name = xls::stringOfLength(in, length);
        bool builtIn = options & 0x0020;
        if (builtIn) {
            std::u16string code = utf16FromUtf8(name);
            name = xls::builtInName(code.empty() ? 0 : unsigned(code[0]));
        }
        if (name.empty()) malformed("a defined name has no name");
        RawName raw;
        raw.hidden = options & 0x0001;
        raw.sheet = int(sheet) - 1;
        raw.tokens = std::string(in.bytes(tokens));
        raw.extra = std::string(in.bytes(in.remaining()));
        budget_.addBytes(sizeof(RawName) + name.size() + data.size());
        bool function = (options & 0x0002) != 0;
        links_.names.push_back({std::move(name), raw.sheet, function});
        rawNames_.push_back(std::move(raw));
    }

    // The names as the model holds them: print areas on their sheets, the others in the
    // list of names; names of functions and names without a formula are the file's own.
    void readNames() {
        std::vector<DefinedName> names;
        for (size_t i = 0; i < rawNames_.size(); ++i) {
            const xls::LinkTable::Name& n = links_.names[i];
            const RawName& raw = rawNames_[i];
            if (n.function || raw.tokens.empty()) continue;
            if (raw.sheet >= int(model_->sheets.size())) malformed("the name \"" + n.name + "\" belongs to a sheet that does not exist");
            DefinedName d;
            d.name = n.name;
            d.localSheet = raw.sheet;
            d.hidden = raw.hidden;
            try {
                d.refersTo = xls::decodeFormula({raw.tokens, raw.extra}, links_, CellRef{1, 1}, raw.sheet,
                                                formula::kMaxFormulaLength);
            } catch (const xls::UnsupportedFormula&) {
                continue;  // a name this program cannot use: the file's other names stay
            } catch (const FormatError& e) {
                malformed("the name \"" + n.name + "\": " + e.what());
            }
            budget_.addBytes(sizeof(DefinedName) + d.name.size() + d.refersTo.size());
            names.push_back(std::move(d));
        }
        applyDefinedNames(names, *model_);
    }

    void readBoundSheet(ByteReader& in) {
        SheetEntry e;
        e.offset = in.u32();
        unsigned state = in.u8() & 0x03;
        e.visibility = state == 1 ? SheetVisibility::Hidden : state == 2 ? SheetVisibility::VeryHidden : SheetVisibility::Visible;
        e.type = in.u8();
        e.name = xls::shortString(in);
        if (e.name.empty()) malformed("a sheet has no name");
        if (e.offset >= stream_.size())
            malformed("the records of sheet \"" + e.name + "\" lie past the end of the workbook stream");
        budget_.addBytes(sizeof(SheetEntry) + e.name.size());
        sheets_.push_back(std::move(e));
    }

    void readSharedStrings(const Record& r) {
        xls::ContinuedReader in(r);
        in.u32();  // references
        std::uint32_t unique = in.u32();
        // Each string takes at least three bytes (count and options).
        if (std::uint64_t(unique) * 3 > in.remaining())
            malformed("the shared-string table claims " + std::to_string(unique) +
                      " strings, more than its records hold");
        sst_.reserve(unique);
        for (std::uint32_t i = 0; i < unique; ++i) {
            sst_.push_back(xls::continuedString(in));
            budget_.addBytes(sizeof(std::string) + sst_.back().size());
        }
    }

    void readFont(ByteReader& in) {
        Font f;
        f.size = in.u16() / 20.0;
        unsigned flags = in.u16();
        unsigned color = in.u16();
        unsigned weight = in.u16();
        in.u16();  // super- or subscript
        unsigned underline = in.u8();
        in.skip(3);  // family, character set, reserved
        f.name = xls::shortString(in);
        f.bold = weight >= 600;
        f.italic = flags & 0x02;
        f.strike = flags & 0x08;
        f.underline = underline != 0;
        fontColors_.push_back(color);
        fonts_.push_back(std::move(f));
    }

    void readPalette(ByteReader& in) {
        unsigned count = in.u16();
        if (count * 4u > in.remaining()) in.tooShort();
        for (unsigned i = 0; i < count && i < 56; ++i) {
            std::uint32_t red = in.u8(), green = in.u8(), blue = in.u8();
            in.u8();
            std::uint32_t rgb = (red << 16) | (green << 8) | blue;
            if (rgb != kPalette[i]) palette_[i] = rgb, customPalette_[i] = true;
        }
    }

    // The model's style sheet from the fonts, formats and cell formats read.
    void buildStyles() {
        StyleSheet& styles = model_->styles;
        styles.fonts.clear();
        for (size_t i = 0; i < fonts_.size(); ++i) {
            Font f = fonts_[i];
            applyColor(f, fontColors_[i]);
            styles.fonts.push_back(std::move(f));
        }
        if (styles.fonts.empty()) styles.fonts.push_back(Font{});
        styles.fillsXml = {xls::fillXml({}), xls::fillXml({17, 64, 65})};
        styles.bordersXml = {xls::borderXml({})};
        styles.formats.clear();
        // The default cell format is the sixteenth (the first fifteen are styles).
        size_t defaultXf = xfs_.size() > 15 && !xfs_[15].isStyle ? 15 : xfs_.size();
        for (size_t i = 0; i < xfs_.size() && defaultXf == xfs_.size(); ++i)
            if (!xfs_[i].isStyle) defaultXf = i;
        xfStyle_.assign(xfs_.size(), 0);
        if (defaultXf < xfs_.size()) styles.formats.push_back(cellFormatOf(defaultXf));
        else styles.formats.push_back(CellFormat{});
        for (size_t i = 0; i < xfs_.size(); ++i) {
            if (xfs_[i].isStyle || i == defaultXf) continue;
            xfStyle_[i] = int(styles.formats.size());
            styles.formats.push_back(cellFormatOf(i));
        }
    }

    // A font's indexed colour; an entry the file's palette changed is that entry's RGB
    // colour (the host index would show the standard palette's).
    void applyColor(Font& f, unsigned icv) {
        f.colorIndex = icv == 0x7FFF ? 0 : hostColorIndexOf(int(icv));
        if (f.colorIndex > 0 && size_t(f.colorIndex - 1) < customPalette_.size() && customPalette_[size_t(f.colorIndex - 1)]) {
            char buf[16];
            std::snprintf(buf, sizeof buf, "FF%06X", unsigned(palette_[size_t(f.colorIndex - 1)]));
            f.colorRgb = buf;
            f.colorIndex = 0;
        }
    }

    int modelFont(unsigned fileFont) const {
        // The format has no font 4: the fifth font is number 5.
        unsigned i = fileFont < 4 ? fileFont : fileFont - 1;
        return i < fonts_.size() ? int(i) : 0;
    }

    CellFormat cellFormatOf(size_t index) {
        // A cell format's own fields hold its attributes: its flags only say which of
        // them differ from its style, and writers fill them in either way.
        const RawXf& x = xfs_[index];
        CellFormat f;
        if (auto it = formats_.find(x.format); it != formats_.end()) f.numberFormat = it->second;
        else if (auto code = builtInNumberFormat(int(x.format)); !code.empty()) f.numberFormat = code;
        f.fontId = modelFont(x.font);
        f.hAlign = hAlignOf(x.hAlign);
        f.vAlign = vAlignOf(x.vAlign);
        f.wrapText = x.wrap;
        f.shrinkToFit = x.shrink;
        f.indent = int(x.indent);
        f.rotation = x.rotation <= 180 || x.rotation == 255 ? int(x.rotation) : 0;
        f.locked = x.locked;
        f.formulaHidden = x.hidden;
        f.fillId = internXml(model_->styles.fillsXml, x.fill.pattern == 0 ? xls::fillXml({}) : xls::fillXml(x.fill));
        f.borderId = internXml(model_->styles.bordersXml, xls::borderXml(x.border));
        return f;
    }

    static int internXml(std::vector<std::string>& list, std::string xml) {
        auto it = std::find(list.begin(), list.end(), xml);
        if (it != list.end()) return int(it - list.begin());
        list.push_back(std::move(xml));
        return int(list.size()) - 1;
    }

    int styleOf(unsigned xf) const {
        if (valuesOnly_) return 0;
        return xf < xfStyle_.size() ? xfStyle_[xf] : 0;
    }

    // ---- Sheets -------------------------------------------------------------------

    void readSheet(const SheetEntry& entry, Sheet& sheet) {
        RecordStream records(stream_, entry.offset);
        Record r;
        if (!records.next(r) || r.type != record::kBof)
            malformed("the records of sheet \"" + entry.name + "\" do not start where the workbook says");
        ByteReader bof(r.data, r.type);
        bof.u16();
        if (bof.u16() != kWorksheetSubstream)
            malformed("sheet \"" + entry.name + "\" is not a worksheet, which this program cannot keep");
        sheet_ = &sheet;
        sheetName_ = &entry.name;
        standardWidth_ = customPaper_ = false;
        activePane_ = 3;
        pendingString_.reset();
        PageSetup& page = sheet.pageSetup;
        if (!valuesOnly_) {
            // What a sheet without page-setup records prints with: no paper stated,
            // the margins of the 97-2003 format's defaults.
            page.paperSize = 0;
            page.marginLeft = page.marginRight = 0.75;
            page.marginTop = page.marginBottom = 1.0;
            page.marginHeader = page.marginFooter = 0.5;
            sheet.defaultColumnWidth = defaultColumnCharacters(8, mdw_);
        }
        int nested = 0;
        while (records.next(r)) {
            // Embedded charts bring substreams of their own.
            if (r.type == record::kBof) {
                ++nested;
                continue;
            }
            if (r.type == record::kEof) {
                if (nested-- != 0) continue;
                pendingCells_.clear();  // cells of a block whose formula never came keep their values
                sharedFormulas_.clear();
                return finishPaper();
            }
            if (nested > 0) continue;
            readSheetRecord(r);
        }
        malformed("the records of sheet \"" + entry.name + "\" have no end");
    }

    [[noreturn]] void refuseCell(int row, int col, const std::string& what) const {
        malformed("sheet \"" + *sheetName_ + "\", cell " + relativeAddress(Area::cell(row + 1, col + 1)) + ": " + what);
    }

    void checkCell(unsigned row, unsigned col) const {
        if (col >= unsigned(kXlsColumns))
            malformed("sheet \"" + *sheetName_ + "\" has a cell in column " + std::to_string(col + 1) +
                      ", past the 256 columns of a 97-2003 sheet");
        (void)row;  // 16 bits cannot name a row past 65536
    }

    Cell* putCell(unsigned row, unsigned col, unsigned xf, Value value) {
        checkCell(row, col);
        int style = styleOf(xf);
        if (value.isEmpty() && style == 0) return nullptr;
        budget_.addCell(value.isText() ? value.asText().size() : 0);
        Cell& cell = sheet_->cells.at({int(row) + 1, int(col) + 1});
        cell.value = std::move(value);
        cell.style = style;
        return &cell;
    }

    void readSheetRecord(const Record& r) {
        ByteReader in(r.data, r.type);
        switch (r.type) {
            case record::kNumber: {
                unsigned row = in.u16(), col = in.u16(), xf = in.u16();
                double d = in.f64();
                putCell(row, col, xf, std::isfinite(d) ? Value::number(d) : Value::error(ErrorValue::Num));
                return;
            }
            case record::kRk: {
                unsigned row = in.u16(), col = in.u16(), xf = in.u16();
                putCell(row, col, xf, Value::number(rkValue(in.u32())));
                return;
            }
            case record::kMulRk: {
                unsigned row = in.u16(), col = in.u16();
                if (in.remaining() < 2 || (in.remaining() - 2) % 6 != 0) in.tooShort();
                size_t count = (in.remaining() - 2) / 6;
                for (size_t i = 0; i < count; ++i) {
                    unsigned xf = in.u16();
                    putCell(row, unsigned(col + i), xf, Value::number(rkValue(in.u32())));
                }
                return;
            }
            case record::kLabelSst: {
                unsigned row = in.u16(), col = in.u16(), xf = in.u16();
                std::uint32_t index = in.u32();
                if (index >= sst_.size())
                    refuseCell(int(row), int(col), "refers to shared string " + std::to_string(index) + ", which does not exist");
                putCell(row, col, xf, Value::text(sst_[index]));
                return;
            }
            case record::kLabel:
            case record::kRString: {
                unsigned row = in.u16(), col = in.u16(), xf = in.u16();
                Record rest = r;
                rest.data = r.data.substr(6);
                xls::ContinuedReader text(rest);
                putCell(row, col, xf, Value::text(xls::continuedString(text)));
                return;
            }
            case record::kBoolErr: {
                unsigned row = in.u16(), col = in.u16(), xf = in.u16();
                unsigned v = in.u8(), isError = in.u8();
                putCell(row, col, xf, isError ? Value::error(xls::errorOfCode(v)) : Value::boolean(v != 0));
                return;
            }
            case record::kBlank: {
                unsigned row = in.u16(), col = in.u16(), xf = in.u16();
                putCell(row, col, xf, Value());
                return;
            }
            case record::kMulBlank: {
                unsigned row = in.u16(), col = in.u16();
                if (in.remaining() < 2 || in.remaining() % 2 != 0) in.tooShort();
                size_t count = (in.remaining() - 2) / 2;
                for (size_t i = 0; i < count; ++i) putCell(row, unsigned(col + i), in.u16(), Value());
                return;
            }
            case record::kFormula: readFormulaCell(in); return;
            case record::kShrFmla:
            case record::kArray:
                if (!valuesOnly_) readBlockFormula(r, r.type == record::kArray);
                return;
            case record::kString: {
                if (!pendingString_) return;  // a text result without its formula
                Cell* cell = sheet_->cells.find(*pendingString_);
                pendingString_.reset();
                if (!cell) return;
                xls::ContinuedReader text(r);
                std::string s = xls::continuedString(text);
                budget_.addBytes(s.size());
                cell->value = Value::text(std::move(s));
                return;
            }
            default: break;
        }
        if (valuesOnly_) return;
        readLayoutRecord(r, in);
    }

    void readFormulaCell(ByteReader& in) {
        unsigned row = in.u16(), col = in.u16(), xf = in.u16();
        std::string_view result = in.bytes(8);
        auto byte = [&](size_t i) { return static_cast<unsigned char>(result[i]); };
        Value value;
        bool textFollows = false;
        if (byte(6) == 0xFF && byte(7) == 0xFF) {
            switch (byte(0)) {
                case 0: textFollows = true; value = Value::text(""); break;
                case 1: value = Value::boolean(byte(2) != 0); break;
                case 2: value = Value::error(xls::errorOfCode(byte(2))); break;
                default: value = Value::text(""); break;
            }
        } else {
            ByteReader number(result, record::kFormula);
            double d = number.f64();
            value = std::isfinite(d) ? Value::number(d) : Value::error(ErrorValue::Num);
        }
        checkCell(row, col);
        budget_.addCell(0);
        CellRef at{int(row) + 1, int(col) + 1};
        Cell& cell = sheet_->cells.at(at);
        cell.value = std::move(value);
        cell.style = styleOf(xf);
        pendingString_ = textFollows ? std::optional<CellRef>(at) : std::nullopt;
        if (valuesOnly_) return;
        in.skip(6);  // options, reserved
        size_t length = in.u16();
        std::string_view tokens = in.bytes(length);
        std::string_view extra = in.bytes(in.remaining());
        // A cell of a shared formula or of an array formula points at the block's first
        // cell, whose record the block's formula follows.
        if (length >= 5 && static_cast<unsigned char>(tokens[0]) == 0x01) {
            ByteReader exp(tokens.substr(1), record::kFormula);
            unsigned masterRow = exp.u16(), masterColumn = exp.u16();
            CellRef master{int(masterRow) + 1, int(masterColumn) + 1};
            auto known = sharedFormulas_.find({master.row, master.column});
            if (known != sharedFormulas_.end()) return placeShared(cell, at, known->second);
            budget_.addBytes(sizeof(PendingCell));
            pendingCells_.push_back({at, master});
            return;
        }
        setFormula(cell, at, decodeCellFormula(tokens, extra, at));
    }

    std::string decodeCellFormula(std::string_view tokens, std::string_view extra, CellRef at) {
        try {
            return xls::decodeFormula({tokens, extra}, links_, at, int(model_->sheets.size()),
                                      formula::kMaxFormulaLength);
        } catch (const xls::UnsupportedFormula&) {
            return {};  // the cell keeps its last value
        } catch (const FormatError& e) {
            refuseCell(at.row - 1, at.column - 1, e.what());
        }
    }

    void setFormula(Cell& cell, CellRef, std::string text) {
        if (text.empty()) return;
        budget_.addBytes(text.size());
        cell.formula = std::move(text);
    }

    struct SharedFormula {
        std::string text;
        CellRef anchor;
        bool array = false;  // an array formula: its text belongs to the first cell only
        bool same = false;   // no reference moves with the cell: every cell has the same text
    };

    void placeShared(Cell& cell, CellRef at, const SharedFormula& shared) {
        if (shared.text.empty()) return;
        if (shared.array) {
            if (at == shared.anchor) setFormula(cell, at, shared.text);
            return;
        }
        budget_.checkTransient(shared.text.size() * 2);
        if (shared.same) return setFormula(cell, at, shared.text);
        setFormula(cell, at, formula::shiftFormula(shared.text, at.row - shared.anchor.row,
                                                   at.column - shared.anchor.column));
    }

    // The formula of a block of cells (SHRFMLA) or of an array formula (ARRAY): the
    // block, then its tokens. A shared formula's references count from each cell.
    void readBlockFormula(const Record& r, bool array) {
        ByteReader in(r.data, r.type);
        unsigned firstRow = in.u16();
        in.u16();  // last row
        unsigned firstColumn = in.u8();
        in.u8();  // last column
        in.skip(array ? 6 : 2);  // options and reserved, or the count of cells using it
        size_t length = in.u16();
        std::string_view tokens = in.bytes(length);
        std::string_view extra = in.bytes(in.remaining());
        checkCell(firstRow, firstColumn);
        CellRef anchor{int(firstRow) + 1, int(firstColumn) + 1};
        SharedFormula shared{decodeCellFormula(tokens, extra, anchor), anchor, array};
        shared.same = !array && formula::shiftFormula(shared.text, 1, 1) == shared.text;
        budget_.addBytes(sizeof(SharedFormula) + shared.text.size());
        // Cells read before the block's formula came.
        auto pending = std::remove_if(pendingCells_.begin(), pendingCells_.end(), [&](const PendingCell& p) {
            if (!(p.master == anchor)) return false;
            if (Cell* cell = sheet_->cells.find(p.at)) placeShared(*cell, p.at, shared);
            return true;
        });
        pendingCells_.erase(pending, pendingCells_.end());
        sharedFormulas_[{anchor.row, anchor.column}] = std::move(shared);
    }

    void readLayoutRecord(const Record& r, ByteReader& in) {
        Sheet& sheet = *sheet_;
        PageSetup& page = sheet.pageSetup;
        switch (r.type) {
            case record::kDefColWidth:
                if (!standardWidth_) sheet.defaultColumnWidth = defaultColumnCharacters(in.u16(), mdw_);
                break;
            case record::kStandardWidth:
                standardWidth_ = true;
                sheet.defaultColumnWidth = characters(in.u16());
                break;
            case record::kDefaultRowHeight: {
                unsigned flags = in.u16();
                unsigned twips = in.u16();
                if (!(flags & 0x02) && twips > 0) sheet.defaultRowHeight = twips / 20.0;
                break;
            }
            case record::kColInfo: readColumnInfo(in); break;
            case record::kRow: readRowInfo(in); break;
            case record::kMergedCells: {
                unsigned count = in.u16();
                if (count * 8u > in.remaining()) in.tooShort();
                for (unsigned i = 0; i < count; ++i) {
                    unsigned top = in.u16(), bottom = in.u16(), left = in.u16(), right = in.u16();
                    if (top > bottom || left > right || right >= unsigned(kXlsColumns))
                        malformed("sheet \"" + *sheetName_ + "\" has a malformed merged range");
                    budget_.addBytes(sizeof(Area));
                    sheet.merges.push_back(Area{int(top) + 1, int(left) + 1, int(bottom) + 1, int(right) + 1});
                }
                break;
            }
            case record::kSetup: readSetup(in); break;
            case record::kPls: readPrinterSettings(in); break;
            case record::kWsBool: page.fitToPage = in.u16() & 0x0100; break;
            case record::kHCenter: page.centerHorizontally = in.u16() != 0; break;
            case record::kVCenter: page.centerVertically = in.u16() != 0; break;
            case record::kPrintGridLines: page.printGridLines = in.u16() != 0; break;
            case record::kLeftMargin: page.marginLeft = margin(in); break;
            case record::kRightMargin: page.marginRight = margin(in); break;
            case record::kTopMargin: page.marginTop = margin(in); break;
            case record::kBottomMargin: page.marginBottom = margin(in); break;
            case record::kHeader: page.header = in.atEnd() ? std::string() : xls::longString(in); break;
            case record::kFooter: page.footer = in.atEnd() ? std::string() : xls::longString(in); break;
            case record::kProtect: sheet.protection.enabled = in.u16() != 0; break;
            case record::kPassword: {
                unsigned hash = in.u16();
                sheet.protection.passwordHash = hash ? hex4(hash) : std::string();
                break;
            }
            case record::kPane: {
                in.skip(8);
                activePane_ = in.u8();
                break;
            }
            case record::kSelection: readSelection(in); break;
            case record::kSheetExt: {
                in.skip(12);  // the header every such record starts with
                if (in.u32() >= 0x14) {
                    unsigned color = in.u32() & 0x7F;
                    sheet.tabColorIndex = color == 0x7F ? 0 : int(color);
                }
                break;
            }
            default: break;
        }
    }

    // A custom paper or a printer's own paper code: the size from the printer
    // settings, else no paper stated.
    void finishPaper() {
        PageSetup& page = sheet_->pageSetup;
        if (page.paperSize != 0 && page.paperSize < 256) return;
        page.paperSize = 0;
        if (customPaper_) {
            page.paperWidthMm = customWidthMm_;
            page.paperHeightMm = customHeightMm_;
        }
    }

    static double margin(ByteReader& in) {
        double d = in.f64();
        return std::isfinite(d) ? d : 0.75;
    }

    // A stored width (1/256 of the widest digit, padding included) in characters: to
    // the hundredth, as the host shows widths, when that is the same stored width.
    double characters(unsigned fileWidth) const {
        double exact = charactersOfFileWidth(fileWidth / 256.0, mdw_);
        double rounded = std::round(exact * 100) / 100;
        return std::lround(fileColumnWidth(rounded, mdw_) * 256) == long(fileWidth) ? rounded : exact;
    }

    void readColumnInfo(ByteReader& in) {
        unsigned first = in.u16(), last = in.u16(), width = in.u16(), xf = in.u16(), flags = in.u16();
        if (first >= unsigned(kXlsColumns)) return;  // formatting past the last column shows nothing
        last = std::min(last, unsigned(kXlsColumns) - 1);
        ColumnInfo info;
        info.width = characters(width);
        // A column whose width is the sheet's and not set by the user has no width of its own.
        if (!(flags & 0x0002) && std::abs(info.width - sheet_->defaultColumnWidth) < 0.005) info.width = -1;
        info.hidden = flags & 0x0001;
        info.style = styleOf(xf);
        for (unsigned c = first; c <= last; ++c) sheet_->columns[int(c) + 1] = info;
    }

    void readRowInfo(ByteReader& in) {
        unsigned row = in.u16();
        in.skip(4);  // first and last column
        unsigned height = in.u16();
        in.skip(4);
        unsigned flags = in.u16();
        unsigned xf = in.u16() & 0x0FFF;
        RowInfo info;
        bool custom = flags & 0x40;
        double points = (height & 0x7FFF) / 20.0;
        if (!(height & 0x8000) && (custom || points != sheet_->defaultRowHeight)) info.height = points;
        info.hidden = flags & 0x20;
        if (flags & 0x80) info.style = styleOf(xf);
        if (info.height < 0 && !info.hidden && info.style < 0) return;
        budget_.addBytes(64);
        sheet_->rows[int(row) + 1] = info;
    }

    void readSetup(ByteReader& in) {
        PageSetup& page = sheet_->pageSetup;
        unsigned paper = in.u16(), scale = in.u16();
        in.u16();  // first page number
        unsigned fitWidth = in.u16(), fitHeight = in.u16(), flags = in.u16();
        in.skip(4);  // resolutions
        double header = in.f64(), footer = in.f64();
        bool initialised = !(flags & 0x0004);
        // Paper, scale and orientation mean something only when initialised.
        if (initialised) {
            page.paperSize = int(paper);
            if (scale >= 10 && scale <= 400) page.scale = int(scale);
            if (!(flags & 0x0040))
                page.orientation = (flags & 0x0002) ? Orientation::Portrait : Orientation::Landscape;
        }
        page.fitToWidth = int(fitWidth);
        page.fitToHeight = int(fitHeight);
        if (std::isfinite(header)) page.marginHeader = header;
        if (std::isfinite(footer)) page.marginFooter = footer;
    }

    // The printer settings: a custom paper size lives only here, in the system's
    // device mode structure (tenths of a millimetre).
    void readPrinterSettings(ByteReader& in) {
        if (in.u16() != 0 || in.remaining() < 76) return;  // not Windows' structure
        in.skip(64 + 8);  // device name, versions, sizes
        std::uint32_t fields = in.u32();
        in.u16();  // orientation
        unsigned paper = in.u16(), length = in.u16(), width = in.u16();
        if ((fields & 0x0Cu) == 0x0Cu && length > 0 && width > 0 && (paper == 0 || paper >= 256)) {
            customPaper_ = true;
            customWidthMm_ = width / 10.0;
            customHeightMm_ = length / 10.0;
        }
    }

    void readSelection(ByteReader& in) {
        unsigned pane = in.u8();
        if (pane != activePane_) return;
        unsigned row = in.u16(), col = in.u16();
        in.u16();  // which of the ranges holds the active cell
        unsigned count = in.u16();
        if (count * 6u > in.remaining()) in.tooShort();
        if (col >= unsigned(kXlsColumns)) return;
        sheet_->activeCell = {int(row) + 1, int(col) + 1};
        sheet_->selection = Area::of(sheet_->activeCell);
        if (count > 0) {
            unsigned top = in.u16(), bottom = in.u16(), left = in.u8(), right = in.u8();
            if (top <= bottom && left <= right) sheet_->selection = {int(top) + 1, int(left) + 1, int(bottom) + 1, int(right) + 1};
        }
    }

    std::string_view stream_;
    const std::string& file_;
    bool valuesOnly_;
    WorkbookBudget budget_;
    std::unique_ptr<WorkbookModel> model_;

    int activeSheet_ = 0;
    std::vector<Font> fonts_;
    std::vector<unsigned> fontColors_;
    std::map<unsigned, std::string> formats_;
    std::vector<RawXf> xfs_;
    std::vector<int> xfStyle_;
    std::array<std::uint32_t, 56> palette_ = kPalette;
    std::array<bool, 56> customPalette_{};
    std::vector<std::string> sst_;
    std::vector<SheetEntry> sheets_;
    int mdw_ = 8;

    struct RawName {
        std::string tokens, extra;
        int sheet = -1;
        bool hidden = false;
    };
    xls::LinkTable links_;
    std::vector<RawName> rawNames_;

    // A cell is found again by its address: adding cells moves the cells stored
    // near it.
    struct PendingCell {
        CellRef at;
        CellRef master;
    };
    std::vector<PendingCell> pendingCells_;
    std::map<std::pair<int, int>, SharedFormula> sharedFormulas_;

    Sheet* sheet_ = nullptr;
    const std::string* sheetName_ = nullptr;
    std::optional<CellRef> pendingString_;  // the formula cell whose text result follows
    bool standardWidth_ = false;
    bool customPaper_ = false;
    double customWidthMm_ = 0, customHeightMm_ = 0;
    unsigned activePane_ = 3;
};

}  // namespace

bool isCompoundFile(std::string_view head) {
    return head.size() >= 8 && head.substr(0, 8) == std::string_view("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
}

std::unique_ptr<WorkbookModel> readXls(std::string_view bytes, const std::string& file, const ReadLimits& limits,
                                       bool valuesOnly) {
    try {
        xls::CompoundFile container(bytes);
        if (container.hasStream("EncryptionInfo"))
            refuseFile(file, "password-protected workbook: it is encrypted and cannot be opened without its password");
        if (!container.hasStream("Workbook")) {
            if (container.hasStream("Book"))
                refuseFile(file, "it is a workbook of the older binary format (BIFF5, 1993-1995); save it as .xls "
                                 "(97-2003) or .xlsx in another spreadsheet program first");
            refuseFile(file, "not a workbook: the file holds no workbook stream (another kind of document?)");
        }
        std::string stream = container.stream("Workbook");
        return XlsReader(stream, file, limits, valuesOnly).read();
    } catch (const FormatError& e) {
        refuseFile(file, std::string("not a readable .xls workbook: ") + e.what());
    }
}

}  // namespace vorra::engine::files
