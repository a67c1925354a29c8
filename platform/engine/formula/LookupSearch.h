#pragma once
// The searches behind VLOOKUP and friends, for callers that hold a plain array (the
// host's WorksheetFunction.VLookup).

#include <functional>
#include <optional>
#include <vector>

#include "platform/engine/formula/Operand.h"

namespace vorra::engine::formula {

// VLOOKUP over an array: the value in the given 1-based column of the row found, or
// an error value (#N/A not found, #REF! column past the table, #VALUE! column < 1).
Value vlookupInArray(const Value& lookup, const Array2D& table, int column, bool approximate,
                     const TextOrder& order);

// LOOKUP's vector form (key, searched vector, result vector) with the searched vector
// given element by element (0-based) instead of as args[1], which is not read: the
// binary search computes only the elements it probes.
Operand lookupInVector(std::vector<Operand>& args, int searchedSize, const std::function<Value(int)>& searched,
                       const EvalContext& ctx);

}  // namespace vorra::engine::formula
