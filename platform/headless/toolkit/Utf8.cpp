#include "Utf8.h"

#include "addin/frame/host/Utf8.h"

namespace vorra::headless {

std::vector<Utf8Char> splitUtf8(std::string_view text) {
    std::vector<Utf8Char> chars;
    for (size_t i = 0; i < text.size();) {
        char32_t code = 0;
        size_t length = host::decodeUtf8(text, i, code);
        // The decoder passes a malformed sequence on as its lead byte; a script is
        // input from outside, so it is refused instead.
        if (length == 1 && code >= 0x80)
            throw std::invalid_argument("malformed UTF-8 at byte " + std::to_string(i));
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

}  // namespace vorra::headless
