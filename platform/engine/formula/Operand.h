#pragma once
// What evaluation passes around: a single value, a reference to cells (so that
// functions such as VLOOKUP or COUNTIF read a 50,000-row range in place), an array,
// or an argument left out. Plus the context an evaluation reads from.

#include <functional>
#include <variant>

#include "addin/frame/host/Value.h"
#include "platform/engine/formula/TextOrder.h"
#include "platform/engine/model/Model.h"

namespace vorra::engine::formula {

using host::Array2D;
using host::ErrorValue;
using host::Value;

struct RangeRef {
    int sheet = 0;
    Area area;
};
struct Missing {};

using Operand = std::variant<Value, RangeRef, Array2D, Missing>;

// Largest array an expression may build (cells); larger ones give #NUM!.
inline constexpr long long kMaxArrayCells = 1 << 22;

// Where a formula stands: its sheet and cell (row 0 for a formula text evaluated
// outside any cell).
struct Position {
    int sheet = 0;
    int row = 0;
    int column = 0;
};

class LookupIndexCache;

class EvalContext {
public:
    // now: the calculation's date and time as a serial of the workbook's date system.
    EvalContext(const WorkbookModel& model, const TextOrder& order, double now, Position pos,
                LookupIndexCache* lookupIndexes = nullptr);

    const WorkbookModel& model() const { return model_; }
    const TextOrder& order() const { return order_; }
    double now() const { return now_; }  // serial date and time of the calculation
    // The workbook's date system, which every date serial of the evaluation counts in.
    format::DateSystem dates() const { return dates_; }
    // The year of now(): what a month and day without a year ("12/7") fall in.
    int currentYear() const { return currentYear_; }
    const Position& position() const { return pos_; }

    const Value& cell(int sheet, int row, int column) const;
    const CellStore* cells(int sheet) const;
    // Indexes for exact look-ups in long columns; may be null.
    LookupIndexCache* lookupIndexes() const { return lookupIndexes_; }

private:
    const WorkbookModel& model_;
    const TextOrder& order_;
    double now_;
    format::DateSystem dates_;
    int currentYear_;
    Position pos_;
    LookupIndexCache* lookupIndexes_;
};

// A rectangular view of an operand: a scalar is 1×1, a reference reads the model in
// place, an array is itself. The operand must outlive the view.
class Grid {
public:
    Grid(const Operand& operand, const EvalContext& ctx);
    explicit Grid(const Array2D& array) : array_(&array), rows_(array.rows()), cols_(array.columns()) {}

    int rows() const { return rows_; }
    int columns() const { return cols_; }
    long long count() const { return static_cast<long long>(rows_) * cols_; }
    // 0-based.
    const Value& at(int row, int column) const;
    bool isReference() const { return ref_ != nullptr; }
    const RangeRef* reference() const { return ref_; }

    // Calls visit(row, column, value) for every cell that holds something (for a
    // reference: every stored cell in the area), column by column, top to bottom.
    // Stops when visit returns false.
    void forEachStored(const std::function<bool(int, int, const Value&)>& visit) const;
    // The same for one column only (0-based), top to bottom.
    void forEachStoredInColumn(int column, const std::function<bool(int, const Value&)>& visit) const;

private:
    const EvalContext* ctx_ = nullptr;
    const Value* scalar_ = nullptr;
    const Array2D* array_ = nullptr;
    const RangeRef* ref_ = nullptr;
    int rows_ = 1;
    int cols_ = 1;
};

// The operand as a plain value: a one-cell reference gives its value, a larger
// reference its cell in the formula's row or column (the host's implicit
// intersection) or #VALUE!, an array its first element, a missing argument empty.
Value toScalar(const Operand& operand, const EvalContext& ctx);

// The operand as an array of values (a scalar as 1×1). Whole-column references are
// cut at the sheet's last used row. #NUM! (as a 1×1 array) beyond kMaxArrayCells.
Array2D toArray(const Operand& operand, const EvalContext& ctx);

// The part of a range that can hold values: a whole-column range ends at the last
// used row of its sheet, since every row below it is empty.
Area usedArea(const RangeRef& range, const EvalContext& ctx);

// True for a scalar or a one-cell reference.
bool isScalarLike(const Operand& operand);

inline Operand errorOperand(ErrorValue e) { return Value::error(e); }

}  // namespace vorra::engine::formula
