#pragma once
// Defined names, the <definedNames> element of the workbook part. The model keeps a
// sheet's print area on the sheet (Sheet::printArea); in the file it is the sheet-local
// name _xlnm.Print_Area among the others.

#include <string>
#include <vector>

#include <pugixml.hpp>

#include "platform/engine/model/Model.h"

namespace vorra::engine::files {

// The names of a <definedNames> element, as written (print areas included).
std::vector<DefinedName> readDefinedNames(const pugi::xml_node& definedNames);
// The <definedNames> element for the names; nothing when there are none.
std::string writeDefinedNames(const std::vector<DefinedName>& names);

// Names as read ↔ model: print areas move to Sheet::printArea, the rest stay names.
void applyDefinedNames(const std::vector<DefinedName>& names, WorkbookModel& model);
std::vector<DefinedName> definedNamesOf(const WorkbookModel& model);
// A sheet name as it stands before "!" in a reference: quoted when it needs to be.
std::string sheetReferenceName(const std::string& sheet);

}  // namespace vorra::engine::files
