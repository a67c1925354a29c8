#include "platform/engine/formula/Operand.h"

#include <algorithm>

namespace vorra::engine::formula {

namespace {
const Value kEmpty;
}

EvalContext::EvalContext(const WorkbookModel& model, const TextOrder& order, double now, Position pos,
                         LookupIndexCache* lookupIndexes)
    : model_(model),
      order_(order),
      now_(now),
      dates_(model.dateSystem()),
      currentYear_(format::serialToDate(now, model.dateSystem()).year),
      pos_(pos),
      lookupIndexes_(lookupIndexes) {}

const CellStore* EvalContext::cells(int sheet) const {
    if (sheet < 0 || static_cast<size_t>(sheet) >= model_.sheets.size()) return nullptr;
    return &model_.sheets[static_cast<size_t>(sheet)]->cells;
}

const Value& EvalContext::cell(int sheet, int row, int column) const {
    const CellStore* store = cells(sheet);
    if (!store) return kEmpty;
    const Cell* c = store->find({row, column});
    return c ? c->value : kEmpty;
}

Grid::Grid(const Operand& operand, const EvalContext& ctx) : ctx_(&ctx) {
    if (auto* v = std::get_if<Value>(&operand)) {
        scalar_ = v;
    } else if (auto* r = std::get_if<RangeRef>(&operand)) {
        ref_ = r;
        rows_ = r->area.rows();
        cols_ = r->area.columns();
    } else if (auto* a = std::get_if<Array2D>(&operand)) {
        array_ = a;
        rows_ = a->rows();
        cols_ = a->columns();
    } else {
        scalar_ = &kEmpty;
    }
}

const Value& Grid::at(int row, int column) const {
    if (scalar_) return *scalar_;
    if (array_) return array_->at(row + 1, column + 1);
    return ctx_->cell(ref_->sheet, ref_->area.top + row, ref_->area.left + column);
}

void Grid::forEachStored(const std::function<bool(int, int, const Value&)>& visit) const {
    if (!ref_) {
        for (int c = 0; c < cols_; ++c)
            for (int r = 0; r < rows_; ++r) {
                const Value& v = at(r, c);
                if (!v.isEmpty() && !visit(r, c, v)) return;
            }
        return;
    }
    const CellStore* store = ctx_->cells(ref_->sheet);
    if (!store) return;
    const Area& a = ref_->area;
    const auto& columns = store->columns();
    for (auto col = columns.lower_bound(a.left); col != columns.end() && col->first <= a.right; ++col)
        for (auto it = col->second.lower_bound(a.top); it != col->second.end() && it->row <= a.bottom; ++it)
            if (!it->cell.value.isEmpty() &&
                !visit(it->row - a.top, col->first - a.left, it->cell.value))
                return;
}

void Grid::forEachStoredInColumn(int column, const std::function<bool(int, const Value&)>& visit) const {
    if (!ref_) {
        for (int r = 0; r < rows_; ++r) {
            const Value& v = at(r, column);
            if (!v.isEmpty() && !visit(r, v)) return;
        }
        return;
    }
    const CellStore* store = ctx_->cells(ref_->sheet);
    if (!store) return;
    const Area& a = ref_->area;
    const CellStore::Column* col = store->column(a.left + column);
    if (!col) return;
    for (auto it = col->lower_bound(a.top); it != col->end() && it->row <= a.bottom; ++it)
        if (!it->cell.value.isEmpty() && !visit(it->row - a.top, it->cell.value)) return;
}

bool isScalarLike(const Operand& operand) {
    if (std::holds_alternative<Value>(operand) || std::holds_alternative<Missing>(operand)) return true;
    if (auto* r = std::get_if<RangeRef>(&operand)) return r->area.isSingleCell();
    return false;
}

Value toScalar(const Operand& operand, const EvalContext& ctx) {
    if (auto* v = std::get_if<Value>(&operand)) return *v;
    if (std::holds_alternative<Missing>(operand)) return Value();
    if (auto* a = std::get_if<Array2D>(&operand)) {
        if (a->rows() == 0 || a->columns() == 0) return Value::error(ErrorValue::Value);
        return a->at(1, 1);
    }
    const auto& r = std::get<RangeRef>(operand);
    const Area& area = r.area;
    if (area.isSingleCell()) return ctx.cell(r.sheet, area.top, area.left);
    const Position& p = ctx.position();
    if (p.row > 0 && p.sheet == r.sheet) {
        if (area.left == area.right && p.row >= area.top && p.row <= area.bottom)
            return ctx.cell(r.sheet, p.row, area.left);
        if (area.top == area.bottom && p.column >= area.left && p.column <= area.right)
            return ctx.cell(r.sheet, area.top, p.column);
    }
    return Value::error(ErrorValue::Value);
}

Area usedArea(const RangeRef& range, const EvalContext& ctx) {
    Area area = range.area;
    if (area.rows() > 65536) {
        int last = area.top;
        if (const CellStore* store = ctx.cells(range.sheet))
            if (auto b = store->bounds()) last = std::max(last, std::min(b->bottom, area.bottom));
        area.bottom = last;
    }
    return area;
}

Array2D toArray(const Operand& operand, const EvalContext& ctx) {
    auto tooLarge = [] {
        Array2D e(1, 1);
        e.at(1, 1) = Value::error(ErrorValue::Num);
        return e;
    };
    if (auto* a = std::get_if<Array2D>(&operand)) return *a;
    if (auto* r = std::get_if<RangeRef>(&operand)) {
        Area area = usedArea(*r, ctx);
        if (area.count() > kMaxArrayCells) return tooLarge();
        Array2D out(area.rows(), area.columns());
        RangeRef clipped{r->sheet, area};
        Operand view = clipped;
        Grid(view, ctx).forEachStored([&](int row, int col, const Value& v) {
            out.at(row + 1, col + 1) = v;
            return true;
        });
        return out;
    }
    Array2D one(1, 1);
    one.at(1, 1) = toScalar(operand, ctx);
    return one;
}

}  // namespace vorra::engine::formula
