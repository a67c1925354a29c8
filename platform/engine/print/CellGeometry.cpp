#include "platform/engine/print/CellGeometry.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <fontconfig/fontconfig.h>

#include <cctype>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <utility>

namespace vorra::engine {

namespace {

bool isCjkSong(std::string_view name) {
    // Fonts whose digits are half an em wide and whose pixel size the host rounds
    // before halving: the Chinese system fonts templates use.
    for (std::string_view f : {"宋体", "新宋体", "SimSun", "NSimSun", "仿宋", "FangSong",
                               "楷体", "KaiTi", "黑体", "SimHei"}) {
        if (name == f) return true;
    }
    return false;
}

// Digit widths of the default fonts that templates use, at 96 dpi. Each follows from
// the host's default column under that font, which the default-width rule
// (defaultColumnCharacters) turns into pixels:
// - Calibri 11: 7 px, the worked example of ECMA-376 Part 1, §18.3.1.13 (col); the
//   default column shows 8.43 characters, 64 px.
// - Arial 10, the default font of 97–2003 workbooks: the same default column of 8.43
//   characters, 64 px, so 7 px.
// - 宋体 11, the default font of Chinese editions up to 2013, and 等线 11, that of
//   Chinese editions since 2016: the default column shows 8.38 characters, 72 px,
//   which only an 8 px digit gives.
struct KnownFont {
    std::string_view name;
    double size;
    int digitWidth;
};
constexpr KnownFont kKnownFonts[] = {
    {"Calibri", 11, 7}, {"Arial", 10, 7}, {"宋体", 11, 8}, {"SimSun", 11, 8}, {"等线", 11, 8}, {"DengXian", 11, 8},
};

bool sameFamily(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The widest digit's advance of an installed font at the pixel size, as FreeType lays
// it out with hinting; nothing when fontconfig has no font of that family (it would
// offer a substitute, whose digits say nothing about the font asked for).
std::optional<int> measuredDigitWidth(const std::string& family, int pixels) {
    static std::mutex lock;
    static std::map<std::pair<std::string, int>, std::optional<int>> cache;
    std::lock_guard<std::mutex> guard(lock);
    auto key = std::make_pair(family, pixels);
    if (auto it = cache.find(key); it != cache.end()) return it->second;
    std::optional<int>& result = cache[key];

    // A configuration of our own, released when the program ends, so that the process
    // leaves nothing behind in the library's globals that other users may share.
    static const std::unique_ptr<FcConfig, void (*)(FcConfig*)> config(FcInitLoadConfigAndFonts(), FcConfigDestroy);
    if (!config) return result;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcConfigSubstitute(config.get(), pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult matched = FcResultNoMatch;
    FcPattern* font = FcFontMatch(config.get(), pattern, &matched);
    FcPatternDestroy(pattern);
    if (!font) return result;
    bool sameFont = false;
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &name) == FcResultMatch; ++i)
        sameFont = sameFont || sameFamily(reinterpret_cast<const char*>(name), family);
    FcChar8* file = nullptr;
    int index = 0;
    if (sameFont && FcPatternGetString(font, FC_FILE, 0, &file) == FcResultMatch) {
        FcPatternGetInteger(font, FC_INDEX, 0, &index);
        FT_Library library = nullptr;
        FT_Face face = nullptr;
        if (FT_Init_FreeType(&library) == 0) {
            if (FT_New_Face(library, reinterpret_cast<const char*>(file), index, &face) == 0 &&
                FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixels)) == 0) {
                long widest = 0;
                for (char digit = '0'; digit <= '9'; ++digit)
                    if (FT_Load_Char(face, FT_ULong(digit), FT_LOAD_DEFAULT) == 0)
                        widest = std::max<long>(widest, (face->glyph->advance.x + 32) >> 6);
                if (widest > 0) result = int(widest);
            }
            if (face) FT_Done_Face(face);
            FT_Done_FreeType(library);
        }
    }
    FcPatternDestroy(font);
    return result;
}

}  // namespace

int maxDigitWidthPx(const Font& font) {
    for (const KnownFont& k : kKnownFonts)
        if (font.name == k.name && font.size == k.size) return k.digitWidth;
    const double pixelSize = font.size * 96.0 / 72.0;
    if (isCjkSong(font.name)) {
        // Digits are half the rounded pixel size, halves rounded up: 12 pt → 16 px → 8.
        return std::max(1, static_cast<int>(std::ceil(std::round(pixelSize) / 2.0)));
    }
    if (auto measured = measuredDigitWidth(font.name, std::max(1, int(std::lround(pixelSize))))) return *measured;
    // Not installed here: the digits of most sans-serif faces are about 0.55 em.
    double digitEm = 0.55;
    if (font.name == "Calibri") digitEm = 0.507;
    if (font.name == "Times New Roman") digitEm = 0.5;
    return std::max(1, static_cast<int>(std::lround(pixelSize * digitEm)));
}

double fileColumnWidth(double characters, int maxDigitWidth) {
    const double mdw = maxDigitWidth;
    if (!(characters > 0)) return 0;
    if (characters < 1) return characters * (mdw + 5) / mdw;
    return characters + 5 / mdw;
}

double charactersOfFileWidth(double fileWidth, int maxDigitWidth) {
    const double mdw = maxDigitWidth;
    if (!(fileWidth > 0)) return 0;
    if (fileWidth < 1 + 5 / mdw) return fileWidth * mdw / (mdw + 5);
    return fileWidth - 5 / mdw;
}

int fileColumnWidthPx(double fileWidth, int maxDigitWidth) {
    if (!(fileWidth > 0)) return 0;
    const double mdw = maxDigitWidth;
    // The files store 1/256 of a character; a width read from anywhere else is taken
    // at that resolution too.
    const double w = std::round(fileWidth * 256) / 256;
    return static_cast<int>(std::trunc((256 * w + std::trunc(128 / mdw)) / 256 * mdw));
}

int columnWidthPx(double characters, int maxDigitWidth) {
    return fileColumnWidthPx(fileColumnWidth(characters, maxDigitWidth), maxDigitWidth);
}

double columnWidthPt(double characters, int maxDigitWidth) {
    return columnWidthPx(characters, maxDigitWidth) * kPointsPerPixel;
}

double defaultColumnCharacters(double baseWidth, int maxDigitWidth) {
    const double mdw = maxDigitWidth;
    double px = std::ceil((std::max(0.0, baseWidth) * mdw + 5) / 8) * 8;
    return (px - 5) / mdw;
}
CellGeometry::CellGeometry(const Sheet& sheet, const StyleSheet& styles)
    : sheet_(sheet),
      maxDigitWidth_(maxDigitWidthPx(styles.fonts.empty() ? Font{} : styles.fonts.front())) {}

double CellGeometry::columnWidth(int column) const {
    double chars = sheet_.defaultColumnWidth;
    if (auto it = sheet_.columns.find(column); it != sheet_.columns.end()) {
        if (it->second.hidden) return 0;
        if (it->second.width >= 0) chars = it->second.width;
    }
    return columnWidthPt(chars, maxDigitWidth_);
}

double CellGeometry::rowHeight(int row) const {
    double height = sheet_.defaultRowHeight;
    if (auto it = sheet_.rows.find(row); it != sheet_.rows.end()) {
        if (it->second.hidden) return 0;
        if (it->second.height >= 0) height = it->second.height;
    }
    return std::max(0.0, height);
}

double CellGeometry::columnsWidth(int left, int right) const {
    double sum = 0;
    for (int c = left; c <= right; ++c) sum += columnWidth(c);
    return sum;
}

double CellGeometry::rowsHeight(int top, int bottom) const {
    double sum = 0;
    for (int r = top; r <= bottom; ++r) sum += rowHeight(r);
    return sum;
}

}  // namespace vorra::engine
