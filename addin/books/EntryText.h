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

// Why a typed amount is refused.
enum class AmountProblem {
    NotANumber,       // not a decimal number at all
    NotPositive,      // zero or less
    TooManyDecimals,  // more than two decimals: an amount goes to the fen
    TooManyDigits,    // more than fifteen digits, which a double could not hold exactly
};

// An amount typed into the amount box: its value, or why it is refused.
struct AmountReading {
    double value = 0;
    std::optional<AmountProblem> problem;
    bool accepted() const { return !problem; }
};

// Reads an amount: decimal digits, optionally grouped by commas in threes ("1,234.50"),
// with or without a whole part or decimals around the point (".5", "1234."). Blanks are
// ignored; full-width digits, commas, points and signs, and the ideographic full stop,
// count as their ASCII forms. A leading minus gives a number that is not positive.
AmountReading readAmount(std::string_view typed);

// The value of an accepted amount; nothing for a refused one.
std::optional<double> parseAmount(std::string_view typed);

}  // namespace vorra::books
