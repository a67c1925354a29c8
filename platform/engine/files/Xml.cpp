#include "platform/engine/files/Xml.h"

#include <algorithm>
#include <vector>

#include "platform/engine/files/FileError.h"

namespace vorra::engine::files {

namespace {

bool containsDeclaration(std::string_view bytes) {
    // A part that declares a document type could define entities; no part of a
    // workbook package needs one, so any declaration is refused outright.
    return bytes.find("<!DOCTYPE") != std::string_view::npos ||
           bytes.find("<!ENTITY") != std::string_view::npos;
}

int depthOf(const pugi::xml_node& root, int limit) {
    // Iterative walk: a hostile file must not be able to overflow our stack either.
    int depth = 0, deepest = 0;
    pugi::xml_node n = root.first_child();
    if (!n) return 0;
    depth = 1;
    while (n) {
        deepest = std::max(deepest, depth);
        if (deepest > limit) return deepest;
        if (n.first_child()) {
            n = n.first_child();
            ++depth;
            continue;
        }
        while (n && !n.next_sibling()) {
            n = n.parent();
            --depth;
            if (n == root) return deepest;
        }
        if (n) n = n.next_sibling();
    }
    return deepest;
}

struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void* data, size_t size) override {
        text.append(static_cast<const char*>(data), size);
    }
};

}  // namespace

void parsePart(pugi::xml_document& doc, std::string_view bytes, const std::string& file,
               const std::string& part, int maxDepth) {
    if (containsDeclaration(bytes))
        refuseFile(file, "part " + part + " declares a document type or entities, which is not allowed");
    auto result = doc.load_buffer(bytes.data(), bytes.size(),
                                  (pugi::parse_default | pugi::parse_ws_pcdata_single | pugi::parse_embed_pcdata) &
                                      ~pugi::parse_doctype & ~pugi::parse_pi,
                                  pugi::encoding_utf8);
    if (!result)
        refuseFile(file, "part " + part + " is not well-formed XML (" + result.description() +
                             " at offset " + std::to_string(result.offset) + ")");
    if (depthOf(doc, maxDepth) > maxDepth)
        refuseFile(file, "part " + part + " nests XML elements deeper than " +
                             std::to_string(maxDepth) + " levels");
}

std::string_view localName(const pugi::xml_node& node) {
    std::string_view name = node.name();
    auto colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

pugi::xml_node child(const pugi::xml_node& node, std::string_view local) {
    for (auto c : node.children())
        if (c.type() == pugi::node_element && localName(c) == local) return c;
    return {};
}

pugi::xml_attribute attr(const pugi::xml_node& node, std::string_view local) {
    for (auto a : node.attributes()) {
        std::string_view name = a.name();
        if (name == local) return a;
        auto colon = name.find(':');
        if (local.find(':') == std::string_view::npos && colon != std::string_view::npos &&
            name.substr(colon + 1) == local && name.substr(0, colon) != "xmlns")
            return a;
    }
    return {};
}

std::string outerXml(const pugi::xml_node& node) {
    StringWriter w;
    node.print(w, "", pugi::format_raw | pugi::format_no_declaration);
    return std::move(w.text);
}

void appendEscaped(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\r': out += "&#13;"; break;
            case '\t': out += "&#9;"; break;
            case '\n': out += "&#10;"; break;
            default:
                // Control characters other than tab and line breaks are not allowed in
                // XML 1.0; the format escapes them as _xHHHH_, we drop them.
                if (static_cast<unsigned char>(c) < 0x20) break;
                out += c;
        }
    }
}

std::string escaped(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    appendEscaped(s, text);
    return s;
}

Attributes attributesExcept(const pugi::xml_node& node, std::initializer_list<std::string_view> skip) {
    Attributes out;
    for (auto a : node.attributes()) {
        std::string_view name = a.name();
        if (std::find(skip.begin(), skip.end(), name) != skip.end()) continue;
        out.emplace_back(a.name(), a.value());
    }
    return out;
}

void appendAttributes(std::string& out, const Attributes& attributes) {
    for (const auto& [name, value] : attributes) {
        out += ' ';
        out += name;
        out += "=\"";
        appendEscaped(out, value);
        out += '"';
    }
}

}  // namespace vorra::engine::files
