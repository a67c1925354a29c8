// Placeholder calculation until the formula engine lands: formulas keep their cached
// values and evaluation gives #NAME?.
#include "platform/engine/formula/FormulaEngine.h"

namespace vorra::engine {

struct FormulaEngine::Impl {
    WorkbookModel& workbook;
};

FormulaEngine::FormulaEngine(WorkbookModel& workbook) : impl_(new Impl{workbook}) {}
FormulaEngine::~FormulaEngine() = default;

void FormulaEngine::validate(const std::string&) const {}
void FormulaEngine::cellsChanged(int, const Area&) {}
void FormulaEngine::recalculateAll() {}

host::Variant FormulaEngine::evaluate(const std::string&, int) {
    return Value::error(ErrorValue::Name);
}

double FormulaEngine::countIf(const host::Array2D& values, const Value& criteria) const {
    double n = 0;
    for (int r = 1; r <= values.rows(); ++r)
        for (int c = 1; c <= values.columns(); ++c)
            if (values.at(r, c).toText() == criteria.toText()) ++n;
    return n;
}

Value FormulaEngine::vlookup(const Value& lookup, const host::Array2D& table, int column,
                             std::optional<bool>) const {
    for (int r = 1; r <= table.rows(); ++r)
        if (table.at(r, 1) == lookup && column <= table.columns()) return table.at(r, column);
    return Value::error(ErrorValue::NA);
}

}  // namespace vorra::engine
