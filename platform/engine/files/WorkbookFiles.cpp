#include "platform/engine/files/WorkbookFiles.h"

#include <filesystem>
#include <fstream>
#include <span>

#include "platform/engine/files/AtomicFile.h"
#include "platform/engine/files/FileError.h"
#include "platform/engine/files/Limits.h"
#include "platform/engine/files/XlsExport.h"
#include "platform/engine/files/XlsReader.h"
#include "platform/engine/files/XlsxPackage.h"

namespace vorra::engine {

namespace {

using files::refuseFile;

std::string readWholeFile(const std::string& path, std::uint64_t limit) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        throw host::HostError(host::error::kFileNotFound, "Cannot open \"" + path + "\": the file does not exist");
    if (std::filesystem::is_directory(path, ec)) refuseFile(path, "it is a folder, not a file");
    auto size = std::filesystem::file_size(path, ec);
    if (ec) refuseFile(path, ec.message());
    if (size > limit) refuseFile(path, "the file is larger than " + std::to_string(limit >> 20) + " MiB");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw host::HostError(host::error::kPermissionDenied, "Cannot open \"" + path + "\": permission denied");
    std::string bytes(size, '\0');
    in.read(bytes.data(), std::streamsize(size));
    if (std::uint64_t(in.gcount()) != size) refuseFile(path, "the file could not be read completely");
    return bytes;
}

// Tells the container apart before any reader runs, so that the message says what
// the file really is.
enum class Container { Zip, OpenDocument, Compound, Other };

Container containerOf(std::string_view bytes) {
    if (bytes.size() >= 4 && bytes.substr(0, 2) == "PK") {
        // An OpenDocument package names its type in its first entry, stored as is.
        if (bytes.substr(0, 256).find("application/vnd.oasis.opendocument.spreadsheet") != std::string_view::npos)
            return Container::OpenDocument;
        return Container::Zip;
    }
    if (files::isCompoundFile(bytes)) return Container::Compound;
    return Container::Other;
}

std::unique_ptr<WorkbookModel> loadBytes(std::string_view bytes, const std::string& name, bool valuesOnly) {
    files::ReadLimits limits;
    switch (containerOf(bytes)) {
        case Container::Zip: return files::readXlsx(bytes, name, limits, valuesOnly);
        case Container::OpenDocument: refuseFile(name, files::kOpenDocumentRefusal);
        case Container::Compound: return files::readXls(bytes, name, limits, valuesOnly);
        case Container::Other: break;
    }
    refuseFile(name, "not a workbook (neither an .xlsx package nor a binary .xls file)");
}

std::string lowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    for (auto& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

}  // namespace

std::unique_ptr<WorkbookModel> loadWorkbook(const std::string& path) {
    files::ReadLimits limits;
    return loadBytes(readWholeFile(path, limits.maxFileBytes), path, false);
}

std::unique_ptr<WorkbookModel> loadWorkbookFromMemory(std::string_view bytes, const std::string& name) {
    return loadBytes(bytes, name, false);
}

std::unique_ptr<WorkbookModel> loadWorkbookValues(const std::string& path) {
    files::ReadLimits limits;
    return loadBytes(readWholeFile(path, limits.maxFileBytes), path, true);
}

void saveWorkbook(const WorkbookModel& workbook, const std::string& path) {
    std::string ext = lowerExtension(path);
    // ".xls" gets the binary 97-2003 format; every other name an Office Open XML
    // package, which keeps a macro project only under ".xlsm".
    if (ext == ".xls") {
        std::vector<std::uint8_t> binary;
        try {
            binary = encodeXlsWorkbook(workbook);
        } catch (const host::HostError& e) {
            refuseFile(path, e.what());  // names the file, as every other refusal does
        }
        files::writeAtomically(path, std::as_bytes(std::span(binary)));
        return;
    }
    // The package goes to the temporary file part by part as it is deflated.
    files::writeAtomically(path, [&](files::ByteSink& out) {
        files::writeXlsx(workbook, path, ext == ".xlsm", out);
    });
}

}  // namespace vorra::engine
