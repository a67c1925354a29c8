#include "platform/print/PdfPrinter.h"

#include <QBuffer>
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

// Draws the layout with a writer; false when the device refused to begin or end.
bool drawPdf(QPdfWriter& writer, const engine::PrintLayout& layout, int copies, bool collate) {
    writer.setResolution(kPdfResolution);
    writer.setCreator(QStringLiteral("Vorra"));
    writer.setTitle(QString::fromStdString(layout.sheetName));
    if (!writer.setPageLayout(paperLayout(layout)))
        throw HostError(host::error::kApplicationDefined,
                        "The PDF writer refused the paper size of \"" + layout.sheetName + "\"");
    QPainter painter;
    if (!painter.begin(&writer)) return false;
    paintPages(writer, painter, layout, copies, collate);
    return painter.end();
}

}  // namespace

std::string PdfPrinter::pdfBytes(const engine::PrintLayout& layout, int copies, bool collate) {
    requireGuiApplication();
    requireCopies(copies);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    bool drawn = false;
    {
        QPdfWriter writer(&buffer);
        drawn = drawPdf(writer, layout, copies, collate);
    }
    if (!drawn || buffer.data().isEmpty())
        throw HostError(host::error::kApplicationDefined, "Cannot draw \"" + layout.sheetName + "\" as a PDF");
    return buffer.data().toStdString();
}

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
        bool drawn = false;
        try {
            drawn = drawPdf(writer, layout, copies, collate);
        } catch (...) {
            discard();
            throw;
        }
        if (!drawn) {
            discard();
            throw HostError(host::error::kPermissionDenied,
                            "Cannot write the print file " + partial.string());
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
