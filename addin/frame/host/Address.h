#pragma once
// The host's address texts: what Range.Address gives ("$K$4", "$A$1:$B$2") and what
// Range("e8:e407") and Cells accept. Built on the one reference grammar (Reference.h),
// which also defines the coordinates (CellRef, Area) and the sheet's limits.

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <string_view>

#include "HostError.h"
#include "Reference.h"

namespace vorra::host {

// Absolute address as the host writes it: "$K$4", "$A$1:$B$2", "$F:$F", "$3:$5".
inline std::string absoluteAddress(const Area& a) { return printReferenceBody(Reference::of(a, true)); }

// Relative address without dollar signs: "K4", "A1:B2", "F:F".
inline std::string relativeAddress(const Area& a) { return printReferenceBody(Reference::of(a, false)); }

// Parses an A1 area without a sheet ("K4", "$K$4", "e8:e407", "A1:B2", "F:F", "3:5").
// Returns nothing for anything else, including references past the sheet's end and
// row 0.
inline std::optional<Area> tryParseArea(std::string_view text) {
    auto body = scanReferenceBody(text, 0);
    if (!body || body->end != text.size()) return std::nullopt;
    return Area{body->first.row, body->first.column, body->last.row, body->last.column};
}

inline Area parseArea(std::string_view text) {
    if (auto a = tryParseArea(text)) return *a;
    throw HostError(error::kApplicationDefined,
                    "Invalid cell reference \"" + std::string(text) + "\"");
}

}  // namespace vorra::host
