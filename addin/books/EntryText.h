#pragma once
// What the books make of the texts a user types: account numbers compared as exact
// digit strings, and amounts read as decimal numbers with optional thousands commas.

#include <optional>
#include <string>
#include <string_view>

#include "addin/frame/host/Value.h"

namespace vorra::books {

// An account number as compared: the text with its blanks (ASCII and full-width)
// removed, every other character kept. "6222 0212 3456" gives "622202123456".
std::string accountDigits(std::string_view typed);

// The account number a book cell holds, in the same form: a text cell as above; a
// number cell as the whole number the host shows for it (at most fifteen significant
// digits, the rest zeros); an empty cell, or anything else, the empty text, which
// matches no account.
std::string accountDigitsOfCell(const host::Value& cell);

// The host keeps at most this many characters in one cell.
inline constexpr size_t kMaxCellCharacters = 32767;

// Whether a typed text is longer than a cell can hold; the forms refuse such an entry
// before they write any of its fields, so that no record is stored in part.
bool tooLongForACell(std::string_view typed);

// An amount typed into the amount box: decimal digits, optionally grouped by commas in
// threes ("1,234.50"), optionally followed by a point and decimals. Blanks are ignored
// and full-width digits, commas and points count as their ASCII forms. Nothing when
// the text is not such a number or has more than fifteen digits, which a
// double-precision number could not hold exactly.
std::optional<double> parseAmount(std::string_view typed);

}  // namespace vorra::books
