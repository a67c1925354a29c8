#include "platform/engine/host/TextMatch.h"

#include <unicode/uchar.h>

#include <vector>

#include "addin/frame/host/Utf8.h"

namespace vorra::engine {

using host::appendUtf8;
using host::decodeUtf8;

namespace {

// Code points without case: the ideographs, kana and the other East Asian scripts that
// make up most texts here, so folding skips them without a table look-up.
bool caseless(char32_t cp) { return cp >= 0x3000 && cp < 0xA640; }

}  // namespace

void foldCase(std::string_view text, std::string& out) {
    out.clear();
    for (size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += (c >= 'A' && c <= 'Z') ? char(c + 32) : char(c);
            ++i;
            continue;
        }
        if (c >= 0xE3 && c <= 0xE9 && i + 3 <= text.size()) {
            out.append(text.substr(i, 3));  // U+3000 to U+9FFF: ideographs and kana
            i += 3;
            continue;
        }
        char32_t cp;
        size_t len = decodeUtf8(text, i, cp);
        if (len == 1 || caseless(cp)) {
            out.append(text.substr(i, len));
        } else {
            appendUtf8(static_cast<char32_t>(u_foldCase(UChar32(cp), U_FOLD_CASE_DEFAULT)), out);
        }
        i += len;
    }
}

// Whether any character of the text has case. A text without one (ideographs, digits,
// punctuation) can only match characters equal to its own, so the cell texts need no
// folding: no character folds onto a caseless one.
static bool hasCasedCharacter(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        char32_t cp;
        size_t len = decodeUtf8(text, i, cp);
        i += len;
        if (cp < 0x80) {
            if ((cp >= 'A' && cp <= 'Z') || (cp >= 'a' && cp <= 'z')) return true;
        } else if (len == 1) {
            return true;  // malformed: take the safe path
        } else if (!caseless(cp) && (u_hasBinaryProperty(UChar32(cp), UCHAR_CASED) ||
                                     u_foldCase(UChar32(cp), U_FOLD_CASE_DEFAULT) != UChar32(cp))) {
            return true;
        }
    }
    return false;
}

TextMatcher::TextMatcher(std::string_view what, bool wholeCell, bool matchCase)
    : wholeCell_(wholeCell), matchCase_(matchCase || !hasCasedCharacter(what)) {
    if (matchCase_)
        needle_.assign(what);
    else
        foldCase(what, needle_);
    hasWildcards_ = needle_.find_first_of("*?~") != std::string::npos;
    if (!hasWildcards_) return;
    // A tilde at the very end escapes nothing and stands for itself.
    for (size_t i = 0; i < needle_.size(); ++i) {
        if (needle_[i] != '~') continue;
        if (i + 1 == needle_.size()) {
            needle_ += '~';
            break;
        }
        ++i;
    }
    if (!wholeCell_) needle_ = "*" + needle_ + "*";
}

bool TextMatcher::matches(std::string_view cellText) {
    std::string_view text = cellText;
    if (!matchCase_) {
        foldCase(cellText, buffer_);
        text = buffer_;
    }
    if (hasWildcards_) return wildcardMatch(text);
    if (wholeCell_) return text == needle_;
    return text.find(needle_) != std::string_view::npos;
}

// Iterative glob matching with back-tracking to the last star; "?" takes one whole
// UTF-8 character.
bool TextMatcher::wildcardMatch(std::string_view text) const {
    std::string_view p = needle_;
    size_t ti = 0, pi = 0;
    size_t starP = std::string_view::npos, starT = 0;
    while (ti < text.size()) {
        char32_t cp;
        size_t tlen = decodeUtf8(text, ti, cp);
        if (pi < p.size() && p[pi] == '*') {
            starP = ++pi;
            starT = ti;
            continue;
        }
        if (pi < p.size() && p[pi] == '?') {
            ++pi;
            ti += tlen;
            continue;
        }
        if (pi < p.size()) {
            size_t lit = pi;
            if (p[lit] == '~' && lit + 1 < p.size()) ++lit;
            char32_t pc;
            size_t plen = decodeUtf8(p, lit, pc);
            if (text.substr(ti, tlen) == p.substr(lit, plen)) {
                pi = lit + plen;
                ti += tlen;
                continue;
            }
        }
        if (starP == std::string_view::npos) return false;
        pi = starP;
        char32_t skipped;
        starT += decodeUtf8(text, starT, skipped);
        ti = starT;
    }
    while (pi < p.size() && p[pi] == '*') ++pi;
    return pi == p.size();
}

}  // namespace vorra::engine
