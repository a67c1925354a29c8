#pragma once
// The desktop's printer back end, which the engine's PrintOut prints through: the
// current printer is either "print to file", which writes one PDF per job into the print
// folder through a PdfPrinter (the default, and the only choice without a print
// service), or a printer of the system's print service (CUPS) chosen by name.
//
// Needs a running QGuiApplication (see GuiApplicationScope); printing without one is a
// host error.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/engine/print/PrintLayout.h"
#include "platform/engine/print/Printer.h"
#include "platform/print/PdfPrinter.h"
#include "platform/print/PrintFolder.h"

class QPrinter;

namespace vorra::print {

class QtPrinter final : public engine::Printer {
public:
    explicit QtPrinter(PrintFolder folder) : file_(std::move(folder)) {}

    // The printers of the system's print service, by name.
    static std::vector<std::string> systemPrinters();

    // Chooses the current printer: a name from systemPrinters(), or the empty name for
    // print to file. Throws host::HostError for a name the print service does not know.
    void choosePrinter(const std::string& name);
    const std::string& printerName() const { return printerName_; }
    bool printsToFile() const { return printerName_.empty(); }
    const PrintFolder& folder() const { return file_.folder(); }

    void printSheet(const engine::WorkbookModel& workbook, int sheetIndex, int copies,
                    bool collate) override;
    std::string description() const override;
    std::string lastOutput() const override { return file_.lastOutput(); }

    // Prints a layout on the current printer. Returns the PDF written, or an empty
    // path for a real printer.
    std::filesystem::path printLayout(const engine::PrintLayout& layout, int copies, bool collate);

    // Prints a layout on a configured QPrinter: the whole paper as the page, the copies
    // left to the print service.
    static void printOn(QPrinter& printer, const engine::PrintLayout& layout, int copies,
                        bool collate);

    // The PDF of the last job printed to file.
    const std::filesystem::path& lastFile() const { return file_.lastFile(); }

private:
    void printOnDevice(const engine::PrintLayout& layout, int copies, bool collate);

    PdfPrinter file_;
    std::string printerName_;
};

}  // namespace vorra::print
