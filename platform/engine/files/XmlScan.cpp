#include "platform/engine/files/XmlScan.h"

#include "addin/frame/host/Utf8.h"
#include "platform/engine/files/TextEncoding.h"

namespace vorra::engine::files {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool isNameStart(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '_' || u == ':' || u >= 0x80;
}

bool isNameChar(char c) {
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

std::string_view localOf(std::string_view qualified) {
    const auto colon = qualified.find(':');
    return colon == std::string_view::npos ? qualified : qualified.substr(colon + 1);
}

}  // namespace

XmlScanner::XmlScanner(std::string_view xml, int maxDepth)
    : xml_(xml), maxDepth_(maxDepth > 0 ? static_cast<std::size_t>(maxDepth) : 0) {
    if (!isValidUtf8(xml_)) {
        last_ = Event::Unsupported;
        at_ = xml_.size();
        return;
    }
    if (xml_.substr(0, 3) == "\xEF\xBB\xBF") at_ = 3;
    // The declaration, the only thing other than elements that these parts begin with.
    if (xml_.substr(at_, 5) == "<?xml" && at_ + 5 < xml_.size() && isSpace(xml_[at_ + 5])) {
        const auto end = xml_.find("?>", at_);
        at_ = end == std::string_view::npos ? xml_.size() : end + 2;
    }
}

XmlScanner::Event XmlScanner::next() {
    if (last_ == Event::Unsupported) return last_;
    if (pendingEnd_) {
        pendingEnd_ = false;
        open_.pop_back();
        return last_ = Event::End;
    }
    if (open_.empty()) {
        // Outside the root element only white space may stand.
        while (at_ < xml_.size() && isSpace(xml_[at_])) ++at_;
        if (at_ == xml_.size()) return rootSeen_ ? last_ = Event::Done : fail();
        if (rootSeen_ || xml_[at_] != '<') return fail();
    }
    if (at_ >= xml_.size()) return fail();  // the document ends inside an element
    if (xml_[at_] != '<') return characterData();
    if (at_ + 1 < xml_.size() && xml_[at_ + 1] == '/') return endTag();
    return startTag();
}

XmlScanner::Event XmlScanner::startTag() {
    std::size_t i = at_ + 1;
    if (i >= xml_.size() || !isNameStart(xml_[i])) return fail();  // "<!", "<?", "< "
    const std::size_t nameStart = i;
    while (i < xml_.size() && isNameChar(xml_[i])) ++i;
    const std::string_view qualified = xml_.substr(nameStart, i - nameStart);
    attributes_.clear();
    // Attributes: name = "value" or 'value', each after white space.
    while (true) {
        const std::size_t before = i;
        while (i < xml_.size() && isSpace(xml_[i])) ++i;
        if (i >= xml_.size()) return fail();
        if (xml_[i] == '>' || xml_[i] == '/') break;
        if (i == before || !isNameStart(xml_[i])) return fail();
        const std::size_t attributeStart = i;
        while (i < xml_.size() && isNameChar(xml_[i])) ++i;
        const std::string_view attributeName = xml_.substr(attributeStart, i - attributeStart);
        while (i < xml_.size() && isSpace(xml_[i])) ++i;
        if (i >= xml_.size() || xml_[i] != '=') return fail();
        ++i;
        while (i < xml_.size() && isSpace(xml_[i])) ++i;
        if (i >= xml_.size() || (xml_[i] != '"' && xml_[i] != '\'')) return fail();
        const char quote = xml_[i++];
        const std::size_t close = xml_.find(quote, i);
        if (close == std::string_view::npos) return fail();
        const std::string_view value = xml_.substr(i, close - i);
        if (value.find('<') != std::string_view::npos) return fail();
        attributes_.push_back({attributeName, value});
        i = close + 1;
    }
    bool empty = false;
    if (xml_[i] == '/') {
        if (i + 1 >= xml_.size() || xml_[i + 1] != '>') return fail();
        empty = true;
        ++i;
    }
    at_ = i + 1;
    if (open_.size() >= maxDepth_) return fail();
    open_.push_back(qualified);
    local_ = localOf(qualified);
    rootSeen_ = true;
    pendingEnd_ = empty;
    return last_ = Event::Start;
}

XmlScanner::Event XmlScanner::endTag() {
    std::size_t i = at_ + 2;
    const std::size_t nameStart = i;
    while (i < xml_.size() && isNameChar(xml_[i])) ++i;
    const std::string_view qualified = xml_.substr(nameStart, i - nameStart);
    while (i < xml_.size() && isSpace(xml_[i])) ++i;
    if (i >= xml_.size() || xml_[i] != '>' || open_.empty() || !sameName(open_.back(), qualified)) return fail();
    at_ = i + 1;
    open_.pop_back();
    local_ = localOf(qualified);
    return last_ = Event::End;
}

XmlScanner::Event XmlScanner::characterData() {
    // Most texts hold no reference and no carriage return: they are handed on as
    // they stand in the part.
    const std::size_t start = at_;
    std::size_t end = start;
    while (end < xml_.size() && xml_[end] != '<' && xml_[end] != '&' && xml_[end] != '\r') ++end;
    if (end == xml_.size() || xml_[end] == '<') {
        at_ = end;
        textView_ = xml_.substr(start, end - start);
        return last_ = Event::Text;
    }
    text_.clear();
    while (at_ < xml_.size() && xml_[at_] != '<') {
        const char c = xml_[at_];
        if (c == '&') {
            if (!appendReference()) return fail();
            continue;
        }
        if (c == '\r') {
            // Line ends as the tree parse gives them: "\r\n" and a lone "\r" are "\n".
            text_ += '\n';
            ++at_;
            if (at_ < xml_.size() && xml_[at_] == '\n') ++at_;
            continue;
        }
        // A run of plain characters at once.
        std::size_t runEnd = at_;
        while (runEnd < xml_.size() && xml_[runEnd] != '<' && xml_[runEnd] != '&' && xml_[runEnd] != '\r') ++runEnd;
        text_.append(xml_.data() + at_, runEnd - at_);
        at_ = runEnd;
    }
    textView_ = text_;
    return last_ = Event::Text;
}

bool XmlScanner::appendReference() {
    const std::size_t semicolon = xml_.find(';', at_);
    if (semicolon == std::string_view::npos || semicolon - at_ > 10) return false;
    const std::string_view ref = xml_.substr(at_ + 1, semicolon - at_ - 1);
    at_ = semicolon + 1;
    if (ref == "lt") text_ += '<';
    else if (ref == "gt") text_ += '>';
    else if (ref == "amp") text_ += '&';
    else if (ref == "quot") text_ += '"';
    else if (ref == "apos") text_ += '\'';
    else {
        if (ref.size() < 2 || ref[0] != '#') return false;
        const bool hex = ref[1] == 'x';
        const std::string_view digits = ref.substr(hex ? 2 : 1);
        if (digits.empty()) return false;
        char32_t cp = 0;
        for (char d : digits) {
            unsigned v;
            if (d >= '0' && d <= '9') v = unsigned(d - '0');
            else if (hex && d >= 'a' && d <= 'f') v = unsigned(d - 'a' + 10);
            else if (hex && d >= 'A' && d <= 'F') v = unsigned(d - 'A' + 10);
            else return false;
            cp = cp * (hex ? 16 : 10) + v;
            if (cp > 0x10FFFF) return false;
        }
        if (cp == 0 || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        host::appendUtf8(cp, text_);
    }
    return true;
}

XmlScanner::Attribute XmlScanner::attribute(std::string_view name) const {
    Attribute found;
    for (const RawAttribute& a : attributes_) {
        if (!sameName(a.name, name)) continue;
        if (found.present) {
            found.plain = false;
            return found;
        }
        found.present = true;
        found.value = a.value;
        for (char c : a.value)
            if (c == '&' || c == '\t' || c == '\n' || c == '\r') found.plain = false;
    }
    return found;
}

bool XmlScanner::appendText(std::string& out) {
    while (true) {
        switch (next()) {
            case Event::Text: out += textView_; break;
            case Event::End: return true;
            default: return false;
        }
    }
}

XmlScanner::Event XmlScanner::skipElement() {
    const std::size_t depth = open_.size();
    Event e = last_;
    while (open_.size() >= depth) {
        e = next();
        if (e == Event::Unsupported || e == Event::Done) return e;
    }
    return e;
}

}  // namespace vorra::engine::files
