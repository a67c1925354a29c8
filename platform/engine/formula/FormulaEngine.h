#pragma once
// The engine's calculation: formula texts of cells evaluated like the host evaluates
// them, recalculation after writes, evaluation of a formula text, and the worksheet
// functions the host object model exposes directly.

#include <memory>
#include <optional>
#include <string>

#include "addin/frame/host/Value.h"
#include "platform/engine/model/Model.h"

namespace vorra::engine {

class FormulaEngine {
public:
    explicit FormulaEngine(WorkbookModel& workbook);
    ~FormulaEngine();
    FormulaEngine(const FormulaEngine&) = delete;
    FormulaEngine& operator=(const FormulaEngine&) = delete;

    // Checks a formula text (without "=") typed into a cell; throws host::HostError
    // with a clear message when it cannot be parsed.
    void validate(const std::string& formula) const;

    // Brings every formula cell's cached value up to date after cells of the given
    // sheet changed (values or formulas written, cells cleared). Sheets added,
    // removed, renamed or reordered and defined names changed count as a change of
    // everything: call recalculateAll(). A formula on a circular reference gets the
    // error value #REF!; a formula that cannot be parsed gets #NAME?.
    void cellsChanged(int sheetIndex, const Area& area);
    void recalculateAll();

    // Evaluates a formula text (without "=") as if it stood in a cell of the given
    // sheet; array results come back as arrays.
    host::Variant evaluate(const std::string& formula, int sheetIndex);

    // COUNTIF over the values of a block, with the host's criteria rules.
    double countIf(const host::Array2D& values, const Value& criteria) const;
    // VLOOKUP over a block; #N/A as an error value when nothing is found.
    Value vlookup(const Value& lookup, const host::Array2D& table, int column,
                  std::optional<bool> rangeLookup) const;

    // The host's order of two texts (-1, 0, 1): case ignored, Latin before Han, Han
    // in pinyin order. What sorting and "<" in formulas use.
    int compareText(const std::string& a, const std::string& b) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vorra::engine
