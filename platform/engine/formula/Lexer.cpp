#include "platform/engine/formula/Lexer.h"

#include <cctype>
#include <cstdlib>

#include "addin/frame/host/Value.h"

namespace vorra::engine::formula {

namespace {

bool isWordChar(unsigned char c) {
    return std::isalnum(c) || c == '_' || c == '.' || c == '$' || c == '\\' || c >= 0x80;
}

[[noreturn]] void fail(const std::string& what, size_t at) {
    throw FormulaSyntaxError(what + " at position " + std::to_string(at + 1));
}

}  // namespace

std::vector<Token> tokenize(std::string_view f) {
    if (f.size() > kMaxFormulaLength)
        throw FormulaSyntaxError("Formula longer than " + std::to_string(kMaxFormulaLength) +
                                 " characters");
    std::vector<Token> out;
    size_t i = 0;
    bool space = false;
    auto push = [&](TokenKind kind, std::string text, size_t at) {
        Token t;
        t.kind = kind;
        t.text = std::move(text);
        t.position = at;
        t.spaceBefore = space;
        space = false;
        out.push_back(std::move(t));
    };
    while (i < f.size()) {
        unsigned char c = static_cast<unsigned char>(f[i]);
        size_t start = i;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            space = true;
            ++i;
        } else if (std::isdigit(c) || (c == '.' && i + 1 < f.size() && std::isdigit(static_cast<unsigned char>(f[i + 1])))) {
            while (i < f.size() && (std::isdigit(static_cast<unsigned char>(f[i])) || f[i] == '.')) ++i;
            if (i < f.size() && (f[i] == 'E' || f[i] == 'e')) {
                size_t j = i + 1;
                if (j < f.size() && (f[j] == '+' || f[j] == '-')) ++j;
                if (j < f.size() && std::isdigit(static_cast<unsigned char>(f[j]))) {
                    i = j;
                    while (i < f.size() && std::isdigit(static_cast<unsigned char>(f[i]))) ++i;
                }
            }
            std::string text(f.substr(start, i - start));
            char* end = nullptr;
            double v = std::strtod(text.c_str(), &end);
            if (!end || *end != '\0') fail("Malformed number \"" + text + "\"", start);
            push(TokenKind::Number, text, start);
            out.back().number = v;
        } else if (c == '"' || c == '\'') {
            char quote = static_cast<char>(c);
            std::string text;
            ++i;
            for (;;) {
                if (i >= f.size()) fail(c == '"' ? "Unterminated text" : "Unterminated sheet name", start);
                if (f[i] == quote) {
                    if (i + 1 < f.size() && f[i + 1] == quote) {
                        text += quote;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                text += f[i++];
            }
            push(c == '"' ? TokenKind::Text : TokenKind::QuotedSheet, std::move(text), start);
        } else if (c == '#') {
            // Error texts are 4 ("#N/A") to 7 ("#VALUE!") characters long and none
            // begins another, so at most one length matches.
            bool found = false;
            for (size_t len = 4; !found && len <= 7 && len <= f.size() - i; ++len) {
                if (auto e = host::errorFromText(f.substr(i, len), true)) {
                    std::string_view text = host::errorText(*e);
                    push(TokenKind::Error, std::string(text), start);
                    i += text.size();
                    found = true;
                }
            }
            if (!found) fail("Unknown error value", start);
        } else if (isWordChar(c)) {
            while (i < f.size() && isWordChar(static_cast<unsigned char>(f[i]))) ++i;
            push(TokenKind::Word, std::string(f.substr(start, i - start)), start);
        } else {
            ++i;
            switch (c) {
                case '(': push(TokenKind::Open, "(", start); break;
                case ')': push(TokenKind::Close, ")", start); break;
                case '{': push(TokenKind::BraceOpen, "{", start); break;
                case '}': push(TokenKind::BraceClose, "}", start); break;
                case ',': push(TokenKind::Comma, ",", start); break;
                case ';': push(TokenKind::Semicolon, ";", start); break;
                case ':': push(TokenKind::Colon, ":", start); break;
                case '!': push(TokenKind::Bang, "!", start); break;
                case '+': case '-': case '*': case '/': case '^': case '&': case '%': case '=':
                    push(TokenKind::Operator, std::string(1, static_cast<char>(c)), start);
                    break;
                case '<':
                case '>': {
                    std::string op(1, static_cast<char>(c));
                    if (i < f.size() && (f[i] == '=' || (c == '<' && f[i] == '>'))) op += f[i++];
                    push(TokenKind::Operator, op, start);
                    break;
                }
                default:
                    fail(std::string("Unexpected character '") + static_cast<char>(c) + "'", start);
            }
        }
    }
    push(TokenKind::End, "", f.size());
    return out;
}

}  // namespace vorra::engine::formula
