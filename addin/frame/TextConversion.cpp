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

private:
    locale_t locale_;
};

}  // namespace

std::string toUpperText(std::string_view text) {
    static const Utf8Locale locale;  // read-only after construction
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
    iconv_t cd = iconv_open("CP936", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    bool found = false;
    for (size_t i = 0; i < text.size() && !found;) {
        size_t start = i;
        decodeAt(text, i);
        std::string one(text.substr(start, i - start));
        char buf[8];
        char* in = one.data();
        size_t inLeft = one.size();
        char* outPtr = buf;
        size_t outLeft = sizeof buf;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        // A character the code page has no code for is written as one "?".
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1))
            found = sizeof buf - outLeft == 2;
    }
    iconv_close(cd);
    return found;
}

std::string_view trimBlanks(std::string_view text) {
    auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace vorra
