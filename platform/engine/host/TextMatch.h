#pragma once
// Text comparison as the host's Find does it: whole-cell or part matching, with or
// without case, and the wildcards "*" (any run), "?" (one character) and "~" (takes
// the next character literally).

#include <string>
#include <string_view>

namespace vorra::engine {

// Simple Unicode case folding of UTF-8 text ("ÄBC" → "äbc", full-width "Ａ" → "ａ").
// Invalid bytes are kept as they are.
void foldCase(std::string_view text, std::string& out);

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
