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

Criterion::Criterion(const Value& criteria, const EvalContext& ctx) : order_(ctx.order()), ctx_(ctx) {
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
    if (auto d = parseNumberText(rest, ctx)) {
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
    // "=" alone matches empty cells only and "<>" alone every other cell; "" (no
    // prefix) matches empty cells and empty texts.
    if (criteria.asText() == "=" || criteria.asText() == "<>") operand_ = Value();
}

bool Criterion::compareNumber(double cell) const {
    int c = compareNumbers(cell, operand_.asNumber());
    switch (op_) {
        case Comparison::Eq: return c == 0;
        case Comparison::Ne: return c != 0;
        case Comparison::Lt: return c < 0;
        case Comparison::Le: return c <= 0;
        case Comparison::Gt: return c > 0;
        case Comparison::Ge: return c >= 0;
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
            auto d = parseNumberText(cell.asText(), ctx_);
            return (d && compareNumbers(*d, operand_.asNumber()) == 0) != negate;
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

bool isRangeOrArray(const Operand& op) {
    return std::holds_alternative<RangeRef>(op) || std::holds_alternative<Array2D>(op);
}

// The area of `op` moved to the shape of `shape` (a sum or average range is read from
// its own top-left cell in the shape of the criteria range, as in the host).
Operand sameShape(const Operand& op, const Grid& shape) {
    if (auto* r = std::get_if<RangeRef>(&op)) {
        Area a = r->area;
        a.bottom = std::min(host::kMaxRows, a.top + shape.rows() - 1);
        a.right = std::min(host::kMaxColumns, a.left + shape.columns() - 1);
        return RangeRef{r->sheet, a};
    }
    return op;
}

// The conditions of a *IFS function: criteria ranges of one shape, each with its
// criterion. Cells are tested position by position.
struct Conditions {
    std::vector<Operand> ranges;
    std::vector<Grid> grids;
    std::vector<Criterion> criteria;
    bool allMatchBlank = true;

    bool matchAt(int r, int c) const {
        for (size_t i = 0; i < criteria.size(); ++i)
            if (!criteria[i].matches(grids[i].at(r, c))) return false;
        return true;
    }
};

// Reads the (range, criterion) pairs from args[first] on; #VALUE! when a range is
// none or the shapes differ.
std::optional<Value> readConditions(std::vector<Operand>& args, size_t first, const EvalContext& ctx,
                                    Conditions& out) {
    for (size_t i = first; i + 1 < args.size(); i += 2) {
        if (auto* v = std::get_if<Value>(&args[i]); v && v->isError()) return *v;
        if (!isRangeOrArray(args[i])) return Value::error(ErrorValue::Value);
        out.ranges.push_back(args[i]);
    }
    out.grids.reserve(out.ranges.size());
    out.criteria.reserve(out.ranges.size());
    for (size_t k = 0; k < out.ranges.size(); ++k) {
        out.grids.emplace_back(out.ranges[k], ctx);
        const Grid& g = out.grids.back();
        if (g.rows() != out.grids.front().rows() || g.columns() != out.grids.front().columns())
            return Value::error(ErrorValue::Value);
        out.criteria.emplace_back(toScalar(args[first + 2 * k + 1], ctx), ctx);
        out.allMatchBlank = out.allMatchBlank && out.criteria.back().matchesBlank();
    }
    return std::nullopt;
}

// Calls visit(row, column) for every position where all conditions hold, and gives
// the number of positions that hold only empty cells and match (counted, not
// visited). Positions are found from the stored cells of a range whose criterion
// refuses empty cells, when there is one.
template <class Visit>
double forEachMatch(const Conditions& c, Visit visit) {
    const Grid& first = c.grids.front();
    if (!c.allMatchBlank) {
        // Only stored cells of a range whose criterion refuses empty cells can match.
        size_t driver = 0;
        while (c.criteria[driver].matchesBlank()) ++driver;
        c.grids[driver].forEachStored([&](int r, int col, const Value&) {
            if (c.matchAt(r, col)) visit(r, col);
            return true;
        });
        return 0;
    }
    // Every criterion matches an empty cell: visit each position of the rows that hold
    // anything; the rest, all empty, match as a whole.
    long long rows = first.rows();
    int lastRow = -1;
    for (const Grid& g : c.grids) {
        g.forEachStored([&](int r, int, const Value&) {
            lastRow = std::max(lastRow, r);
            return true;
        });
    }
    for (int r = 0; r <= lastRow; ++r)
        for (int col = 0; col < first.columns(); ++col)
            if (c.matchAt(r, col)) visit(r, col);
    return static_cast<double>(rows - (lastRow + 1)) * first.columns();
}

// SUMIFS, AVERAGEIF and AVERAGEIFS over the numbers of the value range where the
// conditions hold. The *IFS functions want a value range of the conditions' shape;
// AVERAGEIF reads its average range in that shape from its top-left cell.
Operand conditionalTotal(std::vector<Operand>& args, size_t conditionsFrom, const Operand& valueRange,
                         const EvalContext& ctx, bool average, bool resize) {
    Conditions c;
    if (auto e = readConditions(args, conditionsFrom, ctx, c)) return *e;
    if (auto* v = std::get_if<Value>(&valueRange); v && v->isError()) return *v;
    if (!isRangeOrArray(valueRange)) return errorOperand(ErrorValue::Value);
    Operand values = resize ? sameShape(valueRange, c.grids.front()) : valueRange;
    Grid sums(values, ctx);
    if (sums.rows() != c.grids.front().rows() || sums.columns() != c.grids.front().columns())
        return errorOperand(ErrorValue::Value);
    double total = 0, n = 0;
    std::optional<Value> error;
    forEachMatch(c, [&](int r, int col) {
        if (error || r >= sums.rows() || col >= sums.columns()) return;
        const Value& v = sums.at(r, col);
        if (v.isError()) error = v;
        else if (v.isNumber()) total += v.asNumber(), ++n;
    });
    if (error) return *error;
    if (!average) return Value::number(total);
    if (n == 0) return errorOperand(ErrorValue::Div0);
    return Value::number(total / n);
}

}  // namespace

Operand countIf(std::vector<Operand>& args, const EvalContext& ctx) {
    if (!isRangeOrArray(args[0])) return errorOperand(ErrorValue::Value);
    Criterion criterion(toScalar(args[1], ctx), ctx);
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

Operand countIfs(std::vector<Operand>& args, const EvalContext& ctx) {
    Conditions c;
    if (auto e = readConditions(args, 0, ctx, c)) return *e;
    double n = 0;
    n += forEachMatch(c, [&](int, int) { ++n; });
    return Value::number(n);
}

Operand sumIf(std::vector<Operand>& args, const EvalContext& ctx) {
    if (!isRangeOrArray(args[0])) return errorOperand(ErrorValue::Value);
    Criterion criterion(toScalar(args[1], ctx), ctx);
    Grid range(args[0], ctx);
    Operand sumOperand = args[0];
    if (args.size() > 2 && !std::holds_alternative<Missing>(args[2])) sumOperand = sameShape(args[2], range);
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

Operand sumIfs(std::vector<Operand>& args, const EvalContext& ctx) {
    return conditionalTotal(args, 1, args[0], ctx, false, false);
}

Operand averageIf(std::vector<Operand>& args, const EvalContext& ctx) {
    std::vector<Operand> pair{args[0], args[1]};
    Operand values = args.size() > 2 && !std::holds_alternative<Missing>(args[2]) ? args[2] : args[0];
    return conditionalTotal(pair, 0, values, ctx, true, true);
}

Operand averageIfs(std::vector<Operand>& args, const EvalContext& ctx) {
    return conditionalTotal(args, 1, args[0], ctx, true, false);
}

}  // namespace fn

}  // namespace vorra::engine::formula
