#pragma once
// The characters of a UTF-8 text, for typing them one at a time. Malformed bytes are
// refused: scripts are input from outside.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vorra::headless {

struct Utf8Char {
    char32_t code = 0;
    std::string bytes;
};

// Splits a text into its characters; throws std::invalid_argument on malformed UTF-8.
std::vector<Utf8Char> splitUtf8(std::string_view text);

// The text without its last character (nothing for the empty text).
std::string dropLastCharacter(std::string_view text);

}  // namespace vorra::headless
