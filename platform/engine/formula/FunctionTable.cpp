#include "platform/engine/formula/FunctionTable.h"

#include <algorithm>
#include <array>
#include <string>

namespace vorra::engine::formula {

namespace {

constexpr int kMany = 255;

// Sorted by name for binary search (a test checks the order). Fields: name, fewest
// and most arguments, the element-wise or the operand implementation, volatile,
// argument groups, "_xlfn." in files, reads addresses only.
const FunctionInfo kFunctions[] = {
    {"ABS", 1, 1, fn::abs},
    {"ADDRESS", 2, 5, fn::address},
    {"AND", 1, kMany, nullptr, fn::andAll},
    {"AVERAGE", 1, kMany, nullptr, fn::average},
    {"AVERAGEIF", 2, 3, nullptr, fn::averageIf},
    {"AVERAGEIFS", 3, kMany, nullptr, fn::averageIfs, false, 2},
    {"CEILING", 2, 2, fn::ceiling},
    {"CHAR", 1, 1, fn::charFromCode},
    {"CHOOSE", 2, kMany, nullptr, fn::choose},
    {"CLEAN", 1, 1, fn::clean},
    {"CODE", 1, 1, fn::code},
    {"COLUMN", 0, 1, nullptr, fn::column, false, 1, false, true},
    {"COLUMNS", 1, 1, nullptr, fn::columns, false, 1, false, true},
    {"CONCATENATE", 1, kMany, fn::concatenate},
    {"COUNT", 1, kMany, nullptr, fn::count},
    {"COUNTA", 1, kMany, nullptr, fn::countA},
    {"COUNTBLANK", 1, 1, nullptr, fn::countBlank},
    {"COUNTIF", 2, 2, nullptr, fn::countIf},
    {"COUNTIFS", 2, 254, nullptr, fn::countIfs, false, 2},
    {"DATE", 3, 3, fn::date},
    {"DATEDIF", 3, 3, fn::dateDif},
    {"DATEVALUE", 1, 1, fn::dateValue},
    {"DAY", 1, 1, fn::day},
    {"DAYS", 2, 2, fn::days, nullptr, false, 1, true},
    {"DOLLAR", 1, 2, fn::dollar},
    {"EDATE", 2, 2, fn::eDate},
    {"EOMONTH", 2, 2, fn::eoMonth},
    {"ERROR.TYPE", 1, 1, fn::errorType},
    {"EVEN", 1, 1, fn::even},
    {"EXACT", 2, 2, fn::exact},
    {"EXP", 1, 1, fn::exp},
    {"FIND", 2, 3, fn::find},
    {"FINDB", 2, 3, fn::findB},
    {"FIXED", 1, 3, fn::fixed},
    {"FLOOR", 2, 2, fn::floor},
    {"HLOOKUP", 3, 4, nullptr, fn::hlookup},
    {"HOUR", 1, 1, fn::hour},
    {"IF", 2, 3, fn::ifValue},
    {"IFERROR", 2, 2, fn::ifError},
    {"IFNA", 2, 2, fn::ifNa, nullptr, false, 1, true},
    {"INDEX", 2, 4, nullptr, fn::index},
    {"INDIRECT", 1, 2, nullptr, fn::indirect, true},
    {"INT", 1, 1, fn::intFloor},
    {"ISBLANK", 1, 1, fn::isBlank},
    {"ISERR", 1, 1, fn::isErr},
    {"ISERROR", 1, 1, fn::isError},
    {"ISEVEN", 1, 1, fn::isEven},
    {"ISLOGICAL", 1, 1, fn::isLogical},
    {"ISNA", 1, 1, fn::isNa},
    {"ISNONTEXT", 1, 1, fn::isNonText},
    {"ISNUMBER", 1, 1, fn::isNumber},
    {"ISODD", 1, 1, fn::isOdd},
    {"ISREF", 1, 1, nullptr, fn::isRef},
    {"ISTEXT", 1, 1, fn::isText},
    {"LARGE", 2, 2, nullptr, fn::large},
    {"LEFT", 1, 2, fn::left},
    {"LEFTB", 1, 2, fn::leftB},
    {"LEN", 1, 1, fn::len},
    {"LENB", 1, 1, fn::lenB},
    {"LN", 1, 1, fn::ln},
    {"LOG", 1, 2, fn::log},
    {"LOG10", 1, 1, fn::log10},
    {"LOOKUP", 2, 3, nullptr, fn::lookup},
    {"LOWER", 1, 1, fn::lower},
    {"MATCH", 2, 3, nullptr, fn::match},
    {"MAX", 1, kMany, nullptr, fn::max},
    {"MEDIAN", 1, kMany, nullptr, fn::median},
    {"MID", 3, 3, fn::mid},
    {"MIDB", 3, 3, fn::midB},
    {"MIN", 1, kMany, nullptr, fn::min},
    {"MINUTE", 1, 1, fn::minute},
    {"MOD", 2, 2, fn::mod},
    {"MONTH", 1, 1, fn::month},
    {"MROUND", 2, 2, fn::mround},
    {"N", 1, 1, fn::n},
    {"NA", 0, 0, fn::na},
    {"NOT", 1, 1, fn::notValue},
    {"NOW", 0, 0, fn::now, nullptr, true},
    {"NUMBERSTRING", 2, 2, fn::numberString},
    {"ODD", 1, 1, fn::odd},
    {"OFFSET", 3, 5, nullptr, fn::offset, true},
    {"OR", 1, kMany, nullptr, fn::orAny},
    {"PI", 0, 0, fn::pi},
    {"POWER", 2, 2, fn::power},
    {"PRODUCT", 1, kMany, nullptr, fn::product},
    {"PROPER", 1, 1, fn::proper},
    {"QUOTIENT", 2, 2, fn::quotient},
    {"REPLACE", 4, 4, fn::replace},
    {"REPLACEB", 4, 4, fn::replaceB},
    {"REPT", 2, 2, fn::rept},
    {"RIGHT", 1, 2, fn::right},
    {"RIGHTB", 1, 2, fn::rightB},
    {"RMB", 1, 2, fn::rmb},
    {"ROUND", 2, 2, fn::round},
    {"ROUNDDOWN", 2, 2, fn::roundDown},
    {"ROUNDUP", 2, 2, fn::roundUp},
    {"ROW", 0, 1, nullptr, fn::row, false, 1, false, true},
    {"ROWS", 1, 1, nullptr, fn::rows, false, 1, false, true},
    {"SEARCH", 2, 3, fn::search},
    {"SEARCHB", 2, 3, fn::searchB},
    {"SECOND", 1, 1, fn::second},
    {"SIGN", 1, 1, fn::sign},
    {"SMALL", 2, 2, nullptr, fn::small},
    {"SQRT", 1, 1, fn::sqrt},
    {"SUBSTITUTE", 3, 4, fn::substitute},
    {"SUM", 1, kMany, nullptr, fn::sum},
    {"SUMIF", 2, 3, nullptr, fn::sumIf},
    {"SUMIFS", 3, kMany, nullptr, fn::sumIfs, false, 2},
    {"SUMPRODUCT", 1, kMany, nullptr, fn::sumProduct},
    {"T", 1, 1, fn::t},
    {"TEXT", 2, 2, fn::text},
    {"TIME", 3, 3, fn::time},
    {"TIMEVALUE", 1, 1, fn::timeValue},
    {"TODAY", 0, 0, fn::today, nullptr, true},
    {"TRIM", 1, 1, fn::trim},
    {"TRUNC", 1, 2, fn::trunc},
    {"UPPER", 1, 1, fn::upper},
    {"VALUE", 1, 1, fn::value},
    {"VLOOKUP", 3, 4, nullptr, fn::vlookup},
    {"WEEKDAY", 1, 2, fn::weekday},
    {"WEEKNUM", 1, 2, fn::weekNum},
    {"XOR", 1, 254, nullptr, fn::xorOdd, false, 1, true},
    {"YEAR", 1, 1, fn::year},
};

std::string arguments(int n) { return std::to_string(n) + (n == 1 ? " argument" : " arguments"); }

}  // namespace

const FunctionInfo* findFunction(std::string_view name) {
    auto it = std::lower_bound(std::begin(kFunctions), std::end(kFunctions), name,
                               [](const FunctionInfo& f, std::string_view n) { return f.name < n; });
    return it != std::end(kFunctions) && it->name == name ? &*it : nullptr;
}

std::span<const FunctionInfo> functionTable() { return kFunctions; }

bool acceptsArgumentCount(const FunctionInfo& f, int n) {
    return n >= f.minArgs && n <= f.maxArgs && (n - f.minArgs) % f.argStep == 0;
}

std::string argumentCountProblem(const FunctionInfo& f, int n) {
    std::string takes;
    if (f.minArgs == f.maxArgs) takes = arguments(f.minArgs);
    else if (f.argStep > 1) takes = std::to_string(f.minArgs) + " or more arguments, ranges and criteria in pairs";
    else if (f.maxArgs == kMany) takes = "at least " + arguments(f.minArgs);
    else takes = std::to_string(f.minArgs) + " to " + arguments(f.maxArgs);
    std::string name(f.name);
    if (n < f.minArgs) return "too few arguments for " + name + ", which takes " + takes;
    if (n > f.maxArgs) return "too many arguments for " + name + ", which takes " + takes;
    return "arguments of " + name + " must come in pairs: it takes " + takes;
}

const Value* firstError(const std::vector<Value>& values) {
    for (const auto& v : values)
        if (v.isError()) return &v;
    return nullptr;
}

}  // namespace vorra::engine::formula
