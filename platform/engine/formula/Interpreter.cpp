#include "platform/engine/formula/Interpreter.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

#include "platform/engine/formula/FunctionTable.h"
#include "platform/engine/formula/LookupSearch.h"
#include "platform/engine/formula/ValueRules.h"

namespace vorra::engine::formula {

namespace {

// Elements of an operand for broadcasting, read where they are: a reference's cells
// in the model, an array operand in place, so that a comparison over a 50,000-row
// range copies no cell. A whole-column reference is cut at the sheet's last used row,
// and a reference beyond kMaxArrayCells is the one-element #NUM! array, as toArray
// gives them.
class Elements {
public:
    Elements(const Operand& op, const EvalContext& ctx) {
        if (isScalarLike(op)) {
            one_ = toScalar(op, ctx);
            return;
        }
        scalar_ = false;
        if (auto* a = std::get_if<Array2D>(&op)) {
            array_ = a;
        } else if (auto* r = std::get_if<RangeRef>(&op)) {
            Area area = usedArea(*r, ctx);
            if (area.count() > kMaxArrayCells) {
                owned_ = toArray(op, ctx);
            } else {
                ctx_ = &ctx;
                sheet_ = r->sheet;
                top_ = area.top;
                left_ = area.left;
                rows_ = area.rows();
                cols_ = area.columns();
                return;
            }
        } else {
            owned_ = toArray(op, ctx);
        }
        const Array2D& a = array_ ? *array_ : owned_;
        rows_ = a.rows();
        cols_ = a.columns();
    }
    bool scalar() const { return scalar_; }
    const Value& one() const { return one_; }
    int rows() const { return scalar_ ? 1 : rows_; }
    int cols() const { return scalar_ ? 1 : cols_; }
    const Value& at(int r, int c) const {  // 0-based, with stretching
        static const Value kNotAvailable = Value::error(ErrorValue::NA);
        if (scalar_) return one_;
        int rr = rows_ == 1 ? 0 : r;
        int cc = cols_ == 1 ? 0 : c;
        if (rr >= rows_ || cc >= cols_) return kNotAvailable;
        if (ctx_) return ctx_->cell(sheet_, top_ + rr, left_ + cc);
        return (array_ ? *array_ : owned_).at(rr + 1, cc + 1);
    }

private:
    bool scalar_ = true;
    Value one_;
    const Array2D* array_ = nullptr;  // the operand's own array
    Array2D owned_;
    const EvalContext* ctx_ = nullptr;  // a reference read in place
    int sheet_ = 0, top_ = 0, left_ = 0;
    int rows_ = 1, cols_ = 1;
};

// Applies f to the elements of the arguments at each position of the broadcast shape;
// f receives the elements' addresses, valid during the call.
template <class F>
Operand combine(const std::vector<const Elements*>& args, F f) {
    int rows = 1, cols = 1;
    bool any = false;
    for (const Elements* e : args)
        if (!e->scalar()) {
            any = true;
            rows = std::max(rows, e->rows());
            cols = std::max(cols, e->cols());
        }
    std::vector<const Value*> vals(args.size());
    if (!any) {
        for (size_t i = 0; i < args.size(); ++i) vals[i] = &args[i]->one();
        return f(vals);
    }
    if (static_cast<long long>(rows) * cols > kMaxArrayCells) return errorOperand(ErrorValue::Num);
    Array2D out(rows, cols);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            for (size_t i = 0; i < args.size(); ++i) vals[i] = &args[i]->at(r, c);
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
    const Elements x(a, ctx), y(b, ctx);
    return combine({&x, &y}, [&](const std::vector<const Value*>& v) { return f(*v[0], *v[1]); });
}

// One element of a binary operator.
Value applyBinary(BinaryOp op, const Value& x, const Value& y, const EvalContext& ctx) {
    switch (op) {
        case BinaryOp::Concat: {
            if (x.isError()) return x;
            if (y.isError()) return y;
            std::string s = toText(x) + toText(y);
            if (s.size() > kMaxTextLength) return Value::error(ErrorValue::Value);
            return Value::text(std::move(s));
        }
        case BinaryOp::Eq: case BinaryOp::Ne: case BinaryOp::Lt:
        case BinaryOp::Le: case BinaryOp::Gt: case BinaryOp::Ge:
            return comparison(op, x, y, ctx.order());
        default:
            return arithmetic(op, x, y, ctx);
    }
}

// A tree of binary operators over references and arrays, its elements computed one at
// a time when asked for, with the shapes, stretching and #N/A beyond an operand's end
// that evaluating it as a whole gives. LOOKUP(1,0/(range<>""),range) then reads the
// few cells its binary search probes instead of every cell of the range.
class ComputedElements {
public:
    ComputedElements(const ComputedElements&) = delete;
    ComputedElements& operator=(const ComputedElements&) = delete;
    ComputedElements(const Node& node, Interpreter& interpreter, const EvalContext& ctx) : ctx_(ctx) {
        if (node.kind != NodeKind::Binary) {
            leafOperand_ = interpreter.evaluate(node);
            leaf_.emplace(leafOperand_, ctx);
            scalar_ = leaf_->scalar();
            rows_ = leaf_->rows();
            cols_ = leaf_->cols();
            if (scalar_) value_ = leaf_->one();
            return;
        }
        op_ = node.op;
        left_ = std::make_unique<ComputedElements>(*node.children[0], interpreter, ctx);
        right_ = std::make_unique<ComputedElements>(*node.children[1], interpreter, ctx);
        if (left_->scalar_ && right_->scalar_) {
            value_ = applyBinary(op_, left_->value_, right_->value_, ctx);
            return;
        }
        for (const ComputedElements* e : {left_.get(), right_.get()})
            if (!e->scalar_) {
                rows_ = std::max(rows_, e->rows_);
                cols_ = std::max(cols_, e->cols_);
            }
        if (static_cast<long long>(rows_) * cols_ > kMaxArrayCells) {
            value_ = Value::error(ErrorValue::Num);  // as combine gives it
            rows_ = cols_ = 1;
            return;
        }
        scalar_ = false;
    }
    bool scalar() const { return scalar_; }
    const Value& value() const { return value_; }
    int rows() const { return rows_; }
    int cols() const { return cols_; }
    // 0-based, within rows() × cols().
    Value at(int r, int c) const {
        if (scalar_) return value_;
        if (leaf_) return leaf_->at(r, c);
        return applyBinary(op_, left_->stretched(r, c), right_->stretched(r, c), ctx_);
    }

private:
    // The element an operand of this shape gives at a position of a larger shape.
    Value stretched(int r, int c) const {
        if (scalar_) return value_;
        int rr = rows_ == 1 ? 0 : r;
        int cc = cols_ == 1 ? 0 : c;
        if (rr >= rows_ || cc >= cols_) return Value::error(ErrorValue::NA);
        return at(rr, cc);
    }

    const EvalContext& ctx_;
    bool scalar_ = true;
    Value value_;
    int rows_ = 1, cols_ = 1;
    Operand leafOperand_;
    std::optional<Elements> leaf_;
    BinaryOp op_ = BinaryOp::Add;
    std::unique_ptr<ComputedElements> left_, right_;
};

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
            const Elements elements(inner, ctx_);
            const EvalContext& ctx = ctx_;
            return combine({&elements}, [negate, &ctx](const std::vector<const Value*>& v) {
                Value x = toNumber(*v[0], ctx);
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
    const BinaryOp op = node.op;
    const EvalContext& ctx = ctx_;
    return elementwise(a, b, ctx_, [op, &ctx](const Value& x, const Value& y) { return applyBinary(op, x, y, ctx); });
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
    // LOOKUP's vector form over an operator expression: the searched vector's elements
    // are computed as the binary search asks for them.
    if (f->name == "LOOKUP" && node.children.size() == 3 && node.children[1]->kind == NodeKind::Binary) {
        args.push_back(evaluate(*node.children[0]));
        const ComputedElements searched(*node.children[1], *this, ctx_);
        args.push_back(searched.scalar() ? Operand(searched.value()) : Operand(Missing{}));
        args.push_back(evaluate(*node.children[2]));
        if (searched.scalar()) return f->operand(args, ctx_);
        const bool down = searched.rows() >= searched.cols();
        return lookupInVector(args, down ? searched.rows() : searched.cols(),
                              [&](int i) { return down ? searched.at(i, 0) : searched.at(0, i); }, ctx_);
    }
    for (const auto& child : node.children) args.push_back(evaluate(*child));
    if (f->operand) return f->operand(args, ctx_);
    std::vector<Elements> elements;
    elements.reserve(args.size());
    for (const auto& a : args) elements.emplace_back(a, ctx_);
    std::vector<const Elements*> pointers;
    for (const auto& e : elements) pointers.push_back(&e);
    const EvalContext& ctx = ctx_;
    std::vector<Value> values(args.size());
    return combine(pointers, [f, &ctx, &values](const std::vector<const Value*>& v) {
        for (size_t i = 0; i < v.size(); ++i) values[i] = *v[i];
        return f->scalar(values, ctx);
    });
}

Value Interpreter::evaluateForCell(const Node& node) {
    Value v = toScalar(evaluate(node), ctx_);
    if (v.isEmpty()) return Value::number(0);
    return v;
}

}  // namespace vorra::engine::formula
