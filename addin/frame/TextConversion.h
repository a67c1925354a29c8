#pragma once
// Text conversions the forms apply to what the user typed: upper-casing, full-width
// Latin to half-width, and whether a text holds a double-byte character of the
// Chinese code page.

#include <iconv.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorra {

// Unicode upper-casing (full-width small letters become full-width capitals too).
std::string toUpperText(std::string_view text);

// Unicode lower-casing of one character (full-width capitals become full-width small
// letters too).
char32_t toLowerCharacter(char32_t c);

// Codes of characters in code page 936. Holds a converter with its own state: one per
// thread of work.
class CodePage936 {
public:
    CodePage936();
    ~CodePage936();
    CodePage936(const CodePage936&) = delete;
    CodePage936& operator=(const CodePage936&) = delete;

    // The code of the character a UTF-8 text holds: its one byte, or lead × 256 +
    // trail; nothing when the code page has no code for it.
    std::optional<uint16_t> code(std::string_view utf8Character) const;

private:
    iconv_t cd_;
};

// Full-width forms of "!" to "~" and the ideographic space become their half-width
// ASCII characters; everything else stays.
std::string toHalfWidth(std::string_view text);

// True when a character of the text takes two bytes in code page 936: a Chinese
// character or another double-byte symbol.
bool hasDoubleByteCharacter(std::string_view text);

// Leading and trailing blanks removed.
std::string_view trimBlanks(std::string_view text);

}  // namespace vorra
