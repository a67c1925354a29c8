#pragma once
// Where the engine's PrintOut sends a sheet. The platform installs a back end (a PDF
// file or a real printer); without one, printing fails with a host error.

#include <string>

#include "platform/engine/model/Model.h"

namespace vorra::engine {

class Printer {
public:
    virtual ~Printer() = default;
    // Prints the sheet with its own print area and page setup. Throws
    // host::HostError when the job cannot be completed.
    virtual void printSheet(const WorkbookModel& workbook, int sheetIndex, int copies,
                            bool collate) = 0;
    // A short description of the current printer ("PDF: /tmp/out"), for messages.
    virtual std::string description() const = 0;
    // The file the last job wrote, for a printer that prints to files; empty otherwise.
    virtual std::string lastOutput() const { return {}; }
    // A print of the sheet that PrintOut refused before sending it here (it does not fit
    // one page), so that a printer that reports every print can report this one too.
    virtual void refused(const std::string& /*sheetName*/, int /*errorNumber*/, const std::string& /*reason*/) {}
};

}  // namespace vorra::engine
