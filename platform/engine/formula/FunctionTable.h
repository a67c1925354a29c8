#pragma once
// The function table: one entry per worksheet function with its name, the arguments
// it takes and its implementation. Element-wise functions are written for single
// values; the interpreter applies them to each element when an argument is an array
// or a range (so LEN(A1:A3) gives three lengths). The others receive their arguments
// as operands (references stay references, so OFFSET and INDEX can give one back).

#include <span>
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
    bool isVolatile = false;            // recalculated on every calculation (TODAY, OFFSET)
    int argStep = 1;                    // arguments beyond minArgs come in groups of this many
    bool newerThanFileFormat = false;   // files spell it "_xlfn.NAME" (IFNA, XOR)
    bool addressOnly = false;           // reads where its references lie, not their cells (ROW)
};

// The entry of a function by its upper-case name; nullptr for an unknown one.
const FunctionInfo* findFunction(std::string_view upperName);
// Every entry, sorted by name.
std::span<const FunctionInfo> functionTable();
// Whether n arguments fit the function; otherwise the host's complaint ("too few
// arguments for ROUND, which takes 2").
bool acceptsArgumentCount(const FunctionInfo& f, int n);
std::string argumentCountProblem(const FunctionInfo& f, int n);

// Implementations, grouped by theme in their own files.
namespace fn {
// Math: MathFunctions.cpp
Value abs(const std::vector<Value>&, const EvalContext&);
Value intFloor(const std::vector<Value>&, const EvalContext&);
Value mod(const std::vector<Value>&, const EvalContext&);
Value round(const std::vector<Value>&, const EvalContext&);
Value roundDown(const std::vector<Value>&, const EvalContext&);
Value roundUp(const std::vector<Value>&, const EvalContext&);
Value trunc(const std::vector<Value>&, const EvalContext&);
Value ceiling(const std::vector<Value>&, const EvalContext&);
Value floor(const std::vector<Value>&, const EvalContext&);
Value mround(const std::vector<Value>&, const EvalContext&);
Value quotient(const std::vector<Value>&, const EvalContext&);
Value sqrt(const std::vector<Value>&, const EvalContext&);
Value power(const std::vector<Value>&, const EvalContext&);
Value log(const std::vector<Value>&, const EvalContext&);
Value log10(const std::vector<Value>&, const EvalContext&);
Value ln(const std::vector<Value>&, const EvalContext&);
Value exp(const std::vector<Value>&, const EvalContext&);
Value sign(const std::vector<Value>&, const EvalContext&);
Value even(const std::vector<Value>&, const EvalContext&);
Value odd(const std::vector<Value>&, const EvalContext&);
Value pi(const std::vector<Value>&, const EvalContext&);
Operand sum(std::vector<Operand>&, const EvalContext&);
Operand product(std::vector<Operand>&, const EvalContext&);
Operand sumProduct(std::vector<Operand>&, const EvalContext&);
Operand row(std::vector<Operand>&, const EvalContext&);
Operand column(std::vector<Operand>&, const EvalContext&);
Operand rows(std::vector<Operand>&, const EvalContext&);
Operand columns(std::vector<Operand>&, const EvalContext&);
// Counts and statistics: StatisticalFunctions.cpp
Operand count(std::vector<Operand>&, const EvalContext&);
Operand countA(std::vector<Operand>&, const EvalContext&);
Operand countBlank(std::vector<Operand>&, const EvalContext&);
Operand average(std::vector<Operand>&, const EvalContext&);
Operand min(std::vector<Operand>&, const EvalContext&);
Operand max(std::vector<Operand>&, const EvalContext&);
Operand median(std::vector<Operand>&, const EvalContext&);
Operand large(std::vector<Operand>&, const EvalContext&);
Operand small(std::vector<Operand>&, const EvalContext&);
// Logic and information: LogicalFunctions.cpp
Value ifValue(const std::vector<Value>&, const EvalContext&);
Value ifError(const std::vector<Value>&, const EvalContext&);
Value ifNa(const std::vector<Value>&, const EvalContext&);
Value isError(const std::vector<Value>&, const EvalContext&);
Value isErr(const std::vector<Value>&, const EvalContext&);
Value isNa(const std::vector<Value>&, const EvalContext&);
Value isNumber(const std::vector<Value>&, const EvalContext&);
Value isText(const std::vector<Value>&, const EvalContext&);
Value isNonText(const std::vector<Value>&, const EvalContext&);
Value isLogical(const std::vector<Value>&, const EvalContext&);
Value isBlank(const std::vector<Value>&, const EvalContext&);
Value isEven(const std::vector<Value>&, const EvalContext&);
Value isOdd(const std::vector<Value>&, const EvalContext&);
Value na(const std::vector<Value>&, const EvalContext&);
Value errorType(const std::vector<Value>&, const EvalContext&);
Value notValue(const std::vector<Value>&, const EvalContext&);
Value n(const std::vector<Value>&, const EvalContext&);
Operand isRef(std::vector<Operand>&, const EvalContext&);
Operand andAll(std::vector<Operand>&, const EvalContext&);
Operand orAny(std::vector<Operand>&, const EvalContext&);
Operand xorOdd(std::vector<Operand>&, const EvalContext&);
// Text: TextFunctions.cpp
Value len(const std::vector<Value>&, const EvalContext&);
Value lenB(const std::vector<Value>&, const EvalContext&);
Value left(const std::vector<Value>&, const EvalContext&);
Value leftB(const std::vector<Value>&, const EvalContext&);
Value right(const std::vector<Value>&, const EvalContext&);
Value rightB(const std::vector<Value>&, const EvalContext&);
Value mid(const std::vector<Value>&, const EvalContext&);
Value midB(const std::vector<Value>&, const EvalContext&);
Value find(const std::vector<Value>&, const EvalContext&);
Value findB(const std::vector<Value>&, const EvalContext&);
Value search(const std::vector<Value>&, const EvalContext&);
Value searchB(const std::vector<Value>&, const EvalContext&);
Value replace(const std::vector<Value>&, const EvalContext&);
Value replaceB(const std::vector<Value>&, const EvalContext&);
Value substitute(const std::vector<Value>&, const EvalContext&);
Value rept(const std::vector<Value>&, const EvalContext&);
Value trim(const std::vector<Value>&, const EvalContext&);
Value clean(const std::vector<Value>&, const EvalContext&);
Value upper(const std::vector<Value>&, const EvalContext&);
Value lower(const std::vector<Value>&, const EvalContext&);
Value proper(const std::vector<Value>&, const EvalContext&);
Value exact(const std::vector<Value>&, const EvalContext&);
Value charFromCode(const std::vector<Value>&, const EvalContext&);
Value code(const std::vector<Value>&, const EvalContext&);
Value concatenate(const std::vector<Value>&, const EvalContext&);
Value t(const std::vector<Value>&, const EvalContext&);
Value text(const std::vector<Value>&, const EvalContext&);
Value value(const std::vector<Value>&, const EvalContext&);
Value fixed(const std::vector<Value>&, const EvalContext&);
Value dollar(const std::vector<Value>&, const EvalContext&);
Value rmb(const std::vector<Value>&, const EvalContext&);
Value numberString(const std::vector<Value>&, const EvalContext&);
// Dates and times: DateFunctions.cpp
Value today(const std::vector<Value>&, const EvalContext&);
Value now(const std::vector<Value>&, const EvalContext&);
Value date(const std::vector<Value>&, const EvalContext&);
Value time(const std::vector<Value>&, const EvalContext&);
Value year(const std::vector<Value>&, const EvalContext&);
Value month(const std::vector<Value>&, const EvalContext&);
Value day(const std::vector<Value>&, const EvalContext&);
Value hour(const std::vector<Value>&, const EvalContext&);
Value minute(const std::vector<Value>&, const EvalContext&);
Value second(const std::vector<Value>&, const EvalContext&);
Value weekday(const std::vector<Value>&, const EvalContext&);
Value weekNum(const std::vector<Value>&, const EvalContext&);
Value eDate(const std::vector<Value>&, const EvalContext&);
Value eoMonth(const std::vector<Value>&, const EvalContext&);
Value dateDif(const std::vector<Value>&, const EvalContext&);
Value days(const std::vector<Value>&, const EvalContext&);
Value dateValue(const std::vector<Value>&, const EvalContext&);
Value timeValue(const std::vector<Value>&, const EvalContext&);
// Look-ups and references: LookupFunctions.cpp
Operand vlookup(std::vector<Operand>&, const EvalContext&);
Operand hlookup(std::vector<Operand>&, const EvalContext&);
Operand lookup(std::vector<Operand>&, const EvalContext&);
Operand match(std::vector<Operand>&, const EvalContext&);
Operand index(std::vector<Operand>&, const EvalContext&);
Operand choose(std::vector<Operand>&, const EvalContext&);
Operand offset(std::vector<Operand>&, const EvalContext&);
Operand indirect(std::vector<Operand>&, const EvalContext&);
Value address(const std::vector<Value>&, const EvalContext&);
// Criteria: Criteria.cpp
Operand countIf(std::vector<Operand>&, const EvalContext&);
Operand countIfs(std::vector<Operand>&, const EvalContext&);
Operand sumIf(std::vector<Operand>&, const EvalContext&);
Operand sumIfs(std::vector<Operand>&, const EvalContext&);
Operand averageIf(std::vector<Operand>&, const EvalContext&);
Operand averageIfs(std::vector<Operand>&, const EvalContext&);
}  // namespace fn

// The first error among the values, if any.
const Value* firstError(const std::vector<Value>& values);

}  // namespace vorra::engine::formula
