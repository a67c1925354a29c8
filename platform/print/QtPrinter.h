#pragma once
// The desktop's printer back end, which the engine's PrintOut prints through: the
// current printer is either "print to file", which writes one PDF per job into the print
// folder through a PdfPrinter (the choice when there is no print service), or a printer
// of the system's print service (CUPS) chosen by name.
//
// A job for a printer goes out as a PDF through the print service and counts as printed
// only once the printer has taken it (see sendConfirmed in PrintService.h): a missing
// printer, a queue that rejects jobs or is paused, a job the service refuses or that does
// not start in time fail the print with a host::HostError that names the reason.
// After each job, onPrinted hears where it went; after a failed one, onPrintFailed why.
//
// Every page is moved by the current printer's calibration for its sheet
// (PrintCalibration.h); print to file uses the calibration of kFilePrinterName.
//
// Needs a running QGuiApplication (see GuiApplicationScope); printing without one is a
// host error.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/engine/print/PrintLayout.h"
#include "platform/engine/print/Printer.h"
#include "platform/print/PdfPrinter.h"
#include "platform/print/PrintFolder.h"
#include "platform/print/PrintService.h"

class QPrinter;

namespace vorra::print {

// Where one job went.
struct PrintedJob {
    std::string sheet;
    std::filesystem::path file;  // print to file: the PDF written
    std::string printer;         // a printer: its name, the job's id and whether it is done
    int jobId = 0;
    bool completed = false;
};

class QtPrinter final : public engine::Printer {
public:
    // Prints to file until a printer is chosen. Without `service`, the system's CUPS.
    explicit QtPrinter(PrintFolder folder, std::unique_ptr<PrintService> service = nullptr);
    ~QtPrinter() override;

    // The printers of the system's print service, by name, and its default printer
    // (empty when there is none).
    std::vector<std::string> systemPrinters();
    std::string defaultPrinter();

    // Chooses the current printer: a name from systemPrinters(), or the empty name for
    // print to file. Throws host::HostError for a name the print service does not know.
    void choosePrinter(const std::string& name);
    // Takes a printer chosen in an earlier session, as it was, even if the print service
    // no longer has it: printing then fails and says so, rather than printing elsewhere.
    void restorePrinter(const std::string& name) { printerName_ = name; }
    const std::string& printerName() const { return printerName_; }
    bool printsToFile() const { return printerName_.empty(); }
    const PrintFolder& folder() const { return file_.folder(); }
    // The calibrations of all printers, and the one in force for a sheet on the current
    // printer.
    void setCalibrations(Calibrations calibrations);
    const Calibrations& calibrations() const { return calibrations_; }
    PageAdjustment adjustmentFor(const std::string& sheet) const;
    // The current printer's name in the calibrations: kFilePrinterName for print to file.
    std::string calibrationName() const { return printsToFile() ? kFilePrinterName : printerName_; }

    // How long a job may take to be taken by the printer.
    void setConfirmLimit(std::chrono::milliseconds limit) { confirmLimit_ = limit; }

    void printSheet(const engine::WorkbookModel& workbook, int sheetIndex, int copies,
                    bool collate) override;
    std::string description() const override;
    std::string lastOutput() const override { return file_.lastOutput(); }
    // A print the host refused before it came here is reported like a failed one.
    void refused(const std::string& sheetName, int errorNumber, const std::string& reason) override {
        if (onPrintFailed) onPrintFailed(sheetName, errorNumber, reason);
    }

    // Prints a layout on the current printer and reports where it went.
    PrintedJob printLayout(const engine::PrintLayout& layout, int copies, bool collate);

    // Prints the calibration page (CalibrationPage.h) of a sheet's paper on the current
    // printer, with the calibration in force for that sheet, and reports where it went
    // as a job of that sheet.
    PrintedJob printCalibration(const std::string& sheetName, double paperWidthPt, double paperHeightPt);
    // The current printer as the calibration page names it.
    std::string caption() const;

    // Prints a layout on a configured QPrinter: the whole paper as the page, the copies
    // left to the print service.
    static void printOn(QPrinter& printer, const engine::PrintLayout& layout, int copies,
                        bool collate, const PageAdjustment& adjustment = {});

    // The paper of a layout as the print service names it: the size's name when the
    // paper is a standard size upright, else "Custom.<w>x<h>mm".
    static std::string mediaOf(const engine::PrintLayout& layout);

    // The PDF of the last job printed to file.
    const std::filesystem::path& lastFile() const { return file_.lastFile(); }

    std::function<void(const PrintedJob&)> onPrinted;
    std::function<void(const std::string& sheet, int errorNumber, const std::string& reason)> onPrintFailed;

private:
    PrintedJob send(const engine::PrintLayout& layout, int copies, bool collate);
    PrintedJob sendPdf(const std::string& title, std::string pdf, int copies, bool collate, double paperWidthPt,
                       double paperHeightPt);
    template <class Send>
    PrintedJob reported(const std::string& sheet, Send&& send);

    PdfPrinter file_;
    std::unique_ptr<PrintService> service_;
    std::string printerName_;
    Calibrations calibrations_;
    std::chrono::milliseconds confirmLimit_ = kDefaultConfirmLimit;
};

}  // namespace vorra::print
