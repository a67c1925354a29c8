#pragma once
// Writing the fill-in cells of the current bill. Every form that writes them finds the
// fill-in sheet 常用单位账号 by name, whatever sheet the user has active (a bill sheet
// chosen to print, the batch list), lifts its protection, writes, and protects it
// again: the add-in never writes into, or protects, any other sheet in its place.

#include <functional>
#include <memory>
#include <string>

#include "addin/frame/host/Host.h"

namespace vorra {

// The fill-in sheet of the active workbook; host error 9 when it has none.
std::shared_ptr<host::Worksheet> fillInSheet();

// Runs the writes on the fill-in sheet with its protection lifted and protects it again
// afterwards, also when a write fails; the failure then reaches the caller. Without a
// fill-in sheet nothing is written and the host's error reaches the caller.
void writeFillInCells(const std::function<void(host::Worksheet& fillIn)>& writes);

// A value as it is to be stored: a text stays that text, whatever the cell's number
// format (an account "0000358101040012345" keeps its digits, a name "=甲" is no
// formula, "2026-01-07" no date). The host's text prefix, an apostrophe, does that;
// an empty text stays empty. Other values are returned as they are.
host::Value keptText(const host::Value& value);
// The same for every value of a block read from a range (one cell or several).
host::Variant keptTexts(const host::Variant& values);

}  // namespace vorra
