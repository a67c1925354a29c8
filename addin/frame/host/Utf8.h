#pragma once
// UTF-8 text one code point at a time, for the places that look at characters (case
// conversion, code-page classification, Find's matching).

#include <cstddef>
#include <string>
#include <string_view>

namespace vorra::host {

// Decodes the character at s[i] into cp and returns its length in bytes; a malformed
// or truncated sequence gives its first byte as the code point and length 1.
inline size_t decodeUtf8(std::string_view s, size_t i, char32_t& cp) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (len <= 1 || i + len > s.size()) {
        cp = c;
        return 1;
    }
    char32_t v = c & (0x7F >> len);
    for (size_t k = 1; k < len; ++k) {
        unsigned char cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xC0) != 0x80) {
            cp = c;
            return 1;
        }
        v = (v << 6) | (cc & 0x3F);
    }
    cp = v;
    return len;
}

inline void appendUtf8(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

}  // namespace vorra::host
