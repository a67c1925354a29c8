#pragma once
// Office Open XML workbooks (.xlsx, .xlsm): the whole package read into the model and
// the model written back as a package, part by part.

#include <memory>
#include <string>
#include <string_view>

#include "platform/engine/files/ByteSink.h"
#include "platform/engine/files/Limits.h"
#include "platform/engine/model/Model.h"

namespace vorra::engine::files {

// `file` names the file in messages. With valuesOnly the reader keeps sheet names
// and cell values and skips formats, formulas and unmodelled parts.
std::unique_ptr<WorkbookModel> readXlsx(std::string_view bytes, const std::string& file,
                                        const ReadLimits& limits, bool valuesOnly);

// The package's bytes. A macro-enabled package keeps the workbook's macro project;
// a plain one leaves it out, as other programs do when saving without macros.
std::string writeXlsx(const WorkbookModel& model, const std::string& file, bool macroEnabled);
// The same package written to `out` as it is produced.
void writeXlsx(const WorkbookModel& model, const std::string& file, bool macroEnabled, ByteSink& out);

}  // namespace vorra::engine::files
