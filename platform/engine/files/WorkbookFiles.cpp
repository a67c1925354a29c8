// Placeholder until the workbook-file readers and writers land.
#include "platform/engine/files/WorkbookFiles.h"

#include "addin/frame/host/HostError.h"

namespace vorra::engine {

std::unique_ptr<WorkbookModel> loadWorkbook(const std::string& path) {
    throw host::HostError(host::error::kApplicationDefined,
                          "Cannot open \"" + path + "\": workbook files are not supported yet");
}

void saveWorkbook(const WorkbookModel&, const std::string& path) {
    throw host::HostError(host::error::kApplicationDefined,
                          "Cannot save \"" + path + "\": workbook files are not supported yet");
}

}  // namespace vorra::engine
