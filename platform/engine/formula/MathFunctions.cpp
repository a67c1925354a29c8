// Arithmetic, rounding, powers and logarithms, sums and products, cell coordinates.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>

#include "platform/engine/formula/Aggregate.h"
#include "platform/engine/formula/FunctionTable.h"
#include "platform/engine/formula/ValueRules.h"

namespace vorra::engine::formula::fn {

namespace {

// A number cut to 15 significant digits: binary fractions make 1.005*100 come out as
// 100.4999… and 1.5/0.1 as 15.000000000000002; the host works on the decimal number
// the user sees.
double decimal(double x) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", x);
    return std::strtod(buf, nullptr);
}

Value finite(double r) {
    if (!std::isfinite(r)) return Value::error(ErrorValue::Num);
    return Value::number(r == 0 ? 0 : r);  // no negative zero
}

// The arguments as numbers, in order; the first error (or #VALUE! of a text that is
// no number) otherwise.
std::optional<Value> numbers(const std::vector<Value>& a, const EvalContext& ctx, double* out) {
    if (auto e = firstError(a)) return *e;
    for (size_t i = 0; i < a.size(); ++i) {
        Value n = toNumber(a[i], ctx);
        if (n.isError()) return n;
        out[i] = n.asNumber();
    }
    return std::nullopt;
}

enum class Rounding { HalfAwayFromZero, TowardZero, AwayFromZero };

double roundTo(double x, double digits, Rounding mode) {
    digits = std::trunc(digits);
    if (digits > 15) return x;
    if (digits < -15) return 0;
    double factor = std::pow(10.0, digits);
    double scaled = decimal(x * factor);
    double a = std::fabs(scaled);
    double r = mode == Rounding::TowardZero   ? std::floor(a)
               : mode == Rounding::AwayFromZero ? std::ceil(a)
                                                : std::floor(a + 0.5);
    return std::copysign(r, scaled) / factor;
}

Value roundWith(const std::vector<Value>& a, const EvalContext& ctx, Rounding mode) {
    double x[2] = {0, 0};
    if (auto e = numbers(a, ctx, x)) return *e;
    return finite(roundTo(x[0], a.size() > 1 ? x[1] : 0, mode));
}

Value unary(const std::vector<Value>& a, const EvalContext& ctx, Value (*f)(double)) {
    double x = 0;
    if (auto e = numbers(a, ctx, &x)) return *e;
    return f(x);
}

// A multiple of significance: CEILING rounds up, FLOOR down, both in the direction
// the host gives negative numbers (away from zero when both are negative for
// CEILING, toward zero for FLOOR; the other way round for a negative number and a
// positive significance).
Value multiple(const std::vector<Value>& a, const EvalContext& ctx, bool up) {
    double x[2];
    if (auto e = numbers(a, ctx, x)) return *e;
    double n = x[0], s = x[1];
    if (n == 0) return Value::number(0);
    if (s == 0) return up ? Value::number(0) : Value::error(ErrorValue::Div0);
    if (n > 0 && s < 0) return Value::error(ErrorValue::Num);
    double q = decimal(n / s);
    return finite(decimal((up ? std::ceil(q) : std::floor(q)) * s));
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

// ROWS and COLUMNS: the size of a reference or an array; a single value is 1 × 1.
Operand extent(std::vector<Operand>& args, bool rows) {
    const Operand& op = args[0];
    if (auto* r = std::get_if<RangeRef>(&op)) return Value::number(rows ? r->area.rows() : r->area.columns());
    if (auto* a = std::get_if<Array2D>(&op)) return Value::number(rows ? a->rows() : a->columns());
    if (auto* v = std::get_if<Value>(&op); v && v->isError()) return *v;
    return Value::number(1);
}

}  // namespace

Value abs(const std::vector<Value>& a, const EvalContext& ctx) {
    return unary(a, ctx, [](double x) { return Value::number(std::fabs(x)); });
}

Value intFloor(const std::vector<Value>& a, const EvalContext& ctx) {
    return unary(a, ctx, [](double x) { return Value::number(std::floor(x)); });
}

Value mod(const std::vector<Value>& a, const EvalContext& ctx) {
    double v[2];
    if (auto e = numbers(a, ctx, v)) return *e;
    double x = v[0], y = v[1];
    if (y == 0) return Value::error(ErrorValue::Div0);
    double r = x - y * std::floor(x / y);
    // Results a rounding step away from the divisor are 0, as the host shows them.
    if (std::fabs(r - y) < std::fabs(y) * 1e-15) r = 0;
    return finite(r);
}

Value round(const std::vector<Value>& a, const EvalContext& ctx) { return roundWith(a, ctx, Rounding::HalfAwayFromZero); }
Value roundDown(const std::vector<Value>& a, const EvalContext& ctx) { return roundWith(a, ctx, Rounding::TowardZero); }
Value roundUp(const std::vector<Value>& a, const EvalContext& ctx) { return roundWith(a, ctx, Rounding::AwayFromZero); }
Value trunc(const std::vector<Value>& a, const EvalContext& ctx) { return roundWith(a, ctx, Rounding::TowardZero); }

Value ceiling(const std::vector<Value>& a, const EvalContext& ctx) { return multiple(a, ctx, true); }
Value floor(const std::vector<Value>& a, const EvalContext& ctx) { return multiple(a, ctx, false); }

Value mround(const std::vector<Value>& a, const EvalContext& ctx) {
    double x[2];
    if (auto e = numbers(a, ctx, x)) return *e;
    double n = x[0], m = x[1];
    if (m == 0 || n == 0) return Value::number(0);
    if ((n < 0) != (m < 0)) return Value::error(ErrorValue::Num);
    double q = decimal(n / m);
    return finite(decimal(std::floor(q + 0.5) * m));
}

Value quotient(const std::vector<Value>& a, const EvalContext& ctx) {
    double x[2];
    if (auto e = numbers(a, ctx, x)) return *e;
    if (x[1] == 0) return Value::error(ErrorValue::Div0);
    return finite(std::trunc(decimal(x[0] / x[1])));
}

Value sqrt(const std::vector<Value>& a, const EvalContext& ctx) {
    return unary(a, ctx, [](double x) { return x < 0 ? Value::error(ErrorValue::Num) : Value::number(std::sqrt(x)); });
}

Value power(const std::vector<Value>& a, const EvalContext& ctx) {
    double x[2];
    if (auto e = numbers(a, ctx, x)) return *e;
    double p = x[0], q = x[1];
    if (p == 0 && q == 0) return Value::error(ErrorValue::Num);
    if (p == 0 && q < 0) return Value::error(ErrorValue::Div0);
    return finite(std::pow(p, q));
}

Value log(const std::vector<Value>& a, const EvalContext& ctx) {
    double x[2] = {0, 10};
    if (auto e = numbers(a, ctx, x)) return *e;
    if (a.size() > 1 && a[1].isEmpty()) return Value::error(ErrorValue::Num);
    if (x[0] <= 0 || x[1] <= 0) return Value::error(ErrorValue::Num);
    if (x[1] == 1) return Value::error(ErrorValue::Div0);
    return finite(decimal(std::log(x[0]) / std::log(x[1])));
}

Value log10(const std::vector<Value>& a, const EvalContext& ctx) {
    return unary(a, ctx, [](double x) { return x <= 0 ? Value::error(ErrorValue::Num) : finite(std::log10(x)); });
}

Value ln(const std::vector<Value>& a, const EvalContext& ctx) {
    return unary(a, ctx, [](double x) { return x <= 0 ? Value::error(ErrorValue::Num) : finite(std::log(x)); });
}

Value exp(const std::vector<Value>& a, const EvalContext& ctx) {
    return unary(a, ctx, [](double x) { return finite(std::exp(x)); });
}

Value sign(const std::vector<Value>& a, const EvalContext& ctx) {
    return unary(a, ctx, [](double x) { return Value::number(x > 0 ? 1 : x < 0 ? -1 : 0); });
}

// EVEN and ODD round away from zero to the next even or odd whole number.
Value even(const std::vector<Value>& a, const EvalContext& ctx) {
    return unary(a, ctx, [](double x) {
        double r = std::ceil(decimal(std::fabs(x) / 2)) * 2;
        return finite(std::copysign(r, x));
    });
}

Value odd(const std::vector<Value>& a, const EvalContext& ctx) {
    return unary(a, ctx, [](double x) {
        double r = std::ceil(decimal((std::fabs(x) - 1) / 2)) * 2 + 1;
        return finite(x < 0 ? -r : r);
    });
}

Value pi(const std::vector<Value>&, const EvalContext&) { return Value::number(std::numbers::pi); }

Operand sum(std::vector<Operand>& args, const EvalContext& ctx) {
    double total = 0;
    if (auto e = forEachNumber(args, ctx, [&](double x) { total += x; })) return *e;
    return finite(total);
}

// PRODUCT of no numbers at all is 0, as in the host.
Operand product(std::vector<Operand>& args, const EvalContext& ctx) {
    double total = 1;
    bool any = false;
    if (auto e = forEachNumber(args, ctx, [&](double x) { total *= x, any = true; })) return *e;
    return finite(any ? total : 0);
}

// SUMPRODUCT: arrays of one shape multiplied element by element; entries that are no
// numbers count as 0.
Operand sumProduct(std::vector<Operand>& args, const EvalContext& ctx) {
    std::vector<Array2D> arrays;
    arrays.reserve(args.size());
    for (const auto& op : args) {
        if (auto* v = std::get_if<Value>(&op); v && v->isError()) return *v;
        arrays.push_back(toArray(op, ctx));
        const Array2D& a = arrays.back();
        if (a.rows() != arrays.front().rows() || a.columns() != arrays.front().columns())
            return errorOperand(ErrorValue::Value);
    }
    const Array2D& first = arrays.front();
    double total = 0;
    for (int r = 1; r <= first.rows(); ++r)
        for (int c = 1; c <= first.columns(); ++c) {
            double p = 1;
            for (const Array2D& a : arrays) {
                const Value& v = a.at(r, c);
                if (v.isError()) return v;
                p *= v.isNumber() ? v.asNumber() : 0;
            }
            total += p;
        }
    return finite(total);
}

Operand row(std::vector<Operand>& args, const EvalContext& ctx) { return coordinate(args, ctx, true); }
Operand column(std::vector<Operand>& args, const EvalContext& ctx) { return coordinate(args, ctx, false); }
Operand rows(std::vector<Operand>& args, const EvalContext&) { return extent(args, true); }
Operand columns(std::vector<Operand>& args, const EvalContext&) { return extent(args, false); }

}  // namespace vorra::engine::formula::fn
