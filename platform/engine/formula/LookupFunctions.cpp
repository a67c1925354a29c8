// VLOOKUP, HLOOKUP, LOOKUP, MATCH and INDEX. Exact searches take the first match
// (texts ignoring case, with wildcards); approximate searches are binary searches
// in the host's order that skip empty cells, errors and values of another kind, so
// that LOOKUP(1,0/(range<>""),range) finds the last non-empty entry.
// And the functions of references: CHOOSE, OFFSET, INDIRECT (through the one
// reference grammar) and ADDRESS.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>

#include "addin/frame/host/Reference.h"

#include "platform/engine/formula/Criteria.h"
#include "platform/engine/formula/FunctionTable.h"
#include "platform/engine/formula/LookupIndex.h"
#include "platform/engine/formula/LookupSearch.h"
#include "platform/engine/formula/ValueRules.h"

namespace vorra::engine::formula {

namespace {

// One row or column of a grid, as a sequence.
struct Line {
    const Grid& grid;
    bool alongRows;  // true: a column (index = row)
    int fixed;       // the column (or row) index
    int size() const { return alongRows ? grid.rows() : grid.columns(); }
    const Value& at(int i) const { return alongRows ? grid.at(i, fixed) : grid.at(fixed, i); }
};

bool comparableKinds(const Value& a, const Value& b) {
    return a.kind() == b.kind();
}

// Largest position whose entry is not greater than the lookup value; -1 if none.
int approximatePosition(const Line& line, const Value& lookup, const TextOrder& order) {
    // Texts are compared through the lookup value's collation key, computed once.
    const std::string key = lookup.isText() ? order.sortKey(lookup.asText()) : std::string();
    auto compare = [&](const Value& entry) {
        if (lookup.isText()) return order.compareToKey(entry.asText(), key);
        return compareForLookup(entry, lookup, order);
    };
    int lo = 0, hi = line.size() - 1, found = -1;
    while (lo <= hi) {
        int mid = lo + (hi - lo) / 2;
        int j = mid;
        while (j <= hi && !comparableKinds(line.at(j), lookup)) ++j;
        if (j > hi) {
            hi = mid - 1;
            continue;
        }
        if (compare(line.at(j)) <= 0) {
            found = j;
            lo = j + 1;
        } else {
            hi = mid - 1;
        }
    }
    return found;
}

// First position whose entry equals the lookup value; -1 if none.
int exactPosition(const Line& line, const Value& lookup, const EvalContext* ctx = nullptr) {
    bool pattern = lookup.isText() && hasWildcards(lookup.asText());
    const RangeRef* ref = line.grid.reference();
    if (!pattern && ctx && ctx->lookupIndexes() && ref && line.alongRows &&
        ref->area.rows() >= LookupIndexCache::kMinRows) {
        if (const CellStore* cells = ctx->cells(ref->sheet))
            return ctx->lookupIndexes()->firstMatch(*cells, ref->sheet, ref->area.left + line.fixed, ref->area.top,
                                                    ref->area.bottom, lookup);
        return -1;
    }
    std::optional<WildcardPattern> wildcard;
    if (pattern) wildcard.emplace(lookup.asText());
    auto equal = [&](const Value& v) {
        if (wildcard) return v.isText() && wildcard->matches(v.asText());
        return equalForLookup(v, lookup);
    };
    int found = -1;
    if (line.alongRows && line.grid.isReference()) {
        line.grid.forEachStoredInColumn(line.fixed, [&](int row, const Value& v) {
            if (!equal(v)) return true;
            found = row;
            return false;
        });
        return found;
    }
    for (int i = 0; i < line.size(); ++i)
        if (equal(line.at(i))) return i;
    return -1;
}

// Smallest value not less than the lookup value in a descending line (MATCH -1).
int descendingPosition(const Line& line, const Value& lookup, const TextOrder& order) {
    int found = -1;
    for (int i = 0; i < line.size(); ++i) {
        const Value& v = line.at(i);
        if (!comparableKinds(v, lookup)) continue;
        if (compareForLookup(v, lookup, order) >= 0) found = i;
        else break;
    }
    return found;
}

Value lookupValue(const Operand& op, const EvalContext& ctx) {
    Value v = toScalar(op, ctx);
    if (v.isEmpty()) return Value::number(0);
    return v;
}

std::optional<Value> integerArgument(const Operand& op, const EvalContext& ctx, double& out) {
    Value n = toNumber(toScalar(op, ctx), ctx);
    if (n.isError()) return n;
    out = std::trunc(n.asNumber());
    return std::nullopt;
}

bool approximateFlag(std::vector<Operand>& args, size_t index, const EvalContext& ctx, std::optional<Value>& error) {
    if (args.size() <= index) return true;
    if (std::holds_alternative<Missing>(args[index])) return false;
    Value b = toBoolean(toScalar(args[index], ctx));
    if (b.isError()) {
        error = b;
        return false;
    }
    return b.asBoolean();
}

Operand tableLookup(std::vector<Operand>& args, const EvalContext& ctx, bool vertical) {
    Value key = lookupValue(args[0], ctx);
    if (key.isError()) return key;
    if (auto* v = std::get_if<Value>(&args[1]); v && v->isError()) return *v;
    Grid table(args[1], ctx);
    double index = 0;
    if (auto e = integerArgument(args[2], ctx, index)) return *e;
    std::optional<Value> error;
    bool approximate = approximateFlag(args, 3, ctx, error);
    if (error) return *error;
    if (index < 1) return errorOperand(ErrorValue::Value);
    if (index > (vertical ? table.columns() : table.rows())) return errorOperand(ErrorValue::Ref);
    Line keys{table, vertical, 0};
    int pos = approximate ? approximatePosition(keys, key, ctx.order()) : exactPosition(keys, key, &ctx);
    if (pos < 0) return errorOperand(ErrorValue::NA);
    int other = static_cast<int>(index) - 1;
    return vertical ? table.at(pos, other) : table.at(other, pos);
}

}  // namespace

Value vlookupInArray(const Value& lookup, const Array2D& table, int column, bool approximate,
                     const TextOrder& order) {
    if (lookup.isError()) return lookup;
    Value key = lookup.isEmpty() ? Value::number(0) : lookup;
    if (column < 1) return Value::error(ErrorValue::Value);
    if (column > table.columns()) return Value::error(ErrorValue::Ref);
    Grid grid(table);
    Line keys{grid, true, 0};
    int pos = approximate ? approximatePosition(keys, key, order) : exactPosition(keys, key);
    if (pos < 0) return Value::error(ErrorValue::NA);
    return grid.at(pos, column - 1);
}

namespace fn {

Operand vlookup(std::vector<Operand>& args, const EvalContext& ctx) { return tableLookup(args, ctx, true); }
Operand hlookup(std::vector<Operand>& args, const EvalContext& ctx) { return tableLookup(args, ctx, false); }

Operand lookup(std::vector<Operand>& args, const EvalContext& ctx) {
    Value key = lookupValue(args[0], ctx);
    if (key.isError()) return key;
    if (auto* v = std::get_if<Value>(&args[1]); v && v->isError()) return *v;
    Grid searched(args[1], ctx);
    bool searchRows = searched.rows() >= searched.columns();  // search down the first column
    Line keys{searched, searchRows, 0};
    int pos = approximatePosition(keys, key, ctx.order());
    if (pos < 0) return errorOperand(ErrorValue::NA);
    if (args.size() < 3) {
        // Array form: the last column (or row) of the same array.
        return searchRows ? searched.at(pos, searched.columns() - 1) : searched.at(searched.rows() - 1, pos);
    }
    if (auto* v = std::get_if<Value>(&args[2]); v && v->isError()) return *v;
    Grid result(args[2], ctx);
    bool resultDown = result.rows() >= result.columns();
    int length = resultDown ? result.rows() : result.columns();
    if (pos >= length) {
        // A reference result vector extends past its end, as in the host.
        if (auto* r = std::get_if<RangeRef>(&args[2])) {
            int row = resultDown ? r->area.top + pos : r->area.top;
            int col = resultDown ? r->area.left : r->area.left + pos;
            if (row > host::kMaxRows || col > host::kMaxColumns) return errorOperand(ErrorValue::Ref);
            return ctx.cell(r->sheet, row, col);
        }
        return errorOperand(ErrorValue::NA);
    }
    return resultDown ? result.at(pos, 0) : result.at(0, pos);
}

Operand match(std::vector<Operand>& args, const EvalContext& ctx) {
    Value key = lookupValue(args[0], ctx);
    if (key.isError()) return key;
    if (auto* v = std::get_if<Value>(&args[1]); v && v->isError()) return *v;
    Grid searched(args[1], ctx);
    if (searched.rows() > 1 && searched.columns() > 1) return errorOperand(ErrorValue::NA);
    double type = 1;
    if (args.size() > 2) {
        if (std::holds_alternative<Missing>(args[2])) type = 0;
        else if (auto e = integerArgument(args[2], ctx, type)) return *e;
    }
    Line line{searched, searched.columns() == 1, 0};
    int pos = type == 0  ? exactPosition(line, key, &ctx)
              : type > 0 ? approximatePosition(line, key, ctx.order())
                         : descendingPosition(line, key, ctx.order());
    if (pos < 0) return errorOperand(ErrorValue::NA);
    return Value::number(pos + 1);
}

Operand index(std::vector<Operand>& args, const EvalContext& ctx) {
    if (auto* v = std::get_if<Value>(&args[0]); v && v->isError()) return *v;
    double row = 0, col = 0;
    if (!std::holds_alternative<Missing>(args[1]))
        if (auto e = integerArgument(args[1], ctx, row)) return *e;
    if (args.size() > 2 && !std::holds_alternative<Missing>(args[2]))
        if (auto e = integerArgument(args[2], ctx, col)) return *e;
    if (row < 0 || col < 0) return errorOperand(ErrorValue::Value);
    if (args.size() > 3 && !std::holds_alternative<Missing>(args[3])) {
        double area = 1;
        if (auto e = integerArgument(args[3], ctx, area)) return *e;
        if (area != 1) return errorOperand(ErrorValue::Ref);  // one area is all a reference holds here
    }
    Grid g(args[0], ctx);
    // A single row or column takes one index along its length.
    bool oneIndex = args.size() < 3 || std::holds_alternative<Missing>(args[2]);
    if (oneIndex && g.rows() == 1 && g.columns() > 1) std::swap(row, col);
    if (row > g.rows() || col > g.columns()) return errorOperand(ErrorValue::Ref);
    if (auto* r = std::get_if<RangeRef>(&args[0])) {
        Area a = r->area;
        if (row > 0) a.top = a.bottom = r->area.top + static_cast<int>(row) - 1;
        if (col > 0) a.left = a.right = r->area.left + static_cast<int>(col) - 1;
        return RangeRef{r->sheet, a};
    }
    if (row > 0 && col > 0) return g.at(static_cast<int>(row) - 1, static_cast<int>(col) - 1);
    if (row == 0 && col == 0) return args[0];
    if (g.rows() == 1 && row > 0 && col == 0) return g.at(0, static_cast<int>(row) - 1);
    if (g.columns() == 1 && col == 0) return g.at(static_cast<int>(row) - 1, 0);
    // A whole row or column of an array.
    bool wholeColumn = row == 0;
    int n = wholeColumn ? g.rows() : g.columns();
    Array2D out(wholeColumn ? n : 1, wholeColumn ? 1 : n);
    for (int i = 0; i < n; ++i)
        out.at(wholeColumn ? i + 1 : 1, wholeColumn ? 1 : i + 1) =
            wholeColumn ? g.at(i, static_cast<int>(col) - 1) : g.at(static_cast<int>(row) - 1, i);
    return out;
}

// CHOOSE: the argument the index names, a reference staying a reference.
Operand choose(std::vector<Operand>& args, const EvalContext& ctx) {
    double index = 0;
    if (auto e = integerArgument(args[0], ctx, index)) return *e;
    if (index < 1 || index >= static_cast<double>(args.size())) return errorOperand(ErrorValue::Value);
    Operand chosen = std::move(args[static_cast<size_t>(index)]);
    if (std::holds_alternative<Missing>(chosen)) return Value();
    return chosen;
}

// OFFSET(reference, rows, columns, height, width): the reference moved and resized;
// #REF! when it leaves the sheet.
Operand offset(std::vector<Operand>& args, const EvalContext& ctx) {
    if (auto* v = std::get_if<Value>(&args[0]); v && v->isError()) return *v;
    auto* r = std::get_if<RangeRef>(&args[0]);
    if (!r) return errorOperand(ErrorValue::Value);
    double rows = 0, cols = 0, height = r->area.rows(), width = r->area.columns();
    if (!std::holds_alternative<Missing>(args[1]))
        if (auto e = integerArgument(args[1], ctx, rows)) return *e;
    if (!std::holds_alternative<Missing>(args[2]))
        if (auto e = integerArgument(args[2], ctx, cols)) return *e;
    if (args.size() > 3 && !std::holds_alternative<Missing>(args[3]))
        if (auto e = integerArgument(args[3], ctx, height)) return *e;
    if (args.size() > 4 && !std::holds_alternative<Missing>(args[4]))
        if (auto e = integerArgument(args[4], ctx, width)) return *e;
    if (height < 1 || width < 1) return errorOperand(ErrorValue::Ref);
    double top = r->area.top + rows, left = r->area.left + cols;
    double bottom = top + height - 1, right = left + width - 1;
    if (top < 1 || left < 1 || bottom > host::kMaxRows || right > host::kMaxColumns)
        return errorOperand(ErrorValue::Ref);
    return RangeRef{r->sheet, Area{static_cast<int>(top), static_cast<int>(left), static_cast<int>(bottom),
                                   static_cast<int>(right)}};
}

namespace {

bool sameNameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The reference a text names: an A1 or R1C1 reference, or a defined name that refers
// to one; nothing otherwise.
std::optional<RangeRef> referenceNamed(const std::string& text, bool a1, const EvalContext& ctx, int depth = 0) {
    const Position& at = ctx.position();
    std::optional<host::Reference> ref =
        a1 ? host::parseReference(text) : host::parseR1C1(text, host::CellRef{std::max(at.row, 1), std::max(at.column, 1)});
    if (ref) {
        if (!ref->book.empty()) return std::nullopt;
        int sheet = ref->sheet.empty() ? at.sheet : ctx.model().sheetIndex(ref->sheet);
        if (sheet < 0) return std::nullopt;
        return RangeRef{sheet, ref->area()};
    }
    if (depth > 0) return std::nullopt;
    const DefinedName* global = nullptr;
    for (const auto& n : ctx.model().names) {
        if (!sameNameIgnoringCase(n.name, text)) continue;
        if (n.localSheet == at.sheet) {
            global = &n;
            break;
        }
        if (n.localSheet < 0) global = &n;
    }
    if (!global) return std::nullopt;
    std::string refersTo = global->refersTo;
    if (!refersTo.empty() && refersTo.front() == '=') refersTo.erase(0, 1);
    return referenceNamed(refersTo, true, ctx, depth + 1);
}

}  // namespace

// INDIRECT(text, a1): the reference a text names, read by the one reference grammar.
Operand indirect(std::vector<Operand>& args, const EvalContext& ctx) {
    Value text = toScalar(args[0], ctx);
    if (text.isError()) return text;
    bool a1 = true;
    if (args.size() > 1 && !std::holds_alternative<Missing>(args[1])) {
        Value b = toBoolean(toScalar(args[1], ctx));
        if (b.isError()) return b;
        a1 = b.asBoolean();
    }
    auto ref = referenceNamed(toText(text), a1, ctx);
    if (!ref) return errorOperand(ErrorValue::Ref);
    return *ref;
}

// ADDRESS(row, column, abs_num, a1, sheet): the address as text, absolute in the
// parts abs_num says (1 both, 2 the row, 3 the column, 4 neither).
Value address(const std::vector<Value>& a, const EvalContext& ctx) {
    if (auto e = firstError(a)) return *e;
    double parts[3] = {0, 0, 1};
    for (size_t i = 0; i < 3 && i < a.size(); ++i) {
        if (i == 2 && a[i].isEmpty()) continue;
        Value n = toNumber(a[i], ctx);
        if (n.isError()) return n;
        parts[i] = std::trunc(n.asNumber());
    }
    double row = parts[0], column = parts[1], kind = parts[2];
    if (row < 1 || row > host::kMaxRows || column < 1 || column > host::kMaxColumns || kind < 1 || kind > 4)
        return Value::error(ErrorValue::Value);
    bool a1 = true;
    if (a.size() > 3 && !a[3].isEmpty()) {
        Value b = toBoolean(a[3]);
        if (b.isError()) return b;
        a1 = b.asBoolean();
    }
    int k = static_cast<int>(kind);
    bool rowAbsolute = k == 1 || k == 2, columnAbsolute = k == 1 || k == 3;
    int r = static_cast<int>(row), c = static_cast<int>(column);
    std::string body;
    if (a1) {
        host::Reference ref;
        ref.first = ref.last = host::RefPoint{r, c, rowAbsolute, columnAbsolute};
        body = host::printReferenceBody(ref);
    } else {
        body = host::printR1C1Cell(r, c, rowAbsolute, columnAbsolute);
    }
    if (a.size() > 4 && !a[4].isEmpty()) return Value::text(host::printQualifier("", toText(a[4])) + "!" + body);
    return Value::text(body);
}

}  // namespace fn

}  // namespace vorra::engine::formula
