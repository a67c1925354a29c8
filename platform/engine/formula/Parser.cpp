#include "platform/engine/formula/Parser.h"

#include <algorithm>
#include <cctype>


namespace vorra::engine::formula {

namespace {

std::string upper(std::string_view s) {
    std::string u(s);
    for (auto& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

class Parser {
public:
    explicit Parser(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

    NodePtr parseAll() {
        if (peek().kind == TokenKind::End) throw FormulaSyntaxError("Empty formula");
        auto node = expression();
        if (peek().kind == TokenKind::Close) fail("Unbalanced parentheses: unexpected ')'");
        if (peek().kind != TokenKind::End) fail("Unexpected \"" + peek().text + "\"");
        return node;
    }

private:
    const Token& peek(size_t ahead = 0) const {
        return tokens_[std::min(pos_ + ahead, tokens_.size() - 1)];
    }
    Token take() {
        Token t = peek();
        if (pos_ < tokens_.size() - 1) ++pos_;
        return t;
    }
    bool isOperator(const char* op) const {
        return peek().kind == TokenKind::Operator && peek().text == op;
    }
    [[noreturn]] void fail(const std::string& what) const {
        throw FormulaSyntaxError(what + " at position " + std::to_string(peek().position + 1));
    }

    NodePtr make(NodeKind kind) {
        auto n = std::make_unique<Node>();
        n->kind = kind;
        return n;
    }

    NodePtr withChildren(NodePtr node, std::vector<NodePtr> children) {
        int h = 0;
        for (auto& c : children) h = std::max(h, c->height);
        node->height = h + 1;
        if (node->height > kMaxExpressionDepth) fail("Formula nested too deeply");
        node->children = std::move(children);
        return node;
    }

    NodePtr binary(BinaryOp op, NodePtr a, NodePtr b) {
        auto n = make(NodeKind::Binary);
        n->op = op;
        std::vector<NodePtr> c;
        c.push_back(std::move(a));
        c.push_back(std::move(b));
        return withChildren(std::move(n), std::move(c));
    }

    NodePtr unaryNode(NodeKind kind, NodePtr a) {
        std::vector<NodePtr> c;
        c.push_back(std::move(a));
        return withChildren(make(kind), std::move(c));
    }

    // Guards recursion through parentheses, arguments and nested arrays.
    struct Nesting {
        explicit Nesting(Parser& p) : p_(p) {
            if (++p_.nesting_ > kMaxExpressionDepth) p_.fail("Formula nested too deeply");
        }
        ~Nesting() { --p_.nesting_; }
        Parser& p_;
    };

    NodePtr expression() {
        Nesting guard(*this);
        auto left = concatenation();
        for (;;) {
            static const std::pair<const char*, BinaryOp> ops[] = {
                {"=", BinaryOp::Eq}, {"<>", BinaryOp::Ne}, {"<", BinaryOp::Lt},
                {"<=", BinaryOp::Le}, {">", BinaryOp::Gt}, {">=", BinaryOp::Ge}};
            const BinaryOp* found = nullptr;
            for (auto& [text, op] : ops)
                if (isOperator(text)) found = &op;
            if (!found) return left;
            BinaryOp op = *found;
            take();
            left = binary(op, std::move(left), concatenation());
        }
    }

    NodePtr concatenation() {
        auto left = additive();
        while (isOperator("&")) {
            take();
            left = binary(BinaryOp::Concat, std::move(left), additive());
        }
        return left;
    }

    NodePtr additive() {
        auto left = multiplicative();
        while (isOperator("+") || isOperator("-")) {
            BinaryOp op = take().text == "+" ? BinaryOp::Add : BinaryOp::Subtract;
            left = binary(op, std::move(left), multiplicative());
        }
        return left;
    }

    NodePtr multiplicative() {
        auto left = power();
        while (isOperator("*") || isOperator("/")) {
            BinaryOp op = take().text == "*" ? BinaryOp::Multiply : BinaryOp::Divide;
            left = binary(op, std::move(left), power());
        }
        return left;
    }

    NodePtr power() {
        auto left = percent();
        while (isOperator("^")) {
            take();
            left = binary(BinaryOp::Power, std::move(left), percent());
        }
        return left;
    }

    NodePtr percent() {
        auto node = unary();
        while (isOperator("%")) {
            take();
            node = unaryNode(NodeKind::Percent, std::move(node));
        }
        return node;
    }

    NodePtr unary() {
        int negations = 0;
        while (isOperator("-") || isOperator("+"))
            if (take().text == "-") ++negations;
        auto node = range();
        // Each minus is one level; a long run of signs is refused by the depth check.
        for (int i = 0; i < negations; ++i) node = unaryNode(NodeKind::Negate, std::move(node));
        return node;
    }

    NodePtr constant(host::Value v) {
        auto n = make(NodeKind::Constant);
        n->value = std::move(v);
        return n;
    }

    // The range operator, tighter than everything else: "A1:INDEX(B:B,9)" spans from
    // A1 to wherever the other end lands. Plain areas ("A1:B2") come as one token.
    NodePtr range() {
        auto left = primary();
        while (peek().kind == TokenKind::Colon) {
            take();
            auto n = make(NodeKind::Range);
            std::vector<NodePtr> c;
            c.push_back(std::move(left));
            c.push_back(primary());
            left = withChildren(std::move(n), std::move(c));
        }
        return left;
    }

    NodePtr primary() {
        const Token& t = peek();
        switch (t.kind) {
            case TokenKind::Number: return constant(host::Value::number(take().number));
            case TokenKind::Text: return constant(host::Value::text(take().text));
            case TokenKind::Error: return constant(errorLiteral(take().text));
            case TokenKind::Open: {
                take();
                auto inner = expression();
                if (peek().kind != TokenKind::Close) fail("Unbalanced parentheses: missing ')'");
                take();
                return inner;
            }
            case TokenKind::BraceOpen: return arrayConstant();
            case TokenKind::Reference: return reference(take());
            case TokenKind::Word:
                if (!t.qualified() && peek(1).kind == TokenKind::Open) return functionCall();
                return word(take());
            case TokenKind::End: fail("Formula ends where a value is expected");
            case TokenKind::Close: fail("Unbalanced parentheses: unexpected ')'");
            default: fail("Unexpected \"" + t.text + "\"");
        }
    }

    static host::Value errorLiteral(const std::string& text) {
        return host::Value::error(host::errorFromText(text, false).value_or(host::ErrorValue::Value));
    }

    NodePtr reference(const Token& t) {
        auto n = make(NodeKind::Reference);
        n->area = t.ref.area();
        n->hasSheet = t.ref.hasSheet();
        n->name = t.ref.sheet;
        n->book = t.ref.book;
        return n;
    }

    // A defined name, possibly after a qualifier, or TRUE and FALSE.
    NodePtr word(const Token& t) {
        if (!t.qualified()) {
            std::string u = upper(t.text);
            if (u == "TRUE" || u == "FALSE") return constant(host::Value::boolean(u == "TRUE"));
        }
        auto n = make(NodeKind::Name);
        n->name = t.text;
        n->hasSheet = t.qualified();
        n->book = t.ref.book;
        if (n->hasSheet) n->value = host::Value::text(t.ref.sheet);
        return n;
    }

    NodePtr functionCall() {
        auto n = make(NodeKind::Function);
        n->name = upper(take().text);
        take();  // '('
        std::vector<NodePtr> args;
        if (peek().kind == TokenKind::Close) {
            take();
            return withChildren(std::move(n), std::move(args));
        }
        for (;;) {
            if (peek().kind == TokenKind::Comma || peek().kind == TokenKind::Close)
                args.push_back(make(NodeKind::Missing));
            else
                args.push_back(expression());
            if (args.size() > 255) fail("More than 255 arguments");
            if (peek().kind == TokenKind::Comma) {
                take();
                continue;
            }
            if (peek().kind == TokenKind::Close) {
                take();
                break;
            }
            fail(peek().kind == TokenKind::End ? "Unbalanced parentheses: missing ')'"
                                               : "Expected ',' or ')'");
        }
        return withChildren(std::move(n), std::move(args));
    }

    NodePtr arrayConstant() {
        take();  // '{'
        std::vector<std::vector<host::Value>> rows(1);
        for (;;) {
            rows.back().push_back(arrayElement());
            if (peek().kind == TokenKind::Comma) {
                take();
            } else if (peek().kind == TokenKind::Semicolon) {
                take();
                rows.emplace_back();
            } else if (peek().kind == TokenKind::BraceClose) {
                take();
                break;
            } else {
                fail("Malformed array constant");
            }
        }
        size_t cols = rows.front().size();
        for (auto& r : rows)
            if (r.size() != cols) fail("Rows of an array constant differ in length");
        auto n = make(NodeKind::Array);
        n->array = host::Array2D(static_cast<int>(rows.size()), static_cast<int>(cols));
        for (size_t r = 0; r < rows.size(); ++r)
            for (size_t c = 0; c < cols; ++c)
                n->array.at(static_cast<int>(r + 1), static_cast<int>(c + 1)) = std::move(rows[r][c]);
        return n;
    }

    host::Value arrayElement() {
        bool negative = false;
        while (isOperator("-") || isOperator("+"))
            if (take().text == "-") negative = !negative;
        const Token& t = peek();
        if (t.kind == TokenKind::Number) return host::Value::number(negative ? -take().number : take().number);
        if (negative) fail("Number expected in array constant");
        if (t.kind == TokenKind::Text) return host::Value::text(take().text);
        if (t.kind == TokenKind::Error) return errorLiteral(take().text);
        if (t.kind == TokenKind::Word) {
            std::string u = upper(t.text);
            if (u == "TRUE" || u == "FALSE") {
                take();
                return host::Value::boolean(u == "TRUE");
            }
        }
        fail("Constant expected in array constant");
    }

    std::vector<Token> tokens_;
    size_t pos_ = 0;
    int nesting_ = 0;
};

}  // namespace

NodePtr parseFormula(std::string_view formula) {
    return Parser(tokenize(formula)).parseAll();
}

}  // namespace vorra::engine::formula
