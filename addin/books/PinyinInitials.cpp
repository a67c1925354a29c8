#include "addin/books/PinyinInitials.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>

#include "addin/frame/Public_XlApp.h"
#include "addin/frame/TextConversion.h"
#include "addin/frame/host/Utf8.h"

namespace vorra {

namespace {

// Initial ranges of code page 936: contiguous from 0xB0A1 to 0xF7F9; the first and
// last character of each range are level-1 characters in pinyin order.
struct InitialRange {
    uint16_t from;
    uint16_t to;
    char letter;
};
constexpr std::array<InitialRange, 23> kInitialRanges{{
    {0xB0A1, 0xB0C4, 'a'}, {0xB0C5, 0xB2C0, 'b'}, {0xB2C1, 0xB4ED, 'c'}, {0xB4EE, 0xB6E9, 'd'},
    {0xB6EA, 0xB7A1, 'e'}, {0xB7A2, 0xB8C0, 'f'}, {0xB8C1, 0xB9FD, 'g'}, {0xB9FE, 0xBBF6, 'h'},
    {0xBBF7, 0xBFA5, 'j'}, {0xBFA6, 0xC0AB, 'k'}, {0xC0AC, 0xC2E7, 'l'}, {0xC2E8, 0xC4C2, 'm'},
    {0xC4C3, 0xC5B5, 'n'}, {0xC5B6, 0xC5BD, 'o'}, {0xC5BE, 0xC6D9, 'p'}, {0xC6DA, 0xC8BA, 'q'},
    {0xC8BB, 0xC8F5, 'r'}, {0xC8F6, 0xCBF9, 's'}, {0xCBFA, 0xCDD9, 't'}, {0xCDDA, 0xCEF3, 'w'},
    {0xCEF4, 0xD1B8, 'x'}, {0xD1B9, 0xD4D0, 'y'}, {0xD4D1, 0xF7F9, 'z'},
}};

// Full-width forms of "!" to "~".
constexpr uint16_t kFullWidthFirst = 0xA3A1;
constexpr uint16_t kFullWidthLast = 0xA3FE;
constexpr uint16_t kFullWidthToAscii = 0xA380;

// The code points of a text; a stray byte counts as a character no code page has.
std::u32string decode(std::string_view text) {
    std::u32string out;
    for (size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        size_t len = host::decodeUtf8(text, i, cp);
        out.push_back(len == 1 && cp >= 0x80 ? U'\uFFFD' : cp);
        i += len;
    }
    return out;
}

std::string encode(char32_t cp) {
    std::string s;
    host::appendUtf8(cp, s);
    return s;
}

std::string initialOfCode(uint16_t code) {
    if (code >= 1 && code <= 127) return std::string(1, static_cast<char>(code));
    if (code >= kFullWidthFirst && code <= kFullWidthLast)
        return std::string(1, static_cast<char>(code - kFullWidthToAscii));
    for (const auto& r : kInitialRanges)
        if (code >= r.from && code <= r.to) return std::string(1, r.letter);
    return {};
}

}  // namespace

std::vector<std::string> utf8Characters(std::string_view text) {
    std::vector<std::string> chars;
    for (size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        size_t len = host::decodeUtf8(text, i, cp);
        chars.emplace_back(text.substr(i, len));
        i += len;
    }
    return chars;
}

std::string GetHzjp(std::string_view text) {
    static_assert(sizeof(char32_t) >= 4);
    const CodePage936 codePage;
    std::string result;
    for (char32_t c : decode(text)) {
        auto code = codePage.code(encode(toLowerCharacter(c)));
        // A character the code page cannot write counts as "?".
        result += initialOfCode(code ? *code : uint16_t('?'));
    }
    for (auto& ch : result)
        ch = static_cast<char>(toLowerCharacter(static_cast<unsigned char>(ch)));
    return result;
}

HostInitialsLookup::HostInitialsLookup(host::Application& application)
    : application_(application) {}

namespace {

// Whether a decoded character is the only byte sequence of its code point below
// U+10000 (not an overlong form), so that it may be remembered by code point.
bool byCodePoint(char32_t cp, size_t len) {
    return (len == 1 && cp < 0x80) || (len == 2 && cp >= 0x80) || (len == 3 && cp >= 0x800);
}

}  // namespace

const std::string* HostInitialsLookup::known(std::string_view ch, char32_t cp, size_t len) const {
    if (byCodePoint(cp, len)) {
        if (cp < byCodePoint_.size() && byCodePoint_[cp] != 0) return &letterTexts_[byCodePoint_[cp] - 1u];
        return nullptr;
    }
    auto it = letters_.find(ch);
    return it == letters_.end() ? nullptr : &it->second;
}

const std::string& HostInitialsLookup::remember(std::string_view ch, char32_t cp, size_t len, std::string letter) {
    if (byCodePoint(cp, len)) {
        auto it = std::find(letterTexts_.begin(), letterTexts_.end(), letter);
        if (it == letterTexts_.end() && letterTexts_.size() < 255) it = letterTexts_.insert(it, std::move(letter));
        if (it != letterTexts_.end()) {
            if (byCodePoint_.empty()) byCodePoint_.assign(0x10000, 0);
            byCodePoint_[cp] = static_cast<std::uint8_t>(it - letterTexts_.begin() + 1);
            return *it;
        }
    }
    return letters_.emplace(std::string(ch), std::move(letter)).first->second;
}

std::string HostInitialsLookup::initials(std::string_view text) {
    // Blanks at both ends go; blanks inside sort before the first key and give nothing.
    text = trimBlanks(text);
    if (text.empty()) return {};
    if (!table_ && !tableFailed_) {
        tableFailed_ = !host::resume([&] { table_ = application_.evaluate(kInitialsTableFormula); });
        if (table_ && !table_->isArray()) {
            table_.reset();
            tableFailed_ = true;
        }
    }
    if (!table_) return {};
    std::string result;
    for (size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        const size_t len = host::decodeUtf8(text, i, cp);
        const std::string_view ch = text.substr(i, len);
        i += len;
        const std::string* letter = known(ch, cp, len);
        if (!letter) {
            std::string found;
            host::resume([&] {
                host::Value v = application_.vlookup(host::Value::text(std::string(ch)), *table_, 2, std::nullopt);
                if (!v.isError()) found = v.toText();
            });
            letter = &remember(ch, cp, len, std::move(found));
        }
        result += *letter;
    }
    return result;
}

namespace {

// GetHzjpLookup's look-up, for the host it was made with. Never destroyed itself, so
// that a host torn down while the program ends can still have it forgotten.
std::unique_ptr<HostInitialsLookup>& sharedLookup() {
    static auto* lookup = new std::unique_ptr<HostInitialsLookup>();
    return *lookup;
}

}  // namespace

std::string GetHzjpLookup(std::string_view text) {
    if (!XlApp) return {};
    auto& lookup = sharedLookup();
    if (!lookup || &lookup->application() != XlApp) lookup = std::make_unique<HostInitialsLookup>(*XlApp);
    std::string initials = lookup->initials(text);
    // A host that could not evaluate the table is asked again next time.
    if (lookup->failed()) lookup.reset();
    return initials;
}

void forgetHzjpLookup() { sharedLookup().reset(); }

}  // namespace vorra
