#include "platform/print/PdfPrinter.h"

#include <QPainter>
#include <QPdfWriter>

#include <chrono>
#include <system_error>

#include "addin/frame/host/HostError.h"
#include "platform/print/PageOutput.h"

namespace vorra::print {

namespace fs = std::filesystem;
using host::HostError;

namespace {

// PDF output at 1200 dpi: device units fine enough that positions keep well below a
// hundredth of a millimetre.
constexpr int kPdfResolution = 1200;

}  // namespace

void PdfPrinter::printSheet(const engine::WorkbookModel& workbook, int sheetIndex, int copies,
                            bool collate) {
    printLayout(engine::layoutSheet(workbook, sheetIndex), copies, collate);
}

fs::path PdfPrinter::printLayout(const engine::PrintLayout& layout, int copies, bool collate) {
    requireGuiApplication();
    requireCopies(copies);
    folder_.prepare();
    fs::path target = folder_.nextJobFile(layout.sheetName, std::chrono::system_clock::now());
    writePdf(layout, target, copies, collate);
    lastFile_ = target;
    return target;
}

void PdfPrinter::writePdf(const engine::PrintLayout& layout, const fs::path& target, int copies,
                          bool collate) {
    requireGuiApplication();
    requireCopies(copies);
    const fs::path partial = target.parent_path() / ("." + target.filename().string() + ".part");
    auto discard = [&] {
        std::error_code ignored;
        fs::remove(partial, ignored);
    };
    {
        QPdfWriter writer(QString::fromStdString(partial.string()));
        writer.setResolution(kPdfResolution);
        writer.setCreator(QStringLiteral("Vorra"));
        writer.setTitle(QString::fromStdString(layout.sheetName));
        if (!writer.setPageLayout(paperLayout(layout))) {
            discard();
            throw HostError(host::error::kApplicationDefined,
                            "The PDF writer refused the paper size of \"" + layout.sheetName + "\"");
        }
        QPainter painter;
        if (!painter.begin(&writer)) {
            discard();
            throw HostError(host::error::kPermissionDenied,
                            "Cannot write the print file " + partial.string());
        }
        paintPages(writer, painter, layout, copies, collate);
        if (!painter.end()) {
            discard();
            throw HostError(host::error::kPermissionDenied,
                            "Cannot finish the print file " + partial.string());
        }
    }
    std::error_code ec;
    if (fs::file_size(partial, ec) == 0 || ec) {
        discard();
        throw HostError(host::error::kPermissionDenied,
                        "The print file " + partial.string() + " came out empty");
    }
    fs::rename(partial, target, ec);
    if (ec) {
        discard();
        throw HostError(host::error::kPermissionDenied,
                        "Cannot name the print file " + target.string() + ": " + ec.message());
    }
}

}  // namespace vorra::print
