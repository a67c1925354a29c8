#pragma once
// A small workbook with a formula engine, for the formula and number-format tests.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/engine/formula/FormulaEngine.h"

namespace vorra::host {
// Readable values in test failure messages.
inline void PrintTo(const Value& v, std::ostream* os) {
    const char* kinds[] = {"empty", "number", "text", "boolean", "error"};
    *os << kinds[static_cast<int>(v.kind())] << " " << v.toText();
}
}  // namespace vorra::host

namespace vorra::engine::testing {

class FormulaBook : public ::testing::Test {
protected:
    FormulaBook() {
        addSheet("Sheet1");
        addSheet("常用单位账号");
        engine = std::make_unique<FormulaEngine>(book);
    }

    void addSheet(const std::string& name) {
        auto s = std::make_unique<Sheet>();
        s->name = name;
        book.sheets.push_back(std::move(s));
    }

    Cell& cell(const std::string& a1, int sheet = 0) {
        return book.sheets[size_t(sheet)]->cells.at(host::parseArea(a1).topLeft());
    }
    // Writes a constant (or, with a leading "=", a formula) and lets the engine
    // recalculate, as the host objects do after every write.
    void put(const std::string& a1, const Value& v, int sheet = 0) {
        Cell& c = cell(a1, sheet);
        c.value = v;
        c.formula.clear();
        engine->cellsChanged(sheet, host::parseArea(a1));
    }
    void put(const std::string& a1, double d, int sheet = 0) { put(a1, Value::number(d), sheet); }
    void put(const std::string& a1, const char* text, int sheet = 0) {
        std::string t = text;
        if (!t.empty() && t[0] == '=') {
            Cell& c = cell(a1, sheet);
            c.formula = t.substr(1);
            engine->cellsChanged(sheet, host::parseArea(a1));
        } else {
            put(a1, Value::text(t), sheet);
        }
    }
    Value valueOf(const std::string& a1, int sheet = 0) { return cell(a1, sheet).value; }

    // The result of a formula text evaluated on the first sheet, as a scalar.
    Value eval(const std::string& formula) {
        host::Variant v = engine->evaluate(formula, 0);
        if (v.isArray()) return v.array().at(1, 1);
        return v.scalar();
    }
    std::string text(const std::string& formula) {
        Value v = eval(formula);
        return v.isBoolean() ? (v.asBoolean() ? "TRUE" : "FALSE") : v.toText();
    }
    double number(const std::string& formula) {
        Value v = eval(formula);
        EXPECT_TRUE(v.isNumber()) << formula << " gave " << v.toText();
        return v.isNumber() ? v.asNumber() : -1e300;
    }

    void defineName(const std::string& name, const std::string& refersTo) {
        book.names.push_back({name, refersTo, -1, false});
        engine->recalculateAll();
    }

    WorkbookModel book;
    std::unique_ptr<FormulaEngine> engine;
};

inline Value num(double d) { return Value::number(d); }
inline Value txt(const std::string& s) { return Value::text(s); }
inline Value err(host::ErrorValue e) { return Value::error(e); }
inline Value boolean(bool b) { return Value::boolean(b); }

}  // namespace vorra::engine::testing
