// Fuzz target for the binary workbook reader and its compound file: any bytes either
// open or are refused with a host error, within the reader's budget. What opens must
// save as .xls, and what was saved must open again.
//
// Inputs that start like a compound file are read as files, so that mutations reach
// the header, the allocation tables and the directory. Any other input is taken as
// the workbook stream itself and put into a well-formed compound file first, so that
// mutations reach the records instead of dying on the container.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "addin/frame/host/HostError.h"
#include "platform/engine/files/Limits.h"
#include "platform/engine/files/XlsCompoundFile.h"
#include "platform/engine/files/XlsExport.h"
#include "platform/engine/files/XlsReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vorra::engine;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string bytes;
    if (files::isCompoundFile(input)) {
        bytes = std::string(input);
    } else {
        auto file = xls::compoundFileWithStream("Workbook", std::vector<std::uint8_t>(data, data + size));
        bytes.assign(file.begin(), file.end());
    }
    const files::ReadLimits limits;
    try {
        files::readXls(bytes, "fuzz.xls", limits, true);  // the batch import's reading
    } catch (const vorra::host::HostError&) {
    }
    std::unique_ptr<WorkbookModel> wb;
    try {
        wb = files::readXls(bytes, "fuzz.xls", limits, false);
    } catch (const vorra::host::HostError&) {
        return 0;  // refused with a message: the expected outcome for most inputs
    }
    std::vector<std::uint8_t> saved;
    try {
        saved = encodeXlsWorkbook(*wb);
    } catch (const vorra::host::HostError&) {
        return 0;  // a workbook the format cannot hold (a text too long …) is refused
    }
    try {
        files::readXls(std::string_view(reinterpret_cast<const char*>(saved.data()), saved.size()), "resaved.xls",
                       limits, false);
    } catch (const vorra::host::HostError& e) {
        std::fprintf(stderr, "a workbook saved here does not open again: %s\n", e.what());
        std::abort();
    }
    return 0;
}
