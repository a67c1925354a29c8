#include "MemoryHost.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace vorra::testing {

using host::Area;
using host::CellRef;
using host::HostError;
using host::Value;

namespace {

std::string upper(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// A text as the host stores it when typed: a plain decimal number becomes a number, an
// apostrophe keeps the rest as text, the empty text empties the cell.
Value typed(const Value& v) {
    if (!v.isText()) return v;
    const std::string& s = v.asText();
    if (s.empty()) return Value();
    if (s.front() == '\'') return Value::text(s.substr(1));
    char* end = nullptr;
    double d = std::strtod(s.c_str(), &end);
    bool plain = std::all_of(s.begin(), s.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-';
    });
    if (plain && end == s.c_str() + s.size()) return Value::number(d);
    return v;
}

}  // namespace

void MemorySheet::unsupported() { throw HostError(host::error::kApplicationDefined, "not in the test host"); }

void MemorySheet::requireUnprotected() const {
    if (protected_) throw HostError(host::error::kApplicationDefined, "The sheet is protected");
}

void MemorySheet::store(CellRef cell, Value v) {
    if (v.isEmpty()) cells_.erase({cell.row, cell.column});
    else cells_[{cell.row, cell.column}] = std::move(v);
}

void MemorySheet::set(const std::string& ref, Value v) {
    CellRef c = host::parseArea(ref).topLeft();
    store(c, std::move(v));
}

Value MemorySheet::get(const std::string& ref) const { return value(host::parseArea(ref).topLeft()); }

Value MemorySheet::value(CellRef cell) const {
    auto it = cells_.find({cell.row, cell.column});
    return it == cells_.end() ? Value() : it->second;
}

host::Workbook& MemorySheet::parent() { return book_; }

void MemorySheet::activate() {
    book_.setActive(std::static_pointer_cast<MemorySheet>(shared_from_this()));
}

void MemorySheet::protect(const std::string& password) {
    if (protected_) return;
    protected_ = true;
    password_ = password;
}

void MemorySheet::unprotect(const std::string& password) {
    if (!protected_) return;
    if (password != password_) throw HostError(host::error::kApplicationDefined, "The password is wrong");
    protected_ = false;
}

host::Range MemorySheet::range(const std::string& reference) {
    return host::Range(shared_from_this(), host::parseArea(reference));
}

Area MemorySheet::usedArea() const { return Area::cell(1, 1); }

host::Variant MemorySheet::read(const Area& area) const {
    if (area.isSingleCell()) return value(area.topLeft());
    host::Array2D a(area.rows(), area.columns());
    for (int r = 0; r < area.rows(); ++r)
        for (int c = 0; c < area.columns(); ++c) a.at(r + 1, c + 1) = value({area.top + r, area.left + c});
    return a;
}

void MemorySheet::write(const Area& area, const host::Variant& values) {
    requireUnprotected();
    ++writes_;
    for (int r = 0; r < area.rows(); ++r)
        for (int c = 0; c < area.columns(); ++c) {
            Value v = values.isArray() ? values.array().at(r + 1, c + 1) : values.scalar();
            store({area.top + r, area.left + c}, typed(v));
        }
}

void MemorySheet::writeValues(const Area& area, const host::Array2D& values) {
    requireUnprotected();
    ++writes_;
    for (int r = 0; r < area.rows(); ++r)
        for (int c = 0; c < area.columns(); ++c) store({area.top + r, area.left + c}, values.at(r + 1, c + 1));
}

std::optional<CellRef> MemorySheet::find(const Area& within, const host::FindOptions& options) {
    lastFind_ = options;
    CellRef start = options.after.value_or(within.topLeft());
    std::vector<CellRef> hits;
    const std::string what = upper(options.what);
    for (const auto& [key, v] : cells_) {
        CellRef c{key.first, key.second};
        if (!within.contains(c)) continue;
        std::string text = upper(v.toText());
        bool hit = options.lookAt == host::LookAt::Whole ? text == what : text.find(what) != std::string::npos;
        if (hit) hits.push_back(c);
    }
    if (hits.empty()) return std::nullopt;
    for (const CellRef& c : hits)
        if (c.row > start.row || (c.row == start.row && c.column > start.column)) return c;
    return hits.front();
}

std::optional<CellRef> MemorySheet::findNext(const Area& within, CellRef after) {
    host::FindOptions options = lastFind_;
    options.after = after;
    return find(within, options);
}

void MemorySheet::select(const Area& area, CellRef) { selected_ = host::relativeAddress(area); }

int MemorySheet::fontColorIndex(CellRef cell) const {
    auto it = colors_.find({cell.row, cell.column});
    return it == colors_.end() ? 0 : it->second;
}

void MemorySheet::setFontColorIndex(const Area& area, int colorIndex) {
    requireUnprotected();
    for (int r = area.top; r <= area.bottom; ++r)
        for (int c = area.left; c <= area.right; ++c) colors_[{r, c}] = colorIndex;
}

std::shared_ptr<MemorySheet> MemoryWorkbook::add(const std::string& name) {
    auto s = std::make_shared<MemorySheet>(*this, name);
    sheets_.push_back(s);
    if (!active_) active_ = s;
    return s;
}

host::Application& MemoryWorkbook::application() { return app_; }

std::vector<std::shared_ptr<host::Worksheet>> MemoryWorkbook::worksheets() {
    return {sheets_.begin(), sheets_.end()};
}

std::shared_ptr<host::Worksheet> MemoryWorkbook::sheet(const std::string& name) {
    for (const auto& s : sheets_)
        if (s->name() == name) return s;
    throw HostError(host::error::kSubscriptOutOfRange, "No sheet named " + name);
}

std::shared_ptr<host::Worksheet> MemoryApplication::activeSheet() {
    auto s = book_->activeSheet();
    if (!s) throw HostError(host::error::kObjectRequired, "No active sheet");
    return s;
}

double MemoryApplication::countIf(const host::Range& range, const Value& criteria) {
    auto& sheet = static_cast<MemorySheet&>(range.worksheet());
    double n = 0;
    const Area& a = range.area();
    for (int r = a.top; r <= a.bottom; ++r)
        for (int c = a.left; c <= a.right; ++c) {
            Value v = sheet.value({r, c});
            if (criteria.isNumber() ? v.isNumber() && v.asNumber() == criteria.asNumber()
                                    : v.isText() && upper(v.asText()) == upper(criteria.toText()))
                ++n;
        }
    return n;
}

Value MemoryApplication::vlookup(const Value&, const host::Variant&, int, std::optional<bool>) {
    throw HostError(host::error::kApplicationDefined, "not in the test host");
}

host::Variant MemoryApplication::evaluate(const std::string&) {
    throw HostError(host::error::kApplicationDefined, "not in the test host");
}

}  // namespace vorra::testing
