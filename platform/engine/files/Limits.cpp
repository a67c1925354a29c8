#include "platform/engine/files/Limits.h"

#include "platform/engine/files/FileError.h"

namespace vorra::engine::files {

void WorkbookBudget::refuseCells() const {
    refuseFile(file_, "the workbook holds more than " + std::to_string(limits_.maxCells) +
                          " cells, the limit for one workbook");
}

void WorkbookBudget::refuseMemory() const {
    refuseFile(file_, "reading the workbook needs more than " + std::to_string(limits_.maxMemoryBytes >> 20) +
                          " MiB of memory, the limit for one workbook");
}

}  // namespace vorra::engine::files
