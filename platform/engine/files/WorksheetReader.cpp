// Reading a worksheet part into the model: cells (values, shared and plain formulas,
// styles), columns, rows, merges, view, protection and page setup. Every other element
// is kept as read, under its place in the part's order.
#include "platform/engine/files/WorksheetReader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <map>
#include <optional>

#include <pugixml.hpp>

#include "platform/engine/files/FileError.h"
#include "platform/engine/files/SharedFormula.h"
#include "platform/engine/files/SharedStringsPart.h"
#include "platform/engine/files/WorksheetElements.h"
#include "platform/engine/files/Xml.h"
#include "platform/engine/files/XmlScan.h"
#include "platform/engine/formula/FormulaText.h"
#include "platform/engine/print/CellGeometry.h"

namespace vorra::engine::files {

namespace {

using namespace worksheet;

bool isModelled(int order) {
    switch (order) {
        case kSheetPr: case kDimension: case kSheetViews: case kSheetFormatPr: case kCols:
        case kSheetData: case kSheetProtection: case kMergeCells: case kPrintOptions:
        case kPageMargins: case kPageSetup: case kHeaderFooter:
            return true;
        default:
            return false;
    }
}

bool flag(const pugi::xml_attribute& a) {
    std::string_view v = a.value();
    return v == "1" || v == "true";
}

// "B12" → {12, 2}; nothing when malformed. `pastLimits` tells a well-formed
// reference that lies beyond the sheet's last row or column. Read by the one
// reference grammar.
std::optional<CellRef> parseCellRef(std::string_view s, bool& pastLimits) {
    host::ReferenceStatus status;
    auto cell = host::parseCellAddress(s, &status);
    if (status == host::ReferenceStatus::PastLimits) pastLimits = true;
    return cell;
}

// "A1:B2" or "B3" (merged cells, dimensions, selections).
std::optional<Area> parseRange(std::string_view s, bool& pastLimits) {
    host::ReferenceStatus status;
    auto body = host::scanReferenceBody(s, 0, &status);
    if (status == host::ReferenceStatus::PastLimits) pastLimits = true;
    if (!body || body->end != s.size()) return std::nullopt;
    return Area{body->first.row, body->first.column, body->last.row, body->last.column};
}

double paperMillimetres(std::string_view measure) {
    double v = 0;
    auto r = std::from_chars(measure.data(), measure.data() + measure.size(), v);
    std::string_view unit = measure.substr(size_t(r.ptr - measure.data()));
    if (unit == "cm") return v * 10;
    if (unit == "in") return v * 25.4;
    if (unit == "pt") return v * 25.4 / 72;
    if (unit == "pc") return v * 25.4 / 6;
    if (unit == "pi") return v * 25.4 / 6;
    return v;  // "mm"
}

using Event = XmlScanner::Event;

// A whole number written as digits only, as the tree's reading of it gives it.
bool plainCount(std::string_view text, long long& n) {
    if (text.empty() || text.size() > 9) return false;
    n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + (c - '0');
    }
    return true;
}

bool plainFlag(const XmlScanner::Attribute& a) { return a.present && (a.value == "1" || a.value == "true"); }

struct SharedMaster {
    std::string formula;
    CellRef anchor;
};

class WorksheetReader {
public:
    WorksheetReader(const WorksheetSource& source, Sheet& sheet, WorksheetPreserved& preserved)
        : src_(source), sheet_(sheet), kept_(preserved) {}

    void read(const pugi::xml_node& root) {
        for (auto a : root.attributes()) {
            std::string_view name = a.name();
            if (name.substr(0, 6) == "xmlns:" || name == "mc:Ignorable")
                kept_.rootAttributes.emplace_back(a.name(), a.value());
        }
        int lastOrder = 0;
        for (auto el : root.children()) {
            if (el.type() != pugi::node_element) continue;
            auto name = localName(el);
            int order = orderOf(name);
            if (order < 0) order = lastOrder;  // unknown element: keep it where it stood
            else lastOrder = order;
            if (src_.valuesOnly) {
                if (order == kSheetData) readSheetData(el);
                else if (order == kDimension) readDimension(el);
                continue;
            }
            if (!isModelled(orderOf(name))) {
                kept_.fragments.push_back({order, outerXml(el)});
                continue;
            }
            switch (order) {
                case kSheetPr: readSheetPr(el); break;
                case kDimension: readDimension(el); break;
                case kSheetViews: readSheetViews(el); break;
                case kSheetFormatPr: readSheetFormat(el); break;
                case kCols: readColumns(el); break;
                case kSheetData: readSheetData(el); break;
                case kSheetProtection: readProtection(el); break;
                case kMergeCells: readMerges(el); break;
                case kPrintOptions: readPrintOptions(el); break;
                case kPageMargins: readMargins(el); break;
                case kPageSetup: readPageSetup(el); break;
                case kHeaderFooter: readHeaderFooter(el); break;
                default: break;
            }
        }
    }

private:
    [[noreturn]] void refuse(const std::string& problem) {
        refuseFile(src_.file, "sheet \"" + sheet_.name + "\" (" + src_.part + "): " + problem);
    }

    // A row's number as written, refused past the sheet's rows.
    int rowNumberOf(long long n, std::string_view written) {
        if (n < 1 || n > host::kMaxRows)
            refuse("row " + std::string(written) + " lies past the sheet's limits of 1048576 rows");
        return int(n);
    }

    CellRef cellRefOf(std::string_view text) {
        bool pastLimits = false;
        auto parsed = parseCellRef(text, pastLimits);
        if (pastLimits)
            refuse("cell " + std::string(text) + " lies past the sheet's limits of 1048576 rows and 16384 columns");
        if (!parsed) refuse("malformed cell reference \"" + std::string(text) + "\"");
        return *parsed;
    }

    Area area(std::string_view text, const char* what) {
        bool pastLimits = false;
        auto a = parseRange(text, pastLimits);
        if (pastLimits)
            refuse(std::string(what) + " " + std::string(text) +
                   " lies past the sheet's limits of 1048576 rows and 16384 columns");
        if (!a) refuse(std::string("malformed ") + what + " \"" + std::string(text) + "\"");
        return *a;
    }

    // A style index the styles part does not define falls back to the default format,
    // as other programs treat it, so that no index in the model points nowhere.
    int knownFormat(int style) const { return style >= 0 && style < src_.formatCount ? style : 0; }

    void readSheetPr(const pugi::xml_node& el) {
        sheetPrAttributes_ = attributesExcept(el, {});
        for (auto c : el.children()) {
            auto name = localName(c);
            if (name == "tabColor" && c.attribute("indexed")) {
                sheet_.tabColorIndex = c.attribute("indexed").as_int();
            } else if (name == "pageSetUpPr") {
                sheet_.pageSetup.fitToPage = flag(c.attribute("fitToPage"));
                for (auto a : c.attributes())
                    if (std::string_view(a.name()) != "fitToPage")
                        pageSetUpPrAttributes_.emplace_back(a.name(), a.value());
            } else if (c.type() == pugi::node_element) {
                sheetPrExtra_ += outerXml(c);
            }
        }
        // The sheetPr parts kept verbatim travel in a fragment the writer merges.
        std::string kept = "<sheetPr";
        appendAttributes(kept, sheetPrAttributes_);
        kept += ">" + sheetPrExtra_;
        if (!pageSetUpPrAttributes_.empty()) {
            kept += "<pageSetUpPr";
            appendAttributes(kept, pageSetUpPrAttributes_);
            kept += "/>";
        }
        kept += "</sheetPr>";
        kept_.fragments.push_back({kSheetPrTemplate, kept});
    }

    void readDimension(const pugi::xml_node& el) {
        std::string_view ref = el.attribute("ref").value();
        if (!ref.empty()) area(ref, "dimension");
    }

    void readSheetViews(const pugi::xml_node& el) {
        auto view = child(el, "sheetView");
        if (!view) return;
        kept_.sheetViewAttributes = attributesExcept(view, {"tabSelected"});
        if (auto pane = child(view, "pane")) kept_.paneXml = outerXml(pane);
        pugi::xml_node selection;
        for (auto s : view.children())
            if (localName(s) == "selection") selection = s;  // the last one is the active pane's
        if (!selection) return;
        kept_.selectionPane = selection.attribute("pane").value();
        bool pastLimits = false;
        if (auto c = parseCellRef(selection.attribute("activeCell").value(), pastLimits))
            sheet_.activeCell = *c;
        std::string_view sqref = selection.attribute("sqref").value();
        sqref = sqref.substr(0, sqref.find(' '));
        if (auto a = parseRange(sqref, pastLimits)) sheet_.selection = *a;
        else sheet_.selection = Area::of(sheet_.activeCell);
    }

    void readSheetFormat(const pugi::xml_node& el) {
        if (auto a = el.attribute("defaultRowHeight")) sheet_.defaultRowHeight = a.as_double(13.5);
        // The default column: stored with its padding, or given by its base width.
        double base = el.attribute("baseColWidth").as_double(8);
        sheet_.defaultColumnWidth = defaultColumnCharacters(base, src_.maxDigitWidth);
        if (auto a = el.attribute("defaultColWidth"); a && a.as_double(0) > 0)
            sheet_.defaultColumnWidth = charactersOfFileWidth(a.as_double(), src_.maxDigitWidth);
        kept_.sheetFormatAttributes = attributesExcept(el, {"defaultRowHeight", "defaultColWidth"});
    }

    void readColumns(const pugi::xml_node& el) {
        for (auto c : el.children()) {
            if (localName(c) != "col") continue;
            int first = c.attribute("min").as_int(0), last = c.attribute("max").as_int(0);
            if (first < 1 || last < first || last > host::kMaxColumns)
                refuse("column range " + std::to_string(first) + ":" + std::to_string(last) +
                       " lies past the sheet's limits");
            ColumnInfo info;
            // Stored with the padding; the model holds characters as the host shows them.
            if (auto w = c.attribute("width"); w && w.as_double(-1) >= 0)
                info.width = charactersOfFileWidth(w.as_double(), src_.maxDigitWidth);
            info.hidden = flag(c.attribute("hidden"));
            info.style = knownFormat(c.attribute("style").as_int(0));
            if (info.width < 0 && !info.hidden && info.style == 0) continue;
            // Overlapping ranges could make this loop quadratic; no real sheet needs
            // more than a few passes over all its columns.
            columnAssignments_ += last - first + 1;
            if (columnAssignments_ > 8 * host::kMaxColumns) refuse("too many column definitions");
            for (int col = first; col <= last; ++col) sheet_.columns[col] = info;
        }
    }

public:
    // The rows of sheetData as text, read in slices when the reader meets the (then
    // empty) sheetData element; see readWorksheet.
    std::string_view rowsText;
    std::string_view rowEndTag;  // "</row>", with sheetData's prefix

private:
    void readSheetData(const pugi::xml_node& el) {
        readRows(el);
        // A slice of whole rows at a time: the parsed form of a slice costs many times
        // its text, so that a sheet of tens of thousands of rows is never parsed whole.
        constexpr std::size_t kSliceBytes = 256 * 1024;
        for (std::size_t at = 0; at < rowsText.size();) {
            std::size_t end = rowsText.size();
            if (rowsText.size() - at > kSliceBytes) {
                const std::size_t close = rowsText.find(rowEndTag, at + kSliceBytes);
                if (close != std::string_view::npos) end = close + rowEndTag.size();
            }
            std::string slice = "<sheetData>";
            slice.append(rowsText.substr(at, end - at));
            slice += "</sheetData>";
            // The slice stands in for sheetData, one level below the part's root. The
            // scanner reads it unless it holds what only the tree reads; then the tree
            // reads the slice again from its first row.
            const int rowBefore = rowNumber_;
            const auto counted = src_.budget ? src_.budget->mark() : WorkbookBudget::Mark{};
            if (!scanRows(slice)) {
                rowNumber_ = rowBefore;
                if (src_.budget) {
                    src_.budget->rewind(counted);
                    src_.budget->checkTransient(xmlParseCost(slice));
                }
                pugi::xml_document doc;
                parsePart(doc, slice, src_.file, src_.part, src_.limits.maxXmlDepth - 1);
                readRows(doc.document_element());
            }
            at = end;
        }
        rowsText = {};
    }

    void readRows(const pugi::xml_node& el) {
        int& rowNumber = rowNumber_;
        for (auto row : el.children()) {
            if (localName(row) != "row") continue;
            if (auto r = row.attribute("r")) {
                rowNumber = rowNumberOf(r.as_llong(0), r.value());
            } else {
                ++rowNumber;
            }
            if (!src_.valuesOnly) readRowInfo(row, rowNumber);
            int column = 0;
            for (auto c : row.children()) {
                if (localName(c) != "c") continue;
                CellRef ref{rowNumber, column + 1};
                std::string_view type;
                int style = 0;
                for (auto a = c.first_attribute(); a; a = a.next_attribute()) {
                    std::string_view name = a.name();
                    if (name == "r") {
                        ref = cellRefOf(a.value());
                    } else if (name == "t") {
                        type = a.value();
                    } else if (name == "s") {
                        style = a.as_int(0);
                    }
                }
                if (ref.column > host::kMaxColumns) refuse("a row has more than 16384 cells");
                column = ref.column;
                readCell(c, ref, type, style);
            }
        }
    }

    // The rows of one slice, read by the scanner as readRows reads them from the tree;
    // false when the slice holds something only the tree reads (the tree then reads
    // it from its first row, over the same cells, counted from where they were).
    bool scanRows(std::string_view slice) {
        XmlScanner in(slice, src_.limits.maxXmlDepth - 1);
        if (in.next() != Event::Start) return false;
        for (Event e = in.next(); e != Event::End; e = in.next()) {
            if (e == Event::Text) continue;
            if (e != Event::Start) return false;
            if (!in.named("row") ? in.skipElement() != Event::End : !scanRow(in)) return false;
        }
        return in.next() == Event::Done;
    }

    bool scanRow(XmlScanner& in) {
        const auto r = in.attribute("r");
        if (!r.plain) return false;
        if (r.present) {
            long long n = 0;
            if (!plainCount(r.value, n)) return false;
            rowNumber_ = rowNumberOf(n, r.value);
        } else {
            ++rowNumber_;
        }
        if (!src_.valuesOnly) {
            const auto ht = in.attribute("ht"), hidden = in.attribute("hidden"),
                       customFormat = in.attribute("customFormat"), style = in.attribute("s");
            if (!ht.plain || !hidden.plain || !customFormat.plain || !style.plain) return false;
            double height = -1;
            if (ht.present) {
                auto [end, ec] = std::from_chars(ht.value.data(), ht.value.data() + ht.value.size(), height);
                if (ec != std::errc() || end != ht.value.data() + ht.value.size() || ht.value.front() == '-')
                    return false;
            }
            long long styleIndex = -1;
            if (style.present && !plainCount(style.value, styleIndex)) return false;
            keepRowInfo(rowNumber_, height, plainFlag(hidden), plainFlag(customFormat), int(styleIndex));
        }
        int column = 0;
        std::string value, formula;
        for (Event e = in.next(); e != Event::End; e = in.next()) {
            if (e == Event::Text) continue;
            if (e != Event::Start) return false;
            if (!in.named("c")) {
                if (in.skipElement() != Event::End) return false;
                continue;
            }
            const auto at = in.attribute("r"), type = in.attribute("t"), style = in.attribute("s");
            if (!at.plain || !type.plain || !style.plain) return false;
            const CellRef ref = at.present ? cellRefOf(at.value) : CellRef{rowNumber_, column + 1};
            long long styleIndex = 0;
            if (style.present && !plainCount(style.value, styleIndex)) return false;
            if (ref.column > host::kMaxColumns) refuse("a row has more than 16384 cells");
            column = ref.column;
            CellContent content;
            for (Event inCell = in.next(); inCell != Event::End; inCell = in.next()) {
                if (inCell == Event::Text) continue;
                if (inCell != Event::Start) return false;
                if (in.named("v")) {
                    value.clear();
                    if (!in.appendText(value)) return false;
                    content.hasValue = true;
                } else if (in.named("f")) {
                    const auto kind = in.attribute("t"), shared = in.attribute("si");
                    if (!kind.plain || !shared.plain) return false;
                    long long si = -1;
                    if (shared.present && !plainCount(shared.value, si)) return false;
                    content.formulaKind = kind.value;
                    content.sharedIndex = int(si);
                    formula.clear();
                    if (!in.appendText(formula)) return false;
                    content.hasFormula = true;
                } else if (in.named("is")) {
                    std::string text;
                    if (!scanStringItem(in, text)) return false;
                    content.hasInline = type.value == "inlineStr";
                    content.inlineText = unescapedText(std::move(text));
                } else if (in.skipElement() != Event::End) {
                    return false;
                }
            }
            if (content.hasValue) content.value = value;
            if (content.hasFormula) content.formula = formula;
            keepCell(ref, type.value, int(styleIndex), content);
        }
        return true;
    }

    void readRowInfo(const pugi::xml_node& row, int rowNumber) {
        // A height without customHeight is still the row's height as last shown.
        auto ht = row.attribute("ht");
        keepRowInfo(rowNumber, ht ? ht.as_double(-1) : -1, flag(row.attribute("hidden")),
                    flag(row.attribute("customFormat")), row.attribute("s").as_int(-1));
    }

    void keepRowInfo(int rowNumber, double height, bool hidden, bool customFormat, int style) {
        RowInfo info;
        info.height = height;
        info.hidden = hidden;
        if (customFormat) info.style = style < 0 ? -1 : knownFormat(style);
        if (info.height >= 0 || info.hidden || info.style >= 0) sheet_.rows[rowNumber] = info;
    }

    // What a cell element holds, read from the tree or by the scanner: its last <v>,
    // <f> and <is>.
    struct CellContent {
        bool hasValue = false;
        std::string_view value;
        bool hasFormula = false;
        std::string_view formulaKind;  // <f t="...">
        int sharedIndex = -1;          // <f si="...">
        std::string_view formula;
        bool hasInline = false;
        std::string inlineText;  // escapes read
    };

    void readCell(const pugi::xml_node& c, CellRef ref, std::string_view type, int styleIndex) {
        // One pass over the children: this runs for every cell of the sheet.
        pugi::xml_node v, f, is;
        for (auto n = c.first_child(); n; n = n.next_sibling()) {
            auto name = localName(n);
            if (name == "v") v = n;
            else if (name == "f") f = n;
            else if (name == "is") is = n;
        }
        CellContent content;
        if (v) {
            content.hasValue = true;
            content.value = v.text().get();
        }
        if (f) {
            content.hasFormula = true;
            content.formulaKind = f.attribute("t").value();
            content.sharedIndex = f.attribute("si").as_int(-1);
            content.formula = f.text().get();
        }
        if (is && type == "inlineStr") {
            content.hasInline = true;
            content.inlineText = stringItemText(is);
        }
        keepCell(ref, type, styleIndex, content);
    }

    void keepCell(CellRef ref, std::string_view type, int styleIndex, const CellContent& content) {
        std::string_view text = content.value;
        bool v = content.hasValue;
        if (text.empty() && type != "s" && type != "str" && type != "inlineStr") v = false;  // <v/>: no value
        Value value;
        if (type == "s") {
            if (v) {
                if (!src_.sharedStrings)
                    refuse("cell " + relativeAddress(Area::of(ref)) +
                           " refers to the shared-strings part, which the package lacks");
                long long index = -1;
                std::from_chars(text.data(), text.data() + text.size(), index);
                if (index < 0 || size_t(index) >= src_.sharedStrings->size())
                    refuse("cell " + relativeAddress(Area::of(ref)) + " refers to shared string " +
                           std::string(text) + ", which does not exist");
                value = Value::text((*src_.sharedStrings)[size_t(index)]);
            }
        } else if (type == "inlineStr") {
            if (content.hasInline) value = Value::text(content.inlineText);
        } else if (type == "str" || type == "d") {
            if (v) value = Value::text(unescapedText(text));
        } else if (type == "b") {
            if (v) value = Value::boolean(text == "1" || text == "true");
        } else if (type == "e") {
            if (v) value = Value::error(host::errorFromText(text, false).value_or(ErrorValue::Value));
        } else if (v) {
            double d = 0;
            auto begin = text.data(), end = text.data() + text.size();
            while (begin < end && *begin == ' ') ++begin;
            if (begin < end && *begin == '+') ++begin;
            auto r = std::from_chars(begin, end, d);
            if (r.ec != std::errc() || r.ptr != end || !std::isfinite(d))
                refuse("cell " + relativeAddress(Area::of(ref)) + " holds \"" + std::string(text) +
                       "\", which is not a number");
            value = Value::number(d);
        }

        std::string formula;
        if (!src_.valuesOnly && content.hasFormula)
            formula = readFormula(content.formulaKind, content.sharedIndex, content.formula, ref);
        int style = src_.valuesOnly ? 0 : knownFormat(styleIndex);
        if (value.isEmpty() && formula.empty() && style == 0) return;
        if (src_.budget) src_.budget->addCell((value.isText() ? value.asText().size() : 0) + formula.size());
        Cell& cell = sheet_.cells.at(ref);
        cell.value = std::move(value);
        cell.formula = std::move(formula);
        cell.style = style;
    }

    std::string readFormula(std::string_view kind, int si, std::string_view fileText, CellRef ref) {
        std::string text = formula::formulaFromFile(fileText);
        if (kind == "dataTable") return {};
        if (kind != "shared") return text;
        if (!text.empty()) {
            masters_[si] = {text, ref};
            return text;
        }
        auto m = masters_.find(si);
        if (m == masters_.end()) return {};  // a dependant before its master: keep the value only
        return shiftFormula(m->second.formula, ref.row - m->second.anchor.row,
                            ref.column - m->second.anchor.column);
    }

    void readProtection(const pugi::xml_node& el) {
        auto& p = sheet_.protection;
        p.enabled = flag(el.attribute("sheet"));
        p.passwordHash = el.attribute("password").value();
        for (auto& ch : p.passwordHash) ch = char(std::toupper(static_cast<unsigned char>(ch)));
        p.algorithmName = el.attribute("algorithmName").value();
        p.hashValue = el.attribute("hashValue").value();
        p.saltValue = el.attribute("saltValue").value();
        p.spinCount = el.attribute("spinCount").as_int(0);
        kept_.protectionAttributes = attributesExcept(
            el, {"sheet", "password", "algorithmName", "hashValue", "saltValue", "spinCount"});
    }

    void readMerges(const pugi::xml_node& el) {
        for (auto m : el.children())
            if (localName(m) == "mergeCell") sheet_.merges.push_back(area(m.attribute("ref").value(), "merged range"));
    }

    void readPrintOptions(const pugi::xml_node& el) {
        sheet_.pageSetup.centerHorizontally = flag(el.attribute("horizontalCentered"));
        sheet_.pageSetup.centerVertically = flag(el.attribute("verticalCentered"));
        sheet_.pageSetup.printGridLines = flag(el.attribute("gridLines"));
    }

    void readMargins(const pugi::xml_node& el) {
        auto& p = sheet_.pageSetup;
        p.marginLeft = el.attribute("left").as_double(p.marginLeft);
        p.marginRight = el.attribute("right").as_double(p.marginRight);
        p.marginTop = el.attribute("top").as_double(p.marginTop);
        p.marginBottom = el.attribute("bottom").as_double(p.marginBottom);
        p.marginHeader = el.attribute("header").as_double(p.marginHeader);
        p.marginFooter = el.attribute("footer").as_double(p.marginFooter);
    }

    void readPageSetup(const pugi::xml_node& el) {
        kept_.hadPageSetup = true;
        auto& p = sheet_.pageSetup;
        // A page setup without a paper (or with paper 0, as some programs write)
        // states none: the print layout chooses one.
        p.paperSize = std::max(0, el.attribute("paperSize").as_int(0));
        if (el.attribute("paperWidth") && el.attribute("paperHeight")) {
            // A custom paper size: the measures win over any paper code.
            p.paperSize = 0;
            p.paperWidthMm = paperMillimetres(el.attribute("paperWidth").value());
            p.paperHeightMm = paperMillimetres(el.attribute("paperHeight").value());
        }
        p.orientation = std::string_view(el.attribute("orientation").value()) == "landscape"
                            ? Orientation::Landscape
                            : Orientation::Portrait;
        p.scale = el.attribute("scale").as_int(100);
        p.fitToWidth = el.attribute("fitToWidth").as_int(1);
        p.fitToHeight = el.attribute("fitToHeight").as_int(1);
        kept_.pageSetupAttributes =
            attributesExcept(el, {"paperSize", "paperWidth", "paperHeight", "orientation", "scale",
                                  "fitToWidth", "fitToHeight"});
    }

    void readHeaderFooter(const pugi::xml_node& el) {
        kept_.headerFooterAttributes = attributesExcept(el, {});
        for (auto c : el.children()) {
            if (c.type() != pugi::node_element) continue;
            auto name = localName(c);
            if (name == "oddHeader") sheet_.pageSetup.header = c.text().get();
            else if (name == "oddFooter") sheet_.pageSetup.footer = c.text().get();
            else kept_.headerFooterExtra += outerXml(c);
        }
    }

    const WorksheetSource& src_;
    Sheet& sheet_;
    WorksheetPreserved& kept_;
    std::map<int, SharedMaster> masters_;
    int rowNumber_ = 0;  // the last row read, for rows that do not give their number
    long long columnAssignments_ = 0;
    Attributes sheetPrAttributes_;
    Attributes pageSetUpPrAttributes_;
    std::string sheetPrExtra_;
};

}  // namespace

namespace {

// Where the rows of a worksheet part stand: the text between sheetData's start and end
// tags, the part around them, and the end tag of a row. Only for a part without
// declarations, comments or character data sections ("<!"), in which a tag's text can
// only be that tag; nothing for any other part, which is then parsed whole.
struct RowsText {
    std::size_t begin = 0, end = 0;  // the rows: xml.substr(begin, end - begin)
    std::string rowEndTag;
};

bool isNameCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.' || c == ':';
}

std::optional<RowsText> findRowsText(std::string_view xml) {
    if (findMarkupDeclaration(xml) != std::string_view::npos) return std::nullopt;
    constexpr std::string_view kName = "sheetData";
    for (std::size_t at = xml.find(kName); at != std::string_view::npos; at = xml.find(kName, at + 1)) {
        // The tag's qualified name: "sheetData" or "prefix:sheetData" right after "<".
        std::size_t open = at;
        while (open > 0 && isNameCharacter(xml[open - 1])) --open;
        if (open == 0 || xml[open - 1] != '<') continue;
        const std::string_view qname = xml.substr(open, at + kName.size() - open);
        if (qname != kName && (qname.size() < kName.size() + 2 || qname[qname.size() - kName.size() - 1] != ':'))
            return std::nullopt;
        const std::size_t after = at + kName.size();
        if (after >= xml.size() || (xml[after] != '>' && xml[after] != '/' && !std::isspace(static_cast<unsigned char>(xml[after]))))
            continue;
        const std::size_t tagEnd = xml.find('>', after);
        if (tagEnd == std::string_view::npos || xml[tagEnd - 1] == '/') return std::nullopt;  // <sheetData/>
        const std::string endTag = "</" + std::string(qname) + ">";
        const std::size_t close = findText(xml, endTag, tagEnd + 1);
        if (close == std::string_view::npos) return std::nullopt;
        const std::string_view prefix = qname.substr(0, qname.size() - kName.size());
        return RowsText{tagEnd + 1, close, "</" + std::string(prefix) + "row>"};
    }
    return std::nullopt;
}

}  // namespace

void readWorksheet(std::string_view xml, const WorksheetSource& source, Sheet& sheet,
                   WorksheetPreserved& preserved) {
    // The part without its rows is parsed whole; the rows are read slice by slice.
    auto rows = findRowsText(xml);
    std::string outline;
    if (rows) {
        outline.reserve(xml.size() - (rows->end - rows->begin));
        outline.append(xml.substr(0, rows->begin));
        outline.append(xml.substr(rows->end));
    }
    // What the trees take for a while: the part's without its rows here, and each
    // slice's that the scanner leaves to the tree (see readSheetData).
    if (source.budget) source.budget->checkTransient(xmlParseCost(rows ? std::string_view(outline) : xml));
    pugi::xml_document doc;
    parsePart(doc, rows ? std::string_view(outline) : xml, source.file, source.part, source.limits.maxXmlDepth);
    auto root = doc.document_element();
    if (rows && !child(root, "sheetData")) {
        // The rows stood elsewhere than in the sheet's own sheetData: the part whole.
        rows.reset();
        doc.reset();
        if (source.budget) source.budget->checkTransient(xmlParseCost(xml));
        parsePart(doc, xml, source.file, source.part, source.limits.maxXmlDepth);
        root = doc.document_element();
    }
    if (localName(root) != "worksheet")
        refuseFile(source.file, "part " + source.part + " is not a worksheet");
    preserved.fromFile = true;
    WorksheetReader reader(source, sheet, preserved);
    if (rows) {
        reader.rowsText = xml.substr(rows->begin, rows->end - rows->begin);
        reader.rowEndTag = rows->rowEndTag;
    }
    reader.read(root);
}

}  // namespace vorra::engine::files
