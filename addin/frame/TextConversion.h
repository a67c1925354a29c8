#pragma once
// Text conversions the forms apply to what the user typed: upper-casing, full-width
// Latin to half-width, and whether a text holds a double-byte character of the
// Chinese code page.

#include <string>
#include <string_view>

namespace vorra {

// Unicode upper-casing (full-width small letters become full-width capitals too).
std::string toUpperText(std::string_view text);

// Full-width forms of "!" to "~" and the ideographic space become their half-width
// ASCII characters; everything else stays.
std::string toHalfWidth(std::string_view text);

// True when a character of the text takes two bytes in code page 936: a Chinese
// character or another double-byte symbol.
bool hasDoubleByteCharacter(std::string_view text);

// Leading and trailing blanks removed.
std::string_view trimBlanks(std::string_view text);

}  // namespace vorra
