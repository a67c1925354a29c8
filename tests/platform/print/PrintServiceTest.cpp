// Jobs for a printer of the print service: what counts as printed, and the reason each
// failure carries. A scripted service stands in for CUPS (the GUI test drives a real one).
#include <gtest/gtest.h>

#include <deque>
#include <optional>

#include "addin/frame/host/HostError.h"
#include "platform/engine/print/CellGeometry.h"
#include "platform/print/QtPrinter.h"

namespace vorra::print {
namespace {

namespace error = host::error;
using namespace std::chrono_literals;

class ScriptedService : public PrintService {
public:
    QueueState state{true, true, false, ""};
    std::optional<int> submitRefusal;  // the error number submit throws
    std::deque<JobState> states;       // the job's states, one per look; the last one stays
    std::vector<PrintJobRequest> sent;
    std::vector<int> cancelled;
    int waits = 0;

    std::vector<std::string> printers() override { return {"柜台", "Office"}; }
    std::string defaultPrinter() override { return "Office"; }
    QueueState queue(const std::string& printer) override {
        QueueState q = state;
        if (printer == "gone") q.exists = false;
        return q;
    }
    int submit(const PrintJobRequest& job) override {
        if (submitRefusal) throw host::HostError(*submitRefusal, "refused on " + job.printer);
        sent.push_back(job);
        return 42;
    }
    JobStatus job(const std::string&, int) override {
        JobState now = states.empty() ? JobState::Unknown : states.front();
        if (states.size() > 1) states.pop_front();
        return {now, "filter failed"};
    }
    void cancel(const std::string&, int id) override { cancelled.push_back(id); }
    void wait(std::chrono::milliseconds) override { ++waits; }
};

PrintJobRequest request(const std::string& printer = "柜台") { return {printer, "转账支票", "%PDF-1.4", 1, true, "A4"}; }

struct Case {
    const char* what;
    QueueState queue;
    std::optional<int> submitRefusal;
    std::deque<JobState> states;
    int expectedError;  // 0: printed
    bool sent;
    bool cancelled;
};

TEST(SendConfirmed, EachFateOfAJobIsToldApart) {
    using J = JobState;
    const QueueState ready{true, true, false, ""};
    const Case cases[] = {
        {"completed at once", ready, {}, {J::Completed}, 0, true, false},
        {"waits, prints, completes", ready, {}, {J::Pending, J::Pending, J::Processing, J::Completed}, 0, true, false},
        {"printing for long", ready, {}, {J::Processing}, 0, true, false},
        {"no such printer", {false, false, false, ""}, {}, {}, error::kNoPrinter, false, false},
        {"queue rejects", {true, false, false, "disabled"}, {}, {}, error::kPrinterRejecting, false, false},
        {"queue paused", {true, true, true, "paused"}, {}, {}, error::kPrinterPaused, false, false},
        {"service refuses", ready, error::kPrinterFailed, {}, error::kPrinterFailed, false, false},
        {"aborted by the driver", ready, {}, {J::Processing, J::Aborted}, error::kPrinterFailed, true, false},
        {"cancelled by someone", ready, {}, {J::Canceled}, error::kPrinterFailed, true, false},
        {"held", ready, {}, {J::Held}, error::kPrinterFailed, true, true},
        {"job stopped", ready, {}, {J::Stopped}, error::kPrinterPaused, true, true},
        {"never starts", ready, {}, {J::Pending}, error::kPrintJobUnconfirmed, true, true},
        {"forgotten", ready, {}, {J::Unknown}, error::kPrinterFailed, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedService service;
        service.state = c.queue;
        service.submitRefusal = c.submitRefusal;
        service.states = c.states;
        int number = 0;
        try {
            SentJob job = sendConfirmed(service, request(), 2s);
            EXPECT_EQ(job.id, 42);
        } catch (const host::HostError& e) {
            number = e.number();
            EXPECT_NE(std::string(e.what()).find("柜台"), std::string::npos) << e.what();
        }
        EXPECT_EQ(number, c.expectedError);
        EXPECT_EQ(service.sent.size(), c.sent ? 1u : 0u);
        EXPECT_EQ(service.cancelled, c.cancelled ? std::vector<int>{42} : std::vector<int>{});
        // Bounded: never more looks than the limit allows.
        EXPECT_LE(service.waits, 2000 / kConfirmPollInterval.count());
    }
}

TEST(SendConfirmed, AQueuePausedWhileTheJobWaitsCancelsIt) {
    struct PausingService : ScriptedService {
        int looks = 0;
        QueueState queue(const std::string& printer) override {
            QueueState q = ScriptedService::queue(printer);
            q.stopped = looks++ > 0;  // ready when the job goes out, paused afterwards
            return q;
        }
    } service;
    service.states = {JobState::Pending};
    try {
        sendConfirmed(service, request(), 10s);
        ADD_FAILURE() << "a job on a paused queue counted as printed";
    } catch (const host::HostError& e) {
        EXPECT_EQ(e.number(), error::kPrinterPaused);
    }
    EXPECT_EQ(service.cancelled, std::vector<int>{42});
    EXPECT_LT(service.waits, 5);
}

engine::PrintLayout chequeLayout() {
    engine::PrintLayout layout;
    layout.sheetName = "转账支票";
    layout.paperWidth = 240 * engine::kPointsPerMm;
    layout.paperHeight = 80 * engine::kPointsPerMm;
    layout.printable = {10, 10, layout.paperWidth - 20, layout.paperHeight - 20};
    layout.pages.resize(1);
    return layout;
}

TEST(QtPrinterService, APrinterJobIsSentAsOnePdfAndReported) {
    auto owned = std::make_unique<ScriptedService>();
    ScriptedService& service = *owned;
    service.states = {JobState::Completed};
    QtPrinter printer(PrintFolder("/nonexistent/prints"), std::move(owned));
    EXPECT_EQ(printer.systemPrinters(), (std::vector<std::string>{"柜台", "Office"}));
    EXPECT_EQ(printer.defaultPrinter(), "Office");
    EXPECT_THROW(printer.choosePrinter("gone"), host::HostError);
    EXPECT_TRUE(printer.printsToFile());
    printer.choosePrinter("柜台");

    std::vector<PrintedJob> reported;
    std::vector<int> failures;
    printer.onPrinted = [&](const PrintedJob& job) { reported.push_back(job); };
    printer.onPrintFailed = [&](const std::string&, int number, const std::string&) { failures.push_back(number); };
    PrintedJob job = printer.printLayout(chequeLayout(), 2, false);
    ASSERT_EQ(service.sent.size(), 1u);
    const PrintJobRequest& sent = service.sent[0];
    EXPECT_EQ(sent.printer, "柜台");
    EXPECT_EQ(sent.title, "转账支票");
    EXPECT_EQ(sent.pdf.rfind("%PDF-", 0), 0u);
    EXPECT_EQ(sent.copies, 2);
    EXPECT_FALSE(sent.collate);
    EXPECT_EQ(sent.media, "Custom.240.0x80.0mm");
    EXPECT_EQ(job.printer, "柜台");
    EXPECT_EQ(job.jobId, 42);
    EXPECT_TRUE(job.completed);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].jobId, 42);

    // A printer remembered from an earlier session that the service no longer has.
    printer.restorePrinter("gone");
    EXPECT_THROW(printer.printLayout(chequeLayout(), 1, true), host::HostError);
    EXPECT_EQ(failures, std::vector<int>{error::kNoPrinter});
    EXPECT_EQ(service.sent.size(), 1u);
    // A bill the host refused before sending it is reported as not printed too.
    printer.refused("转账支票", error::kPrintPastPage, "does not fit");
    EXPECT_EQ(failures, (std::vector<int>{error::kNoPrinter, error::kPrintPastPage}));
}

TEST(QtPrinterService, PaperIsNamedWhenStandardAndUpright) {
    engine::PrintLayout layout = chequeLayout();
    layout.paperWidth = 210 * engine::kPointsPerMm;
    layout.paperHeight = 297 * engine::kPointsPerMm;
    EXPECT_EQ(QtPrinter::mediaOf(layout), "A4");
    std::swap(layout.paperWidth, layout.paperHeight);
    EXPECT_EQ(QtPrinter::mediaOf(layout), "Custom.297.0x210.0mm");
}

}  // namespace
}  // namespace vorra::print
