#pragma once
// The system's print service as the desktop's printer uses it: its printers, the state
// of a printer's queue, sending a PDF job and following it. CupsService (CupsService.h)
// talks to CUPS; tests put a scripted service in its place.
//
// sendConfirmed() is the one way a job goes out, so that its fate is known before the
// host reports the print as done:
// 1. a printer the service does not know, a queue that does not accept jobs and a
//    queue that is stopped (paused) are refused before anything is sent;
// 2. the job is sent; a refusal of the service fails the print;
// 3. the job is followed, at most `limit` long, until the printer has taken it: it is
//    completed, or it is being printed (then a short while longer, so that a job the
//    printer's driver aborts at once is still seen). A job the service aborts or
//    cancels fails the print; a job that is held, or still waiting when the time is up,
//    or whose queue stops meanwhile is cancelled, so that it cannot come out later
//    unrecorded, and fails the print.
// Every failure is a host::HostError whose number names the reason
// (host::error::kNoPrinter, kPrinterRejecting, kPrinterPaused, kPrinterFailed,
// kPrintJobUnconfirmed) and whose message names the printer.

#include <chrono>
#include <string>
#include <vector>

namespace vorra::print {

struct QueueState {
    bool exists = false;
    bool accepting = false;
    bool stopped = false;
    std::string reason;  // the service's word on the queue's state, when it gives one
};

enum class JobState { Pending, Held, Processing, Stopped, Canceled, Aborted, Completed, Unknown };

struct JobStatus {
    JobState state = JobState::Unknown;
    std::string reason;  // why the job is in that state, when the service says
};

struct PrintJobRequest {
    std::string printer;
    std::string title;  // the job's name in the queue: the sheet's name
    std::string pdf;    // the document, a complete PDF file
    int copies = 1;     // made by the service
    bool collate = true;
    std::string media;  // the paper: a size name ("A4") or "Custom.WxHmm"
};

class PrintService {
public:
    virtual ~PrintService() = default;
    virtual std::vector<std::string> printers() = 0;
    // The system's default printer; empty when there is none.
    virtual std::string defaultPrinter() = 0;
    virtual QueueState queue(const std::string& printer) = 0;
    // Sends a job and returns its id. Throws host::HostError when the service refuses it.
    virtual int submit(const PrintJobRequest& job) = 0;
    virtual JobStatus job(const std::string& printer, int id) = 0;
    virtual void cancel(const std::string& printer, int id) = 0;
    // Lets time pass between two looks at a job.
    virtual void wait(std::chrono::milliseconds interval) = 0;
};

struct SentJob {
    int id = 0;
    bool completed = false;  // false: the printer is printing it
};

inline constexpr std::chrono::milliseconds kDefaultConfirmLimit{15000};
inline constexpr std::chrono::milliseconds kConfirmPollInterval{100};
inline constexpr std::chrono::milliseconds kProcessingGrace{1500};

SentJob sendConfirmed(PrintService& service, const PrintJobRequest& job,
                      std::chrono::milliseconds limit = kDefaultConfirmLimit);

}  // namespace vorra::print
