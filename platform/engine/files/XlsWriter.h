#pragma once
// Binary 97–2003 workbooks (.xls, BIFF8 records in a compound file), written for
// exports: sheet names and visibility, cell values (a formula cell gives its cached
// value), column widths, number formats, fonts and alignment of the cells.

#include <string>

#include "platform/engine/model/Model.h"

namespace vorra::engine::files {

// The file's bytes. Refuses (host error naming `file`) sheets past the format's
// 65536 rows and 256 columns.
std::string writeXls(const WorkbookModel& model, const std::string& file);

}  // namespace vorra::engine::files
