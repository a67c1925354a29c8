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

std::string QtPrinter::description() const {
    if (printsToFile()) return file_.description();
    return "Printer: " + printerName_;
}

void QtPrinter::printSheet(const engine::WorkbookModel& workbook, int sheetIndex, int copies,
                           bool collate) {
    printLayout(engine::layoutSheet(workbook, sheetIndex), copies, collate);
}

PrintedJob QtPrinter::printLayout(const engine::PrintLayout& layout, int copies, bool collate) {
    try {
        PrintedJob done = send(layout, copies, collate);
        if (onPrinted) onPrinted(done);
        return done;
    } catch (const HostError& e) {
        if (onPrintFailed) onPrintFailed(layout.sheetName, e.number(), e.what());
        throw;
    }
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
    PrintJobRequest job;
    job.printer = printerName_;
    job.title = layout.sheetName;
    // The print service makes the copies, so the document carries one set of pages.
    job.pdf = PdfPrinter::pdfBytes(layout, 1, collate);
    job.copies = copies;
    job.collate = collate;
    job.media = mediaOf(layout);
    const SentJob sent = sendConfirmed(*service_, job, confirmLimit_);
    done.printer = printerName_;
    done.jobId = sent.id;
    done.completed = sent.completed;
    return done;
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
                        bool collate) {
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
    paintPages(printer, painter, layout, 1, collate);
    if (!painter.end())
        throw HostError(host::error::kPrinterFailed,
                        "The printer \"" + name + "\" did not complete the job");
}

}  // namespace vorra::print
