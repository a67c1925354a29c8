#pragma once
// The seam between the runner and the spreadsheet host it drives: the host's
// Application, built with the headless toolkit as its forms library, and the sample
// template workbook. The runner knows nothing else of the host.

#include <functional>
#include <memory>
#include <string>

#include "addin/frame/host/Host.h"
#include "platform/headless/toolkit/HeadlessToolkit.h"
#include "platform/print/PrintCalibration.h"

namespace vorra::headless {

// One job the host's printer took: the sheet, and the pages the engine's print layout
// gives it (one copy); a sheet the layout refuses has no pages and says why.
struct PrintJob {
    std::string sheet;
    int copies = 1;
    int pages = 0;
    std::string layoutError;
};

class HostPlatform {
public:
    virtual ~HostPlatform() = default;
    virtual host::Application& application() = 0;
    // A new workbook made from the sample template; a host error when this host
    // cannot build one.
    virtual std::shared_ptr<host::Workbook> newSampleWorkbook() = 0;
    // Things the host did that a script's reader wants to see (a sheet printed, a
    // quit requested), one line each.
    std::function<void(const std::string&)> report;
    // Every print job, as the printer takes it.
    std::function<void(const PrintJob&)> printed;
};

// The host the runner uses, with that version text. With a print folder, every sheet
// printed is also written as a PDF file into it, its pages moved by the calibration of
// print to file; without, printing only reports.
std::unique_ptr<HostPlatform> makeHostPlatform(HeadlessToolkit& toolkit, const std::string& version,
                                               const std::string& printFolder,
                                               const print::Calibrations& calibrations = {});

}  // namespace vorra::headless
