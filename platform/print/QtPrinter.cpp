#include "platform/print/QtPrinter.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include "addin/frame/host/HostError.h"
#include "platform/print/PageOutput.h"

namespace vorra::print {

namespace fs = std::filesystem;
using host::HostError;

std::vector<std::string> QtPrinter::systemPrinters() {
    std::vector<std::string> names;
    for (const QString& name : QPrinterInfo::availablePrinterNames())
        names.push_back(name.toStdString());
    return names;
}

void QtPrinter::choosePrinter(const std::string& name) {
    if (!name.empty()) {
        QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(name));
        if (info.isNull())
            throw HostError(host::error::kNoPrinter,
                            "The print service has no printer named \"" + name + "\"");
    }
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

fs::path QtPrinter::printLayout(const engine::PrintLayout& layout, int copies, bool collate) {
    requireGuiApplication();
    requireCopies(copies);
    if (printsToFile()) return file_.printLayout(layout, copies, collate);
    printOnDevice(layout, copies, collate);
    return {};
}

void QtPrinter::printOnDevice(const engine::PrintLayout& layout, int copies, bool collate) {
    QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(printerName_));
    if (info.isNull())
        throw HostError(host::error::kNoPrinter,
                        "The print service has no printer named \"" + printerName_ + "\"");
    QPrinter printer(info, QPrinter::HighResolution);
    printOn(printer, layout, copies, collate);
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
