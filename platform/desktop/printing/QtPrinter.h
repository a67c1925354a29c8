#pragma once
// The printer back end the engine's PrintOut prints through: the current printer is
// either "print to file", which writes one PDF per job into the print folder (the
// default, and the only choice without a print service), or a printer of the system's
// print service (CUPS) chosen by name.
//
// Needs a running QGuiApplication (see GuiApplicationScope); printing without one is a
// host error.

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/desktop/printing/PrintFolder.h"
#include "platform/engine/print/PrintLayout.h"
#include "platform/engine/print/Printer.h"

class QPrinter;

namespace vorra::desktop {

class QtPrinter final : public engine::Printer {
public:
    explicit QtPrinter(PrintFolder folder = PrintFolder::fromEnvironment());

    // The printers of the system's print service, by name.
    static std::vector<std::string> systemPrinters();

    // Chooses the current printer: a name from systemPrinters(), or the empty name for
    // print to file. Throws host::HostError for a name the print service does not know.
    void choosePrinter(const std::string& name);
    const std::string& printerName() const { return printerName_; }
    bool printsToFile() const { return printerName_.empty(); }
    const PrintFolder& folder() const { return folder_; }

    void printSheet(const engine::WorkbookModel& workbook, int sheetIndex, int copies,
                    bool collate) override;
    std::string description() const override;
    std::string lastOutput() const override { return lastFile_.string(); }

    // Prints a layout on the current printer. Returns the PDF written, or an empty
    // path for a real printer.
    std::filesystem::path printLayout(const engine::PrintLayout& layout, int copies, bool collate);

    // Writes a layout as a PDF: first under a temporary name beside `target`, renamed
    // to `target` once complete, so that a failed job leaves no file behind.
    static void writePdf(const engine::PrintLayout& layout, const std::filesystem::path& target,
                         int copies, bool collate);

    // Prints a layout on a configured QPrinter: the whole paper as the page, the copies
    // left to the print service.
    static void printOn(QPrinter& printer, const engine::PrintLayout& layout, int copies,
                        bool collate);

    // The PDF of the last job printed to file.
    const std::filesystem::path& lastFile() const { return lastFile_; }

private:
    void printOnDevice(const engine::PrintLayout& layout, int copies, bool collate);

    PrintFolder folder_;
    std::string printerName_;
    std::filesystem::path lastFile_;
};

// The order in which pages go out for several copies: each copy complete when
// collated, else each page repeated. Page indexes into layout.pages.
std::vector<int> pageSequence(int pageCount, int copies, bool collate);

}  // namespace vorra::desktop
