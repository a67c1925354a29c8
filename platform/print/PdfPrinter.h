#pragma once
// Print to file: the printer back end that writes one PDF per job into the print folder.
// The headless runner prints through it alone; the desktop's QtPrinter uses it while its
// current printer is "print to file". It needs Qt Gui only, not the print service.
//
// Every page is moved by the calibration of print to file (kFilePrinterName) for its
// sheet, as a printer's pages are by theirs.
//
// Needs a running QGuiApplication (see GuiApplicationScope); printing without one is a
// host error.

#include <filesystem>
#include <string>

#include "platform/engine/print/PrintLayout.h"
#include "platform/engine/print/Printer.h"
#include "platform/print/CalibrationPage.h"
#include "platform/print/PrintCalibration.h"
#include "platform/print/PrintFolder.h"

namespace vorra::print {

inline constexpr const char* kCalibrationFilePrefix = "校准页-";

class PdfPrinter final : public engine::Printer {
public:
    explicit PdfPrinter(PrintFolder folder) : folder_(std::move(folder)) {}

    const PrintFolder& folder() const { return folder_; }
    void setCalibrations(Calibrations calibrations) { calibrations_ = std::move(calibrations); }
    const Calibrations& calibrations() const { return calibrations_; }

    void printSheet(const engine::WorkbookModel& workbook, int sheetIndex, int copies,
                    bool collate) override;
    std::string description() const override { return "PDF: " + folder_.path().string(); }
    std::string lastOutput() const override { return lastFile_.string(); }

    // Prints a layout into the next job file of the folder, which is created when
    // missing. Returns the PDF written.
    std::filesystem::path printLayout(const engine::PrintLayout& layout, int copies, bool collate);

    // Writes a layout as a PDF: first under a temporary name beside `target`, renamed
    // to `target` once complete, so that a failed job leaves no file behind.
    static void writePdf(const engine::PrintLayout& layout, const std::filesystem::path& target,
                         int copies, bool collate, const PageAdjustment& adjustment = {});

    // The PDF of a layout as bytes, as writePdf writes it: what a print service is sent.
    static std::string pdfBytes(const engine::PrintLayout& layout, int copies, bool collate,
                                const PageAdjustment& adjustment = {});

    // The calibration page of a sheet's paper (CalibrationPage.h) as bytes, drawn with
    // the adjustment given; and printed into the next job file of the folder, named
    // "校准页-<sheet>-…", with print to file's calibration for the sheet.
    static std::string calibrationPdfBytes(const CalibrationSheet& sheet, const PageAdjustment& adjustment);
    std::filesystem::path printCalibration(const CalibrationSheet& sheet);

    // The PDF of the last job.
    const std::filesystem::path& lastFile() const { return lastFile_; }

private:
    PrintFolder folder_;
    Calibrations calibrations_;
    std::filesystem::path lastFile_;
};

}  // namespace vorra::print
