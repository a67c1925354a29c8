#include "platform/print/QtPrinter.h"

#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include <cmath>
#include <cstdio>

#include "addin/frame/host/HostError.h"
#include "platform/print/CupsService.h"
#include "platform/print/PageOutput.h"

namespace vorra::print {

using host::HostError;

QtPrinter::QtPrinter(PrintFolder folder, std::unique_ptr<PrintService> service)
    : file_(std::move(folder)), service_(service ? std::move(service) : std::make_unique<CupsService>()) {}

QtPrinter::~QtPrinter() = default;

std::vector<std::string> QtPrinter::systemPrinters() { return service_->printers(); }

std::string QtPrinter::defaultPrinter() { return service_->defaultPrinter(); }

void QtPrinter::choosePrinter(const std::string& name) {
    if (!name.empty() && !service_->queue(name).exists)
        throw HostError(host::error::kNoPrinter, "The print service has no printer named \"" + name + "\"");
    printerName_ = name;
}

void QtPrinter::setCalibrations(Calibrations calibrations) {
    file_.setCalibrations(calibrations);
    calibrations_ = std::move(calibrations);
}

PageAdjustment QtPrinter::adjustmentFor(const std::string& sheet) const {
    return calibrations_.forJob(calibrationName(), sheet);
}

std::string QtPrinter::description() const {
    if (printsToFile()) return file_.description();
    return "Printer: " + printerName_;
}

void QtPrinter::printSheet(const engine::WorkbookModel& workbook, int sheetIndex, int copies,
                           bool collate) {
    printLayout(engine::layoutSheet(workbook, sheetIndex), copies, collate);
}

template <class Send>
PrintedJob QtPrinter::reported(const std::string& sheet, Send&& sendJob) {
    try {
        PrintedJob done = sendJob();
        if (onPrinted) onPrinted(done);
        return done;
    } catch (const HostError& e) {
        if (onPrintFailed) onPrintFailed(sheet, e.number(), e.what());
        throw;
    }
}

PrintedJob QtPrinter::printLayout(const engine::PrintLayout& layout, int copies, bool collate) {
    return reported(layout.sheetName, [&] { return send(layout, copies, collate); });
}

std::string QtPrinter::caption() const { return printsToFile() ? "打印到 PDF 文件" : printerName_; }

PrintedJob QtPrinter::printCalibration(const std::string& sheetName, double paperWidthPt, double paperHeightPt) {
    const CalibrationSheet sheet{sheetName, paperWidthPt, paperHeightPt, caption()};
    return reported(sheetName, [&] {
        requireGuiApplication();
        if (printsToFile()) {
            PrintedJob done;
            done.sheet = sheetName;
            done.file = file_.printCalibration(sheet);
            done.completed = true;
            return done;
        }
        return sendPdf(std::string(kCalibrationFilePrefix) + sheetName,
                       PdfPrinter::calibrationPdfBytes(sheet, adjustmentFor(sheetName)), 1, true, paperWidthPt,
                       paperHeightPt);
    });
}

PrintedJob QtPrinter::sendPdf(const std::string& title, std::string pdf, int copies, bool collate,
                              double paperWidthPt, double paperHeightPt) {
    PrintJobRequest job;
    job.printer = printerName_;
    job.title = title;
    job.pdf = std::move(pdf);
    job.copies = copies;
    job.collate = collate;
    engine::PrintLayout paper;
    paper.paperWidth = paperWidthPt;
    paper.paperHeight = paperHeightPt;
    job.media = mediaOf(paper);
    const SentJob sent = sendConfirmed(*service_, job, confirmLimit_);
    PrintedJob done;
    done.sheet = title;
    done.printer = printerName_;
    done.jobId = sent.id;
    done.completed = sent.completed;
    return done;
}

PrintedJob QtPrinter::send(const engine::PrintLayout& layout, int copies, bool collate) {
    requireGuiApplication();
    requireCopies(copies);
    PrintedJob done;
    done.sheet = layout.sheetName;
    if (printsToFile()) {
        done.file = file_.printLayout(layout, copies, collate);
        done.completed = true;
        return done;
    }
    // The print service makes the copies, so the document carries one set of pages.
    return sendPdf(layout.sheetName, PdfPrinter::pdfBytes(layout, 1, collate, adjustmentFor(layout.sheetName)), copies,
                   collate, layout.paperWidth, layout.paperHeight);
}

std::string QtPrinter::mediaOf(const engine::PrintLayout& layout) {
    const QSizeF points(layout.paperWidth, layout.paperHeight);
    const QPageSize named(points, QPageSize::Point, QString(), QPageSize::FuzzyMatch);
    if (named.id() != QPageSize::Custom) {
        const QSizeF upright = named.size(QPageSize::Point);
        if (std::abs(upright.width() - points.width()) < 1 && std::abs(upright.height() - points.height()) < 1)
            return named.key().toStdString();
    }
    const double mm = 72.0 / 25.4;
    char custom[64];
    std::snprintf(custom, sizeof custom, "Custom.%.1fx%.1fmm", layout.paperWidth / mm, layout.paperHeight / mm);
    return custom;
}

void QtPrinter::printOn(QPrinter& printer, const engine::PrintLayout& layout, int copies,
                        bool collate, const PageAdjustment& adjustment) {
    requireGuiApplication();
    requireCopies(copies);
    const std::string name = printer.printerName().toStdString();
    printer.setDocName(QString::fromStdString(layout.sheetName));
    printer.setFullPage(true);
    if (!printer.setPageLayout(paperLayout(layout)))
        throw HostError(host::error::kApplicationDefined,
                        "The printer \"" + name + "\" refused the paper size of \"" +
                            layout.sheetName + "\"");
    // The print service makes the copies, so the job carries one set of pages.
    printer.setCopyCount(copies);
    printer.setCollateCopies(collate);
    QPainter painter;
    if (!painter.begin(&printer))
        throw HostError(host::error::kPrinterFailed,
                        "The printer \"" + name + "\" did not accept the job");
    paintPages(printer, painter, layout, 1, collate, adjustment);
    if (!painter.end())
        throw HostError(host::error::kPrinterFailed,
                        "The printer \"" + name + "\" did not complete the job");
}

}  // namespace vorra::print
