// Conditions and tests of a value's kind.
#include "platform/engine/formula/FunctionTable.h"
#include "platform/engine/formula/ValueRules.h"

namespace vorra::engine::formula::fn {

namespace {

// AND/OR over their arguments: truth values and numbers count, texts and empty cells
// in ranges are passed over, an error stops everything.
Operand logical(std::vector<Operand>& args, const EvalContext& ctx, bool isAnd) {
    bool any = false;
    bool result = isAnd;
    std::optional<Value> error;
    auto take = [&](const Value& v, bool fromBlock) {
        if (v.isError()) {
            error = v;
            return false;
        }
        if (fromBlock && !v.isBoolean() && !v.isNumber()) return true;
        Value b = toBoolean(v);
        if (b.isError()) {
            error = b;
            return false;
        }
        any = true;
        result = isAnd ? (result && b.asBoolean()) : (result || b.asBoolean());
        return true;
    };
    for (const auto& op : args) {
        if (std::holds_alternative<Missing>(op)) continue;
        if (std::holds_alternative<RangeRef>(op) || std::holds_alternative<Array2D>(op)) {
            Grid(op, ctx).forEachStored([&](int, int, const Value& v) { return take(v, true); });
        } else {
            take(toScalar(op, ctx), false);
        }
        if (error) return *error;
    }
    if (!any) return errorOperand(ErrorValue::Value);
    return Value::boolean(result);
}

}  // namespace

Value ifValue(const std::vector<Value>& a, const EvalContext&) {
    Value cond = toBoolean(a[0]);
    if (cond.isError()) return cond;
    if (cond.asBoolean()) return a[1];
    if (a.size() > 2) return a[2];
    return Value::boolean(false);
}

Value ifError(const std::vector<Value>& a, const EvalContext&) { return a[0].isError() ? a[1] : a[0]; }
Value isError(const std::vector<Value>& a, const EvalContext&) { return Value::boolean(a[0].isError()); }
Value isNumber(const std::vector<Value>& a, const EvalContext&) { return Value::boolean(a[0].isNumber()); }
Value isBlank(const std::vector<Value>& a, const EvalContext&) { return Value::boolean(a[0].isEmpty()); }

Value notValue(const std::vector<Value>& a, const EvalContext&) {
    Value b = toBoolean(a[0]);
    if (b.isError()) return b;
    return Value::boolean(!b.asBoolean());
}

Operand andAll(std::vector<Operand>& args, const EvalContext& ctx) { return logical(args, ctx, true); }
Operand orAny(std::vector<Operand>& args, const EvalContext& ctx) { return logical(args, ctx, false); }

}  // namespace vorra::engine::formula::fn
