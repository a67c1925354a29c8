#pragma once
// The workbook part: the list of sheets, defined names (DefinedNames.h), the 1904
// date system, the active sheet and the external references.

#include <string>
#include <string_view>
#include <vector>

#include "platform/engine/files/PackageParts.h"
#include "platform/engine/model/Model.h"

namespace vorra::engine::files {

struct SheetEntry {
    std::string name;
    SheetVisibility visibility = SheetVisibility::Visible;
    std::string relationshipId;
};

struct WorkbookPartContent {
    std::vector<SheetEntry> sheets;
    std::vector<DefinedName> names;          // as written, print areas included
    std::vector<std::string> externalLinkIds;  // relationship ids, in order
    bool date1904 = false;
    int activeSheet = 0;
};

WorkbookPartContent readWorkbookPart(std::string_view xml, const std::string& file,
                                     const std::string& part, int maxDepth,
                                     PackagePreserved& preserved);

struct WorkbookPartOutput {
    std::vector<std::string> sheetIds;         // relationship ids of the sheets, in order
    std::vector<std::string> externalLinkIds;  // relationship ids of the links, in order
};
std::string writeWorkbookPart(const WorkbookModel& model, const WorkbookPartOutput& ids,
                              const PackagePreserved* preserved);

}  // namespace vorra::engine::files
