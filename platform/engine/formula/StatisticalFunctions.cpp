// Counts, averages, extremes and ranks of numbers.
#include <algorithm>
#include <cmath>

#include "platform/engine/formula/Aggregate.h"
#include "platform/engine/formula/FunctionTable.h"
#include "platform/engine/formula/ValueRules.h"

namespace vorra::engine::formula::fn {

namespace {

Value finite(double r) {
    if (!std::isfinite(r)) return Value::error(ErrorValue::Num);
    return Value::number(r);
}

// MIN and MAX: 0 when there are no numbers.
Operand extreme(std::vector<Operand>& args, const EvalContext& ctx, bool largest) {
    bool any = false;
    double best = 0;
    auto take = [&](double x) {
        if (!any || (largest ? x > best : x < best)) best = x;
        any = true;
    };
    if (auto e = forEachNumber(args, ctx, take)) return *e;
    return Value::number(any ? best : 0);
}

// LARGE and SMALL: the k-th number of an array or reference.
Operand ranked(std::vector<Operand>& args, const EvalContext& ctx, bool largest) {
    std::vector<double> values;
    std::vector<Operand> data{args[0]};
    if (auto e = numbersOf(data, ctx, values)) return *e;
    Value k = toNumber(toScalar(args[1], ctx), ctx);
    if (k.isError()) return k;
    double position = std::ceil(k.asNumber());
    if (position < 1 || position > static_cast<double>(values.size())) return errorOperand(ErrorValue::Num);
    size_t i = static_cast<size_t>(position) - 1;
    if (largest) i = values.size() - 1 - i;
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(i), values.end());
    return Value::number(values[i]);
}

}  // namespace

// COUNT: numbers, and numbers given directly as truth values or texts; errors and other
// texts are not counted and stop nothing.
Operand count(std::vector<Operand>& args, const EvalContext& ctx) {
    double n = 0;
    for (const auto& op : args) {
        if (isBlock(op)) {
            Grid(op, ctx).forEachStored([&](int, int, const Value& v) {
                if (v.isNumber()) ++n;
                return true;
            });
        } else if (!toNumber(toScalar(op, ctx), ctx).isError()) {
            ++n;
        }
    }
    return Value::number(n);
}

// COUNTA: everything that is not empty, a formula's empty text included.
Operand countA(std::vector<Operand>& args, const EvalContext& ctx) {
    double n = 0;
    for (const auto& op : args) {
        if (std::holds_alternative<Missing>(op)) continue;
        if (isBlock(op)) {
            Grid(op, ctx).forEachStored([&](int, int, const Value&) {
                ++n;
                return true;
            });
        } else if (!toScalar(op, ctx).isEmpty() || std::holds_alternative<Value>(op)) {
            ++n;
        }
    }
    return Value::number(n);
}

// COUNTBLANK: empty cells and cells holding the empty text, of one reference.
Operand countBlank(std::vector<Operand>& args, const EvalContext& ctx) {
    if (auto* v = std::get_if<Value>(&args[0]); v && v->isError()) return *v;
    if (!std::holds_alternative<RangeRef>(args[0])) return errorOperand(ErrorValue::Value);
    Grid g(args[0], ctx);
    double filled = 0;
    g.forEachStored([&](int, int, const Value& v) {
        if (!v.isBlankText()) ++filled;
        return true;
    });
    return Value::number(static_cast<double>(g.count()) - filled);
}

Operand average(std::vector<Operand>& args, const EvalContext& ctx) {
    double total = 0, n = 0;
    if (auto e = forEachNumber(args, ctx, [&](double x) { total += x, ++n; })) return *e;
    if (n == 0) return errorOperand(ErrorValue::Div0);
    return finite(total / n);
}

Operand min(std::vector<Operand>& args, const EvalContext& ctx) { return extreme(args, ctx, false); }
Operand max(std::vector<Operand>& args, const EvalContext& ctx) { return extreme(args, ctx, true); }

Operand median(std::vector<Operand>& args, const EvalContext& ctx) {
    std::vector<double> values;
    if (auto e = numbersOf(args, ctx, values)) return *e;
    if (values.empty()) return errorOperand(ErrorValue::Num);
    std::sort(values.begin(), values.end());
    size_t m = values.size() / 2;
    return Value::number(values.size() % 2 ? values[m] : (values[m - 1] + values[m]) / 2);
}

Operand large(std::vector<Operand>& args, const EvalContext& ctx) { return ranked(args, ctx, true); }
Operand small(std::vector<Operand>& args, const EvalContext& ctx) { return ranked(args, ctx, false); }

}  // namespace vorra::engine::formula::fn
