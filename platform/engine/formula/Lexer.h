#pragma once
// First stage of formula processing: formula text (without "=") to tokens. References
// are read here, whole, by the one reference grammar (addin/frame/host/Reference.h):
// "A1", "$A$1:B2", "A:A", "1:3", each possibly after a sheet or workbook qualifier
// ("Sheet1!", "'My sheet'!", "[1]Sheet1!"). Every token remembers where it stands in
// the text, so that a formula text can be rebuilt with some tokens replaced (shared
// formulas moved to another cell, function names as files spell them).

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "addin/frame/host/Reference.h"

namespace vorra::engine::formula {

// Longest formula text accepted, as in the host.
inline constexpr size_t kMaxFormulaLength = 8192;

// A formula that cannot be read; the message says what and where.
class FormulaSyntaxError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TokenKind {
    Number,     // 12, 1.5, 1E3
    Text,       // "…" with "" for a quote; text holds the unquoted content
    Error,      // #N/A, #DIV/0!, …, also after a qualifier (Sheet1!#REF!)
    Reference,  // A1, $A$1:B2, A:A, 1:3, Sheet1!A1 …: ref holds it
    Word,       // names, function names, TRUE/FALSE; ref.book/ref.sheet hold a qualifier
    Operator,   // + - * / ^ & % = <> < > <= >=
    Open, Close,            // ( )
    BraceOpen, BraceClose,  // { }
    Comma, Semicolon, Colon,  // , ; :
    End,
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;     // as written (Text: the content without quotes)
    double number = 0;
    host::Reference ref;  // Reference; the qualifier of a Word
    size_t position = 0;  // byte offset in the formula, for messages and rebuilding
    size_t length = 0;    // bytes of the formula the token covers
    bool spaceBefore = false;
    bool qualified() const { return ref.hasSheet(); }
};

// Splits a formula text into tokens; throws FormulaSyntaxError on an unterminated
// text or sheet name, an unknown error literal, an area past the sheet's end or a
// character that has no meaning here.
std::vector<Token> tokenize(std::string_view formula);

}  // namespace vorra::engine::formula
