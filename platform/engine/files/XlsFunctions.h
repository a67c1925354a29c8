#pragma once
// The worksheet functions of the binary workbook format: each built-in function is
// stored as its number in the format's function table, with the count of its
// arguments when that count can vary. Functions the table lacks are stored as calls of
// a name: the add-in functions of the analysis pack as names of the add-in book, the
// later functions as hidden function names "_xlfn.NAME" of the workbook.
//
// The argument classes say what each argument's tokens must give: a reference (R), a
// single value (V) or an array (A); formulas written with the wrong class compute
// differently in programs that follow them.

#include <cstdint>
#include <string_view>

namespace vorra::engine::xls {

inline constexpr std::uint16_t kNamedFunction = 255;  // the call of a function by name

struct XlsFunction {
    std::uint16_t id = kNamedFunction;
    std::string_view name;
    std::uint8_t minArgs = 0;
    std::uint8_t maxArgs = 30;
    // The class of each argument, 'R', 'V' or 'A'; the last `repeat` classes repeat
    // for the arguments past the string's end.
    std::string_view classes = "V";
    std::uint8_t repeat = 1;
    bool returnsReference = false;  // may give a reference (INDEX, OFFSET, IF …)
    bool isVolatile = false;        // computed again on every calculation
    bool addIn = false;             // stored as a name of the add-in book
    bool fixed() const { return minArgs == maxArgs && id != kNamedFunction; }
    char argumentClass(size_t index) const;
};

// The built-in function of that number; nullptr for an unknown one.
const XlsFunction* functionById(unsigned id);
// The function of that upper-case name, built-in or stored by name; nullptr when the
// format knows none of that name.
const XlsFunction* functionByName(std::string_view upperName);

}  // namespace vorra::engine::xls
