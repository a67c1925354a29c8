#include "platform/print/PrintService.h"

#include "addin/frame/host/HostError.h"

namespace vorra::print {

namespace {

using host::HostError;
namespace error = host::error;

std::string quoted(const std::string& printer) { return "\"" + printer + "\""; }
std::string because(const std::string& reason) { return reason.empty() ? std::string() : ": " + reason; }

void refuseQueue(const QueueState& queue, const std::string& printer) {
    if (!queue.exists)
        throw HostError(error::kNoPrinter, "The print service has no printer named " + quoted(printer));
    if (!queue.accepting)
        throw HostError(error::kPrinterRejecting,
                        "The printer " + quoted(printer) + " does not accept jobs" + because(queue.reason));
    if (queue.stopped)
        throw HostError(error::kPrinterPaused, "The printer " + quoted(printer) + " is paused" + because(queue.reason));
}

// Cancels the job, so that it cannot come out later while the print counts as failed.
[[noreturn]] void withdraw(PrintService& service, const PrintJobRequest& job, int id, int number,
                           const std::string& message) {
    service.cancel(job.printer, id);
    throw HostError(number, message);
}

}  // namespace

SentJob sendConfirmed(PrintService& service, const PrintJobRequest& job, std::chrono::milliseconds limit) {
    refuseQueue(service.queue(job.printer), job.printer);
    const int id = service.submit(job);
    const std::string what = "The job " + std::to_string(id) + " on the printer " + quoted(job.printer);
    std::chrono::milliseconds waited{0};
    std::chrono::milliseconds printingSince{-1};
    for (;;) {
        const JobStatus status = service.job(job.printer, id);
        switch (status.state) {
            case JobState::Completed: return {id, true};
            case JobState::Aborted:
                throw HostError(error::kPrinterFailed, what + " was aborted" + because(status.reason));
            case JobState::Canceled:
                throw HostError(error::kPrinterFailed, what + " was cancelled" + because(status.reason));
            case JobState::Unknown:
                throw HostError(error::kPrinterFailed, what + " is no longer known to the print service");
            case JobState::Held: withdraw(service, job, id, error::kPrinterFailed, what + " was held" + because(status.reason));
            case JobState::Stopped:
                withdraw(service, job, id, error::kPrinterPaused, what + " stopped: the printer is paused" + because(status.reason));
            case JobState::Processing:
                if (printingSince.count() < 0) printingSince = waited;
                if (waited - printingSince >= kProcessingGrace || waited >= limit) return {id, false};
                break;
            case JobState::Pending: {
                const QueueState queue = service.queue(job.printer);
                if (queue.exists && queue.stopped)
                    withdraw(service, job, id, error::kPrinterPaused,
                             what + " waits: the printer is paused" + because(queue.reason));
                if (waited >= limit)
                    withdraw(service, job, id, error::kPrintJobUnconfirmed,
                             what + " did not start within " + std::to_string(limit.count() / 1000) +
                                 " s and was cancelled" + because(queue.reason));
                break;
            }
        }
        service.wait(kConfirmPollInterval);
        waited += kConfirmPollInterval;
    }
}

}  // namespace vorra::print
