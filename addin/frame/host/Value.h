#pragma once
// Cell values as the spreadsheet host hands them to the add-in: a scalar Value
// (empty, number, text, boolean or error) and a Variant that is either a scalar or a
// 1-based two-dimensional array of scalars, the shape of a multi-cell range.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace vorra::host {

// Error values a cell or formula can hold, in the host's own numbering order.
enum class ErrorValue { Null, Div0, Value, Ref, Name, Num, NA };

inline const char* errorText(ErrorValue e) {
    switch (e) {
        case ErrorValue::Null: return "#NULL!";
        case ErrorValue::Div0: return "#DIV/0!";
        case ErrorValue::Value: return "#VALUE!";
        case ErrorValue::Ref: return "#REF!";
        case ErrorValue::Name: return "#NAME?";
        case ErrorValue::Num: return "#NUM!";
        case ErrorValue::NA: return "#N/A";
    }
    return "#VALUE!";
}

// The error value written as `text` ("#N/A"), or nothing when the text is no error
// value. With ignoreCase, ASCII letters match in either case ("#n/a").
inline std::optional<ErrorValue> errorFromText(std::string_view text, bool ignoreCase) {
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; };
    for (auto e : {ErrorValue::Null, ErrorValue::Div0, ErrorValue::Value, ErrorValue::Ref,
                   ErrorValue::Name, ErrorValue::Num, ErrorValue::NA}) {
        std::string_view known = errorText(e);
        if (known.size() != text.size()) continue;
        bool same = true;
        for (size_t i = 0; same && i < known.size(); ++i)
            same = (ignoreCase ? upper(text[i]) : text[i]) == known[i];
        if (same) return e;
    }
    return std::nullopt;
}

// Number text as the host's automation layer converts a number to a string: up to
// fifteen significant digits, no trailing zeros, exponent form for very large or
// very small magnitudes ("1.23456789012346E+19").
inline std::string numberToText(double d) {
    if (d == 0) return "0";
    if (!std::isfinite(d)) return "#NUM!";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", d);
    std::string s = buf;
    // %G writes "1E+15"/"1E-05"; the host writes two exponent digits at least.
    auto e = s.find('E');
    if (e != std::string::npos) {
        std::string mant = s.substr(0, e);
        char sign = s[e + 1];
        std::string digits = s.substr(e + 2);
        while (digits.size() > 2 && digits[0] == '0') digits.erase(0, 1);
        s = mant + "E" + sign + digits;
    }
    return s;
}

class Value {
public:
    enum class Kind { Empty, Number, Text, Boolean, Error };

    Value() = default;
    static Value number(double d) { Value v; v.data_ = d; return v; }
    static Value text(std::string s) { Value v; v.data_ = std::move(s); return v; }
    static Value boolean(bool b) { Value v; v.data_ = b; return v; }
    static Value error(ErrorValue e) { Value v; v.data_ = e; return v; }

    Kind kind() const { return static_cast<Kind>(data_.index()); }
    bool isEmpty() const { return kind() == Kind::Empty; }
    bool isNumber() const { return kind() == Kind::Number; }
    bool isText() const { return kind() == Kind::Text; }
    bool isBoolean() const { return kind() == Kind::Boolean; }
    bool isError() const { return kind() == Kind::Error; }

    double asNumber() const { return std::get<double>(data_); }
    const std::string& asText() const { return std::get<std::string>(data_); }
    bool asBoolean() const { return std::get<bool>(data_); }
    ErrorValue asError() const { return std::get<ErrorValue>(data_); }

    // The value as text, the way the add-in's automation layer converts a cell value
    // to a string: empty gives "", numbers as numberToText, booleans "True"/"False".
    std::string toText() const {
        switch (kind()) {
            case Kind::Empty: return {};
            case Kind::Number: return numberToText(asNumber());
            case Kind::Text: return asText();
            case Kind::Boolean: return asBoolean() ? "True" : "False";
            case Kind::Error: return errorText(asError());
        }
        return {};
    }
    // The same from a value about to be dropped: a text is moved out, not copied.
    std::string takeText() && {
        if (isText()) return std::move(std::get<std::string>(data_));
        return toText();
    }

    // True for an empty cell and for a cell holding the empty text: what the
    // add-in's comparison with "" sees.
    bool isBlankText() const { return isEmpty() || (isText() && asText().empty()); }

    friend bool operator==(const Value& a, const Value& b) { return a.data_ == b.data_; }

private:
    std::variant<std::monostate, double, std::string, bool, ErrorValue> data_;
};

// A rectangular block of values, 1-based in both dimensions like the host's arrays.
class Array2D {
public:
    Array2D() = default;
    Array2D(int rows, int cols) : rows_(rows), cols_(cols), cells_(size_t(rows) * size_t(cols)) {}

    int rows() const { return rows_; }
    int columns() const { return cols_; }
    Value& at(int row, int col) { return cells_[index(row, col)]; }
    const Value& at(int row, int col) const { return cells_[index(row, col)]; }

    friend bool operator==(const Array2D&, const Array2D&) = default;

private:
    size_t index(int row, int col) const {
        return size_t(row - 1) * size_t(cols_) + size_t(col - 1);
    }
    int rows_ = 0;
    int cols_ = 0;
    std::vector<Value> cells_;
};

// What a range read gives and a range write takes: one cell reads as a scalar,
// several cells as an array.
class Variant {
public:
    Variant() = default;
    Variant(Value v) : data_(std::move(v)) {}  // NOLINT: a scalar is a Variant
    Variant(Array2D a) : data_(std::move(a)) {}  // NOLINT: so is an array

    bool isArray() const { return std::holds_alternative<Array2D>(data_); }
    const Value& scalar() const { return std::get<Value>(data_); }
    const Array2D& array() const { return std::get<Array2D>(data_); }
    Array2D& array() { return std::get<Array2D>(data_); }

    friend bool operator==(const Variant&, const Variant&) = default;

private:
    std::variant<Value, Array2D> data_;
};

}  // namespace vorra::host
