// Conditions, tests of a value's kind and error values.
#include <cmath>

#include "platform/engine/formula/Aggregate.h"
#include "platform/engine/formula/FunctionTable.h"
#include "platform/engine/formula/ValueRules.h"

namespace vorra::engine::formula::fn {

namespace {

enum class Combine { And, Or, Xor };

// AND/OR/XOR over their arguments: truth values and numbers count, texts and empty
// cells in ranges are passed over, a text given directly must read TRUE or FALSE,
// an error stops everything, and no truth value at all is #VALUE!.
Operand logical(std::vector<Operand>& args, const EvalContext& ctx, Combine how) {
    bool any = false;
    int trues = 0, falses = 0;
    std::optional<Value> error;
    auto take = [&](const Value& v, bool fromBlock) {
        if (v.isError()) {
            error = v;
            return false;
        }
        if (fromBlock && !v.isBoolean() && !v.isNumber()) return true;
        if (!fromBlock && v.isEmpty()) return true;
        Value b = toBoolean(v);
        if (b.isError()) {
            error = b;
            return false;
        }
        any = true;
        (b.asBoolean() ? trues : falses)++;
        return true;
    };
    for (const auto& op : args) {
        if (std::holds_alternative<Missing>(op)) continue;
        if (isBlock(op)) {
            Grid(op, ctx).forEachStored([&](int, int, const Value& v) { return take(v, true); });
        } else {
            take(toScalar(op, ctx), false);
        }
        if (error) return *error;
    }
    if (!any) return errorOperand(ErrorValue::Value);
    switch (how) {
        case Combine::And: return Value::boolean(falses == 0);
        case Combine::Or: return Value::boolean(trues > 0);
        case Combine::Xor: return Value::boolean(trues % 2 == 1);
    }
    return errorOperand(ErrorValue::Value);
}

// ISEVEN and ISODD: of the whole part of a number.
Value parity(const std::vector<Value>& a, const EvalContext& ctx, bool odd) {
    if (a[0].isError()) return a[0];
    if (a[0].isBoolean()) return Value::error(ErrorValue::Value);
    Value n = toNumber(a[0], ctx);
    if (n.isError()) return n;
    double whole = std::trunc(n.asNumber());
    bool isOddNumber = std::fmod(std::fabs(whole), 2) == 1;
    return Value::boolean(isOddNumber == odd);
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
Value ifNa(const std::vector<Value>& a, const EvalContext&) {
    return a[0].isError() && a[0].asError() == ErrorValue::NA ? a[1] : a[0];
}

Value isError(const std::vector<Value>& a, const EvalContext&) { return Value::boolean(a[0].isError()); }
Value isErr(const std::vector<Value>& a, const EvalContext&) {
    return Value::boolean(a[0].isError() && a[0].asError() != ErrorValue::NA);
}
Value isNa(const std::vector<Value>& a, const EvalContext&) {
    return Value::boolean(a[0].isError() && a[0].asError() == ErrorValue::NA);
}
Value isNumber(const std::vector<Value>& a, const EvalContext&) { return Value::boolean(a[0].isNumber()); }
Value isText(const std::vector<Value>& a, const EvalContext&) { return Value::boolean(a[0].isText()); }
Value isNonText(const std::vector<Value>& a, const EvalContext&) { return Value::boolean(!a[0].isText()); }
Value isLogical(const std::vector<Value>& a, const EvalContext&) { return Value::boolean(a[0].isBoolean()); }
Value isBlank(const std::vector<Value>& a, const EvalContext&) { return Value::boolean(a[0].isEmpty()); }
Value isEven(const std::vector<Value>& a, const EvalContext& ctx) { return parity(a, ctx, false); }
Value isOdd(const std::vector<Value>& a, const EvalContext& ctx) { return parity(a, ctx, true); }

Value na(const std::vector<Value>&, const EvalContext&) { return Value::error(ErrorValue::NA); }

// ERROR.TYPE: 1 #NULL!, 2 #DIV/0!, 3 #VALUE!, 4 #REF!, 5 #NAME?, 6 #NUM!, 7 #N/A; #N/A
// for a value that is no error.
Value errorType(const std::vector<Value>& a, const EvalContext&) {
    if (!a[0].isError()) return Value::error(ErrorValue::NA);
    return Value::number(static_cast<int>(a[0].asError()) + 1);
}

Value notValue(const std::vector<Value>& a, const EvalContext&) {
    Value b = toBoolean(a[0]);
    if (b.isError()) return b;
    return Value::boolean(!b.asBoolean());
}

// N: a number stays, TRUE is 1, everything else but an error is 0.
Value n(const std::vector<Value>& a, const EvalContext&) {
    if (a[0].isNumber() || a[0].isError()) return a[0];
    if (a[0].isBoolean()) return Value::number(a[0].asBoolean() ? 1 : 0);
    return Value::number(0);
}

Operand isRef(std::vector<Operand>& args, const EvalContext&) {
    return Value::boolean(std::holds_alternative<RangeRef>(args[0]));
}

Operand andAll(std::vector<Operand>& args, const EvalContext& ctx) { return logical(args, ctx, Combine::And); }
Operand orAny(std::vector<Operand>& args, const EvalContext& ctx) { return logical(args, ctx, Combine::Or); }
Operand xorOdd(std::vector<Operand>& args, const EvalContext& ctx) { return logical(args, ctx, Combine::Xor); }

}  // namespace vorra::engine::formula::fn
