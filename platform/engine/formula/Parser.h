#pragma once
// Second stage: tokens to an expression tree, with the host's operator precedence
// (from tightest): the range operator (A1:INDEX(B:B,9); plain areas such as A1:B2
// are single reference tokens already), unary minus, %, ^, * and /, + and -, &,
// comparisons. Operators of one level group from the left (2^3^2 is 64).

#include <string_view>

#include "platform/engine/formula/Ast.h"
#include "platform/engine/formula/Lexer.h"

namespace vorra::engine::formula {

// Deepest expression tree accepted; deeper formulas are refused with a parse error,
// so that neither parsing nor evaluation can exhaust the stack.
inline constexpr int kMaxExpressionDepth = 256;

// Parses a formula text without "="; throws FormulaSyntaxError with a message that
// says what is wrong and where.
NodePtr parseFormula(std::string_view formula);

}  // namespace vorra::engine::formula
