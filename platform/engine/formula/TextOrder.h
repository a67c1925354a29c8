#pragma once
// The host's order of texts: case-insensitive, Latin, digits and punctuation before
// Han, Han characters in pinyin order with the 23 initial keys of the pinyin look-up
// table (吖 八 嚓 … 帀) each at the very start of its letter. Used by comparisons,
// sorting and approximate look-ups.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vorra::engine::formula {

class TextOrder {
public:
    // The process-wide order. Building the collator takes about a tenth of a second,
    // so it is built once, on first use, and shared read-only afterwards.
    static const TextOrder& chinese();

    TextOrder();
    // A working copy of the order for one workbook (cheap: the collation data is
    // shared; the prototype must outlive the copy). It remembers the sort keys of the short texts it compares, so that
    // look-ups repeated over the same keys compare bytes instead of collating.
    explicit TextOrder(const TextOrder& prototype);
    ~TextOrder();
    TextOrder& operator=(const TextOrder&) = delete;

    // -1, 0 or 1 as a sorts before, with or after b (UTF-8 texts).
    int compare(std::string_view a, std::string_view b) const;

    // The collation key of a text: comparing keys bytewise is comparing texts.
    std::string sortKey(std::string_view text) const;
    // compare(text, t) where key is sortKey(t): one key look-up instead of a collation.
    int compareToKey(std::string_view text, const std::string& key) const;

    // Equality as the host's "=" and exact look-ups see it: case ignored (Unicode
    // simple case folding), everything else significant. Much cheaper than compare().
    static bool equalIgnoringCase(std::string_view a, std::string_view b);

    // The code points of a UTF-8 text; a malformed byte reads as U+FFFD.
    static std::vector<int32_t> codePoints(std::string_view text);

    // The text in simple case folding (lower case for Latin, unchanged for Han).
    static std::string fold(std::string_view text);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vorra::engine::formula
