#include "platform/engine/files/SharedStringsPart.h"

#include <optional>

#include <pugixml.hpp>

#include "platform/engine/files/Xml.h"
#include "platform/engine/files/XmlScan.h"

namespace vorra::engine::files {

namespace {

// Text of an <si> or <is>: its <t>, or the <t> of every run <r>, in order.
std::string itemText(const pugi::xml_node& item) {
    std::string text;
    for (auto n : item.children()) {
        auto name = localName(n);
        if (name == "t") {
            text += n.text().get();
        } else if (name == "r") {
            if (auto t = child(n, "t")) text += t.text().get();
        }
    }
    return unescapedText(text);
}

using Event = XmlScanner::Event;

}  // namespace

std::string stringItemText(const pugi::xml_node& item) { return itemText(item); }

bool scanStringItem(XmlScanner& in, std::string& text) {
    const std::size_t itemDepth = in.depth();
    while (true) {
        const Event e = in.next();
        if (e == Event::Text) continue;
        if (e == Event::End) return true;
        if (e != Event::Start) return false;
        if (in.named("t")) {
            if (!in.appendText(text)) return false;
        } else if (in.named("r")) {
            // A run: the text of its first <t>.
            bool first = true;
            while (true) {
                const Event inRun = in.next();
                if (inRun == Event::Text) continue;
                if (inRun == Event::End && in.depth() == itemDepth) break;
                if (inRun != Event::Start) return false;
                const bool ok = first && in.named("t") ? in.appendText(text)
                                                          : in.skipElement() == Event::End;
                if (!ok) return false;
                first = first && !in.named("t");
            }
        } else if (in.skipElement() != Event::End) {
            return false;
        }
    }
}

std::optional<std::vector<std::string>> scanSharedStrings(std::string_view xml, int maxDepth) {
    XmlScanner in(xml, maxDepth);
    if (in.next() != Event::Start) return std::nullopt;
    std::vector<std::string> strings;
    while (true) {
        const Event e = in.next();
        if (e == Event::Text) continue;
        if (e == Event::End) break;  // the root's end
        if (e != Event::Start) return std::nullopt;
        if (in.named("si")) {
            std::string text;
            if (!scanStringItem(in, text)) return std::nullopt;
            strings.push_back(unescapedText(std::move(text)));
        } else if (in.skipElement() != Event::End) {
            return std::nullopt;
        }
    }
    if (in.next() != Event::Done) return std::nullopt;
    return strings;
}

std::vector<std::string> readSharedStrings(std::string_view xml, const std::string& file,
                                           const std::string& part, int maxDepth) {
    if (auto scanned = scanSharedStrings(xml, maxDepth)) return std::move(*scanned);
    pugi::xml_document doc;
    parsePart(doc, xml, file, part, maxDepth);
    std::vector<std::string> strings;
    for (auto si : doc.document_element().children())
        if (localName(si) == "si") strings.push_back(itemText(si));
    return strings;
}

int SharedStringTable::indexOf(std::string_view text) {
    auto [it, added] = index_.try_emplace(text, int(strings_.size()));
    if (added) strings_.push_back(text);
    return it->second;
}

std::string SharedStringTable::write(size_t referenceCount) const {
    std::string whole;
    write(referenceCount, [&whole](std::string_view text) { whole.append(text); });
    return whole;
}

void SharedStringTable::write(size_t referenceCount, const std::function<void(std::string_view)>& output) const {
    constexpr size_t kChunk = 64 * 1024;
    std::string out;
    out.reserve(kChunk + 1024);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<sst xmlns=\"";
    out += "http://schemas.openxmlformats.org/spreadsheetml/2006/main\" count=\"";
    out += std::to_string(referenceCount);
    out += "\" uniqueCount=\"";
    out += std::to_string(strings_.size());
    out += "\">";
    for (std::string_view s : strings_) {
        // Leading or trailing blanks would be trimmed by readers without xml:space.
        bool keepSpace = !s.empty() && (s.front() == ' ' || s.back() == ' ' || s.find('\n') != std::string_view::npos);
        out += keepSpace ? "<si><t xml:space=\"preserve\">" : "<si><t>";
        appendEscapedText(out, s);
        out += "</t></si>";
        if (out.size() >= kChunk) {
            output(out);
            out.clear();
        }
    }
    out += "</sst>";
    output(out);
}

}  // namespace vorra::engine::files
