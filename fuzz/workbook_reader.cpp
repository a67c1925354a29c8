// Fuzz target for the workbook reader: any bytes either open or are refused with a
// host error. What opens must save, and what was saved must open again.
//
// Inputs that start like a zip or compound file are read as files. Any other input
// is split at '\x01' into the workbook, sheet, shared-strings and styles parts of a
// package whose plumbing is fixed, so that mutations reach the part readers instead
// of dying on the zip checksums.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "addin/frame/host/HostError.h"
#include "platform/engine/files/Limits.h"
#include "platform/engine/files/WorkbookFiles.h"
#include "platform/engine/files/XlsxPackage.h"
#include "platform/engine/files/ZipPackage.h"

namespace {

std::string packageOfParts(std::string_view input) {
    std::vector<std::string> pieces(4);
    size_t piece = 0;
    for (char c : input) {
        if (c == '\x01' && piece + 1 < pieces.size()) ++piece;
        else pieces[piece] += c;
    }
    const std::string ct =
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
        "</Types>";
    const std::string rootRels =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" Target=\"xl/workbook.xml\"/>"
        "</Relationships>";
    const std::string wbRels =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
        "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\" Target=\"sharedStrings.xml\"/>"
        "<Relationship Id=\"rId3\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" Target=\"styles.xml\"/>"
        "</Relationships>";
    return vorra::engine::files::writeZip({{"[Content_Types].xml", ct},
                                          {"_rels/.rels", rootRels},
                                          {"xl/workbook.xml", pieces[0]},
                                          {"xl/_rels/workbook.xml.rels", wbRels},
                                          {"xl/worksheets/sheet1.xml", pieces[1]},
                                          {"xl/sharedStrings.xml", pieces[2]},
                                          {"xl/styles.xml", pieces[3]}},
                                         "parts.xlsx");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vorra::engine;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    bool container = input.starts_with("PK") || input.starts_with("\xD0\xCF\x11\xE0");
    std::string bytes = container ? std::string(input) : packageOfParts(input);
    std::unique_ptr<WorkbookModel> wb;
    try {
        wb = loadWorkbookFromMemory(bytes, "fuzz.xlsx");
    } catch (const vorra::host::HostError&) {
        return 0;  // refused with a message: the expected outcome for most inputs
    }
    std::string saved = files::writeXlsx(*wb, "fuzz.xlsx", true);
    try {
        files::readXlsx(saved, "resaved.xlsx", files::ReadLimits{}, false);
    } catch (const vorra::host::HostError& e) {
        std::fprintf(stderr, "a workbook saved here does not open again: %s\n", e.what());
        std::abort();
    }
    return 0;
}
