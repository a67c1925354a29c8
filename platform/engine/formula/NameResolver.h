#pragma once
// Third stage: binds a parsed formula to the workbook. Sheet names become sheet
// indices (#REF! for a sheet that does not exist), defined names are replaced by what
// they refer to (a sheet-local name before a workbook name), function names by their
// table entries (#NAME? for an unknown one). Collects the areas the formula reads,
// which the dependency tracker needs.

#include <string>
#include <vector>

#include "platform/engine/formula/Ast.h"
#include "platform/engine/formula/Operand.h"

namespace vorra::engine::formula {

struct Binding {
    std::vector<RangeRef> precedents;  // every area the formula reads
    bool isVolatile = false;           // uses TODAY, NOW, …
};

// Defined names compare as the host compares them: ASCII letters without regard to case.
bool sameNameIgnoringCase(const std::string& a, const std::string& b);

enum class ArityCheck { Refuse, ErrorValue };

// Binds the tree in place for a formula standing on the given sheet. With
// ArityCheck::Refuse a call with too few or too many arguments throws
// FormulaSyntaxError (as when a formula is typed); otherwise it evaluates to #VALUE!.
Binding resolveNames(Node& root, const WorkbookModel& model, int sheet, ArityCheck arity);

}  // namespace vorra::engine::formula
