#pragma once
// The function table: one entry per worksheet function with its name, the number of
// arguments it takes and its implementation. Element-wise functions are written for
// single values; the interpreter applies them to each element when an argument is an
// array or a range (so LEN(A1:A3) gives three lengths). The others receive their
// arguments as operands (references stay references).

#include <string_view>
#include <vector>

#include "platform/engine/formula/Operand.h"

namespace vorra::engine::formula {

using ScalarFunction = Value (*)(const std::vector<Value>& args, const EvalContext& ctx);
using OperandFunction = Operand (*)(std::vector<Operand>& args, const EvalContext& ctx);

struct FunctionInfo {
    std::string_view name;
    int minArgs;
    int maxArgs;
    ScalarFunction scalar = nullptr;    // element-wise
    OperandFunction operand = nullptr;  // sees references and arrays
    bool isVolatile = false;            // recalculated on every calculation (TODAY, NOW)
};

// The entry of a function by its upper-case name; nullptr for an unknown one.
const FunctionInfo* findFunction(std::string_view upperName);

// Implementations, grouped by theme in their own files.
namespace fn {
// Math: MathFunctions.cpp
Value abs(const std::vector<Value>&, const EvalContext&);
Value intFloor(const std::vector<Value>&, const EvalContext&);
Value mod(const std::vector<Value>&, const EvalContext&);
Value round(const std::vector<Value>&, const EvalContext&);
Value roundDown(const std::vector<Value>&, const EvalContext&);
Operand sum(std::vector<Operand>&, const EvalContext&);
Operand countA(std::vector<Operand>&, const EvalContext&);
Operand row(std::vector<Operand>&, const EvalContext&);
Operand column(std::vector<Operand>&, const EvalContext&);
// Logic and information: LogicalFunctions.cpp
Value ifValue(const std::vector<Value>&, const EvalContext&);
Value ifError(const std::vector<Value>&, const EvalContext&);
Value isError(const std::vector<Value>&, const EvalContext&);
Value isNumber(const std::vector<Value>&, const EvalContext&);
Value isBlank(const std::vector<Value>&, const EvalContext&);
Value notValue(const std::vector<Value>&, const EvalContext&);
Operand andAll(std::vector<Operand>&, const EvalContext&);
Operand orAny(std::vector<Operand>&, const EvalContext&);
// Text: TextFunctions.cpp
Value len(const std::vector<Value>&, const EvalContext&);
Value left(const std::vector<Value>&, const EvalContext&);
Value right(const std::vector<Value>&, const EvalContext&);
Value mid(const std::vector<Value>&, const EvalContext&);
Value find(const std::vector<Value>&, const EvalContext&);
Value substitute(const std::vector<Value>&, const EvalContext&);
Value rept(const std::vector<Value>&, const EvalContext&);
Value trim(const std::vector<Value>&, const EvalContext&);
Value upper(const std::vector<Value>&, const EvalContext&);
Value lower(const std::vector<Value>&, const EvalContext&);
Value concatenate(const std::vector<Value>&, const EvalContext&);
Value text(const std::vector<Value>&, const EvalContext&);
Value value(const std::vector<Value>&, const EvalContext&);
Value numberString(const std::vector<Value>&, const EvalContext&);
// Dates: DateFunctions.cpp
Value today(const std::vector<Value>&, const EvalContext&);
Value now(const std::vector<Value>&, const EvalContext&);
Value date(const std::vector<Value>&, const EvalContext&);
Value year(const std::vector<Value>&, const EvalContext&);
Value month(const std::vector<Value>&, const EvalContext&);
Value day(const std::vector<Value>&, const EvalContext&);
// Look-ups: LookupFunctions.cpp
Operand vlookup(std::vector<Operand>&, const EvalContext&);
Operand hlookup(std::vector<Operand>&, const EvalContext&);
Operand lookup(std::vector<Operand>&, const EvalContext&);
Operand match(std::vector<Operand>&, const EvalContext&);
Operand index(std::vector<Operand>&, const EvalContext&);
// Criteria: Criteria.cpp
Operand countIf(std::vector<Operand>&, const EvalContext&);
Operand sumIf(std::vector<Operand>&, const EvalContext&);
}  // namespace fn

// The first error among the values, if any.
const Value* firstError(const std::vector<Value>& values);

}  // namespace vorra::engine::formula
