#pragma once
// Borders and fills of the binary format's cell formats, and the XML elements the
// model keeps them as (StyleSheet::bordersXml, fillsXml), both ways. Colours are the
// formats' indexed colours; an RGB colour is written as the nearest palette entry.

#include <cstdint>
#include <string>
#include <string_view>

namespace vorra::engine::xls {

struct BorderLines {
    // Line styles 0 (none) to 13 as the format numbers them; colours indexed.
    std::uint8_t left = 0, right = 0, top = 0, bottom = 0, diagonal = 0;
    std::uint8_t leftColor = 64, rightColor = 64, topColor = 64, bottomColor = 64, diagonalColor = 64;
    bool diagonalDown = false, diagonalUp = false;
};

struct FillPattern {
    std::uint8_t pattern = 0;  // 0 none, 1 solid, 2 to 18 the shadings
    std::uint8_t fore = 64, back = 65;
};

std::string borderXml(const BorderLines& b);
BorderLines borderOfXml(std::string_view xml);
std::string fillXml(const FillPattern& f);
FillPattern fillOfXml(std::string_view xml);

}  // namespace vorra::engine::xls
