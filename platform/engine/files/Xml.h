#pragma once
// XML helpers shared by the part readers and writers: a guarded parse that refuses
// document type declarations and runaway nesting, and escaping for the writers.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <pugixml.hpp>

namespace vorra::engine::files {

// Parses one package part. Refuses DOCTYPE/ENTITY declarations (entity expansion
// attacks), malformed XML and nesting deeper than maxDepth, naming the file and part.
void parsePart(pugi::xml_document& doc, std::string_view bytes, const std::string& file,
               const std::string& part, int maxDepth);

// Where "<!" (a comment, a character data section, a declaration) first stands in
// the text; npos when nowhere. Fast on markup, which seldom holds "!".
std::size_t findMarkupDeclaration(std::string_view bytes);
// The first place of `needle` at or after `from`; npos when nowhere. Faster than
// std::string_view::find on long texts in which the needle's first character is
// frequent (as "<" is in XML).
std::size_t findText(std::string_view haystack, std::string_view needle, std::size_t from = 0);

// The element's local name, without a namespace prefix ("x:row" → "row").
std::string_view localName(const pugi::xml_node& node);
// First child with this local name, whatever its prefix.
pugi::xml_node child(const pugi::xml_node& node, std::string_view local);
// Attribute by local name ("r:id" matches "id" only when asked for "r:id" exactly
// or any prefix when local is given without one).
pugi::xml_attribute attr(const pugi::xml_node& node, std::string_view local);
// The element serialised back to text, as it stood (namespace declarations the element
// relies on from its ancestors are added to it so the fragment stands alone).
std::string outerXml(const pugi::xml_node& node);

// Text escaped for element content and attribute values. Malformed UTF-8 is written
// as U+FFFD, control characters XML cannot hold are left out.
void appendEscaped(std::string& out, std::string_view text);
std::string escaped(std::string_view text);
// A cell text: as appendEscaped, but control characters are kept in the format's
// escape _xHHHH_ (and an underscore that would read as one as _x005F_).
void appendEscapedText(std::string& out, std::string_view text);
// A cell text as read: the escapes _xHHHH_ back to their characters.
std::string unescapedText(std::string_view text);
// The same for a text of one's own: kept as it is when it holds no escape.
std::string unescapedText(std::string&& text);

// Roughly the memory that parsing the part takes beyond its bytes: a node for every
// element and text, an attribute record for every attribute. Checked against the
// workbook's budget before a part is parsed.
std::uint64_t xmlParseCost(std::string_view bytes);

using Attributes = std::vector<std::pair<std::string, std::string>>;
Attributes attributesExcept(const pugi::xml_node& node, std::initializer_list<std::string_view> skip);
void appendAttributes(std::string& out, const Attributes& attributes);

}  // namespace vorra::engine::files
