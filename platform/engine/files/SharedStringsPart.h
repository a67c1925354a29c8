#pragma once
// The shared-strings part: every text a worksheet stores once, referenced by index.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <pugixml.hpp>

#include "platform/engine/files/XmlScan.h"

namespace vorra::engine::files {

// Reads the table. Rich text runs are flattened to their text; phonetic runs are
// skipped. Refuses malformed XML and more strings than `maxStrings`.
std::vector<std::string> readSharedStrings(std::string_view xml, const std::string& file,
                                           const std::string& part, int maxDepth);

// The same table read without a tree, when the part is plain enough for that (see
// XmlScanner); nothing otherwise. readSharedStrings reads it so when it can.
std::optional<std::vector<std::string>> scanSharedStrings(std::string_view xml, int maxDepth);
// Text of one string item (<si>, or a cell's inline <is>).
std::string stringItemText(const pugi::xml_node& item);
// The same for the item the scanner has just started, through the item's end, the
// _xHHHH_ escapes left in; false when the item is not plain enough for the scanner.
bool scanStringItem(XmlScanner& in, std::string& text);

// Collects texts while the worksheets are written, then writes the part. It keeps
// views of the texts, not copies: each text must outlive the table (the saved
// model's cells do).
class SharedStringTable {
public:
    int indexOf(std::string_view text);
    size_t size() const { return strings_.size(); }
    std::string write(size_t referenceCount) const;
    // The same text handed on in pieces of about 64 KiB.
    void write(size_t referenceCount, const std::function<void(std::string_view)>& output) const;

private:
    std::vector<std::string_view> strings_;
    std::unordered_map<std::string_view, int> index_;
};

}  // namespace vorra::engine::files
