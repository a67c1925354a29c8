#include "platform/print/CupsService.h"

#include <cups/cups.h>

#include <memory>
#include <thread>

#include "addin/frame/host/HostError.h"

namespace vorra::print {

namespace {

using host::HostError;
namespace error = host::error;

struct DestsDeleter {
    int count;
    void operator()(cups_dest_t* dests) const { cupsFreeDests(count, dests); }
};

struct IppDeleter {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using IppPtr = std::unique_ptr<ipp_t, IppDeleter>;

std::string optionOf(const cups_dest_t& dest, const char* name) {
    const char* value = cupsGetOption(name, dest.num_options, dest.options);
    return value ? value : "";
}

std::string lastError() {
    const char* text = cupsLastErrorString();
    return text ? text : "unknown error";
}

// The host error for a request the service refused.
[[noreturn]] void refused(const std::string& printer, const std::string& doing) {
    const ipp_status_t status = cupsLastError();
    const std::string why = doing + " on the printer \"" + printer + "\" failed: " + lastError();
    if (status == IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS) throw HostError(error::kPrinterRejecting, why);
    if (status == IPP_STATUS_ERROR_NOT_FOUND) throw HostError(error::kNoPrinter, why);
    if (status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE || status == IPP_STATUS_ERROR_INTERNAL)
        throw HostError(error::kNoPrinter, why + " (the print service cannot be reached)");
    throw HostError(error::kPrinterFailed, why);
}

cups_option_t* addOption(const char* name, const std::string& value, int& count, cups_option_t* options) {
    count = cupsAddOption(name, value.c_str(), count, &options);
    return options;
}

JobState stateOf(int ippState) {
    switch (ippState) {
        case IPP_JSTATE_PENDING: return JobState::Pending;
        case IPP_JSTATE_HELD: return JobState::Held;
        case IPP_JSTATE_PROCESSING: return JobState::Processing;
        case IPP_JSTATE_STOPPED: return JobState::Stopped;
        case IPP_JSTATE_CANCELED: return JobState::Canceled;
        case IPP_JSTATE_ABORTED: return JobState::Aborted;
        case IPP_JSTATE_COMPLETED: return JobState::Completed;
        default: return JobState::Unknown;
    }
}

}  // namespace

std::vector<std::string> CupsService::printers() {
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    std::unique_ptr<cups_dest_t, DestsDeleter> owned(dests, DestsDeleter{count});
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i)
        if (!dests[i].instance) names.emplace_back(dests[i].name);
    return names;
}

std::string CupsService::defaultPrinter() {
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    std::unique_ptr<cups_dest_t, DestsDeleter> owned(dests, DestsDeleter{count});
    for (int i = 0; i < count; ++i)
        if (dests[i].is_default && !dests[i].instance) return dests[i].name;
    return {};
}

QueueState CupsService::queue(const std::string& printer) {
    QueueState state;
    std::unique_ptr<cups_dest_t, DestsDeleter> dest(cupsGetNamedDest(CUPS_HTTP_DEFAULT, printer.c_str(), nullptr),
                                                    DestsDeleter{1});
    if (!dest) return state;
    state.exists = true;
    state.accepting = optionOf(*dest, "printer-is-accepting-jobs") != "false";
    state.stopped = optionOf(*dest, "printer-state") == std::to_string(IPP_PSTATE_STOPPED);
    state.reason = optionOf(*dest, "printer-state-message");
    if (state.reason.empty()) {
        std::string reasons = optionOf(*dest, "printer-state-reasons");
        if (reasons != "none") state.reason = reasons;
    }
    return state;
}

int CupsService::submit(const PrintJobRequest& job) {
    int count = 0;
    cups_option_t* options = nullptr;
    options = addOption("copies", std::to_string(job.copies), count, options);
    if (job.copies > 1)
        options = addOption("multiple-document-handling",
                            job.collate ? "separate-documents-collated-copies" : "separate-documents-uncollated-copies",
                            count, options);
    if (!job.media.empty()) options = addOption("media", job.media, count, options);
    // Overlay printing: the page goes out at its own size, never fitted to the paper.
    options = addOption("print-scaling", "none", count, options);
    options = addOption("fit-to-page", "false", count, options);
    const int id = cupsCreateJob(CUPS_HTTP_DEFAULT, job.printer.c_str(), job.title.c_str(), count, options);
    cupsFreeOptions(count, options);
    if (id == 0) refused(job.printer, "Creating the job");

    if (cupsStartDocument(CUPS_HTTP_DEFAULT, job.printer.c_str(), id, job.title.c_str(), CUPS_FORMAT_PDF, 1) !=
        HTTP_STATUS_CONTINUE) {
        cupsCancelJob2(CUPS_HTTP_DEFAULT, job.printer.c_str(), id, 0);
        refused(job.printer, "Sending the job");
    }
    const bool written =
        cupsWriteRequestData(CUPS_HTTP_DEFAULT, job.pdf.data(), job.pdf.size()) == HTTP_STATUS_CONTINUE;
    const ipp_status_t finished = cupsFinishDocument(CUPS_HTTP_DEFAULT, job.printer.c_str());
    if (!written || finished > IPP_STATUS_OK_EVENTS_COMPLETE) {
        cupsCancelJob2(CUPS_HTTP_DEFAULT, job.printer.c_str(), id, 0);
        refused(job.printer, "Sending the job");
    }
    return id;
}

JobStatus CupsService::job(const std::string& printer, int id) {
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0, "/printers/%s",
                     printer.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", id);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    static const char* const kWanted[] = {"job-state", "job-state-reasons", "job-printer-state-message"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 3, nullptr, kWanted);
    IppPtr response(cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/"));
    JobStatus status;
    if (!response || cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE) {
        status.reason = lastError();
        return status;
    }
    if (ipp_attribute_t* state = ippFindAttribute(response.get(), "job-state", IPP_TAG_ENUM))
        status.state = stateOf(ippGetInteger(state, 0));
    if (ipp_attribute_t* message = ippFindAttribute(response.get(), "job-printer-state-message", IPP_TAG_TEXT))
        if (const char* text = ippGetString(message, 0, nullptr)) status.reason = text;
    if (status.reason.empty())
        if (ipp_attribute_t* reasons = ippFindAttribute(response.get(), "job-state-reasons", IPP_TAG_KEYWORD)) {
            for (int i = 0; i < ippGetCount(reasons); ++i) {
                const char* reason = ippGetString(reasons, i, nullptr);
                if (!reason || std::string(reason) == "none") continue;
                if (!status.reason.empty()) status.reason += ", ";
                status.reason += reason;
            }
        }
    return status;
}

void CupsService::cancel(const std::string& printer, int id) {
    cupsCancelJob2(CUPS_HTTP_DEFAULT, printer.c_str(), id, 0);
}

void CupsService::wait(std::chrono::milliseconds interval) { std::this_thread::sleep_for(interval); }

}  // namespace vorra::print
