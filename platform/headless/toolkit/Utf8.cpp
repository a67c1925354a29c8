#include "Utf8.h"

namespace vorra::headless {

std::vector<Utf8Char> splitUtf8(std::string_view text) {
    std::vector<Utf8Char> chars;
    size_t i = 0;
    while (i < text.size()) {
        auto lead = static_cast<unsigned char>(text[i]);
        size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size())
            throw std::invalid_argument("malformed UTF-8 at byte " + std::to_string(i));
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) {
            auto next = static_cast<unsigned char>(text[i + k]);
            if ((next >> 6) != 0x2)
                throw std::invalid_argument("malformed UTF-8 at byte " + std::to_string(i + k));
            code = (code << 6) | (next & 0x3F);
        }
        chars.push_back({code, std::string(text.substr(i, length))});
        i += length;
    }
    return chars;
}

std::string dropLastCharacter(std::string_view text) {
    size_t end = text.size();
    if (end == 0) return {};
    --end;
    while (end > 0 && (static_cast<unsigned char>(text[end]) >> 6) == 0x2) --end;
    return std::string(text.substr(0, end));
}

bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char a = text[i], b = prefix[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

}  // namespace vorra::headless
