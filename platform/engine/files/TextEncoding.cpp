#include "platform/engine/files/TextEncoding.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "addin/frame/host/Utf8.h"

namespace vorra::engine::files {

namespace {

// Reads one character at text[i]: its code point and length, or for a malformed
// sequence U+FFFD and the length of its maximal malformed part (at least 1).
size_t nextCodePoint(std::string_view text, size_t i, char32_t& cp) {
    auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char lead = byte(i);
    if (lead < 0x80) {
        cp = lead;
        return 1;
    }
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) length = 2;
    else if (lead == 0xE0) length = 3, low = 0xA0;
    else if (lead >= 0xE1 && lead <= 0xEC) length = 3;
    else if (lead == 0xED) length = 3, high = 0x9F;  // no surrogates
    else if (lead >= 0xEE && lead <= 0xEF) length = 3;
    else if (lead == 0xF0) length = 4, low = 0x90;
    else if (lead >= 0xF1 && lead <= 0xF3) length = 4;
    else if (lead == 0xF4) length = 4, high = 0x8F;  // nothing past U+10FFFF
    cp = kReplacementCharacter;
    if (length == 0) return 1;
    char32_t value = lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        if (i + k >= text.size()) return k;
        unsigned char c = byte(i + k);
        unsigned char lo = k == 1 ? low : 0x80, hi = k == 1 ? high : 0xBF;
        if (c < lo || c > hi) return k;
        value = (value << 6) | (c & 0x3F);
    }
    cp = value;
    return length;
}

}  // namespace

bool isValidUtf8(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        // Eight ASCII characters at a time.
        std::uint64_t eight;
        if (i + 8 <= text.size() && (std::memcpy(&eight, text.data() + i, 8), (eight & 0x8080808080808080u) == 0)) {
            i += 8;
            continue;
        }
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t cp;
        size_t n = nextCodePoint(text, i, cp);
        if (cp == kReplacementCharacter && !(n == 3 && text.substr(i, 3) == "\xEF\xBF\xBD")) return false;
        i += n;
    }
    return true;
}

std::string validUtf8(std::string_view text) {
    if (isValidUtf8(text)) return std::string(text);
    std::string out;
    out.reserve(text.size() + 16);
    for (size_t i = 0; i < text.size();) {
        char32_t cp;
        i += nextCodePoint(text, i, cp);
        host::appendUtf8(cp, out);
    }
    return out;
}

std::u16string utf16FromUtf8(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char32_t cp;
        i += nextCodePoint(text, i, cp);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += char16_t(0xD800 + (cp >> 10));
            out += char16_t(0xDC00 + (cp & 0x3FF));
        } else {
            out += char16_t(cp);
        }
    }
    return out;
}

std::string utf8FromUtf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t u = text[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            host::appendUtf8(0x10000 + ((u - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00), out);
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            host::appendUtf8(kReplacementCharacter, out);
        } else {
            host::appendUtf8(u, out);
        }
    }
    return out;
}

std::string utf8FromUtf16le(std::string_view bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i)
        units[i] = char16_t(static_cast<unsigned char>(bytes[2 * i]) |
                            (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    return utf8FromUtf16(units);
}

std::string utf8FromLatin1(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) host::appendUtf8(static_cast<unsigned char>(c), out);
    return out;
}

std::string utf8FromCodePage(std::string_view bytes, int codePage) {
    if (codePage == 1200) return utf8FromUtf16le(bytes);
    if (codePage == 65001) return validUtf8(bytes);
    if (codePage == 28591) return utf8FromLatin1(bytes);
    bool ascii = true;
    for (char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return std::string(bytes);
    // The binary format names the Macintosh roman code page 10000 and the Windows ones
    // by number; ICU knows the Windows ones as "windows-<n>".
    std::string name = codePage == 10000 ? "macintosh" : "windows-" + std::to_string(codePage);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, void (*)(UConverter*)> conv(ucnv_open(name.c_str(), &status), ucnv_close);
    if (U_FAILURE(status) || !conv) {
        status = U_ZERO_ERROR;
        conv.reset(ucnv_open("windows-1252", &status));
        if (U_FAILURE(status) || !conv) return utf8FromLatin1(bytes);
    }
    // Undefined and illegal bytes come out as U+FFFD.
    static const UChar kSubstitute[] = {0xFFFD};
    status = U_ZERO_ERROR;
    ucnv_setSubstString(conv.get(), kSubstitute, 1, &status);
    status = U_ZERO_ERROR;
    ucnv_setToUCallBack(conv.get(), UCNV_TO_U_CALLBACK_SUBSTITUTE, nullptr, nullptr, nullptr, &status);
    std::vector<UChar> units(bytes.size() + 1);
    status = U_ZERO_ERROR;
    int32_t n = ucnv_toUChars(conv.get(), units.data(), int32_t(units.size()), bytes.data(),
                              int32_t(bytes.size()), &status);
    if (U_FAILURE(status)) return utf8FromLatin1(bytes);
    std::u16string text(reinterpret_cast<const char16_t*>(units.data()), size_t(n));
    // Some code pages map undefined bytes to the control character U+001A: the
    // replacement character says what happened.
    for (auto& u : text)
        if (u == 0x1A) u = char16_t(kReplacementCharacter);
    return utf8FromUtf16(text);
}

}  // namespace vorra::engine::files
