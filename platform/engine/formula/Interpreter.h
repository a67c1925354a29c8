#pragma once
// Fourth stage: evaluates a bound expression tree with the host's array semantics.
// Operators work element by element on arrays and ranges (so 0/(A1:A9<>"") is an
// array of 0 and #DIV/0!), errors propagate from the left operand first, and a
// formula in a cell finally takes one value (implicit intersection for a range, the
// first element for an array).

#include "platform/engine/formula/Ast.h"
#include "platform/engine/formula/Operand.h"

namespace vorra::engine::formula {

class Interpreter {
public:
    explicit Interpreter(const EvalContext& ctx) : ctx_(ctx) {}

    Operand evaluate(const Node& node);
    // The value a cell shows: one scalar, empty results as 0.
    Value evaluateForCell(const Node& node);

private:
    Operand binary(const Node& node);
    Operand range(const Node& node);
    Operand call(const Node& node);
    const EvalContext& ctx_;
};

}  // namespace vorra::engine::formula
