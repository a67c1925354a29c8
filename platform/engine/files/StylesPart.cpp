#include "platform/engine/files/StylesPart.h"

#include <charconv>
#include <cmath>
#include <map>

#include <pugixml.hpp>

#include "platform/engine/files/FileError.h"
#include "platform/engine/files/Xml.h"
#include "platform/engine/model/Palette.h"

namespace vorra::engine::files {

namespace {

struct BuiltIn {
    int id;
    const char* code;
    bool reversible;  // written back under its id; locale-dependent ones are not
};

// Built-in number formats of the file format. Ids 27–36 and 50–58 are the ones a
// Chinese-locale program shows; other programs read them as custom codes just as well.
constexpr BuiltIn kBuiltIns[] = {
    {0, "General", true},
    {1, "0", true},
    {2, "0.00", true},
    {3, "#,##0", true},
    {4, "#,##0.00", true},
    {5, "\"$\"#,##0_);(\"$\"#,##0)", false},
    {6, "\"$\"#,##0_);[Red](\"$\"#,##0)", false},
    {7, "\"$\"#,##0.00_);(\"$\"#,##0.00)", false},
    {8, "\"$\"#,##0.00_);[Red](\"$\"#,##0.00)", false},
    {9, "0%", true},
    {10, "0.00%", true},
    {11, "0.00E+00", true},
    {12, "# ?/?", true},
    {13, "# ?\?/?\?", true},
    {14, "mm-dd-yy", true},
    {15, "d-mmm-yy", true},
    {16, "d-mmm", true},
    {17, "mmm-yy", true},
    {18, "h:mm AM/PM", true},
    {19, "h:mm:ss AM/PM", true},
    {20, "h:mm", true},
    {21, "h:mm:ss", true},
    {22, "m/d/yy h:mm", true},
    {27, "yyyy\"年\"m\"月\"", false},
    {28, "m\"月\"d\"日\"", false},
    {29, "m\"月\"d\"日\"", false},
    {30, "m-d-yy", false},
    {31, "yyyy\"年\"m\"月\"d\"日\"", false},
    {32, "h\"时\"mm\"分\"", false},
    {33, "h\"时\"mm\"分\"ss\"秒\"", false},
    {34, "上午/下午h\"时\"mm\"分\"", false},
    {35, "上午/下午h\"时\"mm\"分\"ss\"秒\"", false},
    {36, "yyyy\"年\"m\"月\"", false},
    {37, "#,##0 ;(#,##0)", true},
    {38, "#,##0 ;[Red](#,##0)", true},
    {39, "#,##0.00;(#,##0.00)", true},
    {40, "#,##0.00;[Red](#,##0.00)", true},
    {41, "_(* #,##0_);_(* \\(#,##0\\);_(* \"-\"_);_(@_)", false},
    {42, "_(\"$\"* #,##0_);_(\"$\"* \\(#,##0\\);_(\"$\"* \"-\"_);_(@_)", false},
    {43, "_(* #,##0.00_);_(* \\(#,##0.00\\);_(* \"-\"??_);_(@_)", false},
    {44, "_(\"$\"* #,##0.00_);_(\"$\"* \\(#,##0.00\\);_(\"$\"* \"-\"??_);_(@_)", false},
    {45, "mm:ss", true},
    {46, "[h]:mm:ss", true},
    {47, "mmss.0", true},
    {48, "##0.0E+0", true},
    {49, "@", true},
    {50, "yyyy\"年\"m\"月\"", false},
    {51, "m\"月\"d\"日\"", false},
    {52, "yyyy\"年\"m\"月\"", false},
    {53, "m\"月\"d\"日\"", false},
    {54, "m\"月\"d\"日\"", false},
    {55, "上午/下午h\"时\"mm\"分\"", false},
    {56, "上午/下午h\"时\"mm\"分\"ss\"秒\"", false},
    {57, "yyyy\"年\"m\"月\"", false},
    {58, "m\"月\"d\"日\"", false},
};

int intAttr(const pugi::xml_node& n, const char* name, int fallback = 0) {
    auto a = n.attribute(name);
    return a ? a.as_int(fallback) : fallback;
}

bool flagAttr(const pugi::xml_node& n, const char* name, bool fallback) {
    auto a = n.attribute(name);
    if (!a) return fallback;
    std::string_view v = a.value();
    return v == "1" || v == "true";
}

// <b/>, <b val="1"/>, <b val="0"/>.
bool onOff(const pugi::xml_node& n) {
    auto v = n.attribute("val");
    if (!v) return true;
    std::string_view s = v.value();
    return !(s == "0" || s == "false");
}

HAlign hAlignOf(std::string_view s) {
    if (s == "left") return HAlign::Left;
    if (s == "center") return HAlign::Center;
    if (s == "right") return HAlign::Right;
    if (s == "fill") return HAlign::Fill;
    if (s == "justify") return HAlign::Justify;
    if (s == "centerContinuous") return HAlign::CenterContinuous;
    if (s == "distributed") return HAlign::Distributed;
    return HAlign::General;
}

const char* hAlignText(HAlign a) {
    switch (a) {
        case HAlign::General: return "general";
        case HAlign::Left: return "left";
        case HAlign::Center: return "center";
        case HAlign::Right: return "right";
        case HAlign::Fill: return "fill";
        case HAlign::Justify: return "justify";
        case HAlign::CenterContinuous: return "centerContinuous";
        case HAlign::Distributed: return "distributed";
    }
    return "general";
}

VAlign vAlignOf(std::string_view s) {
    if (s == "top") return VAlign::Top;
    if (s == "center") return VAlign::Center;
    if (s == "justify") return VAlign::Justify;
    if (s == "distributed") return VAlign::Distributed;
    return VAlign::Bottom;
}

const char* vAlignText(VAlign a) {
    switch (a) {
        case VAlign::Top: return "top";
        case VAlign::Center: return "center";
        case VAlign::Bottom: return "bottom";
        case VAlign::Justify: return "justify";
        case VAlign::Distributed: return "distributed";
    }
    return "bottom";
}

Font readFont(const pugi::xml_node& node) {
    Font f;
    f.name.clear();
    for (auto c : node.children()) {
        if (c.type() != pugi::node_element) continue;
        auto name = localName(c);
        if (name == "b") f.bold = onOff(c);
        else if (name == "i") f.italic = onOff(c);
        else if (name == "strike") f.strike = onOff(c);
        else if (name == "u") f.underline = std::string_view(c.attribute("val").value()) != "none";
        else if (name == "sz") f.size = c.attribute("val").as_double(11);
        else if (name == "name") f.name = c.attribute("val").value();
        else if (name == "color" && c.attribute("indexed") && !c.attribute("tint"))
            f.colorIndex = hostColorIndexOf(c.attribute("indexed").as_int());  // indexed 8 is host colour 1
        else if (name == "color" && c.attribute("rgb") && !c.attribute("tint"))
            f.colorRgb = c.attribute("rgb").value();
        else f.extraXml += outerXml(c);
    }
    return f;
}

void appendNumber(std::string& out, double d) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, d);
    out.append(buf, r.ptr);
}

void writeFont(std::string& out, const Font& f) {
    out += "<font>";
    if (f.bold) out += "<b/>";
    if (f.italic) out += "<i/>";
    if (f.strike) out += "<strike/>";
    if (f.underline) out += "<u/>";
    out += "<sz val=\"";
    appendNumber(out, f.size);
    out += "\"/>";
    if (!f.colorRgb.empty()) {
        out += "<color rgb=\"";
        appendEscaped(out, f.colorRgb);
        out += "\"/>";
    } else if (f.colorIndex > 0) {
        out += "<color indexed=\"" + std::to_string(f.colorIndex + kFirstIndexedColor - 1) + "\"/>";
    }
    out += "<name val=\"";
    appendEscaped(out, f.name);
    out += "\"/>";
    out += f.extraXml;
    out += "</font>";
}

}  // namespace

std::string builtInNumberFormat(int id) {
    for (const auto& b : kBuiltIns)
        if (b.id == id) return b.code;
    return {};
}

int builtInNumberFormatId(std::string_view code) {
    for (const auto& b : kBuiltIns)
        if (b.reversible && code == b.code) return b.id;
    return -1;
}

StyleSheet readStyles(std::string_view xml, const std::string& file, const std::string& part,
                      int maxDepth) {
    pugi::xml_document doc;
    parsePart(doc, xml, file, part, maxDepth);
    auto root = doc.document_element();
    StyleSheet styles;

    std::map<int, std::string> customFormats;
    if (auto numFmts = child(root, "numFmts"))
        for (auto f : numFmts.children())
            if (localName(f) == "numFmt")
                customFormats[intAttr(f, "numFmtId", -1)] = f.attribute("formatCode").value();

    if (auto fonts = child(root, "fonts")) {
        styles.fonts.clear();
        for (auto f : fonts.children())
            if (localName(f) == "font") styles.fonts.push_back(readFont(f));
        if (styles.fonts.empty()) styles.fonts.push_back(Font{});
    }
    if (auto fills = child(root, "fills"))
        for (auto f : fills.children())
            if (localName(f) == "fill") styles.fillsXml.push_back(outerXml(f));
    if (auto borders = child(root, "borders"))
        for (auto b : borders.children())
            if (localName(b) == "border") styles.bordersXml.push_back(outerXml(b));

    if (auto xfs = child(root, "cellXfs")) {
        styles.formats.clear();
        for (auto xf : xfs.children()) {
            if (localName(xf) != "xf") continue;
            CellFormat f;
            int id = intAttr(xf, "numFmtId", 0);
            if (auto c = customFormats.find(id); c != customFormats.end()) f.numberFormat = c->second;
            else if (auto code = builtInNumberFormat(id); !code.empty()) f.numberFormat = code;
            f.fontId = std::max(0, intAttr(xf, "fontId"));
            f.fillId = std::max(0, intAttr(xf, "fillId"));
            f.borderId = std::max(0, intAttr(xf, "borderId"));
            if (f.fontId >= int(styles.fonts.size())) f.fontId = 0;
            if (auto a = child(xf, "alignment")) {
                f.hAlign = hAlignOf(a.attribute("horizontal").value());
                f.vAlign = vAlignOf(a.attribute("vertical").value());
                f.wrapText = flagAttr(a, "wrapText", false);
                f.shrinkToFit = flagAttr(a, "shrinkToFit", false);
                f.indent = intAttr(a, "indent");
                f.rotation = intAttr(a, "textRotation");
            }
            if (auto p = child(xf, "protection")) {
                f.locked = flagAttr(p, "locked", true);
                f.formulaHidden = flagAttr(p, "hidden", false);
            }
            styles.formats.push_back(f);
        }
        if (styles.formats.empty()) styles.formats.push_back(CellFormat{});
    }

    for (auto c : root.children()) {
        auto name = localName(c);
        if (c.type() != pugi::node_element || name == "numFmts" || name == "fonts" ||
            name == "fills" || name == "borders" || name == "cellXfs")
            continue;
        styles.extraXml += outerXml(c);
    }
    return styles;
}

std::string writeStyles(const StyleSheet& styles) {
    // Custom number format codes get ids from 164, the first id the format leaves free.
    std::map<std::string, int> custom;
    std::vector<int> formatIds;
    for (const auto& f : styles.formats) {
        int id = builtInNumberFormatId(f.numberFormat);
        if (id < 0) {
            auto [it, added] = custom.try_emplace(f.numberFormat, 164 + int(custom.size()));
            id = it->second;
        }
        formatIds.push_back(id);
    }

    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";
    if (!custom.empty()) {
        std::vector<std::pair<int, std::string>> byId;
        for (const auto& [code, id] : custom) byId.emplace_back(id, code);
        std::sort(byId.begin(), byId.end());
        out += "<numFmts count=\"" + std::to_string(byId.size()) + "\">";
        for (const auto& [id, code] : byId) {
            out += "<numFmt numFmtId=\"" + std::to_string(id) + "\" formatCode=\"";
            appendEscaped(out, code);
            out += "\"/>";
        }
        out += "</numFmts>";
    }
    out += "<fonts count=\"" + std::to_string(styles.fonts.size()) + "\">";
    for (const auto& f : styles.fonts) writeFont(out, f);
    out += "</fonts>";

    if (styles.fillsXml.empty()) {
        out += "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
               "<fill><patternFill patternType=\"gray125\"/></fill></fills>";
    } else {
        out += "<fills count=\"" + std::to_string(styles.fillsXml.size()) + "\">";
        for (const auto& f : styles.fillsXml) out += f;
        out += "</fills>";
    }
    if (styles.bordersXml.empty()) {
        out += "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>";
    } else {
        out += "<borders count=\"" + std::to_string(styles.bordersXml.size()) + "\">";
        for (const auto& b : styles.bordersXml) out += b;
        out += "</borders>";
    }

    // The kept elements: cellStyleXfs goes before cellXfs, the rest after.
    pugi::xml_document extra;
    std::string wrapped = "<x>" + styles.extraXml + "</x>";
    extra.load_buffer(wrapped.data(), wrapped.size(), pugi::parse_default | pugi::parse_ws_pcdata_single);
    std::string before, after;
    for (auto c : extra.document_element().children()) {
        if (localName(c) == "cellStyleXfs") before += outerXml(c);
        else after += outerXml(c);
    }
    if (before.empty())
        before = "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>";
    if (after.find("<cellStyles") == std::string::npos)
        after = "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>" + after;
    out += before;

    int fonts = int(styles.fonts.size());
    int fills = std::max<int>(2, int(styles.fillsXml.size()));
    int borders = std::max<int>(1, int(styles.bordersXml.size()));
    out += "<cellXfs count=\"" + std::to_string(styles.formats.size()) + "\">";
    for (size_t i = 0; i < styles.formats.size(); ++i) {
        const auto& f = styles.formats[i];
        int fontId = f.fontId < fonts ? f.fontId : 0;
        int fillId = f.fillId < fills ? f.fillId : 0;
        int borderId = f.borderId < borders ? f.borderId : 0;
        out += "<xf numFmtId=\"" + std::to_string(formatIds[i]) + "\" fontId=\"" +
               std::to_string(fontId) + "\" fillId=\"" + std::to_string(fillId) +
               "\" borderId=\"" + std::to_string(borderId) + "\" xfId=\"0\"";
        if (formatIds[i] != 0) out += " applyNumberFormat=\"1\"";
        if (fontId != 0) out += " applyFont=\"1\"";
        if (fillId != 0) out += " applyFill=\"1\"";
        if (borderId != 0) out += " applyBorder=\"1\"";
        bool alignment = f.hAlign != HAlign::General || f.vAlign != VAlign::Bottom || f.wrapText ||
                         f.shrinkToFit || f.indent != 0 || f.rotation != 0;
        bool protection = !f.locked || f.formulaHidden;
        if (alignment) out += " applyAlignment=\"1\"";
        if (protection) out += " applyProtection=\"1\"";
        if (!alignment && !protection) {
            out += "/>";
            continue;
        }
        out += ">";
        if (alignment) {
            out += "<alignment";
            if (f.hAlign != HAlign::General) out += std::string(" horizontal=\"") + hAlignText(f.hAlign) + "\"";
            if (f.vAlign != VAlign::Bottom) out += std::string(" vertical=\"") + vAlignText(f.vAlign) + "\"";
            if (f.rotation != 0) out += " textRotation=\"" + std::to_string(f.rotation) + "\"";
            if (f.wrapText) out += " wrapText=\"1\"";
            if (f.indent != 0) out += " indent=\"" + std::to_string(f.indent) + "\"";
            if (f.shrinkToFit) out += " shrinkToFit=\"1\"";
            out += "/>";
        }
        if (protection) {
            out += "<protection";
            if (!f.locked) out += " locked=\"0\"";
            if (f.formulaHidden) out += " hidden=\"1\"";
            out += "/>";
        }
        out += "</xf>";
    }
    out += "</cellXfs>";
    out += after;
    out += "</styleSheet>";
    return out;
}

}  // namespace vorra::engine::files
