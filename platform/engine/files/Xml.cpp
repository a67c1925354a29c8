#include "platform/engine/files/Xml.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/engine/files/FileError.h"
#include "platform/engine/files/TextEncoding.h"

namespace vorra::engine::files {

namespace {

bool containsDeclaration(std::string_view bytes) {
    // A part that declares a document type could define entities; no part of a
    // workbook package needs one, so any declaration is refused outright.
    for (std::size_t from = 0;;) {
        const std::size_t at = findMarkupDeclaration(bytes.substr(from));
        if (at == std::string_view::npos) return false;
        from += at + 2;
        const std::string_view rest = bytes.substr(from);
        if (rest.starts_with("DOCTYPE") || rest.starts_with("ENTITY")) return true;
    }
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

std::size_t findMarkupDeclaration(std::string_view bytes) {
    for (auto i = bytes.find('!'); i != std::string_view::npos; i = bytes.find('!', i + 1))
        if (i > 0 && bytes[i - 1] == '<') return i - 1;
    return std::string_view::npos;
}

std::size_t findText(std::string_view haystack, std::string_view needle, std::size_t from) {
    if (from > haystack.size()) return std::string_view::npos;
    const void* at = ::memmem(haystack.data() + from, haystack.size() - from, needle.data(), needle.size());
    return at ? static_cast<std::size_t>(static_cast<const char*>(at) - haystack.data()) : std::string_view::npos;
}

void parsePart(pugi::xml_document& doc, std::string_view bytes, const std::string& file,
               const std::string& part, int maxDepth) {
    if (containsDeclaration(bytes))
        refuseFile(file, "part " + part + " declares a document type or entities, which is not allowed");
    // Text that is not UTF-8 (other programs write such files) is read with every
    // malformed sequence as U+FFFD, so that nothing malformed enters the model.
    std::string repaired;
    if (!isValidUtf8(bytes)) {
        repaired = validUtf8(bytes);
        bytes = repaired;
    }
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

std::uint64_t xmlParseCost(std::string_view bytes) {
    // The parser keeps a copy of the part; each element and each text is a node of
    // eight pointers, each attribute one of five, allocated in pages. The counts are
    // kept in bytes for runs of 255 characters, which the compiler turns into vector
    // compares.
    std::uint64_t tags = 0, attributes = 0;
    for (std::size_t from = 0; from < bytes.size(); from += 255) {
        const std::size_t end = std::min(bytes.size(), from + 255);
        unsigned char tagsInRun = 0, attributesInRun = 0;
        for (std::size_t i = from; i < end; ++i) {
            tagsInRun = static_cast<unsigned char>(tagsInRun + (bytes[i] == '<'));
            attributesInRun = static_cast<unsigned char>(attributesInRun + (bytes[i] == '='));
        }
        tags += tagsInRun;
        attributes += attributesInRun;
    }
    return bytes.size() + tags * 2 * 72 + attributes * 48;
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
    // Whatever the model holds, what is written is well-formed: malformed UTF-8 and
    // the two non-characters XML forbids become U+FFFD.
    std::string repaired;
    if (!isValidUtf8(text)) {
        repaired = validUtf8(text);
        text = repaired;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
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
                // XML 1.0 (cell texts escape them, see appendEscapedText); here they go.
                if (static_cast<unsigned char>(c) < 0x20) break;
                if (c == '\xEF' && i + 2 < text.size() && text[i + 1] == '\xBF' &&
                    (text[i + 2] == '\xBE' || text[i + 2] == '\xBF')) {
                    out += "\xEF\xBF\xBD";
                    i += 2;
                    break;
                }
                out += c;
        }
    }
}

void appendEscapedText(std::string& out, std::string_view text) {
    // The format's escape for what XML cannot hold: _xHHHH_, and _x005F_ for an
    // underscore that would otherwise start such an escape.
    auto isEscape = [&](size_t i) {
        if (i + 6 >= text.size() || text[i] != '_' || text[i + 1] != 'x' || text[i + 6] != '_') return false;
        for (size_t k = 2; k < 6; ++k)
            if (!std::isxdigit(static_cast<unsigned char>(text[i + k]))) return false;
        return true;
    };
    size_t from = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        bool control = c < 0x20 && c != '\t' && c != '\n' && c != '\r';
        if (!control && !isEscape(i)) continue;
        appendEscaped(out, text.substr(from, i - from));
        char buf[8];
        std::snprintf(buf, sizeof buf, "_x%04X_", control ? unsigned(c) : 0x5Fu);
        out += buf;
        from = i + 1;
    }
    appendEscaped(out, text.substr(from));
}

std::string unescapedText(std::string_view text) {
    if (text.find("_x") == std::string_view::npos) return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '_' && i + 6 < text.size() && text[i + 1] == 'x' && text[i + 6] == '_') {
            unsigned v = 0;
            bool hex = true;
            for (size_t k = 2; k < 6 && hex; ++k) {
                char h = text[i + k];
                hex = std::isxdigit(static_cast<unsigned char>(h)) != 0;
                v = v * 16 + unsigned(std::isdigit(static_cast<unsigned char>(h)) ? h - '0' : (std::tolower(h) - 'a' + 10));
            }
            if (hex) {
                std::u16string unit(1, char16_t(v));
                out += utf8FromUtf16(unit);
                i += 6;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::string unescapedText(std::string&& text) {
    if (text.find("_x") == std::string::npos) return std::move(text);
    return unescapedText(std::string_view(text));
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
