// Writing a sheet as a worksheet part: the modelled elements from the model, each kept
// element of a sheet read from a file back in its place.
#include "platform/engine/files/WorksheetWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <tuple>
#include <vector>

#include <pugixml.hpp>

#include "platform/engine/files/PackageParts.h"
#include "platform/engine/files/WorksheetElements.h"
#include "platform/engine/files/Xml.h"
#include "platform/engine/formula/FormulaText.h"
#include "platform/engine/print/CellGeometry.h"

namespace vorra::engine::files {

namespace {

using namespace worksheet;

// A streamed sheet hands on its text whenever a row ends past this many bytes.
constexpr size_t kTextChunk = 64 * 1024;

void appendInt(std::string& out, long long n) {
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, n);
    out.append(buf, r.ptr);
}

void appendDouble(std::string& out, double d) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, d);  // shortest text that reads back equal
    out.append(buf, r.ptr);
}

void appendCellName(std::string& out, int row, int column) {
    char letters[4];
    int n = 0;
    while (column > 0) {
        letters[n++] = char('A' + (column - 1) % 26);
        column = (column - 1) / 26;
    }
    while (n > 0) out += letters[--n];
    appendInt(out, row);
}

std::string measure(double mm) {
    std::string s;
    appendDouble(s, mm);
    return s + "mm";
}

class WorksheetWriter {
public:
    WorksheetWriter(const Sheet& sheet, bool tabSelected, int maxDigitWidth, SharedStringTable& strings, size_t& refs,
                    const TextOutput* output)
        : sheet_(sheet), tabSelected_(tabSelected), mdw_(maxDigitWidth), strings_(strings), refs_(refs),
          output_(output) {
        static const WorksheetPreserved kNothing;
        kept_ = dynamic_cast<const WorksheetPreserved*>(sheet.preserved.get());
        if (!kept_) kept_ = &kNothing;
    }

    std::string write() {
        out_.reserve(1 << 16);
        out_ += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet xmlns=\"";
        out_ += ns::kMain;
        out_ += '"';
        bool hasR = false;
        for (const auto& [name, value] : kept_->rootAttributes) hasR |= name == "xmlns:r";
        if (!hasR) out_ += " xmlns:r=\"" + std::string(ns::kRel) + "\"";
        appendAttributes(out_, kept_->rootAttributes);
        out_ += '>';
        for (int order = 0; order < kOrderCount; ++order) {
            writeModelled(order);
            for (const auto& f : kept_->fragments)
                if (f.order == order) out_ += f.xml;
        }
        out_ += "</worksheet>";
        if (output_) {
            (*output_)(out_);
            out_.clear();
        }
        return std::move(out_);
    }

private:
    void writeModelled(int order) {
        switch (order) {
            case kSheetPr: writeSheetPr(); break;
            case kDimension: writeDimension(); break;
            case kSheetViews: writeSheetViews(); break;
            case kSheetFormatPr: writeSheetFormat(); break;
            case kCols: writeColumns(); break;
            case kSheetData: writeSheetData(); break;
            case kSheetProtection: writeProtection(); break;
            case kMergeCells: writeMerges(); break;
            case kPrintOptions: writePrintOptions(); break;
            case kPageMargins: writeMargins(); break;
            case kPageSetup: writePageSetup(); break;
            case kHeaderFooter: writeHeaderFooter(); break;
            default: break;
        }
    }

    void writeSheetPr() {
        // The sheetPr read from the file (attributes, outline settings …) is the
        // template; tab colour and fit-to-page come from the model.
        pugi::xml_document doc;
        for (const auto& f : kept_->fragments)
            if (f.order == kSheetPrTemplate) doc.load_buffer(f.xml.data(), f.xml.size());
        pugi::xml_node pr = doc.document_element();
        if (!pr) pr = doc.append_child("sheetPr");
        for (auto c = pr.first_child(); c;) {
            auto next = c.next_sibling();
            bool modelledColour = localName(c) == "tabColor" &&
                                  (c.attribute("indexed") || sheet_.tabColorIndex > 0);
            if (modelledColour || localName(c) == "pageSetUpPr") {
                if (localName(c) == "pageSetUpPr") pageSetUpPr_ = attributesExcept(c, {});
                pr.remove_child(c);
            }
            c = next;
        }
        // Children of sheetPr in order: tabColor, outlinePr, pageSetUpPr.
        if (sheet_.tabColorIndex > 0)
            pr.prepend_child("tabColor").append_attribute("indexed") = sheet_.tabColorIndex;
        if (sheet_.pageSetup.fitToPage || !pageSetUpPr_.empty()) {
            auto p = pr.append_child("pageSetUpPr");
            for (const auto& [n, v] : pageSetUpPr_) p.append_attribute(n.c_str()) = v.c_str();
            if (sheet_.pageSetup.fitToPage) p.append_attribute("fitToPage") = "1";
        }
        if (pr.first_child() || pr.first_attribute()) out_ += outerXml(pr);
    }

    void writeDimension() {
        auto b = sheet_.cells.bounds();
        out_ += "<dimension ref=\"";
        out_ += b ? relativeAddress(*b) : std::string("A1");
        out_ += "\"/>";
    }

    void writeSheetViews() {
        out_ += "<sheetViews><sheetView";
        if (tabSelected_) out_ += " tabSelected=\"1\"";
        Attributes attrs = kept_->sheetViewAttributes;
        if (attrs.empty()) attrs.emplace_back("workbookViewId", "0");
        appendAttributes(out_, attrs);
        out_ += '>';
        out_ += kept_->paneXml;
        out_ += "<selection";
        if (!kept_->selectionPane.empty()) {
            out_ += " pane=\"";
            appendEscaped(out_, kept_->selectionPane);
            out_ += '"';
        }
        out_ += " activeCell=\"" + relativeAddress(Area::of(sheet_.activeCell)) + "\" sqref=\"" +
                relativeAddress(sheet_.selection) + "\"/></sheetView></sheetViews>";
    }

    void writeSheetFormat() {
        out_ += "<sheetFormatPr";
        Attributes attrs = kept_->sheetFormatAttributes;
        if (sheet_.defaultColumnWidth != defaultColumnCharacters(8, mdw_)) {
            out_ += " defaultColWidth=\"";
            appendDouble(out_, storedWidth(sheet_.defaultColumnWidth));
            out_ += '"';
        }
        out_ += " defaultRowHeight=\"";
        appendDouble(out_, sheet_.defaultRowHeight);
        out_ += '"';
        appendAttributes(out_, attrs);
        out_ += "/>";
    }

    // A width in characters as the file stores it, with its padding. Other programs
    // store 1/256 of a character: a width that is one within rounding is written so.
    double storedWidth(double characters) const {
        double w = fileColumnWidth(characters, mdw_);
        double snapped = std::round(w * 256) / 256;
        return std::abs(snapped - w) < 1e-9 ? snapped : w;
    }

    void writeColumns() {
        if (sheet_.columns.empty()) return;
        out_ += "<cols>";
        auto it = sheet_.columns.begin();
        while (it != sheet_.columns.end()) {
            // Neighbouring columns with the same settings share one <col> element.
            auto first = it;
            auto last = it;
            ++it;
            while (it != sheet_.columns.end() && it->first == last->first + 1 &&
                   it->second.width == first->second.width &&
                   it->second.hidden == first->second.hidden &&
                   it->second.style == first->second.style) {
                last = it;
                ++it;
            }
            const ColumnInfo& c = first->second;
            out_ += "<col min=\"";
            appendInt(out_, first->first);
            out_ += "\" max=\"";
            appendInt(out_, last->first);
            out_ += '"';
            if (c.width >= 0) {
                out_ += " width=\"";
                appendDouble(out_, storedWidth(c.width));
                out_ += '"';
            }
            if (c.style != 0) {
                out_ += " style=\"";
                appendInt(out_, c.style);
                out_ += '"';
            }
            if (c.hidden) out_ += " hidden=\"1\"";
            if (c.width >= 0) out_ += " customWidth=\"1\"";
            out_ += "/>";
        }
        out_ += "</cols>";
    }

    void writeRowStart(int row) {
        out_ += "<row r=\"";
        appendInt(out_, row);
        out_ += '"';
        if (auto it = sheet_.rows.find(row); it != sheet_.rows.end()) {
            const RowInfo& info = it->second;
            if (info.style >= 0) {
                out_ += " s=\"";
                appendInt(out_, info.style);
                out_ += "\" customFormat=\"1\"";
            }
            if (info.height >= 0) {
                out_ += " ht=\"";
                appendDouble(out_, info.height);
                out_ += "\" customHeight=\"1\"";
            }
            if (info.hidden) out_ += " hidden=\"1\"";
        }
    }

    void writeCell(int row, int column, const Cell& cell) {
        out_ += "<c r=\"";
        appendCellName(out_, row, column);
        out_ += '"';
        if (cell.style != 0) {
            out_ += " s=\"";
            appendInt(out_, cell.style);
            out_ += '"';
        }
        const Value& v = cell.value;
        bool formula = cell.hasFormula();
        switch (v.kind()) {
            case Value::Kind::Text: out_ += formula ? " t=\"str\"" : " t=\"s\""; break;
            case Value::Kind::Boolean: out_ += " t=\"b\""; break;
            case Value::Kind::Error: out_ += " t=\"e\""; break;
            default: break;
        }
        if (v.isEmpty() && !formula) {
            out_ += "/>";
            return;
        }
        out_ += '>';
        if (formula) {
            out_ += "<f>";
            appendEscaped(out_, formula::formulaForFile(cell.formula));
            out_ += "</f>";
        }
        switch (v.kind()) {
            case Value::Kind::Empty: break;
            case Value::Kind::Number:
                out_ += "<v>";
                appendDouble(out_, v.asNumber());
                out_ += "</v>";
                break;
            case Value::Kind::Text:
                out_ += "<v>";
                if (formula) {
                    appendEscapedText(out_, v.asText());
                } else {
                    appendInt(out_, strings_.indexOf(v.asText()));
                    ++refs_;
                }
                out_ += "</v>";
                break;
            case Value::Kind::Boolean: out_ += v.asBoolean() ? "<v>1</v>" : "<v>0</v>"; break;
            case Value::Kind::Error:
                out_ += "<v>";
                out_ += host::errorText(v.asError());
                out_ += "</v>";
                break;
        }
        out_ += "</c>";
    }

    void writeSheetData() {
        // The store is column by column; the file wants rows in order, cells in order.
        // One cursor per column, the lowest (row, column) first: the cells come out in
        // file order without a copy of the sheet's cell list.
        struct Cursor {
            CellColumn::const_iterator at, end;
            int column;
        };
        const auto later = [](const Cursor& a, const Cursor& b) {
            return std::tie(a.at->row, a.column) > std::tie(b.at->row, b.column);
        };
        std::vector<Cursor> heap;
        size_t cellCount = 0;
        for (const auto& [column, cells] : sheet_.cells.columns()) {
            if (!cells.empty()) heap.push_back({cells.begin(), cells.end(), column});
            cellCount += cells.size();
        }
        std::make_heap(heap.begin(), heap.end(), later);
        if (!output_) out_.reserve(out_.size() + cellCount * 40);
        out_ += "<sheetData>";
        auto info = sheet_.rows.begin();
        while (!heap.empty() || info != sheet_.rows.end()) {
            int row = heap.empty() ? host::kMaxRows + 1 : heap.front().at->row;
            if (info != sheet_.rows.end() && info->first < row) {  // a formatted row without cells
                writeRowStart(info->first);
                out_ += "/>";
                ++info;
                continue;
            }
            if (info != sheet_.rows.end() && info->first == row) ++info;
            writeRowStart(row);
            out_ += '>';
            while (!heap.empty() && heap.front().at->row == row) {
                std::pop_heap(heap.begin(), heap.end(), later);
                Cursor& c = heap.back();
                writeCell(row, c.column, c.at->cell);
                if (++c.at == c.end)
                    heap.pop_back();
                else
                    std::push_heap(heap.begin(), heap.end(), later);
            }
            out_ += "</row>";
            if (output_ && out_.size() >= kTextChunk) {
                (*output_)(out_);
                out_.clear();
            }
        }
        out_ += "</sheetData>";
    }

    void writeProtection() {
        const auto& p = sheet_.protection;
        if (!p.enabled) return;
        out_ += "<sheetProtection";
        if (!p.passwordHash.empty()) {
            out_ += " password=\"";
            appendEscaped(out_, p.passwordHash);
            out_ += '"';
        }
        // The legacy hash is what the engine computes when it protects a sheet; a
        // modern hash kept from the file would belong to the earlier protection and
        // take precedence in other programs, so it is written only on its own.
        if (p.passwordHash.empty() && !p.algorithmName.empty() && !p.hashValue.empty()) {
            out_ += " algorithmName=\"";
            appendEscaped(out_, p.algorithmName);
            out_ += "\" hashValue=\"";
            appendEscaped(out_, p.hashValue);
            out_ += "\" saltValue=\"";
            appendEscaped(out_, p.saltValue);
            out_ += "\" spinCount=\"";
            appendInt(out_, p.spinCount);
            out_ += '"';
        }
        out_ += " sheet=\"1\"";
        if (kept_->protectionAttributes.empty()) out_ += " objects=\"1\" scenarios=\"1\"";
        appendAttributes(out_, kept_->protectionAttributes);
        out_ += "/>";
    }

    void writeMerges() {
        if (sheet_.merges.empty()) return;
        out_ += "<mergeCells count=\"";
        appendInt(out_, long(sheet_.merges.size()));
        out_ += "\">";
        for (const auto& m : sheet_.merges) out_ += "<mergeCell ref=\"" + relativeAddress(m) + "\"/>";
        out_ += "</mergeCells>";
    }

    void writePrintOptions() {
        const auto& p = sheet_.pageSetup;
        if (!p.centerHorizontally && !p.centerVertically && !p.printGridLines) return;
        out_ += "<printOptions";
        if (p.centerHorizontally) out_ += " horizontalCentered=\"1\"";
        if (p.centerVertically) out_ += " verticalCentered=\"1\"";
        if (p.printGridLines) out_ += " gridLines=\"1\"";
        out_ += "/>";
    }

    void writeMargins() {
        const auto& p = sheet_.pageSetup;
        auto one = [&](const char* name, double v) {
            out_ += ' ';
            out_ += name;
            out_ += "=\"";
            appendDouble(out_, v);
            out_ += '"';
        };
        out_ += "<pageMargins";
        one("left", p.marginLeft);
        one("right", p.marginRight);
        one("top", p.marginTop);
        one("bottom", p.marginBottom);
        one("header", p.marginHeader);
        one("footer", p.marginFooter);
        out_ += "/>";
    }

    void writePageSetup() {
        const auto& p = sheet_.pageSetup;
        // A sheet read without page setup keeps none while the model holds defaults,
        // so other programs go on using the printer's default paper.
        PageSetup defaults;
        bool unchanged = p.paperSize == defaults.paperSize && p.orientation == defaults.orientation &&
                         p.scale == defaults.scale && p.fitToWidth == defaults.fitToWidth &&
                         p.fitToHeight == defaults.fitToHeight;
        if (kept_->fromFile && !kept_->hadPageSetup && unchanged) return;
        out_ += "<pageSetup";
        if (p.paperSize > 0) out_ += " paperSize=\"" + std::to_string(p.paperSize) + "\"";
        if (p.paperSize == 0 && p.paperWidthMm > 0 && p.paperHeightMm > 0)
            out_ += " paperHeight=\"" + measure(p.paperHeightMm) + "\" paperWidth=\"" +
                    measure(p.paperWidthMm) + "\"";
        if (p.scale != 100) out_ += " scale=\"" + std::to_string(p.scale) + "\"";
        if (p.fitToWidth != 1) out_ += " fitToWidth=\"" + std::to_string(p.fitToWidth) + "\"";
        if (p.fitToHeight != 1) out_ += " fitToHeight=\"" + std::to_string(p.fitToHeight) + "\"";
        out_ += p.orientation == Orientation::Landscape ? " orientation=\"landscape\""
                                                        : " orientation=\"portrait\"";
        appendAttributes(out_, kept_->pageSetupAttributes);
        out_ += "/>";
    }

    void writeHeaderFooter() {
        const auto& p = sheet_.pageSetup;
        if (p.header.empty() && p.footer.empty() && kept_->headerFooterExtra.empty() &&
            kept_->headerFooterAttributes.empty())
            return;
        out_ += "<headerFooter";
        appendAttributes(out_, kept_->headerFooterAttributes);
        out_ += '>';
        for (auto [element, text] : {std::pair{"oddHeader", &p.header}, std::pair{"oddFooter", &p.footer}}) {
            if (text->empty()) continue;
            out_ += std::string("<") + element + ">";
            appendEscaped(out_, *text);
            out_ += std::string("</") + element + ">";
        }
        out_ += kept_->headerFooterExtra;
        out_ += "</headerFooter>";
    }

    const Sheet& sheet_;
    bool tabSelected_;
    int mdw_;
    SharedStringTable& strings_;
    size_t& refs_;
    const TextOutput* output_;  // null: the whole text is returned
    const WorksheetPreserved* kept_;
    Attributes pageSetUpPr_;
    std::string out_;
};

}  // namespace

std::string writeWorksheet(const Sheet& sheet, bool tabSelected, int maxDigitWidth, SharedStringTable& strings,
                           size_t& stringReferences) {
    return WorksheetWriter(sheet, tabSelected, maxDigitWidth, strings, stringReferences, nullptr).write();
}

void writeWorksheet(const Sheet& sheet, bool tabSelected, int maxDigitWidth, SharedStringTable& strings,
                    size_t& stringReferences, const TextOutput& output) {
    WorksheetWriter(sheet, tabSelected, maxDigitWidth, strings, stringReferences, &output).write();
}

}  // namespace vorra::engine::files
