// The runner's host: the embedded workbook engine's Application, with the headless
// toolkit as its forms library and dialogs, a printer that reports each job, and the
// sample template built by the tools' template builder.
//
// Given a print folder (vorra-run's --print-dir), the printer also prints each job to a
// PDF file in that folder, the way the desktop prints to file; otherwise it only reports.

#include <memory>

#include "HostPlatform.h"
#include "platform/engine/host/EngineHost.h"
#include "platform/engine/host/HostServices.h"
#include "platform/engine/print/PrintLayout.h"
#include "platform/engine/print/Printer.h"
#include "platform/print/GuiApplicationScope.h"
#include "platform/print/PdfPrinter.h"
#include "tools/sampletemplate/SampleTemplate.h"

namespace vorra::headless {

namespace {

class ReportingPrinter final : public engine::Printer {
public:
    ReportingPrinter(HostPlatform& platform, const std::string& printFolder, const print::Calibrations& calibrations)
        : platform_(platform) {
        if (printFolder.empty()) return;
        pdf_ = std::make_unique<print::PdfPrinter>(print::PrintFolder(printFolder));
        pdf_->setCalibrations(calibrations);
    }
    void printSheet(const engine::WorkbookModel& workbook, int sheetIndex, int copies, bool collate) override {
        std::string name = sheetIndex >= 0 && sheetIndex < static_cast<int>(workbook.sheets.size())
                               ? workbook.sheets[static_cast<size_t>(sheetIndex)]->name
                               : "?";
        if (platform_.report)
            platform_.report("print-out " + name + " copies " + std::to_string(copies) + (collate ? " collated" : ""));
        if (platform_.printed) platform_.printed(laidOut(workbook, sheetIndex, name, copies));
        if (!pdf_) return;
        // Qt draws only inside a running application; started at the first job and
        // kept while this host lives.
        if (!gui_) gui_ = std::make_unique<print::GuiApplicationScope>();
        try {
            pdf_->printSheet(workbook, sheetIndex, copies, collate);
        } catch (const std::exception& e) {
            if (platform_.report) platform_.report(std::string("print failed: ") + e.what());
            throw;
        }
    }
    std::string description() const override { return pdf_ ? pdf_->description() : "headless printer"; }
    std::string lastOutput() const override { return pdf_ ? pdf_->lastOutput() : std::string(); }

private:
    // The job with the pages the engine's print layout gives the sheet.
    static PrintJob laidOut(const engine::WorkbookModel& workbook, int sheetIndex, std::string name, int copies) {
        PrintJob job{std::move(name), copies, 0, {}};
        try {
            job.pages = static_cast<int>(engine::layoutSheet(workbook, sheetIndex).pages.size());
        } catch (const std::exception& e) {
            job.layoutError = e.what();
        }
        return job;
    }

    HostPlatform& platform_;
    std::unique_ptr<print::GuiApplicationScope> gui_;
    std::unique_ptr<print::PdfPrinter> pdf_;
};

class HeadlessServices final : public engine::HostServices {
public:
    HeadlessServices(HeadlessToolkit& toolkit, HostPlatform& platform, const std::string& printFolder,
                     const print::Calibrations& calibrations)
        : toolkit_(toolkit), platform_(platform), printer_(platform, printFolder, calibrations) {}

    std::vector<std::string> openFileDialog(const std::string& filter, int filterIndex, const std::string& title,
                                            bool multiSelect) override {
        return toolkit_.openFileDialog({filter, filterIndex, title, multiSelect});
    }
    bool builtinDialog(int dialogId, host::Worksheet&, const std::string& pendingKeys) override {
        return toolkit_.builtinDialog(dialogId, pendingKeys);
    }
    void quitRequested() override {
        if (platform_.report) platform_.report("quit requested");
    }
    dialogs::Toolkit* toolkit() override { return &toolkit_; }
    engine::Printer* printer() override { return &printer_; }

private:
    HeadlessToolkit& toolkit_;
    HostPlatform& platform_;
    ReportingPrinter printer_;
};

class EnginePlatform final : public HostPlatform {
public:
    EnginePlatform(HeadlessToolkit& toolkit, const std::string& version, const std::string& printFolder,
                   const print::Calibrations& calibrations)
        : services_(toolkit, *this, printFolder, calibrations), application_(version, &services_) {}

    host::Application& application() override { return application_; }
    std::shared_ptr<host::Workbook> newSampleWorkbook() override {
        auto workbook = application_.addWorkbook();
        tools::buildSampleTemplate(*workbook);
        return workbook;
    }

private:
    HeadlessServices services_;
    engine::EngineApplication application_;
};

}  // namespace

std::unique_ptr<HostPlatform> makeHostPlatform(HeadlessToolkit& toolkit, const std::string& version,
                                               const std::string& printFolder,
                                               const print::Calibrations& calibrations) {
    return std::make_unique<EnginePlatform>(toolkit, version, printFolder, calibrations);
}

}  // namespace vorra::headless
