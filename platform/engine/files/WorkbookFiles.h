#pragma once
// Workbook files: reading a file into the engine's model and writing the model back.
// Saving is atomic: a temporary file beside the target, then a rename.

#include <memory>
#include <string>
#include <string_view>

#include "platform/engine/model/Model.h"

namespace vorra::engine {

// Reads a workbook file. Throws host::HostError with a message that names the file
// and the problem when the file cannot be read.
//
// Office Open XML workbooks (.xlsx, .xlsm) open for editing: everything the model
// does not hold is carried through a later save. A binary 97–2003 workbook (.xls)
// opens for editing too, with its formulas, names, formats, layout and page setup.
// An OpenDocument spreadsheet (.ods) is refused with a message that names it.
std::unique_ptr<WorkbookModel> loadWorkbook(const std::string& path);

// Writes the workbook to the path in the format its extension names. A failed save
// leaves an existing file at the path untouched. Throws host::HostError.
//
// ".xls" writes the binary 97–2003 format with everything its reader reads (formulas
// as the format's tokens, with their last results); a workbook the format cannot
// hold (rows past 65536, a formula beyond its limits) is refused naming the reason.
// Every other name gets an Office Open XML package; only ".xlsm" keeps a macro
// project.
void saveWorkbook(const WorkbookModel& workbook, const std::string& path);

// Sheet names and cell values of a workbook, for reading another workbook's data
// (the batch import): .xlsx/.xlsm and binary .xls alike. No formats, formulas or
// unmodelled parts.
std::unique_ptr<WorkbookModel> loadWorkbookValues(const std::string& path);

// loadWorkbook on bytes already in memory; `name` stands for the file in messages.
std::unique_ptr<WorkbookModel> loadWorkbookFromMemory(std::string_view bytes, const std::string& name);

}  // namespace vorra::engine
