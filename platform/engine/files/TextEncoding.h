#pragma once
// Text as the workbook files carry it, turned into the model's UTF-8 and back. Every
// reader passes its texts through here, so that nothing malformed enters the model,
// and every writer, so that nothing malformed leaves it: a byte sequence that is not
// valid in its encoding becomes U+FFFD (the replacement character), one per maximal
// malformed sequence, as the Unicode standard recommends.

#include <cstdint>
#include <string>
#include <string_view>

namespace vorra::engine::files {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing
// past U+10FFFF).
bool isValidUtf8(std::string_view text);
// The text with every malformed sequence replaced by U+FFFD; valid text unchanged.
std::string validUtf8(std::string_view text);

// UTF-8 to UTF-16 code units, malformed sequences as U+FFFD.
std::u16string utf16FromUtf8(std::string_view text);
// UTF-16 code units to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf8FromUtf16(std::u16string_view text);
// The same from little-endian bytes (two per unit; an odd last byte is dropped).
std::string utf8FromUtf16le(std::string_view bytes);
// ISO 8859-1 bytes (the "compressed" strings of the binary format) to UTF-8.
std::string utf8FromLatin1(std::string_view bytes);

// Bytes in a Windows code page (936 for simplified Chinese, 1252 for western
// European …) to UTF-8. Bytes that the code page does not define become U+FFFD; an
// unknown code page is read as 1252.
std::string utf8FromCodePage(std::string_view bytes, int codePage);

}  // namespace vorra::engine::files
