#pragma once
// Reading a worksheet part: cells, columns, rows, merges, view, protection and page
// setup into the sheet. Elements the engine does not model are kept in a
// WorksheetPreserved, for the writer to put back in their place.

#include <string>
#include <string_view>
#include <vector>

#include "platform/engine/files/Limits.h"
#include "platform/engine/files/PackageParts.h"
#include "platform/engine/model/Model.h"

namespace vorra::engine::files {

struct WorksheetSource {
    const std::string& file;
    const std::string& part;
    const std::vector<std::string>* sharedStrings;  // null when the package has none
    const ReadLimits& limits;
    bool valuesOnly = false;  // skip everything but cell values (batch import)
    int formatCount = 1;      // cell formats the styles part defines
    int maxDigitWidth = 8;    // of the workbook's default font: the unit of column widths
    WorkbookBudget* budget = nullptr;  // cells and memory of the whole workbook
};

// Fills `sheet` (whose name and visibility the workbook part set) from the part.
// `preserved` receives the unmodelled content; its relationships and parts are
// filled by the caller.
void readWorksheet(std::string_view xml, const WorksheetSource& source, Sheet& sheet,
                   WorksheetPreserved& preserved);

}  // namespace vorra::engine::files
