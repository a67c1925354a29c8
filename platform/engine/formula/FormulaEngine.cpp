// The engine's calculation: keeps each formula cell compiled (parsed and bound) with
// the areas it reads, and after a write evaluates the affected formula cells in
// dependency order, storing each result as the cell's cached value.
#include "platform/engine/formula/FormulaEngine.h"

#include <ctime>
#include <map>

#include "addin/frame/host/HostError.h"
#include "platform/engine/format/DateSerial.h"
#include "platform/engine/formula/Criteria.h"
#include "platform/engine/formula/DependencyTracker.h"
#include "platform/engine/formula/Interpreter.h"
#include "platform/engine/formula/LookupIndex.h"
#include "platform/engine/formula/LookupSearch.h"
#include "platform/engine/formula/NameResolver.h"
#include "platform/engine/formula/Parser.h"

namespace vorra::engine {

using namespace formula;

namespace {

// The value a formula on a circular reference shows.
constexpr ErrorValue kCircularReference = ErrorValue::Ref;

// The local date and time as a serial number of the workbook's date system.
double nowSerial(format::DateSystem dates) {
    std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return format::dateToSerial(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, dates) +
           (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) / 86400.0;
}

std::string withoutEquals(const std::string& f) {
    return !f.empty() && f.front() == '=' ? f.substr(1) : f;
}

}  // namespace

struct FormulaEngine::Impl {
    struct Compiled {
        std::string text;
        NodePtr tree;  // null when the formula cannot be parsed
    };

    explicit Impl(WorkbookModel& wb) : workbook(wb) {}

    WorkbookModel& workbook;
    TextOrder order{TextOrder::chinese()};
    LookupIndexCache lookupIndexes;
    std::map<CellKey, Compiled> compiled;
    DependencyTracker dependencies;

    const CellStore& cells(int sheet) const { return workbook.sheets[static_cast<size_t>(sheet)]->cells; }

    Cell* cellAt(CellKey k) {
        int s = keySheet(k);
        if (s < 0 || static_cast<size_t>(s) >= workbook.sheets.size()) return nullptr;
        return workbook.sheets[static_cast<size_t>(s)]->cells.find({keyRow(k), keyColumn(k)});
    }

    void compile(CellKey k, const std::string& text) {
        Compiled c{text, nullptr};
        Binding binding;
        try {
            c.tree = parseFormula(withoutEquals(text));
            binding = resolveNames(*c.tree, workbook, keySheet(k), ArityCheck::ErrorValue);
        } catch (const FormulaSyntaxError&) {
            c.tree.reset();
        }
        dependencies.set(k, std::move(binding.precedents), binding.isVolatile);
        compiled[k] = std::move(c);
    }

    void forget(CellKey k) {
        compiled.erase(k);
        dependencies.remove(k);
    }

    // Brings the compiled formulas of an area in line with the cells.
    void sync(int sheet, const Area& area) {
        if (sheet < 0 || static_cast<size_t>(sheet) >= workbook.sheets.size()) return;
        const CellStore& cells = workbook.sheets[static_cast<size_t>(sheet)]->cells;
        // Compiled formulas whose cell was cleared or now holds a constant.
        std::vector<CellKey> gone;
        forEachKeyIn(compiled, RangeRef{sheet, area}, [&](CellKey k) {
            const Cell* c = cells.find({keyRow(k), keyColumn(k)});
            if (!c || !c->hasFormula()) gone.push_back(k);
        });
        for (CellKey k : gone) forget(k);
        // New or changed formulas.
        const auto& columns = cells.columns();
        for (auto col = columns.lower_bound(area.left); col != columns.end() && col->first <= area.right; ++col)
            for (auto it = col->second.lower_bound(area.top); it != col->second.end() && it->row <= area.bottom; ++it) {
                if (!it->cell.hasFormula()) continue;
                CellKey k = cellKey(sheet, it->row, col->first);
                auto found = compiled.find(k);
                if (found == compiled.end() || found->second.text != it->cell.formula) compile(k, it->cell.formula);
            }
    }

    void run(const RecalcPlan& plan) {
        double now = nowSerial(workbook.dateSystem());
        for (CellKey k : plan.order) {
            Cell* cell = cellAt(k);
            auto it = compiled.find(k);
            if (!cell || it == compiled.end()) continue;
            if (plan.circular.count(k) || !it->second.tree) {
                cell->value = Value::error(plan.circular.count(k) ? kCircularReference : ErrorValue::Name);
                lookupIndexes.update(cells(keySheet(k)), keySheet(k), Area::cell(keyRow(k), keyColumn(k)));
                continue;
            }
            EvalContext ctx(workbook, order, now, Position{keySheet(k), keyRow(k), keyColumn(k)}, &lookupIndexes);
            Value result = Interpreter(ctx).evaluateForCell(*it->second.tree);
            if (!(result == cell->value)) {
                cell->value = std::move(result);
                lookupIndexes.update(cells(keySheet(k)), keySheet(k), Area::cell(keyRow(k), keyColumn(k)));
            }
        }
    }
};

FormulaEngine::FormulaEngine(WorkbookModel& workbook) : impl_(new Impl(workbook)) {}
FormulaEngine::~FormulaEngine() = default;

void FormulaEngine::validate(const std::string& formula) const {
    try {
        auto tree = parseFormula(withoutEquals(formula));
        resolveNames(*tree, impl_->workbook, 0, ArityCheck::Refuse);
    } catch (const FormulaSyntaxError& e) {
        throw host::HostError(host::error::kApplicationDefined,
                              std::string("The formula contains an error: ") + e.what());
    }
}

void FormulaEngine::cellsChanged(int sheetIndex, const Area& area) {
    Area clipped = area;
    clipped.top = std::max(clipped.top, 1);
    clipped.left = std::max(clipped.left, 1);
    clipped.bottom = std::min(clipped.bottom, host::kMaxRows);
    clipped.right = std::min(clipped.right, host::kMaxColumns);
    if (clipped.top > clipped.bottom || clipped.left > clipped.right) return;
    if (sheetIndex < 0 || static_cast<size_t>(sheetIndex) >= impl_->workbook.sheets.size()) return;
    impl_->lookupIndexes.update(impl_->cells(sheetIndex), sheetIndex, clipped);
    impl_->sync(sheetIndex, clipped);
    impl_->run(impl_->dependencies.planAfterChange({RangeRef{sheetIndex, clipped}}));
}

void FormulaEngine::recalculateAll() {
    impl_->compiled.clear();
    impl_->dependencies.clear();
    impl_->lookupIndexes.clear();
    for (size_t s = 0; s < impl_->workbook.sheets.size(); ++s)
        impl_->sync(static_cast<int>(s), Area{1, 1, host::kMaxRows, host::kMaxColumns});
    impl_->run(impl_->dependencies.planAll());
}

host::Variant FormulaEngine::evaluate(const std::string& formula, int sheetIndex) {
    NodePtr tree;
    try {
        tree = parseFormula(withoutEquals(formula));
        resolveNames(*tree, impl_->workbook, sheetIndex, ArityCheck::ErrorValue);
    } catch (const FormulaSyntaxError&) {
        return Value::error(ErrorValue::Value);
    }
    EvalContext ctx(impl_->workbook, impl_->order, nowSerial(impl_->workbook.dateSystem()), Position{sheetIndex, 0, 0},
                    &impl_->lookupIndexes);
    Operand result = Interpreter(ctx).evaluate(*tree);
    if (isScalarLike(result)) return toScalar(result, ctx);
    Array2D values = toArray(result, ctx);
    if (values.rows() == 1 && values.columns() == 1) return values.at(1, 1);
    return values;
}

double FormulaEngine::countIf(const host::Array2D& values, const Value& criteria) const {
    EvalContext ctx(impl_->workbook, impl_->order, nowSerial(impl_->workbook.dateSystem()), Position{});
    Criterion criterion(criteria, ctx);
    double n = 0;
    for (int r = 1; r <= values.rows(); ++r)
        for (int c = 1; c <= values.columns(); ++c)
            if (criterion.matches(values.at(r, c))) ++n;
    return n;
}

Value FormulaEngine::vlookup(const Value& lookup, const host::Array2D& table, int column,
                             std::optional<bool> rangeLookup) const {
    return vlookupInArray(lookup, table, column, rangeLookup.value_or(true), impl_->order);
}

int FormulaEngine::compareText(const std::string& a, const std::string& b) const {
    if (TextOrder::equalIgnoringCase(a, b)) return 0;
    return impl_->order.compare(a, b);
}

}  // namespace vorra::engine
