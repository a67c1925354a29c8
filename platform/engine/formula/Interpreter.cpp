#include "platform/engine/formula/Interpreter.h"

#include <algorithm>
#include <cmath>

#include "platform/engine/formula/FunctionTable.h"
#include "platform/engine/formula/ValueRules.h"

namespace vorra::engine::formula {

namespace {

// Elements of an operand for broadcasting.
struct Elements {
    bool scalar = true;
    Value one;
    Array2D many;
    int rows() const { return scalar ? 1 : many.rows(); }
    int cols() const { return scalar ? 1 : many.columns(); }
    Value at(int r, int c) const {  // 0-based, with stretching
        if (scalar) return one;
        int rr = many.rows() == 1 ? 0 : r;
        int cc = many.columns() == 1 ? 0 : c;
        if (rr >= many.rows() || cc >= many.columns()) return Value::error(ErrorValue::NA);
        return many.at(rr + 1, cc + 1);
    }
};

Elements elementsOf(const Operand& op, const EvalContext& ctx) {
    Elements e;
    if (isScalarLike(op)) {
        e.one = toScalar(op, ctx);
    } else {
        e.scalar = false;
        e.many = toArray(op, ctx);
    }
    return e;
}

template <class F>
Operand combine(const std::vector<Elements>& args, F f) {
    int rows = 1, cols = 1;
    bool any = false;
    for (const auto& e : args)
        if (!e.scalar) {
            any = true;
            rows = std::max(rows, e.rows());
            cols = std::max(cols, e.cols());
        }
    std::vector<Value> vals(args.size());
    if (!any) {
        for (size_t i = 0; i < args.size(); ++i) vals[i] = args[i].one;
        return f(vals);
    }
    if (static_cast<long long>(rows) * cols > kMaxArrayCells) return errorOperand(ErrorValue::Num);
    Array2D out(rows, cols);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            for (size_t i = 0; i < args.size(); ++i) vals[i] = args[i].at(r, c);
            out.at(r + 1, c + 1) = f(vals);
        }
    return out;
}

Value arithmetic(BinaryOp op, const Value& a, const Value& b, const EvalContext& ctx) {
    Value x = toNumber(a, ctx);
    if (x.isError()) return x;
    Value y = toNumber(b, ctx);
    if (y.isError()) return y;
    double p = x.asNumber(), q = y.asNumber(), r = 0;
    switch (op) {
        case BinaryOp::Add: r = p + q; break;
        case BinaryOp::Subtract: r = p - q; break;
        case BinaryOp::Multiply: r = p * q; break;
        case BinaryOp::Divide:
            if (q == 0) return Value::error(ErrorValue::Div0);
            r = p / q;
            break;
        case BinaryOp::Power:
            if (p == 0 && q == 0) return Value::error(ErrorValue::Num);
            if (p == 0 && q < 0) return Value::error(ErrorValue::Div0);
            r = std::pow(p, q);
            break;
        default: break;
    }
    if (!std::isfinite(r)) return Value::error(ErrorValue::Num);
    return Value::number(r);
}

Value comparison(BinaryOp op, const Value& a, const Value& b, const TextOrder& order) {
    if (a.isError()) return a;
    if (b.isError()) return b;
    if (op == BinaryOp::Eq || op == BinaryOp::Ne) {
        // Equality needs no collation: texts are equal when equal ignoring case.
        bool equal = a.isText() && b.isText() ? TextOrder::equalIgnoringCase(a.asText(), b.asText())
                                              : compareForOperator(a, b, order) == 0;
        return Value::boolean(equal == (op == BinaryOp::Eq));
    }
    int c = compareForOperator(a, b, order);
    switch (op) {
        case BinaryOp::Eq: return Value::boolean(c == 0);
        case BinaryOp::Ne: return Value::boolean(c != 0);
        case BinaryOp::Lt: return Value::boolean(c < 0);
        case BinaryOp::Le: return Value::boolean(c <= 0);
        case BinaryOp::Gt: return Value::boolean(c > 0);
        case BinaryOp::Ge: return Value::boolean(c >= 0);
        default: return Value::error(ErrorValue::Value);
    }
}

// Longest text a formula may build, as in the host.
constexpr size_t kMaxTextLength = 32767 * 3;

template <class F>
Operand elementwise(const Operand& a, const Operand& b, const EvalContext& ctx, F f) {
    std::vector<Elements> args{elementsOf(a, ctx), elementsOf(b, ctx)};
    return combine(args, [&](const std::vector<Value>& v) { return f(v[0], v[1]); });
}

}  // namespace

Operand Interpreter::evaluate(const Node& node) {
    switch (node.kind) {
        case NodeKind::Constant: return node.value;
        case NodeKind::Array: return node.array;
        case NodeKind::Missing: return Missing{};
        case NodeKind::Reference:
            if (node.sheet < 0) return errorOperand(ErrorValue::Ref);
            return RangeRef{node.sheet, node.area};
        case NodeKind::Name: return errorOperand(ErrorValue::Name);
        case NodeKind::Negate:
        case NodeKind::Percent: {
            Operand inner = evaluate(*node.children[0]);
            bool negate = node.kind == NodeKind::Negate;
            std::vector<Elements> args{elementsOf(inner, ctx_)};
            const EvalContext& ctx = ctx_;
            return combine(args, [negate, &ctx](const std::vector<Value>& v) {
                Value x = toNumber(v[0], ctx);
                if (x.isError()) return x;
                return Value::number(negate ? -x.asNumber() : x.asNumber() / 100);
            });
        }
        case NodeKind::Binary: return binary(node);
        case NodeKind::Function: return call(node);
        case NodeKind::Range: return range(node);
    }
    return errorOperand(ErrorValue::Value);
}

Operand Interpreter::binary(const Node& node) {
    Operand a = evaluate(*node.children[0]);
    Operand b = evaluate(*node.children[1]);
    BinaryOp op = node.op;
    switch (op) {
        case BinaryOp::Concat:
            return elementwise(a, b, ctx_, [](const Value& x, const Value& y) {
                if (x.isError()) return x;
                if (y.isError()) return y;
                std::string s = toText(x) + toText(y);
                if (s.size() > kMaxTextLength) return Value::error(ErrorValue::Value);
                return Value::text(std::move(s));
            });
        case BinaryOp::Eq: case BinaryOp::Ne: case BinaryOp::Lt:
        case BinaryOp::Le: case BinaryOp::Gt: case BinaryOp::Ge: {
            const TextOrder& order = ctx_.order();
            return elementwise(a, b, ctx_, [op, &order](const Value& x, const Value& y) {
                return comparison(op, x, y, order);
            });
        }
        default: {
            const EvalContext& ctx = ctx_;
            return elementwise(a, b, ctx_,
                               [op, &ctx](const Value& x, const Value& y) { return arithmetic(op, x, y, ctx); });
        }
    }
}

// A range between two references that evaluation gives (A1:INDEX(…)): the smallest
// area holding both, on their one sheet.
Operand Interpreter::range(const Node& node) {
    Operand a = evaluate(*node.children[0]);
    Operand b = evaluate(*node.children[1]);
    for (const Operand* op : {&a, &b})
        if (auto* v = std::get_if<Value>(op); v && v->isError()) return *v;
    auto* x = std::get_if<RangeRef>(&a);
    auto* y = std::get_if<RangeRef>(&b);
    if (!x || !y || x->sheet != y->sheet) return errorOperand(ErrorValue::Value);
    return RangeRef{x->sheet, Area{std::min(x->area.top, y->area.top), std::min(x->area.left, y->area.left),
                                   std::max(x->area.bottom, y->area.bottom), std::max(x->area.right, y->area.right)}};
}

Operand Interpreter::call(const Node& node) {
    const FunctionInfo* f = node.function;
    if (!f) return errorOperand(ErrorValue::Name);
    std::vector<Operand> args;
    args.reserve(node.children.size());
    for (const auto& child : node.children) args.push_back(evaluate(*child));
    if (f->operand) return f->operand(args, ctx_);
    std::vector<Elements> elements;
    elements.reserve(args.size());
    for (const auto& a : args) elements.push_back(elementsOf(a, ctx_));
    const EvalContext& ctx = ctx_;
    return combine(elements, [f, &ctx](const std::vector<Value>& v) { return f->scalar(v, ctx); });
}

Value Interpreter::evaluateForCell(const Node& node) {
    Value v = toScalar(evaluate(node), ctx_);
    if (v.isEmpty()) return Value::number(0);
    return v;
}

}  // namespace vorra::engine::formula
