#pragma once
// The host's criteria of COUNTIF and SUMIF: an optional comparison prefix (=, <>, <,
// <=, >, >=) before a number, truth value, error value or text; texts match with the
// wildcards * (any run), ? (one character) and ~ (takes the next character
// literally), ignoring case; a number also matches a text that reads as that number.

#include <optional>
#include <string>
#include <string_view>

#include "platform/engine/formula/Operand.h"

namespace vorra::engine::formula {

enum class Comparison { Eq, Ne, Lt, Le, Gt, Ge };

class Criterion {
public:
    Criterion(const Value& criteria, const TextOrder& order);

    bool matches(const Value& cell) const;
    // Whether an empty cell matches (empty cells are counted without visiting them).
    bool matchesBlank() const { return matches(Value()); }

private:
    bool compareNumber(double cell) const;
    Comparison op_ = Comparison::Eq;
    Value operand_;                // number, boolean, error or text
    std::string foldedPattern_;    // text operand, case-folded, for wildcard matching
    bool wildcards_ = false;
    const TextOrder& order_;
};

// Whether text matches pattern with * ? ~, ignoring case.
bool wildcardMatch(std::string_view pattern, std::string_view text);
bool hasWildcards(std::string_view pattern);

}  // namespace vorra::engine::formula
