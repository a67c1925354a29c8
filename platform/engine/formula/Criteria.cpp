#include "platform/engine/formula/Criteria.h"

#include <unicode/utf8.h>

#include <cctype>
#include <vector>

#include "platform/engine/formula/FunctionTable.h"
#include "platform/engine/formula/ValueRules.h"

namespace vorra::engine::formula {

namespace {

std::vector<UChar32> codePoints(std::string_view s) {
    std::vector<UChar32> out;
    int32_t i = 0, n = static_cast<int32_t>(s.size());
    while (i < n) {
        UChar32 c;
        U8_NEXT(reinterpret_cast<const uint8_t*>(s.data()), i, n, c);
        out.push_back(c < 0 ? 0xFFFD : c);
    }
    return out;
}

}  // namespace

WildcardPattern::WildcardPattern(std::string_view pattern) {
    auto cps = codePoints(TextOrder::fold(pattern));
    chars_.reserve(cps.size());
    for (size_t i = 0; i < cps.size(); ++i) {
        if (cps[i] == '~' && i + 1 < cps.size() && (cps[i + 1] == '*' || cps[i + 1] == '?' || cps[i + 1] == '~')) {
            chars_.push_back({cps[++i], true});
        } else {
            chars_.push_back({cps[i], cps[i] != '*' && cps[i] != '?'});
        }
    }
}

bool WildcardPattern::matches(std::string_view text) const {
    const std::vector<Char>& p = chars_;
    const std::vector<UChar32> t = codePoints(TextOrder::fold(text));
    // Iterative matching with one backtrack point for the last '*': linear in
    // practice, never recursive.
    size_t pi = 0, ti = 0, starP = std::string::npos, starT = 0;
    while (ti < t.size()) {
        if (pi < p.size() && !p[pi].literal && p[pi].c == '*') {
            starP = pi++;
            starT = ti;
        } else if (pi < p.size() && ((!p[pi].literal && p[pi].c == '?') || p[pi].c == t[ti])) {
            ++pi;
            ++ti;
        } else if (starP != std::string::npos) {
            pi = starP + 1;
            ti = ++starT;
        } else {
            return false;
        }
    }
    while (pi < p.size() && !p[pi].literal && p[pi].c == '*') ++pi;
    return pi == p.size();
}

bool hasWildcards(std::string_view pattern) { return pattern.find_first_of("*?~") != std::string_view::npos; }

bool wildcardMatch(std::string_view pattern, std::string_view text) {
    return WildcardPattern(pattern).matches(text);
}

Criterion::Criterion(const Value& criteria, const TextOrder& order) : order_(order) {
    if (!criteria.isText()) {
        operand_ = criteria.isEmpty() ? Value::text("") : criteria;
        if (operand_.isText()) foldedPattern_ = "";
        return;
    }
    std::string_view s = criteria.asText();
    static const std::pair<std::string_view, Comparison> prefixes[] = {
        {"<>", Comparison::Ne}, {"<=", Comparison::Le}, {">=", Comparison::Ge},
        {"=", Comparison::Eq},  {"<", Comparison::Lt},  {">", Comparison::Gt}};
    for (auto& [p, op] : prefixes)
        if (s.substr(0, p.size()) == p) {
            op_ = op;
            s.remove_prefix(p.size());
            break;
        }
    std::string rest(s);
    std::string upper = rest;
    for (auto& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (auto d = parseNumberText(rest)) {
        operand_ = Value::number(*d);
    } else if (upper == "TRUE" || upper == "FALSE") {
        operand_ = Value::boolean(upper == "TRUE");
    } else {
        operand_ = Value::text(rest);
        if (auto e = host::errorFromText(rest, true)) operand_ = Value::error(*e);
        if (operand_.isText()) {
            if ((op_ == Comparison::Eq || op_ == Comparison::Ne) && hasWildcards(rest))
                wildcard_.emplace(rest);
            foldedPattern_ = rest;
        }
    }
    // "=" alone matches empty cells only; "" (no prefix) matches empty cells and
    // empty texts; "<>" matches every cell that is not empty.
    if (criteria.asText() == "=") operand_ = Value();
}

bool Criterion::compareNumber(double cell) const {
    double x = operand_.asNumber();
    switch (op_) {
        case Comparison::Eq: return cell == x;
        case Comparison::Ne: return cell != x;
        case Comparison::Lt: return cell < x;
        case Comparison::Le: return cell <= x;
        case Comparison::Gt: return cell > x;
        case Comparison::Ge: return cell >= x;
    }
    return false;
}

bool Criterion::matches(const Value& cell) const {
    bool equalityTest = op_ == Comparison::Eq || op_ == Comparison::Ne;
    bool negate = op_ == Comparison::Ne;
    if (operand_.isEmpty()) return cell.isEmpty() != negate;  // "=" and "<>" alone
    if (operand_.isNumber()) {
        if (cell.isNumber()) return compareNumber(cell.asNumber());
        if (cell.isText() && equalityTest) {
            // A number matches a text that reads as the same number.
            auto d = parseNumberText(cell.asText());
            return (d && *d == operand_.asNumber()) != negate;
        }
        return negate;
    }
    if (operand_.isBoolean()) {
        if (cell.isBoolean()) {
            int c = int(cell.asBoolean()) - int(operand_.asBoolean());
            switch (op_) {
                case Comparison::Eq: return c == 0;
                case Comparison::Ne: return c != 0;
                case Comparison::Lt: return c < 0;
                case Comparison::Le: return c <= 0;
                case Comparison::Gt: return c > 0;
                case Comparison::Ge: return c >= 0;
            }
        }
        return negate;
    }
    if (operand_.isError()) return (cell.isError() && cell.asError() == operand_.asError()) != negate;
    // Text operand.
    const std::string& pattern = foldedPattern_;
    if (equalityTest) {
        bool equal;
        if (pattern.empty()) equal = cell.isEmpty() || (cell.isText() && cell.asText().empty());
        else if (!cell.isText()) equal = false;
        else if (wildcard_) equal = wildcard_->matches(cell.asText());
        else equal = TextOrder::equalIgnoringCase(pattern, cell.asText());
        return equal != negate;
    }
    if (!cell.isText()) return false;
    int c = TextOrder::equalIgnoringCase(cell.asText(), pattern) ? 0 : order_.compare(cell.asText(), pattern);
    switch (op_) {
        case Comparison::Lt: return c < 0;
        case Comparison::Le: return c <= 0;
        case Comparison::Gt: return c > 0;
        case Comparison::Ge: return c >= 0;
        default: return false;
    }
}

namespace fn {

namespace {

Value criteriaValue(const Operand& op, const EvalContext& ctx) { return toScalar(op, ctx); }

}  // namespace

Operand countIf(std::vector<Operand>& args, const EvalContext& ctx) {
    if (!std::holds_alternative<RangeRef>(args[0]) && !std::holds_alternative<Array2D>(args[0]))
        return errorOperand(ErrorValue::Value);
    Value c = criteriaValue(args[1], ctx);
    Criterion criterion(c, ctx.order());
    Grid range(args[0], ctx);
    double matches = 0, stored = 0;
    range.forEachStored([&](int, int, const Value& v) {
        ++stored;
        if (criterion.matches(v)) ++matches;
        return true;
    });
    if (criterion.matchesBlank()) matches += static_cast<double>(range.count()) - stored;
    return Value::number(matches);
}

Operand sumIf(std::vector<Operand>& args, const EvalContext& ctx) {
    if (!std::holds_alternative<RangeRef>(args[0]) && !std::holds_alternative<Array2D>(args[0]))
        return errorOperand(ErrorValue::Value);
    Criterion criterion(criteriaValue(args[1], ctx), ctx.order());
    Grid range(args[0], ctx);
    // The sum range has the shape of the criteria range, from its own top-left cell.
    Operand sumOperand = args[0];
    if (args.size() > 2 && !std::holds_alternative<Missing>(args[2])) {
        if (auto* r = std::get_if<RangeRef>(&args[2])) {
            Area a = r->area;
            a.bottom = std::min(host::kMaxRows, a.top + range.rows() - 1);
            a.right = std::min(host::kMaxColumns, a.left + range.columns() - 1);
            sumOperand = RangeRef{r->sheet, a};
        } else {
            sumOperand = args[2];
        }
    }
    Grid sums(sumOperand, ctx);
    double total = 0;
    std::optional<Value> error;
    auto add = [&](const Value& v) {
        if (v.isError()) error = v;
        else if (v.isNumber()) total += v.asNumber();
        return !error;
    };
    if (criterion.matchesBlank()) {
        sums.forEachStored([&](int r, int c, const Value& v) {
            if (r >= range.rows() || c >= range.columns()) return true;
            return criterion.matches(range.at(r, c)) ? add(v) : true;
        });
    } else {
        range.forEachStored([&](int r, int c, const Value& v) {
            if (!criterion.matches(v) || r >= sums.rows() || c >= sums.columns()) return true;
            return add(sums.at(r, c));
        });
    }
    if (error) return *error;
    return Value::number(total);
}

}  // namespace fn

}  // namespace vorra::engine::formula
