// Arithmetic, sums, counts and cell coordinates.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/engine/formula/FunctionTable.h"
#include "platform/engine/formula/ValueRules.h"

namespace vorra::engine::formula::fn {

namespace {

// Binary fractions make 1.005*100 come out as 100.4999…; the host rounds the decimal
// number the user sees, so the scaled value is first cut to 15 significant digits.
double decimalScaled(double x, double factor) {
    double scaled = x * factor;
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", scaled);
    return std::strtod(buf, nullptr);
}

enum class Rounding { HalfAwayFromZero, TowardZero };

Value roundWith(const std::vector<Value>& args, Rounding mode) {
    if (auto e = firstError(args)) return *e;
    Value x = toNumber(args[0]);
    if (x.isError()) return x;
    Value d = toNumber(args[1]);
    if (d.isError()) return d;
    double digits = std::trunc(d.asNumber());
    if (digits > 15) return x;
    if (digits < -15) return Value::number(0);
    double factor = std::pow(10.0, digits);
    double scaled = decimalScaled(x.asNumber(), factor);
    double r = mode == Rounding::TowardZero ? std::trunc(scaled)
                                            : std::copysign(std::floor(std::fabs(scaled) + 0.5), scaled);
    double out = r / factor;
    return Value::number(out == 0 ? 0 : out);  // no negative zero
}

Value number(const Value& v, double (*f)(double)) {
    Value x = toNumber(v);
    if (x.isError()) return x;
    return Value::number(f(x.asNumber()));
}

// Reference or array argument of SUM/COUNTA-like functions: only the stored cells
// matter.
bool isBlock(const Operand& op) {
    return std::holds_alternative<RangeRef>(op) || std::holds_alternative<Array2D>(op);
}

Operand coordinate(std::vector<Operand>& args, const EvalContext& ctx, bool rows) {
    if (args.empty() || std::holds_alternative<Missing>(args[0])) {
        const Position& p = ctx.position();
        if (p.row == 0) return errorOperand(ErrorValue::Value);
        return Value::number(rows ? p.row : p.column);
    }
    auto* r = std::get_if<RangeRef>(&args[0]);
    if (!r) {
        if (auto* v = std::get_if<Value>(&args[0]); v && v->isError()) return *v;
        return errorOperand(ErrorValue::Value);
    }
    int first = rows ? r->area.top : r->area.left;
    int n = rows ? r->area.rows() : r->area.columns();
    if (n == 1 || n > 65536) return Value::number(first);
    Array2D out(rows ? n : 1, rows ? 1 : n);
    for (int i = 0; i < n; ++i) out.at(rows ? i + 1 : 1, rows ? 1 : i + 1) = Value::number(first + i);
    return out;
}

}  // namespace

Value abs(const std::vector<Value>& a, const EvalContext&) {
    return number(a[0], [](double x) { return std::fabs(x); });
}

Value intFloor(const std::vector<Value>& a, const EvalContext&) {
    return number(a[0], [](double x) { return std::floor(x); });
}

Value mod(const std::vector<Value>& a, const EvalContext&) {
    if (auto e = firstError(a)) return *e;
    Value n = toNumber(a[0]);
    if (n.isError()) return n;
    Value d = toNumber(a[1]);
    if (d.isError()) return d;
    if (d.asNumber() == 0) return Value::error(ErrorValue::Div0);
    double x = n.asNumber(), y = d.asNumber();
    double r = x - y * std::floor(x / y);
    // Results a rounding step away from the divisor are 0, as the host shows them.
    if (std::fabs(r - y) < std::fabs(y) * 1e-15) r = 0;
    return Value::number(r);
}

Value round(const std::vector<Value>& a, const EvalContext&) { return roundWith(a, Rounding::HalfAwayFromZero); }
Value roundDown(const std::vector<Value>& a, const EvalContext&) { return roundWith(a, Rounding::TowardZero); }

Operand sum(std::vector<Operand>& args, const EvalContext& ctx) {
    double total = 0;
    for (const auto& op : args) {
        if (isBlock(op)) {
            std::optional<Value> error;
            Grid(op, ctx).forEachStored([&](int, int, const Value& v) {
                if (v.isError()) {
                    error = v;
                    return false;
                }
                if (v.isNumber()) total += v.asNumber();
                return true;
            });
            if (error) return *error;
        } else {
            Value v = toNumber(toScalar(op, ctx));
            if (v.isError()) return v;
            total += v.asNumber();
        }
    }
    if (!std::isfinite(total)) return errorOperand(ErrorValue::Num);
    return Value::number(total);
}

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

Operand row(std::vector<Operand>& args, const EvalContext& ctx) { return coordinate(args, ctx, true); }
Operand column(std::vector<Operand>& args, const EvalContext& ctx) { return coordinate(args, ctx, false); }

}  // namespace vorra::engine::formula::fn
