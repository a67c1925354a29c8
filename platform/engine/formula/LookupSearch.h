#pragma once
// The searches behind VLOOKUP and friends, for callers that hold a plain array (the
// host's WorksheetFunction.VLookup).

#include <optional>

#include "platform/engine/formula/Operand.h"

namespace vorra::engine::formula {

// VLOOKUP over an array: the value in the given 1-based column of the row found, or
// an error value (#N/A not found, #REF! column past the table, #VALUE! column < 1).
Value vlookupInArray(const Value& lookup, const Array2D& table, int column, bool approximate,
                     const TextOrder& order);

}  // namespace vorra::engine::formula
