#pragma once
// First stage of formula processing: formula text (without "=") to tokens.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vorra::engine::formula {

// Longest formula text accepted, as in the host.
inline constexpr size_t kMaxFormulaLength = 8192;

// A formula that cannot be read; the message says what and where.
class FormulaSyntaxError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TokenKind {
    Number,       // 12, 1.5, 1E3
    Text,         // "…" with "" for a quote; text holds the unquoted content
    Error,        // #N/A, #DIV/0!, …
    Word,         // names, functions, A1 references, unquoted sheet names, TRUE
    QuotedSheet,  // '…' with '' for an apostrophe; text holds the name
    Operator,     // + - * / ^ & % = <> < > <= >=
    Open, Close,  // ( )
    BraceOpen, BraceClose,  // { }
    Comma, Semicolon, Colon, Bang,  // , ; : !
    End,
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;
    double number = 0;
    size_t position = 0;  // byte offset in the formula, for messages
    bool spaceBefore = false;
};

// Splits a formula text into tokens; throws FormulaSyntaxError on an unterminated
// text, an unknown error literal or a character that has no meaning here.
std::vector<Token> tokenize(std::string_view formula);

}  // namespace vorra::engine::formula
