#pragma once
// The embedded engine's workbook model: plain data that the host objects, the formula
// engine, the file readers and writers and the print layout all work on. Nothing here
// knows formulas, files or the host interface's semantics; the style sheet keeps the
// parsed number formats its cells are shown with.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "addin/frame/host/Address.h"
#include "addin/frame/host/Value.h"
#include "platform/engine/model/CellColumn.h"
#include "platform/engine/format/NumberFormat.h"

namespace vorra::engine {

using host::Area;
using host::CellRef;
using host::ErrorValue;
using host::Value;

enum class HAlign { General, Left, Center, Right, Fill, Justify, CenterContinuous, Distributed };
enum class VAlign { Top, Center, Bottom, Justify, Distributed };

struct Font {
    std::string name = "宋体";
    double size = 11;  // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int colorIndex = 0;      // host colour index; 0 means automatic (black)
    std::string colorRgb;    // "FFFF0000" when the file gives an RGB colour instead
    std::string extraXml;    // unmodelled child elements, kept for a faithful save
    friend bool operator==(const Font&, const Font&) = default;
};

// One cell format (an "xf" of the file format): number format, font, alignment,
// protection. Fills and borders are kept as the file wrote them.
struct CellFormat {
    std::string numberFormat = "General";
    int fontId = 0;
    int fillId = 0;
    int borderId = 0;
    HAlign hAlign = HAlign::General;
    VAlign vAlign = VAlign::Bottom;
    bool wrapText = false;
    bool shrinkToFit = false;
    int indent = 0;
    int rotation = 0;
    bool locked = true;
    bool formulaHidden = false;
    friend bool operator==(const CellFormat&, const CellFormat&) = default;
};

struct StyleSheet {
    std::vector<Font> fonts{Font{}};
    std::vector<std::string> fillsXml;    // raw <fill> elements, index = fillId
    std::vector<std::string> bordersXml;  // raw <border> elements, index = borderId
    std::vector<CellFormat> formats{CellFormat{}};  // index = a cell's style
    std::string extraXml;  // cellStyleXfs, cellStyles, dxfs, colors ... as read
    // Every code shown in this workbook (cell formats and TEXT()), parsed once.
    NumberFormats numberFormats;

    // Index of an equal format, appended when there is none.
    int internFormat(const CellFormat& f);
    int internFont(const Font& f);

    // The format of a cell style and the font of a format. An index outside the
    // list gives the first entry (the workbook's default), or a default-constructed
    // one when the list is empty.
    const CellFormat& format(int style) const {
        static const CellFormat kDefault;
        if (style >= 0 && style < static_cast<int>(formats.size())) return formats[size_t(style)];
        return formats.empty() ? kDefault : formats.front();
    }
    const Font& font(int fontId) const {
        static const Font kDefault;
        if (fontId >= 0 && fontId < static_cast<int>(fonts.size())) return fonts[size_t(fontId)];
        return fonts.empty() ? kDefault : fonts.front();
    }
};

struct ColumnInfo {
    double width = -1;  // in characters of the default font; < 0: the sheet's default
    bool hidden = false;
    int style = 0;
};

struct RowInfo {
    double height = -1;  // in points; < 0: the sheet's default
    bool hidden = false;
    int style = -1;      // < 0: no row format
};

enum class Orientation { Portrait, Landscape };

struct PageSetup {
    // The file format's paper code (9 = A4). 0: a custom size in the two measures
    // below, or, when they are not given, no paper stated (the print layout then
    // chooses one; see resolvePaper).
    int paperSize = 9;
    double paperWidthMm = 0;
    double paperHeightMm = 0;
    Orientation orientation = Orientation::Portrait;
    // Margins in inches, as the file format stores them.
    double marginLeft = 0.7, marginRight = 0.7, marginTop = 0.75, marginBottom = 0.75;
    double marginHeader = 0.3, marginFooter = 0.3;
    bool centerHorizontally = false;
    bool centerVertically = false;
    int scale = 100;            // percent
    bool fitToPage = false;
    int fitToWidth = 1;
    int fitToHeight = 1;
    bool printGridLines = false;
    // Header and footer in the file formats' code syntax ("&C第&P页"); empty: none.
    std::string header, footer;
    friend bool operator==(const PageSetup&, const PageSetup&) = default;
};

struct SheetProtection {
    bool enabled = false;
    // Legacy 16-bit password hash as four upper-case hex digits ("CF1A"); empty when
    // the sheet was protected without a password.
    std::string passwordHash;
    // Modern hash as read from a file (kept and honoured for a faithful save).
    std::string algorithmName, hashValue, saltValue;
    int spinCount = 0;
};

// Parts of a file that the engine does not model (drawings, comments, validations…),
// carried by the file layer through a save. Subclassed there; opaque here.
struct PreservedParts {
    virtual ~PreservedParts() = default;
};

enum class SheetVisibility { Visible, Hidden, VeryHidden };

// Sparse cell storage, column by column, each column ordered by row.
class CellStore {
public:
    const Cell* find(CellRef c) const;
    Cell* find(CellRef c);
    Cell& at(CellRef c);  // creates an empty cell
    void erase(CellRef c);
    bool empty() const { return columns_.empty(); }
    void clear();

    // Ordered access for scans: the column's cells by row.
    using Column = CellColumn;
    const Column* column(int col) const;
    // A column for writing many cells in row order (created when absent); call
    // pruneColumn afterwards if cells may have been removed from it.
    Column& columnForWrite(int col);
    Column* mutableColumn(int col);
    void pruneColumn(int col);
    // Every stored column (col → cells), for whole-sheet scans.
    const std::map<int, Column>& columns() const { return columns_; }
    // The smallest area holding every stored cell; nothing when empty.
    std::optional<Area> bounds() const;

    // One state of the cells: it changes with every access that may change a cell
    // (each non-const member), and no two stores ever share one, so that a result
    // computed from the cells can be kept until the version moves on.
    struct Version {
        std::uint64_t store = 0;
        std::uint64_t changes = 0;
        friend bool operator==(const Version&, const Version&) = default;
    };
    Version version() const { return version_; }

    CellStore() = default;
    // A copy is a store of its own; a move leaves the source a changed, empty store.
    CellStore(const CellStore& other) : columns_(other.columns_) {}
    CellStore(CellStore&& other) noexcept : columns_(std::move(other.columns_)) {
        other.columns_.clear();
        other.forgetColumn();
        other.touch();
    }
    CellStore& operator=(const CellStore& other);
    CellStore& operator=(CellStore&& other) noexcept;

private:
    static std::uint64_t newStoreNumber();
    void touch() { ++version_.changes; }

    // The column looked up last, which the next look-up most often wants again (a
    // reader filling a row, a scan down a column).
    Column* lookUpColumn(int col, bool create) const;
    void forgetColumn() const { lastColumn_ = nullptr; }

    std::map<int, Column> columns_;
    Version version_{newStoreNumber(), 0};
    mutable int lastColumnNumber_ = 0;
    mutable Column* lastColumn_ = nullptr;
};

struct Sheet {
    std::string name;
    SheetVisibility visibility = SheetVisibility::Visible;
    CellStore cells;
    std::map<int, ColumnInfo> columns;  // by column number
    std::map<int, RowInfo> rows;        // by row number
    double defaultColumnWidth = 8.38;   // characters
    double defaultRowHeight = 13.5;     // points
    std::vector<Area> merges;
    std::optional<Area> printArea;
    PageSetup pageSetup;
    SheetProtection protection;
    CellRef activeCell{1, 1};
    Area selection = Area::cell(1, 1);
    int tabColorIndex = 0;
    std::shared_ptr<const PreservedParts> preserved;  // file layer's, may be null
};

struct DefinedName {
    std::string name;
    std::string refersTo;  // formula text without "=", e.g. "常用单位账号!$E$8:$I$407"
    int localSheet = -1;   // sheet index for a sheet-local name, -1 for workbook scope
    bool hidden = false;
};

struct ExternalLinkModel {
    std::string target;  // the linked workbook's path, as stored
    std::shared_ptr<const PreservedParts> preserved;
};

struct WorkbookModel {
    std::vector<std::unique_ptr<Sheet>> sheets;
    std::vector<DefinedName> names;
    StyleSheet styles;
    std::vector<ExternalLinkModel> externalLinks;
    int activeSheet = 0;
    // The workbook's date system (the file's date1904): one property that evaluation,
    // number formats, typed entry and the files all count dates by.
    bool date1904 = false;
    std::shared_ptr<const PreservedParts> preserved;  // package-level parts, may be null

    format::DateSystem dateSystem() const {
        return date1904 ? format::DateSystem::From1904 : format::DateSystem::From1900;
    }
    int sheetIndex(const std::string& name) const;  // -1 when absent
};

}  // namespace vorra::engine
