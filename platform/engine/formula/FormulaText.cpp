#include "platform/engine/formula/FormulaText.h"

#include <cctype>
#include <optional>
#include <vector>

#include "platform/engine/formula/FunctionTable.h"
#include "platform/engine/formula/Lexer.h"

namespace vorra::engine::formula {

namespace {

constexpr std::string_view kNewerPrefix = "_XLFN.";

std::string upper(std::string_view s) {
    std::string u(s);
    for (auto& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

// The text with each token for which `replace` gives a text replaced by it.
template <class Replace>
std::string rebuild(std::string_view text, Replace replace) {
    std::vector<Token> tokens;
    try {
        tokens = tokenize(text);
    } catch (const FormulaSyntaxError&) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size() + 8);
    size_t at = 0;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        const Token* next = i + 1 < tokens.size() ? &tokens[i + 1] : nullptr;
        std::optional<std::string> with = replace(t, next);
        if (!with) continue;
        out.append(text.substr(at, t.position - at));
        out += *with;
        at = t.position + t.length;
    }
    out.append(text.substr(at));
    return out;
}

bool isFunctionName(const Token& t, const Token* next) {
    return t.kind == TokenKind::Word && !t.qualified() && next && next->kind == TokenKind::Open &&
           next->position == t.position + t.length;
}

}  // namespace

std::string shiftFormula(std::string_view formula, int rows, int columns) {
    if (rows == 0 && columns == 0) return std::string(formula);
    return rebuild(formula, [&](const Token& t, const Token*) -> std::optional<std::string> {
        if (t.kind != TokenKind::Reference) return std::nullopt;
        auto moved = host::shiftReference(t.ref, rows, columns);
        if (!moved) return (t.ref.hasSheet() ? host::printQualifier(t.ref.book, t.ref.sheet) + "!" : "") + "#REF!";
        if (*moved == t.ref) return std::nullopt;
        return host::printReference(*moved);
    });
}

std::string formulaForFile(std::string_view formula) {
    // Most formulas use no newer function: look for their names before tokenizing.
    std::string u = upper(formula);
    bool any = false;
    for (const FunctionInfo& f : functionTable())
        if (f.newerThanFileFormat && u.find(f.name) != std::string::npos) any = true;
    if (!any) return std::string(formula);
    return rebuild(formula, [&](const Token& t, const Token* next) -> std::optional<std::string> {
        if (!isFunctionName(t, next)) return std::nullopt;
        const FunctionInfo* f = findFunction(upper(t.text));
        if (!f || !f->newerThanFileFormat) return std::nullopt;
        return "_xlfn." + t.text;
    });
}

std::string formulaFromFile(std::string_view formula) {
    if (upper(formula).find(kNewerPrefix) == std::string::npos) return std::string(formula);
    return rebuild(formula, [&](const Token& t, const Token* next) -> std::optional<std::string> {
        if (!isFunctionName(t, next)) return std::nullopt;
        std::string name = upper(t.text);
        if (name.rfind(kNewerPrefix, 0) != 0) return std::nullopt;
        if (!findFunction(std::string_view(name).substr(kNewerPrefix.size()))) return std::nullopt;
        return t.text.substr(kNewerPrefix.size());
    });
}

SheetRename renameSheet(std::string_view formula, const std::function<bool(const std::string&)>& isSheet,
                        const std::string& newName) {
    SheetRename out;
    out.text = rebuild(formula, [&](const Token& t, const Token*) -> std::optional<std::string> {
        if ((t.kind != TokenKind::Reference && t.kind != TokenKind::Word) || !t.qualified()) return std::nullopt;
        if (!t.ref.book.empty() || !isSheet(t.ref.sheet)) {
            out.namesOtherSheets = true;
            return std::nullopt;
        }
        out.namesSheet = true;
        // A reference to a deleted sheet reads "#REF!A1", as the host writes it.
        if (newName.empty()) return "#REF!" + (t.kind == TokenKind::Reference ? host::printReferenceBody(t.ref) : t.text);
        host::Reference moved = t.ref;
        moved.sheet = newName;
        if (t.kind == TokenKind::Reference) return host::printReference(moved);
        return host::printQualifier("", newName) + "!" + t.text;
    });
    return out;
}

}  // namespace vorra::engine::formula
