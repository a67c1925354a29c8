#include "addin/frame/TextConversion.h"

#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <string>

#include "addin/frame/host/Utf8.h"

namespace vorra {

namespace {

// The code point at i; i moves past it.
char32_t decodeAt(std::string_view s, size_t& i) {
    char32_t cp = 0;
    i += host::decodeUtf8(s, i, cp);
    return cp;
}

void append(std::string& out, char32_t cp) { host::appendUtf8(cp, out); }

class Utf8Locale {
public:
    Utf8Locale() : locale_(newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr)) {}
    ~Utf8Locale() {
        if (locale_) freelocale(locale_);
    }
    char32_t upper(char32_t c) const {
        if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
        return locale_ ? static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), locale_)) : c;
    }
    char32_t lower(char32_t c) const {
        if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
        return locale_ ? static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), locale_)) : c;
    }

private:
    locale_t locale_;
};

const Utf8Locale& utf8Locale() {
    static const Utf8Locale locale;  // read-only after construction
    return locale;
}

}  // namespace

char32_t toLowerCharacter(char32_t c) { return utf8Locale().lower(c); }

CodePage936::CodePage936() : cd_(iconv_open("CP936", "UTF-8")) {}

CodePage936::~CodePage936() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
}

std::optional<uint16_t> CodePage936::code(std::string_view utf8Character) const {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string in(utf8Character);
    char out[8];
    char* inPtr = in.data();
    size_t inLeft = in.size();
    char* outPtr = out;
    size_t outLeft = sizeof out;
    if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1))
        return std::nullopt;
    const size_t n = sizeof out - outLeft;
    const auto* u = reinterpret_cast<const unsigned char*>(out);
    if (n == 1) return u[0];
    if (n == 2) return static_cast<uint16_t>(u[0] << 8 | u[1]);
    return std::nullopt;
}

std::string toUpperText(std::string_view text) {
    const Utf8Locale& locale = utf8Locale();
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) append(out, locale.upper(decodeAt(text, i)));
    return out;
}

std::string toHalfWidth(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char32_t cp = decodeAt(text, i);
        if (cp >= 0xFF01 && cp <= 0xFF5E) cp -= 0xFEE0;
        else if (cp == 0x3000) cp = ' ';
        append(out, cp);
    }
    return out;
}

bool hasDoubleByteCharacter(std::string_view text) {
    const CodePage936 codePage;
    for (size_t i = 0; i < text.size();) {
        const size_t start = i;
        decodeAt(text, i);
        // A character the code page has no code for counts as a single byte, as the
        // host writes it: one "?".
        if (codePage.code(text.substr(start, i - start)).value_or(0) > 0xFF) return true;
    }
    return false;
}

std::string_view trimBlanks(std::string_view text) {
    auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace vorra
