#include "platform/desktop/printing/QtPrinter.h"

#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

#include <system_error>

#include "addin/frame/host/HostError.h"
#include "platform/desktop/printing/LayoutPainter.h"

namespace vorra::desktop {

namespace fs = std::filesystem;
using host::HostError;

namespace {

// PDF output at 1200 dpi: device units fine enough that positions keep well below a
// hundredth of a millimetre.
constexpr int kPdfResolution = 1200;

void requireGuiApplication() {
    if (QGuiApplication::instance() == nullptr)
        throw HostError(host::error::kApplicationDefined,
                        "Printing needs a running QGuiApplication (see GuiApplicationScope)");
}

void requireCopies(int copies) {
    if (copies < 1 || copies > 999)
        throw HostError(host::error::kInvalidArgument,
                        "Copies must be 1 to 999, not " + std::to_string(copies));
}

QPageLayout paperLayout(const engine::PrintLayout& layout) {
    // The whole paper is the page: the layout has placed everything, margins included.
    // Custom sizes keep their sides as given (a cheque is wider than high).
    QPageSize size(QSizeF(layout.paperWidth, layout.paperHeight), QPageSize::Point,
                   QString(), QPageSize::ExactMatch);
    QPageLayout page(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Point,
                     QMarginsF(0, 0, 0, 0));
    // Margins below a printer's minimum are the template's business, not the driver's.
    page.setMode(QPageLayout::FullPageMode);
    return page;
}

template <class Device>
void paintAll(Device& device, QPainter& painter, const engine::PrintLayout& layout,
              int copies, bool collate) {
    LayoutPainter pages(painter, device.resolution() / 72.0);
    bool first = true;
    for (int index : pageSequence(static_cast<int>(layout.pages.size()), copies, collate)) {
        if (!first) device.newPage();
        first = false;
        pages.paintPage(layout.pages[index]);
    }
}

}  // namespace

std::vector<int> pageSequence(int pageCount, int copies, bool collate) {
    std::vector<int> order;
    if (collate) {
        for (int c = 0; c < copies; ++c)
            for (int p = 0; p < pageCount; ++p) order.push_back(p);
    } else {
        for (int p = 0; p < pageCount; ++p)
            for (int c = 0; c < copies; ++c) order.push_back(p);
    }
    return order;
}

QtPrinter::QtPrinter(PrintFolder folder) : folder_(std::move(folder)) {}

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
            throw HostError(host::error::kApplicationDefined,
                            "The print service has no printer named \"" + name + "\"");
    }
    printerName_ = name;
}

std::string QtPrinter::description() const {
    if (printsToFile()) return "PDF: " + folder_.path().string();
    return "Printer: " + printerName_;
}

void QtPrinter::printSheet(const engine::WorkbookModel& workbook, int sheetIndex, int copies,
                           bool collate) {
    printLayout(engine::layoutSheet(workbook, sheetIndex), copies, collate);
}

fs::path QtPrinter::printLayout(const engine::PrintLayout& layout, int copies, bool collate) {
    requireGuiApplication();
    requireCopies(copies);
    if (!printsToFile()) {
        printOnDevice(layout, copies, collate);
        return {};
    }
    folder_.prepare();
    fs::path target = folder_.nextJobFile(layout.sheetName, std::chrono::system_clock::now());
    writePdf(layout, target, copies, collate);
    lastFile_ = target;
    return target;
}

void QtPrinter::writePdf(const engine::PrintLayout& layout, const fs::path& target, int copies,
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
        paintAll(writer, painter, layout, copies, collate);
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

void QtPrinter::printOnDevice(const engine::PrintLayout& layout, int copies, bool collate) {
    QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(printerName_));
    if (info.isNull())
        throw HostError(host::error::kApplicationDefined,
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
        throw HostError(host::error::kApplicationDefined,
                        "The printer \"" + name + "\" did not accept the job");
    paintAll(printer, painter, layout, 1, collate);
    if (!painter.end())
        throw HostError(host::error::kApplicationDefined,
                        "The printer \"" + name + "\" did not complete the job");
}

}  // namespace vorra::desktop
