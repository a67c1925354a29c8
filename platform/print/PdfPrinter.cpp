#include "platform/print/PdfPrinter.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>

#include <chrono>
#include <functional>
#include <system_error>

#include "addin/frame/host/HostError.h"
#include "platform/print/CalibrationPage.h"
#include "platform/print/PageOutput.h"

namespace vorra::print {

namespace fs = std::filesystem;
using host::HostError;

namespace {

// PDF output at 1200 dpi: device units fine enough that positions keep well below a
// hundredth of a millimetre.
constexpr int kPdfResolution = 1200;

// What goes into one PDF: its title, its paper and how its pages are drawn.
struct Document {
    std::string title;
    QPageLayout page;
    std::function<void(QPdfWriter&, QPainter&)> draw;
};

Document billDocument(const engine::PrintLayout& layout, int copies, bool collate, const PageAdjustment& adjustment) {
    return {layout.sheetName, paperLayout(layout), [&layout, copies, collate, adjustment](QPdfWriter& w, QPainter& p) {
                paintPages(w, p, layout, copies, collate, adjustment);
            }};
}

Document calibrationDocument(const CalibrationSheet& sheet, const PageAdjustment& adjustment) {
    // Bank forms are a few centimetres to an A3 sheet; the rulers are drawn millimetre
    // by millimetre.
    constexpr double kMinSidePt = 20 * 72 / 25.4, kMaxSidePt = 1000 * 72 / 25.4;
    for (double side : {sheet.paperWidthPt, sheet.paperHeightPt})
        if (!(side >= kMinSidePt && side <= kMaxSidePt))
            throw HostError(host::error::kInvalidArgument,
                            "The paper of \"" + sheet.sheetName + "\" is too small or too large for a calibration page");
    engine::PrintLayout paper;
    paper.paperWidth = sheet.paperWidthPt;
    paper.paperHeight = sheet.paperHeightPt;
    return {sheet.sheetName, paperLayout(paper), [sheet, adjustment](QPdfWriter& w, QPainter& p) {
                paintCalibrationPage(p, w.resolution() / 72.0, sheet, adjustment);
            }};
}

// Draws a document with a writer; false when the device refused to begin or end.
bool drawPdf(QPdfWriter& writer, const Document& document) {
    writer.setResolution(kPdfResolution);
    writer.setCreator(QStringLiteral("Vorra"));
    writer.setTitle(QString::fromStdString(document.title));
    if (!writer.setPageLayout(document.page))
        throw HostError(host::error::kApplicationDefined,
                        "The PDF writer refused the paper size of \"" + document.title + "\"");
    QPainter painter;
    if (!painter.begin(&writer)) return false;
    document.draw(writer, painter);
    return painter.end();
}

std::string bytesOf(const Document& document) {
    requireGuiApplication();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    bool drawn = false;
    {
        QPdfWriter writer(&buffer);
        drawn = drawPdf(writer, document);
    }
    if (!drawn || buffer.data().isEmpty())
        throw HostError(host::error::kApplicationDefined, "Cannot draw \"" + document.title + "\" as a PDF");
    return buffer.data().toStdString();
}

// Writes first under a temporary name beside `target`, renamed to `target` once
// complete, so that a failed job leaves no file behind.
void writeFile(const Document& document, const fs::path& target) {
    requireGuiApplication();
    const fs::path partial = target.parent_path() / ("." + target.filename().string() + ".part");
    auto discard = [&] {
        std::error_code ignored;
        fs::remove(partial, ignored);
    };
    {
        QPdfWriter writer(QString::fromStdString(partial.string()));
        bool drawn = false;
        try {
            drawn = drawPdf(writer, document);
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

}  // namespace

std::string PdfPrinter::pdfBytes(const engine::PrintLayout& layout, int copies, bool collate,
                                 const PageAdjustment& adjustment) {
    requireGuiApplication();
    requireCopies(copies);
    return bytesOf(billDocument(layout, copies, collate, adjustment));
}

std::string PdfPrinter::calibrationPdfBytes(const CalibrationSheet& sheet, const PageAdjustment& adjustment) {
    return bytesOf(calibrationDocument(sheet, adjustment));
}

fs::path PdfPrinter::printCalibration(const CalibrationSheet& sheet) {
    requireGuiApplication();
    folder_.prepare();
    fs::path target = folder_.nextJobFile(std::string(kCalibrationFilePrefix) + sheet.sheetName,
                                          std::chrono::system_clock::now());
    writeFile(calibrationDocument(sheet, calibrations_.forJob(kFilePrinterName, sheet.sheetName)), target);
    lastFile_ = target;
    return target;
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
    writePdf(layout, target, copies, collate, calibrations_.forJob(kFilePrinterName, layout.sheetName));
    lastFile_ = target;
    return target;
}

void PdfPrinter::writePdf(const engine::PrintLayout& layout, const fs::path& target, int copies,
                          bool collate, const PageAdjustment& adjustment) {
    requireGuiApplication();
    requireCopies(copies);
    writeFile(billDocument(layout, copies, collate, adjustment), target);
}

}  // namespace vorra::print
