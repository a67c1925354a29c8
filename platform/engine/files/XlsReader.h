#pragma once
// Reading a 97–2003 workbook file (BIFF8 records in a compound file) into the model:
// the workbook globals (date system, fonts, palette, number formats, cell formats,
// shared strings, sheets, defined names with the print areas, external references;
// texts are UTF-16 or ISO 8859-1 whatever code page the file names)
// and every sheet (cells of every kind, formulas turned from their tokens into the
// engine's formula texts, column widths, row heights, merged cells, hidden rows and
// columns, page setup, protection, the view).
//
// Every count and offset is checked against the data it claims before anything is
// allocated for it; the whole workbook is charged against a budget of cells and
// memory (Limits.h). A file that breaks a rule is refused with what is wrong.

#include <memory>
#include <string>
#include <string_view>

#include "platform/engine/files/Limits.h"
#include "platform/engine/model/Model.h"

namespace vorra::engine::files {

// True when the bytes start like a compound file (the container of .xls workbooks
// and of password-protected Office Open XML workbooks).
bool isCompoundFile(std::string_view head);

// Reads the workbook; `file` names it in messages. With valuesOnly only sheet names
// and cell values (formula cells with their last results) are read: what another
// workbook's data needs (the batch import). Throws host::HostError.
std::unique_ptr<WorkbookModel> readXls(std::string_view bytes, const std::string& file,
                                       const ReadLimits& limits, bool valuesOnly);

}  // namespace vorra::engine::files
