#include "platform/engine/data/SheetQuery.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "addin/frame/host/HostError.h"

namespace vorra::engine {

using host::HostError;
using host::Value;

namespace {

[[noreturn]] void refuse(const std::string& why) {
    throw HostError(host::error::kApplicationDefined, "Query not understood: " + why);
}

struct Token {
    enum Kind { Word, Bracketed, Text, Number, Symbol, End } kind;
    std::string text;
};

bool isSymbolChar(char c) {
    return c == ',' || c == '*' || c == '=' || c == '<' || c == '>' || c == ';' || c == '(' ||
           c == ')';
}

std::vector<Token> tokenize(const std::string& sql) {
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < sql.size()) {
        char c = sql[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == '[') {
            auto close = sql.find(']', i);
            if (close == std::string::npos) refuse("a \"[\" without its \"]\"");
            tokens.push_back({Token::Bracketed, sql.substr(i + 1, close - i - 1)});
            i = close + 1;
        } else if (c == '\'') {
            std::string text;
            ++i;
            for (;;) {
                if (i >= sql.size()) refuse("a text without its closing quote");
                if (sql[i] == '\'') {
                    if (i + 1 < sql.size() && sql[i + 1] == '\'') {
                        text += '\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                text += sql[i++];
            }
            tokens.push_back({Token::Text, text});
        } else if (c == '<' || c == '>') {
            std::string op(1, c);
            if (i + 1 < sql.size() && (sql[i + 1] == '=' || (c == '<' && sql[i + 1] == '>')))
                op += sql[++i];
            tokens.push_back({Token::Symbol, op});
            ++i;
        } else if (isSymbolChar(c)) {
            tokens.push_back({Token::Symbol, std::string(1, c)});
            ++i;
        } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '.') {
            size_t start = i++;
            while (i < sql.size() && (std::isdigit(static_cast<unsigned char>(sql[i])) || sql[i] == '.'))
                ++i;
            tokens.push_back({Token::Number, sql.substr(start, i - start)});
        } else {
            size_t start = i;
            while (i < sql.size() && !std::isspace(static_cast<unsigned char>(sql[i])) &&
                   !isSymbolChar(sql[i]) && sql[i] != '[' && sql[i] != '\'')
                ++i;
            tokens.push_back({Token::Word, sql.substr(start, i - start)});
        }
    }
    tokens.push_back({Token::End, {}});
    return tokens;
}

bool keyword(const Token& t, const char* word) {
    if (t.kind != Token::Word) return false;
    std::string upper = t.text;
    for (auto& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return upper == word;
}

class Parser {
public:
    explicit Parser(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

    SheetQuery parse() {
        SheetQuery q;
        expectKeyword("SELECT");
        if (peek().kind == Token::Symbol && peek().text == "*") {
            next();
        } else {
            q.columns.push_back(columnName());
            while (peek().kind == Token::Symbol && peek().text == ",") {
                next();
                q.columns.push_back(columnName());
            }
        }
        expectKeyword("FROM");
        const Token& table = next();
        if (table.kind != Token::Bracketed || table.text.empty() || table.text.back() != '$')
            refuse("the table must be a sheet written as [Name$]");
        q.sheet = table.text.substr(0, table.text.size() - 1);
        if (keyword(peek(), "WHERE")) {
            next();
            q.anyOf.push_back({comparison()});
            for (;;) {
                if (keyword(peek(), "AND")) {
                    next();
                    q.anyOf.back().push_back(comparison());
                } else if (keyword(peek(), "OR")) {
                    next();
                    q.anyOf.push_back({comparison()});
                } else {
                    break;
                }
            }
        }
        if (peek().kind == Token::Symbol && peek().text == ";") next();
        if (peek().kind != Token::End) refuse("unexpected \"" + peek().text + "\"");
        return q;
    }

private:
    const Token& peek() const { return tokens_[pos_]; }
    const Token& next() { return tokens_[pos_ < tokens_.size() - 1 ? pos_++ : pos_]; }

    void expectKeyword(const char* word) {
        if (!keyword(peek(), word))
            refuse(std::string("expected ") + word + " before \"" + peek().text + "\"");
        next();
    }

    std::string columnName() {
        const Token& t = next();
        if ((t.kind != Token::Word && t.kind != Token::Bracketed) || t.text.empty() ||
            keyword(t, "FROM") || keyword(t, "WHERE"))
            refuse("expected a column name");
        return t.text;
    }

    Comparison comparison() {
        Comparison c;
        c.column = columnName();
        const Token& op = next();
        if (op.kind != Token::Symbol ||
            (op.text != "=" && op.text != "<>" && op.text != "<" && op.text != ">" &&
             op.text != "<=" && op.text != ">="))
            refuse("expected a comparison after " + c.column);
        c.op = op.text;
        const Token& lit = next();
        if (lit.kind == Token::Text) {
            c.literal = Value::text(lit.text);
        } else if (lit.kind == Token::Number) {
            double d = 0;
            auto [end, ec] = std::from_chars(lit.text.data(), lit.text.data() + lit.text.size(), d);
            if (ec != std::errc() || end != lit.text.data() + lit.text.size())
                refuse("\"" + lit.text + "\" is not a number");
            c.literal = Value::number(d);
        } else {
            refuse("expected a quoted text or a number after " + c.column + " " + c.op);
        }
        return c;
    }

    std::vector<Token> tokens_;
    size_t pos_ = 0;
};

template <class T>
bool compare(const T& a, const std::string& op, const T& b) {
    if (op == "=") return a == b;
    if (op == "<>") return a != b;
    if (op == "<") return a < b;
    if (op == ">") return a > b;
    if (op == "<=") return a <= b;
    return a >= b;
}

bool holds(const Value& cell, const Comparison& c) {
    if (cell.isEmpty()) return false;  // NULL satisfies nothing
    if (c.literal.isNumber() && cell.isNumber())
        return compare(cell.asNumber(), c.op, c.literal.asNumber());
    return compare(cell.toText(), c.op, c.literal.toText());
}

}  // namespace

SheetQuery parseSheetQuery(const std::string& sql) {
    if (sql.size() > 64 * 1024) refuse("the query text is too long");
    return Parser(tokenize(sql)).parse();
}

std::string dataSourceOf(const std::string& connectionString) {
    static const std::string kKey = "data source=";
    std::string lower = connectionString;
    for (auto& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    auto at = lower.find(kKey);
    if (at == std::string::npos)
        throw HostError(host::error::kApplicationDefined,
                        "The connection string names no data source");
    auto start = at + kKey.size();
    // A value in quotes runs to its closing quote, a doubled quote standing for one, so
    // that a path may hold ";".
    if (start < connectionString.size() && (connectionString[start] == '"' || connectionString[start] == '\'')) {
        const char quote = connectionString[start];
        std::string source;
        for (size_t i = start + 1; i < connectionString.size(); ++i) {
            if (connectionString[i] != quote) {
                source += connectionString[i];
            } else if (i + 1 < connectionString.size() && connectionString[i + 1] == quote) {
                source += quote;
                ++i;
            } else {
                if (source.empty()) break;
                return source;
            }
        }
        throw HostError(host::error::kApplicationDefined, "The connection string names no data source");
    }
    auto end = connectionString.find(';', start);
    std::string source = connectionString.substr(start, end == std::string::npos ? std::string::npos
                                                                                 : end - start);
    if (source.empty())
        throw HostError(host::error::kApplicationDefined, "The connection string names no data source");
    return source;
}

host::Recordset runSheetQuery(const SheetQuery& query, const WorkbookModel& workbook) {
    const Sheet* sheet = nullptr;
    for (const auto& s : workbook.sheets)
        if (s->name == query.sheet) sheet = s.get();
    if (!sheet)
        throw HostError(host::error::kApplicationDefined,
                        "The workbook has no sheet named \"" + query.sheet + "\"");
    host::Recordset result;
    auto bounds = sheet->cells.bounds();
    if (!bounds) {
        if (!query.columns.empty() || !query.anyOf.empty())
            throw HostError(host::error::kApplicationDefined,
                            "The sheet \"" + query.sheet + "\" has no column headings");
        return result;
    }
    auto valueAt = [&](int row, int col) -> Value {
        const Cell* cell = sheet->cells.find({row, col});
        return cell ? cell->value : Value();
    };
    const int headingRow = bounds->top;
    std::vector<std::string> headings;
    for (int col = bounds->left; col <= bounds->right; ++col) {
        std::string h = valueAt(headingRow, col).toText();
        if (h.empty()) h = "F" + std::to_string(col - bounds->left + 1);
        headings.push_back(h);
    }
    auto columnIndex = [&](const std::string& name) {
        auto it = std::find(headings.begin(), headings.end(), name);
        if (it == headings.end())
            throw HostError(host::error::kApplicationDefined,
                            "The sheet \"" + query.sheet + "\" has no column \"" + name + "\"");
        return static_cast<int>(it - headings.begin());
    };
    std::vector<int> selected;
    if (query.columns.empty()) {
        for (size_t i = 0; i < headings.size(); ++i) selected.push_back(static_cast<int>(i));
    } else {
        for (const auto& c : query.columns) selected.push_back(columnIndex(c));
    }
    struct Bound {
        int index;
        const Comparison* comparison;
    };
    std::vector<std::vector<Bound>> groups;
    for (const auto& group : query.anyOf) {
        groups.emplace_back();
        for (const auto& c : group) groups.back().push_back({columnIndex(c.column), &c});
    }
    for (int idx : selected) result.fields.push_back(headings[size_t(idx)]);
    std::vector<int> matching;
    for (int row = headingRow + 1; row <= bounds->bottom; ++row) {
        bool matches = groups.empty();
        for (const auto& group : groups) {
            bool all = true;
            for (const auto& b : group)
                if (!holds(valueAt(row, bounds->left + b.index), *b.comparison)) all = false;
            if (all) matches = true;
        }
        if (matches) matching.push_back(row);
    }
    // Refused before anything is built.
    if (matching.size() > kMaxQueryCells / std::max<size_t>(selected.size(), 1))
        throw HostError(host::error::kApplicationDefined,
                        "The result of the query on \"" + query.sheet + "\" holds more than " +
                            std::to_string(kMaxQueryCells) + " cells");
    for (int row : matching) {
        std::vector<Value> record;
        for (int idx : selected) record.push_back(valueAt(row, bounds->left + idx));
        result.rows.push_back(std::move(record));
    }
    return result;
}

}  // namespace vorra::engine
