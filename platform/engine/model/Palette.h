#pragma once
// The host's standard 56-colour palette: colour indexes 1 to 56, which both workbook
// formats store as indexed colours 8 to 63. Values as listed in ECMA-376 Part 1,
// §18.8.27 (indexedColors).

#include <array>
#include <cstdint>

namespace vorra::engine {

inline constexpr std::array<std::uint32_t, 56> kPalette{
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333,
};

// The file formats' indexed colours: 8 + (host index − 1); 0 to 7 repeat the first
// eight palette entries; 64 and above are the system's window colours (automatic).
inline constexpr int kFirstIndexedColor = 8;
inline constexpr int kSystemForegroundColor = 64;

// Host colour index (1–56) of a file's indexed colour; 0 (automatic) when none.
inline int hostColorIndexOf(int indexed) {
    if (indexed >= 0 && indexed < kFirstIndexedColor) return indexed + 1;
    if (indexed >= kFirstIndexedColor && indexed < kFirstIndexedColor + 56) return indexed - kFirstIndexedColor + 1;
    return 0;
}

// The palette entry nearest to an RGB colour (0xRRGGBB), as a host colour index.
inline int nearestHostColorIndex(std::uint32_t rgb) {
    int best = 1;
    long bestDistance = -1;
    for (size_t i = 0; i < kPalette.size(); ++i) {
        long dr = long((rgb >> 16) & 0xFF) - long((kPalette[i] >> 16) & 0xFF);
        long dg = long((rgb >> 8) & 0xFF) - long((kPalette[i] >> 8) & 0xFF);
        long db = long(rgb & 0xFF) - long(kPalette[i] & 0xFF);
        long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) bestDistance = d, best = int(i) + 1;
    }
    return best;
}

}  // namespace vorra::engine
