#include "platform/engine/formula/Lexer.h"

#include <cctype>
#include <cstdlib>

#include "addin/frame/host/Value.h"

namespace vorra::engine::formula {

namespace {

using host::reference::isNameChar;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

[[noreturn]] void fail(const std::string& what, size_t at) {
    throw FormulaSyntaxError(what + " at position " + std::to_string(at + 1));
}

class Lexer {
public:
    explicit Lexer(std::string_view f) : f_(f) {}

    std::vector<Token> run() {
        while (i_ < f_.size()) next();
        push(TokenKind::End, "", f_.size(), f_.size());
        return std::move(out_);
    }

private:
    Token& push(TokenKind kind, std::string text, size_t start, size_t end) {
        Token t;
        t.kind = kind;
        t.text = std::move(text);
        t.position = start;
        t.length = end - start;
        t.spaceBefore = space_;
        space_ = false;
        out_.push_back(std::move(t));
        i_ = end;
        return out_.back();
    }

    // End of the run of name characters from `at`.
    size_t nameRunEnd(size_t at) const {
        size_t j = at;
        while (j < f_.size() && isNameChar(f_[j])) ++j;
        return j;
    }

    void next() {
        const char c = f_[i_];
        const size_t start = i_;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            space_ = true;
            ++i_;
        } else if (c == '"') {
            text();
        } else if (c == '\'' || c == '[') {
            qualified(start);
        } else if (c == '#') {
            error(start);
        } else if (isDigit(c) || (c == '.' && i_ + 1 < f_.size() && isDigit(f_[i_ + 1]))) {
            if (f_.size() > nameRunEnd(start) && f_[nameRunEnd(start)] == '!') return qualified(start);
            if (reference(start)) return;
            number(start);
        } else if (c == '$') {
            if (!reference(start)) fail("Malformed reference", start);
        } else if (isNameChar(c)) {
            size_t end = nameRunEnd(start);
            if (end < f_.size() && f_[end] == '!') return qualified(start);
            if (end < f_.size() && f_[end] == '(') {
                push(TokenKind::Word, std::string(f_.substr(start, end - start)), start, end);
                return;
            }
            if (reference(start)) return;
            push(TokenKind::Word, std::string(f_.substr(start, end - start)), start, end);
        } else {
            punctuation(start);
        }
    }

    void text() {
        const size_t start = i_;
        std::string content;
        size_t j = i_ + 1;
        for (;;) {
            if (j >= f_.size()) fail("Unterminated text", start);
            if (f_[j] == '"') {
                if (j + 1 < f_.size() && f_[j + 1] == '"') {
                    content += '"';
                    j += 2;
                    continue;
                }
                ++j;
                break;
            }
            content += f_[j++];
        }
        push(TokenKind::Text, std::move(content), start, j);
    }

    void number(size_t start) {
        size_t j = start;
        while (j < f_.size() && (isDigit(f_[j]) || f_[j] == '.')) ++j;
        if (j < f_.size() && (f_[j] == 'E' || f_[j] == 'e')) {
            size_t k = j + 1;
            if (k < f_.size() && (f_[k] == '+' || f_[k] == '-')) ++k;
            if (k < f_.size() && isDigit(f_[k])) {
                j = k;
                while (j < f_.size() && isDigit(f_[j])) ++j;
            }
        }
        std::string literal(f_.substr(start, j - start));
        char* end = nullptr;
        double v = std::strtod(literal.c_str(), &end);
        if (!end || *end != '\0') fail("Malformed number \"" + literal + "\"", start);
        push(TokenKind::Number, literal, start, j).number = v;
    }

    // Error texts are 4 ("#N/A") to 7 ("#VALUE!") characters long and none begins
    // another, so at most one length matches. "#REF!" directly before a reference
    // body ("#REF!A1", what a reference to a deleted sheet becomes) is one token.
    void error(size_t start) {
        for (size_t len = 4; len <= 7 && i_ + len <= f_.size(); ++len) {
            if (auto e = host::errorFromText(f_.substr(i_, len), true)) {
                size_t end = i_ + len;
                if (*e == host::ErrorValue::Ref)
                    if (auto body = host::scanReferenceBody(f_, end)) end = body->end;
                push(TokenKind::Error, host::errorText(*e), start, end);
                return;
            }
        }
        fail("Unknown error value", start);
    }

    // A reference body at `start`, with the qualifier given; false when there is none.
    bool reference(size_t start, const host::ScannedQualifier* q = nullptr) {
        host::ReferenceStatus status;
        auto body = host::scanReferenceBody(f_, i_, &status);
        if (!body) {
            // An area whose end lies past the sheet is an error, not a name.
            size_t end = nameRunEnd(i_ + (f_[i_] == '$' ? 1 : 0));
            if (status == host::ReferenceStatus::PastLimits && end < f_.size() && f_[end] == ':')
                fail("Reference past the sheet's last row or column", start);
            return false;
        }
        host::Reference ref;
        if (q) ref.book = q->book, ref.sheet = q->sheet;
        ref.form = body->form;
        ref.first = body->first;
        ref.last = body->last;
        push(TokenKind::Reference, std::string(f_.substr(start, body->end - start)), start, body->end).ref =
            std::move(ref);
        return true;
    }

    // "Sheet1!…", "'My sheet'!…", "[1]Sheet1!…": a reference, a name or an error value.
    void qualified(size_t start) {
        auto q = host::scanQualifier(f_, start);
        if (!q) fail(f_[start] == '\'' ? "Unterminated sheet name" : "Malformed sheet name", start);
        i_ = q->end;
        if (i_ < f_.size() && f_[i_] == '#') return error(start);
        if (i_ < f_.size() && reference(start, &*q)) return;
        size_t end = nameRunEnd(i_);
        if (end == i_ || (end < f_.size() && f_[end] == '(')) fail("Reference expected after the sheet name", start);
        Token& t = push(TokenKind::Word, std::string(f_.substr(i_, end - i_)), start, end);
        t.ref.book = q->book;
        t.ref.sheet = q->sheet;
    }

    void punctuation(size_t start) {
        const char c = f_[start];
        auto one = [&](TokenKind kind) { push(kind, std::string(1, c), start, start + 1); };
        switch (c) {
            case '(': return one(TokenKind::Open);
            case ')': return one(TokenKind::Close);
            case '{': return one(TokenKind::BraceOpen);
            case '}': return one(TokenKind::BraceClose);
            case ',': return one(TokenKind::Comma);
            case ';': return one(TokenKind::Semicolon);
            case ':': return one(TokenKind::Colon);
            case '+': case '-': case '*': case '/': case '^': case '&': case '%': case '=':
                return one(TokenKind::Operator);
            case '<':
            case '>': {
                size_t end = start + 1;
                if (end < f_.size() && (f_[end] == '=' || (c == '<' && f_[end] == '>'))) ++end;
                push(TokenKind::Operator, std::string(f_.substr(start, end - start)), start, end);
                return;
            }
            default:
                fail(std::string("Unexpected character '") + c + "'", start);
        }
    }

    std::string_view f_;
    size_t i_ = 0;
    bool space_ = false;
    std::vector<Token> out_;
};

}  // namespace

std::vector<Token> tokenize(std::string_view f) {
    if (f.size() > kMaxFormulaLength)
        throw FormulaSyntaxError("Formula longer than " + std::to_string(kMaxFormulaLength) +
                                 " characters");
    return Lexer(f).run();
}

}  // namespace vorra::engine::formula
