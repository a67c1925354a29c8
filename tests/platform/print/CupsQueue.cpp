// The desktop's printer on a real CUPS queue (cups-pdf), run by tests/gui/cups-sandbox.sh:
// a bill comes out with every word where printing to file puts it, and a queue that is
// paused, rejecting or missing fails the print with its own reason and keeps no job.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

#include "PdfWords.h"
#include "addin/frame/host/HostError.h"
#include "platform/engine/host/EngineHost.h"
#include "platform/engine/print/CellGeometry.h"
#include "platform/print/QtPrinter.h"
#include "tools/sampletemplate/SampleTemplate.h"

namespace vorra::print {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::pdfPageSize;
using testing::pdfWords;

class CupsQueue : public ::testing::Test {
protected:
    void SetUp() override {
        const char* q = std::getenv("VORRA_TEST_QUEUE");
        const char* out = std::getenv("VORRA_TEST_PDF_DIR");
        if (!q || !out) GTEST_SKIP() << "run through tests/gui/cups-sandbox.sh";
        queue = q;
        pdfDir = out;
        book = std::dynamic_pointer_cast<engine::EngineWorkbook>(app.addWorkbook());
        tools::buildSampleTemplate(*book);
        tools::writeSampleBill(*book, tools::SampleBill{});
        sheet = book->model().sheetIndex("转账支票");
    }
    static void admin(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }
    std::vector<fs::path> written() const {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(pdfDir))
            if (entry.path().extension() == ".pdf") files.push_back(entry.path());
        return files;
    }
    // Whether the queue still holds jobs not done (lpstat lists them).
    bool jobsLeft() const { return std::system(("test -n \"$(lpstat -o " + queue + ")\"").c_str()) == 0; }

    engine::EngineApplication app{"16.0"};
    std::shared_ptr<engine::EngineWorkbook> book;
    int sheet = 0;
    std::string queue;
    fs::path pdfDir;
};

TEST_F(CupsQueue, ABillComesOutWhereTheFilePrintPutsIt) {
    QtPrinter printer{PrintFolder(pdfDir / "file")};
    EXPECT_EQ(printer.defaultPrinter(), queue);
    printer.printSheet(book->model(), sheet, 1, true);
    const fs::path reference = printer.lastFile();

    printer.choosePrinter(queue);
    const PrintedJob job = printer.printLayout(engine::layoutSheet(book->model(), sheet), 1, true);
    EXPECT_GT(job.jobId, 0);
    EXPECT_EQ(job.printer, queue);
    // cups-pdf writes its file once the job is done.
    std::vector<fs::path> files;
    for (int i = 0; i < 100 && files.empty(); ++i) {
        std::this_thread::sleep_for(100ms);
        files = written();
    }
    ASSERT_EQ(files.size(), 1u);
    auto [width, height] = pdfPageSize(files[0]);
    // The service may round the paper to whole points.
    EXPECT_NEAR(width, 240 * engine::kPointsPerMm, 0.5 * engine::kPointsPerMm);
    EXPECT_NEAR(height, 80 * engine::kPointsPerMm, 0.5 * engine::kPointsPerMm);
    // The service redraws the fonts (their text does not survive), so each word of the
    // file print is looked for as ink around its place.
    const double halfMm = 0.5 * engine::kPointsPerMm, margin = 2 * engine::kPointsPerMm;
    const testing::PdfInk want(reference), got(files[0]);
    const auto words = pdfWords(reference);
    ASSERT_GE(words.size(), 10u);
    for (const testing::PdfWord& w : words) {
        const testing::PdfInk::Box around{w.xMin - margin, w.yMin - margin, w.xMax + margin, w.yMax + margin};
        auto a = want.inkIn(around), b = got.inkIn(around);
        ASSERT_TRUE(a && b) << w.text;
        EXPECT_NEAR(b->xMin, a->xMin, halfMm) << w.text;
        EXPECT_NEAR(b->xMax, a->xMax, halfMm) << w.text;
        EXPECT_NEAR(b->yMin, a->yMin, halfMm) << w.text;
        EXPECT_NEAR(b->yMax, a->yMax, halfMm) << w.text;
    }
    auto all = want.inkIn(), allGot = got.inkIn();
    ASSERT_TRUE(all && allGot);
    EXPECT_NEAR(allGot->xMin, all->xMin, halfMm);
    EXPECT_NEAR(allGot->yMax, all->yMax, halfMm);
    for (const fs::path& f : files) fs::remove(f);
}

TEST_F(CupsQueue, APausedRejectingOrMissingQueueFailsWithItsReasonAndKeepsNoJob) {
    QtPrinter printer{PrintFolder(pdfDir / "file")};
    printer.choosePrinter(queue);
    struct Step {
        const char* before;
        const char* after;
        int error;
    };
    const Step steps[] = {
        {"cupsdisable ", "cupsenable ", host::error::kPrinterPaused},
        {"cupsreject ", "cupsaccept ", host::error::kPrinterRejecting},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.before);
        admin(step.before + queue);
        try {
            printer.printSheet(book->model(), sheet, 1, true);
            ADD_FAILURE() << "printed";
        } catch (const host::HostError& e) {
            EXPECT_EQ(e.number(), step.error) << e.what();
        }
        admin(step.after + queue);
        EXPECT_FALSE(jobsLeft());
    }
    printer.restorePrinter(queue + "-gone");
    try {
        printer.printSheet(book->model(), sheet, 1, true);
        ADD_FAILURE() << "printed";
    } catch (const host::HostError& e) {
        EXPECT_EQ(e.number(), host::error::kNoPrinter) << e.what();
    }
    EXPECT_TRUE(written().empty());
}

}  // namespace
}  // namespace vorra::print
