#pragma once
// Workbook files: reading a file into the engine's model and writing the model back.
// Saving is atomic: a temporary file beside the target, then a rename.

#include <memory>
#include <string>

#include "platform/engine/model/Model.h"

namespace vorra::engine {

// Reads a workbook file. Throws host::HostError with a message that names the file
// and the problem when the file cannot be read.
std::unique_ptr<WorkbookModel> loadWorkbook(const std::string& path);

// Writes the workbook to the path in the format its extension names. A failed save
// leaves an existing file at the path untouched. Throws host::HostError.
void saveWorkbook(const WorkbookModel& workbook, const std::string& path);

}  // namespace vorra::engine
