// A bill prints on one page of its paper or not at all: PrintOut of a bill sheet whose
// print area does not fit one page is refused, naming the sheet and what does not fit,
// before the printer hears of it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "addin/frame/host/HostError.h"
#include "platform/engine/host/EngineHost.h"
#include "platform/engine/host/HostServices.h"
#include "platform/engine/print/PrintLayout.h"
#include "platform/engine/print/Printer.h"
#include "tools/sampletemplate/BillForms.h"
#include "tools/sampletemplate/SampleTemplate.h"

namespace vorra::engine {
namespace {

struct CountingPrinter final : Printer {
    int jobs = 0;
    std::vector<std::string> refusedSheets;  // told of each refusal, to report it
    void printSheet(const WorkbookModel&, int, int, bool) override { ++jobs; }
    void refused(const std::string& sheet, int, const std::string&) override { refusedSheets.push_back(sheet); }
    std::string description() const override { return "counting"; }
};

struct Services final : HostServices {
    CountingPrinter counting;
    Printer* printer() override { return &counting; }
};

TEST(OnePageRule, ABillThatDoesNotFitOnePageIsRefusedBeforeItIsSent) {
    struct Case {
        const char* what;
        std::function<void(Sheet&)> change;
        std::vector<std::string> named;  // what the refusal names; empty: it prints
    };
    const Case cases[] = {
        {"as laid out", [](Sheet&) {}, {}},
        {"left margin pushes columns over",
         [](Sheet& s) { s.pageSetup.marginLeft = 3; },
         {"转账支票", "onto another page", "2 pages", "margins left 76.2"}},
        {"scale pushes rows down too",
         [](Sheet& s) { s.pageSetup.scale = 200; },
         {"scale 200 %", "columns", "rows"}},
        {"top margin pushes rows down",
         [](Sheet& s) { s.pageSetup.marginTop = 2.5; },
         {"rows", "onto another page"}},
        {"a column wider than the paper",
         [](Sheet& s) {
             // The payee alone, its column wider than the paper.
             const CellRef payee = *tools::billFieldCell("转账支票", "收款人");
             s.printArea = Area::of(payee);
             s.merges.clear();
             s.columns[payee.column].width = 400;
         },
         {"goes past the right margin"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Services services;
        EngineApplication app("16.0", &services);
        auto book = std::dynamic_pointer_cast<EngineWorkbook>(app.addWorkbook());
        tools::buildSampleTemplate(*book);
        tools::writeSampleBill(*book, tools::SampleBill{});
        auto sheet = std::dynamic_pointer_cast<EngineWorksheet>(book->sheet("转账支票"));
        c.change(sheet->model());
        if (c.named.empty()) {
            EXPECT_NO_THROW(sheet->printOut(1, true));
            EXPECT_EQ(services.counting.jobs, 1);
            EXPECT_TRUE(services.counting.refusedSheets.empty());
            continue;
        }
        try {
            sheet->printOut(1, true);
            ADD_FAILURE() << "printed";
        } catch (const host::HostError& e) {
            EXPECT_EQ(e.number(), host::error::kPrintPastPage);
            for (const std::string& part : c.named)
                EXPECT_NE(std::string(e.what()).find(part), std::string::npos) << part << " not in: " << e.what();
        }
        EXPECT_EQ(services.counting.jobs, 0);
        EXPECT_EQ(services.counting.refusedSheets, std::vector<std::string>{"转账支票"});
    }
}

}  // namespace
}  // namespace vorra::engine
