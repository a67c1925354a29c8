#pragma once
// How SUM, PRODUCT, AVERAGE, MIN, MAX and their kind read their arguments, as the
// host does: a number, a truth value or a text that reads as a number given directly
// counts (another text is #VALUE!); in a reference or an array only numbers count,
// texts, truth values and empty cells are passed over. An error stops everything.

#include <optional>
#include <vector>

#include "platform/engine/formula/Operand.h"
#include "platform/engine/formula/ValueRules.h"

namespace vorra::engine::formula {

// Reference or array argument: only its stored cells matter.
inline bool isBlock(const Operand& op) {
    return std::holds_alternative<RangeRef>(op) || std::holds_alternative<Array2D>(op);
}

// Calls add(x) for every number of the arguments; the first error, if any.
template <class Add>
std::optional<Value> forEachNumber(const std::vector<Operand>& args, const EvalContext& ctx, Add add) {
    for (const auto& op : args) {
        if (isBlock(op)) {
            std::optional<Value> error;
            Grid(op, ctx).forEachStored([&](int, int, const Value& v) {
                if (v.isError()) {
                    error = v;
                    return false;
                }
                if (v.isNumber()) add(v.asNumber());
                return true;
            });
            if (error) return error;
        } else {
            Value v = toNumber(toScalar(op, ctx), ctx);
            if (v.isError()) return v;
            add(v.asNumber());
        }
    }
    return std::nullopt;
}

// The numbers of the arguments, in order; or the first error.
inline std::optional<Value> numbersOf(const std::vector<Operand>& args, const EvalContext& ctx,
                                      std::vector<double>& out) {
    return forEachNumber(args, ctx, [&](double x) { out.push_back(x); });
}

}  // namespace vorra::engine::formula
