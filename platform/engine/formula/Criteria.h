#pragma once
// The host's criteria of COUNTIF, SUMIF, COUNTIFS, SUMIFS, AVERAGEIF and AVERAGEIFS:
// an optional comparison prefix (=, <>, <, <=, >, >=) before a number, truth value,
// error value or text; texts match with the wildcards * (any run), ? (one character)
// and ~ (takes the next character literally), ignoring case; a number also matches a
// text that reads as that number. "=" alone matches empty cells, "<>" alone every
// cell that is not empty (a formula's empty text included), "" empty cells and empty
// texts.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/engine/formula/Operand.h"

namespace vorra::engine::formula {

enum class Comparison { Eq, Ne, Lt, Le, Gt, Ge };

// A pattern with * ? ~, case-folded and split into characters once, for matching
// many texts (every cell a criterion or lookup visits), ignoring case.
class WildcardPattern {
public:
    explicit WildcardPattern(std::string_view pattern);
    bool matches(std::string_view text) const;

private:
    struct Char {
        std::int32_t c;  // code point
        bool literal;    // escaped with ~, or an ordinary character
    };
    std::vector<Char> chars_;
};

class Criterion {
public:
    // A criterion as COUNTIF reads it; numbers and dates written in its text are read
    // by the evaluation's rules (date system, current year).
    Criterion(const Value& criteria, const EvalContext& ctx);

    bool matches(const Value& cell) const;
    // Whether an empty cell matches (empty cells are counted without visiting them).
    bool matchesBlank() const { return matches(Value()); }

private:
    bool compareNumber(double cell) const;
    Comparison op_ = Comparison::Eq;
    Value operand_;                // number, boolean, error or text
    std::string foldedPattern_;    // text operand, for equality and order comparisons
    std::optional<WildcardPattern> wildcard_;  // when an = or <> text has wildcards
    const TextOrder& order_;
    const EvalContext& ctx_;
};

// Whether text matches pattern with * ? ~, ignoring case.
bool wildcardMatch(std::string_view pattern, std::string_view text);
bool hasWildcards(std::string_view pattern);

}  // namespace vorra::engine::formula
