#pragma once
// Text comparison as the host's Find does it: whole-cell or part matching, with or
// without case, and the wildcards "*" (any run), "?" (one character) and "~" (takes
// the next character literally). Also the character count of UTF-8 text, for the
// host's limits on names and cell contents.

#include <cstddef>
#include <string>
#include <string_view>

namespace vorra::engine {

// Simple Unicode case folding of UTF-8 text ("ÄBC" → "äbc", full-width "Ａ" → "ａ").
// Invalid bytes are kept as they are.
void foldCase(std::string_view text, std::string& out);

// Number of characters (code points) of UTF-8 text: the bytes that do not continue
// a character.
inline std::size_t characterCount(std::string_view utf8) {
    std::size_t n = 0;
    for (unsigned char c : utf8)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

class TextMatcher {
public:
    TextMatcher(std::string_view what, bool wholeCell, bool matchCase);
    // Whether the cell text matches. Not reentrant: reuses an internal buffer.
    bool matches(std::string_view cellText);

private:
    bool wildcardMatch(std::string_view text) const;

    std::string needle_;  // folded unless matchCase; wildcard pattern when hasWildcards_
    bool wholeCell_;
    bool matchCase_;  // also set when the text to find has no cased character
    bool hasWildcards_ = false;
    std::string buffer_;
};

}  // namespace vorra::engine
