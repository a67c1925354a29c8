#include "platform/engine/data/WorkbookDataAccess.h"

#include "platform/engine/data/SheetQuery.h"
#include "platform/engine/files/WorkbookFiles.h"

namespace vorra::engine {

host::Recordset WorkbookDataAccess::query(const std::string& connectionString,
                                          const std::string& sql) {
    // The query is understood before the file is read, so that a query of another
    // form is refused without touching the file.
    SheetQuery parsed = parseSheetQuery(sql);
    auto workbook = loadWorkbook(dataSourceOf(connectionString));
    return runSheetQuery(parsed, *workbook);
}

}  // namespace vorra::engine
