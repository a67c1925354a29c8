#include "platform/engine/files/XlsStyles.h"

#include <iterator>

#include <pugixml.hpp>

#include "platform/engine/model/Palette.h"

namespace vorra::engine::xls {

namespace {

constexpr const char* kLineStyles[] = {"",       "thin",          "medium",     "dashed",           "dotted",
                                       "thick",  "double",        "hair",       "mediumDashed",     "dashDot",
                                       "mediumDashDot", "dashDotDot", "mediumDashDotDot", "slantDashDot"};
constexpr const char* kPatterns[] = {"none",          "solid",          "mediumGray",    "darkGray",
                                     "lightGray",     "darkHorizontal", "darkVertical",  "darkDown",
                                     "darkUp",        "darkGrid",       "darkTrellis",   "lightHorizontal",
                                     "lightVertical", "lightDown",      "lightUp",       "lightGrid",
                                     "lightTrellis",  "gray125",        "gray0625"};

std::string colorXml(const char* element, std::uint8_t indexed) {
    return std::string("<") + element + " indexed=\"" + std::to_string(indexed) + "\"/>";
}

// An element's colour as an indexed colour of the binary format.
std::uint8_t indexedOf(const pugi::xml_node& color, std::uint8_t automatic) {
    if (!color) return automatic;
    if (auto a = color.attribute("indexed")) {
        int v = a.as_int(automatic);
        return std::uint8_t(v >= 0 && v <= 127 ? v : automatic);
    }
    if (auto a = color.attribute("rgb")) {
        std::string_view hex = a.value();
        if (hex.size() == 8) hex.remove_prefix(2);  // alpha
        std::uint32_t rgb = std::uint32_t(std::strtoul(std::string(hex).c_str(), nullptr, 16));
        return std::uint8_t(nearestHostColorIndex(rgb) + kFirstIndexedColor - 1);
    }
    return automatic;  // automatic, or a theme colour the binary format has no palette entry for
}

pugi::xml_node parsedRoot(pugi::xml_document& doc, std::string_view xml) {
    doc.load_buffer(xml.data(), xml.size());
    return doc.document_element();
}

std::uint8_t lineStyleOf(const pugi::xml_node& side) {
    std::string_view name = side.attribute("style").value();
    for (size_t i = 1; i < std::size(kLineStyles); ++i)
        if (name == kLineStyles[i]) return std::uint8_t(i);
    return 0;
}

}  // namespace

std::string borderXml(const BorderLines& b) {
    std::string out = "<border";
    if (b.diagonalDown) out += " diagonalDown=\"1\"";
    if (b.diagonalUp) out += " diagonalUp=\"1\"";
    out += ">";
    auto side = [&](const char* name, std::uint8_t style, std::uint8_t color) {
        if (style == 0 || style >= std::size(kLineStyles)) {
            out += std::string("<") + name + "/>";
            return;
        }
        out += std::string("<") + name + " style=\"" + kLineStyles[style] + "\">" + colorXml("color", color) +
               "</" + name + ">";
    };
    side("left", b.left, b.leftColor);
    side("right", b.right, b.rightColor);
    side("top", b.top, b.topColor);
    side("bottom", b.bottom, b.bottomColor);
    side("diagonal", b.diagonal, b.diagonalColor);
    return out + "</border>";
}

BorderLines borderOfXml(std::string_view xml) {
    BorderLines b;
    pugi::xml_document doc;
    auto root = parsedRoot(doc, xml);
    auto read = [&](const char* name, std::uint8_t& style, std::uint8_t& color) {
        auto side = root.child(name);
        style = lineStyleOf(side);
        color = indexedOf(side.child("color"), 64);
    };
    read("left", b.left, b.leftColor);
    read("right", b.right, b.rightColor);
    read("top", b.top, b.topColor);
    read("bottom", b.bottom, b.bottomColor);
    read("diagonal", b.diagonal, b.diagonalColor);
    b.diagonalDown = root.attribute("diagonalDown").as_bool();
    b.diagonalUp = root.attribute("diagonalUp").as_bool();
    return b;
}

std::string fillXml(const FillPattern& f) {
    std::uint8_t pattern = f.pattern < std::size(kPatterns) ? f.pattern : 0;
    if (pattern == 0) return "<fill><patternFill patternType=\"none\"/></fill>";
    return std::string("<fill><patternFill patternType=\"") + kPatterns[pattern] + "\">" +
           colorXml("fgColor", f.fore) + colorXml("bgColor", f.back) + "</patternFill></fill>";
}

FillPattern fillOfXml(std::string_view xml) {
    FillPattern f;
    pugi::xml_document doc;
    auto pattern = parsedRoot(doc, xml).child("patternFill");
    std::string_view type = pattern.attribute("patternType").value();
    for (size_t i = 0; i < std::size(kPatterns); ++i)
        if (type == kPatterns[i]) f.pattern = std::uint8_t(i);
    f.fore = indexedOf(pattern.child("fgColor"), 64);
    f.back = indexedOf(pattern.child("bgColor"), 65);
    return f;
}

}  // namespace vorra::engine::xls
