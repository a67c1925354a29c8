#pragma once
// Cell and area coordinates, and the A1 address texts the host reads and writes
// ("K4", "$K$4", "e8:e407", "F:F"). Rows and columns are 1-based.

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <string_view>

#include "HostError.h"

namespace vorra::host {

inline constexpr int kMaxRows = 1048576;
inline constexpr int kMaxColumns = 16384;  // column XFD

struct CellRef {
    int row = 1;
    int column = 1;
    friend bool operator==(const CellRef&, const CellRef&) = default;
};

struct Area {
    int top = 1;
    int left = 1;
    int bottom = 1;
    int right = 1;

    static Area cell(int row, int column) { return {row, column, row, column}; }
    static Area of(CellRef c) { return cell(c.row, c.column); }

    int rows() const { return bottom - top + 1; }
    int columns() const { return right - left + 1; }
    long long count() const { return static_cast<long long>(rows()) * columns(); }
    bool isSingleCell() const { return top == bottom && left == right; }
    CellRef topLeft() const { return {top, left}; }
    bool contains(CellRef c) const {
        return c.row >= top && c.row <= bottom && c.column >= left && c.column <= right;
    }
    bool valid() const {
        return top >= 1 && left >= 1 && bottom <= kMaxRows && right <= kMaxColumns &&
               top <= bottom && left <= right;
    }
    friend bool operator==(const Area&, const Area&) = default;
};

// "A", "Z", "AA", ..., "XFD".
inline std::string columnLetters(int column) {
    std::string s;
    while (column > 0) {
        int rem = (column - 1) % 26;
        s.insert(s.begin(), char('A' + rem));
        column = (column - 1) / 26;
    }
    return s;
}

// Absolute address as the host writes it: "$K$4" or "$A$1:$B$2".
inline std::string absoluteAddress(const Area& a) {
    auto one = [](int r, int c) { return "$" + columnLetters(c) + "$" + std::to_string(r); };
    if (a.isSingleCell()) return one(a.top, a.left);
    return one(a.top, a.left) + ":" + one(a.bottom, a.right);
}

// Relative address without dollar signs: "K4", "A1:B2".
inline std::string relativeAddress(const Area& a) {
    auto one = [](int r, int c) { return columnLetters(c) + std::to_string(r); };
    if (a.isSingleCell()) return one(a.top, a.left);
    return one(a.top, a.left) + ":" + one(a.bottom, a.right);
}

namespace detail {

// One side of an A1 reference: optional "$", letters, optional "$", digits. Either
// part may be missing (whole column "F", whole row "3"); says which were present.
struct RefPart {
    std::optional<int> row;
    std::optional<int> column;
};

inline std::optional<RefPart> parseRefPart(std::string_view s) {
    RefPart part;
    size_t i = 0;
    if (i < s.size() && s[i] == '$') ++i;
    size_t lettersStart = i;
    long long column = 0;
    while (i < s.size() && std::isalpha(static_cast<unsigned char>(s[i]))) {
        column = column * 26 + (std::toupper(static_cast<unsigned char>(s[i])) - 'A' + 1);
        if (column > kMaxColumns) return std::nullopt;
        ++i;
    }
    bool hasLetters = i > lettersStart;
    if (!hasLetters && lettersStart > 0) return std::nullopt;  // "$" then no letters
    if (i < s.size() && s[i] == '$') {
        if (!hasLetters) return std::nullopt;
        ++i;
        if (i == s.size()) return std::nullopt;  // "$A$" without a row
    }
    size_t digitsStart = i;
    long long row = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        row = row * 10 + (s[i] - '0');
        if (row > kMaxRows) return std::nullopt;
        ++i;
    }
    bool hasDigits = i > digitsStart;
    if (i != s.size() || (!hasLetters && !hasDigits)) return std::nullopt;
    if (hasDigits && row < 1) return std::nullopt;  // "A0"
    if (hasLetters) part.column = static_cast<int>(column);
    if (hasDigits) part.row = static_cast<int>(row);
    return part;
}

}  // namespace detail

// Parses an A1 area ("K4", "$K$4", "e8:e407", "A1:B2", "F:F", "3:5"). Returns nothing
// for anything else, including references past the sheet's end and row 0.
inline std::optional<Area> tryParseArea(std::string_view text) {
    auto colon = text.find(':');
    if (colon == std::string_view::npos) {
        auto p = detail::parseRefPart(text);
        if (!p || !p->row || !p->column) return std::nullopt;
        return Area::cell(*p->row, *p->column);
    }
    auto a = detail::parseRefPart(text.substr(0, colon));
    auto b = detail::parseRefPart(text.substr(colon + 1));
    if (!a || !b) return std::nullopt;
    Area area;
    if (a->row && a->column && b->row && b->column) {
        area = {*a->row, *a->column, *b->row, *b->column};
    } else if (!a->row && !b->row && a->column && b->column) {
        area = {1, *a->column, kMaxRows, *b->column};  // whole columns
    } else if (!a->column && !b->column && a->row && b->row) {
        area = {*a->row, 1, *b->row, kMaxColumns};  // whole rows
    } else {
        return std::nullopt;  // "e8:e" and other mixed forms
    }
    if (area.top > area.bottom) std::swap(area.top, area.bottom);
    if (area.left > area.right) std::swap(area.left, area.right);
    return area;
}

inline Area parseArea(std::string_view text) {
    if (auto a = tryParseArea(text)) return *a;
    throw HostError(error::kApplicationDefined,
                    "Invalid cell reference \"" + std::string(text) + "\"");
}

}  // namespace vorra::host
