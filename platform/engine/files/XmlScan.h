#pragma once
// A reader of the plain XML that the large parts of a package are made of (the shared
// strings, the rows of a sheet): elements, attributes, character data with the
// predefined and numeric character references, an XML declaration before the root.
// It reads without building a tree. On anything else (comments, processing
// instructions, CDATA, declarations, malformed or too deeply nested markup, invalid
// UTF-8) it stops with `Unsupported`, and the caller reads the part with the guarded
// tree parse instead, which reads what is valid and refuses what is not. Where it
// does read a part, it gives the texts the tree parse gives: line ends as "\n",
// references replaced.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vorra::engine::files {

// Two names compared in place, without a call to compare memory: names are short.
inline bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return false;
    return true;
}

class XmlScanner {
public:
    enum class Event { Start, End, Text, Done, Unsupported };

    XmlScanner(std::string_view xml, int maxDepth);

    // The next piece of the document. An empty element gives Start and then End.
    Event next();

    // The local name of the element just started or ended ("x:si" → "si").
    std::string_view name() const { return local_; }
    // Whether that local name is this one (compared in place: names are short).
    bool named(std::string_view local) const { return sameName(local_, local); }
    // Of the element just started: an attribute by its name as written. Its value is
    // plain when it is what the tree parse gives too: no reference, no tab or line
    // break (which the tree turns into spaces), and the name written only once.
    struct Attribute {
        bool present = false;
        bool plain = true;
        std::string_view value;
    };
    Attribute attribute(std::string_view name) const;
    // The character data just read, references replaced; valid until the next event.
    std::string_view text() const { return textView_; }
    // The nesting depth after the last event: 1 inside the root element.
    std::size_t depth() const { return open_.size(); }
    // Skips what is left of the element just started, through its end.
    Event skipElement();
    // Appends the character data of the element just started, through its end; false
    // when the element holds an element (or anything the scanner stops at).
    bool appendText(std::string& out);

private:
    Event fail() { return last_ = Event::Unsupported; }
    Event startTag();
    Event endTag();
    Event characterData();
    bool appendReference();

    std::string_view xml_;
    std::size_t at_ = 0;
    std::size_t maxDepth_;
    std::vector<std::string_view> open_;  // qualified names of the open elements
    std::string_view local_;
    struct RawAttribute {
        std::string_view name, value;
    };
    std::vector<RawAttribute> attributes_;  // of the last start tag, values as written
    std::string text_;           // character data with references replaced
    std::string_view textView_;  // the text: in the part itself when it has no references
    bool pendingEnd_ = false;  // an empty element's end is due
    bool rootSeen_ = false;
    Event last_ = Event::Done;
};

}  // namespace vorra::engine::files
