#include "platform/engine/formula/FunctionTable.h"

#include <algorithm>
#include <array>

namespace vorra::engine::formula {

namespace {

constexpr int kMany = 255;

// Sorted by name for binary search.
const FunctionInfo kFunctions[] = {
    {"ABS", 1, 1, fn::abs},
    {"AND", 1, kMany, nullptr, fn::andAll},
    {"COLUMN", 0, 1, nullptr, fn::column},
    {"CONCATENATE", 1, kMany, fn::concatenate},
    {"COUNTA", 1, kMany, nullptr, fn::countA},
    {"COUNTIF", 2, 2, nullptr, fn::countIf},
    {"DATE", 3, 3, fn::date},
    {"DAY", 1, 1, fn::day},
    {"FIND", 2, 3, fn::find},
    {"HLOOKUP", 3, 4, nullptr, fn::hlookup},
    {"IF", 2, 3, fn::ifValue},
    {"IFERROR", 2, 2, fn::ifError},
    {"INDEX", 2, 3, nullptr, fn::index},
    {"INT", 1, 1, fn::intFloor},
    {"ISBLANK", 1, 1, fn::isBlank},
    {"ISERROR", 1, 1, fn::isError},
    {"ISNUMBER", 1, 1, fn::isNumber},
    {"LEFT", 1, 2, fn::left},
    {"LEN", 1, 1, fn::len},
    {"LOOKUP", 2, 3, nullptr, fn::lookup},
    {"LOWER", 1, 1, fn::lower},
    {"MATCH", 2, 3, nullptr, fn::match},
    {"MID", 3, 3, fn::mid},
    {"MOD", 2, 2, fn::mod},
    {"MONTH", 1, 1, fn::month},
    {"NOT", 1, 1, fn::notValue},
    {"NOW", 0, 0, fn::now, nullptr, true},
    {"NUMBERSTRING", 2, 2, fn::numberString},
    {"OR", 1, kMany, nullptr, fn::orAny},
    {"REPT", 2, 2, fn::rept},
    {"RIGHT", 1, 2, fn::right},
    {"ROUND", 2, 2, fn::round},
    {"ROUNDDOWN", 2, 2, fn::roundDown},
    {"ROW", 0, 1, nullptr, fn::row},
    {"SUBSTITUTE", 3, 4, fn::substitute},
    {"SUM", 1, kMany, nullptr, fn::sum},
    {"SUMIF", 2, 3, nullptr, fn::sumIf},
    {"TEXT", 2, 2, fn::text},
    {"TODAY", 0, 0, fn::today, nullptr, true},
    {"TRIM", 1, 1, fn::trim},
    {"UPPER", 1, 1, fn::upper},
    {"VALUE", 1, 1, fn::value},
    {"VLOOKUP", 3, 4, nullptr, fn::vlookup},
    {"YEAR", 1, 1, fn::year},
};

}  // namespace

const FunctionInfo* findFunction(std::string_view name) {
    auto it = std::lower_bound(std::begin(kFunctions), std::end(kFunctions), name,
                               [](const FunctionInfo& f, std::string_view n) { return f.name < n; });
    return it != std::end(kFunctions) && it->name == name ? &*it : nullptr;
}

const Value* firstError(const std::vector<Value>& values) {
    for (const auto& v : values)
        if (v.isError()) return &v;
    return nullptr;
}

}  // namespace vorra::engine::formula
