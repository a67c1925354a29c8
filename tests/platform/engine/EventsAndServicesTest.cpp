#include "EngineFixture.h"

using namespace vorra;
using namespace vorra::host;
using vorra::engine::testing::EngineTest;

namespace {

struct RecordingSink : ApplicationEvents {
    void newWorkbook(Workbook& wb) override { log.push_back("new " + wb.name()); }
    void sheetChange(Worksheet&, const Range& r) override { log.push_back("change " + r.address()); }
    void sheetSelectionChange(Worksheet& s, const Range& r) override {
        log.push_back("select " + s.name() + " " + r.address());
    }
    void workbookBeforeClose(Workbook& wb, bool& cancel) override {
        log.push_back("close " + wb.name());
        cancel = cancelClose;
    }
    void workbookBeforePrint(Workbook&, bool& cancel) override {
        log.push_back("print");
        cancel = cancelPrint;
    }
    void workbookOpen(Workbook& wb) override { log.push_back("open " + wb.name()); }
    std::vector<std::string> log;
    bool cancelClose = false;
    bool cancelPrint = false;
};

class Events : public EngineTest {
protected:
    Events() { app.subscribe(&sink); }
    ~Events() override { app.unsubscribe(&sink); }
    RecordingSink sink;
};

using Services = EngineTest;

}  // namespace

TEST_F(Events, SelectionChangesReachSinksOnlyWhileEventsAreOn) {
    sheet->range("K4").select();
    sheet->range("K4").select();  // no change, no event
    app.setEnableEvents(false);
    sheet->range("G6").select();
    app.setEnableEvents(true);
    sheet->range("D4:I4").select();
    EXPECT_EQ(sink.log, (std::vector<std::string>{"select Sheet1 $K$4", "select Sheet1 $D$4:$I$4"}));
    EXPECT_EQ(app.activeCell().address(), "$D$4");
    EXPECT_EQ(app.selection().address(), "$D$4:$I$4");
}

TEST_F(Events, SelectingOnAnInactiveSheetFails) {
    auto second = book->addSheet(sheet.get());
    EXPECT_THROW(sheet->range("A1").select(), HostError);
    sheet->activate();
    EXPECT_NO_THROW(sheet->range("A2").select());
}

TEST_F(Events, SinksMayChangeTheSelectionFromTheirHandler) {
    // The fill-in sheet's cursor path: a handler that moves K4 on to G6 with events off.
    struct CursorPath : ApplicationEvents {
        Application* app = nullptr;
        int calls = 0;
        void sheetSelectionChange(Worksheet&, const Range&) override {
            ++calls;
            if (app->activeCell().address() != "$K$4") return;
            app->setEnableEvents(false);
            app->range("g6").select();
            app->setEnableEvents(true);
        }
    } path;
    path.app = &app;
    app.subscribe(&path);
    sheet->range("K4").select();
    app.unsubscribe(&path);
    EXPECT_EQ(app.activeCell().address(), "$G$6");
    EXPECT_EQ(path.calls, 1);
    EXPECT_TRUE(app.enableEvents());
}

TEST_F(Events, WritesRaiseSheetChangeWhileEventsAreOn) {
    put("K3", text("100"));
    app.setEnableEvents(false);
    put("K5", text("货款"));
    app.setEnableEvents(true);
    sheet->range("A1:B2").clearContents();
    EXPECT_EQ(sink.log, (std::vector<std::string>{"change $K$3", "change $A$1:$B$2"}));
}

TEST_F(Events, WorkbookEventsAndCancellation) {
    auto second = app.addWorkbook();
    sink.cancelClose = true;
    second->close(false);
    EXPECT_EQ(app.workbooks().size(), 2u);
    sink.cancelClose = false;
    second->close(false);
    EXPECT_EQ(app.workbooks().size(), 1u);
    EXPECT_EQ(sink.log, (std::vector<std::string>{"new Book2", "close Book2", "close Book2"}));
}

TEST_F(Events, PrintingAsksBeforePrintAndNeedsAPrinter) {
    sheet->printOut(1, true);
    EXPECT_EQ(services.fakePrinter.jobs, (std::vector<std::string>{"Sheet1 x1 collated"}));
    sink.cancelPrint = true;
    sheet->printOut(1, true);
    EXPECT_EQ(services.fakePrinter.jobs.size(), 1u);
    sink.cancelPrint = false;
    services.withPrinter = false;
    EXPECT_THROW(sheet->printOut(1, true), HostError);
    EXPECT_THROW(sheet->printOut(0, true), HostError);
}

TEST_F(Services, DialogsKeysQuitAndTheFormsLibrary) {
    services.chosenFiles = {"/data/模板.xlsx"};
    EXPECT_EQ(app.getOpenFilename("模板 (*.xls*),*.xls*", 1, "选择模板", true),
              services.chosenFiles);
    app.sendKeys("{RIGHT}", false);
    EXPECT_TRUE(app.showBuiltinDialog(7));
    EXPECT_TRUE(app.showBuiltinDialog(7));  // the keys went to the first dialog only
    EXPECT_EQ(services.dialogCalls,
              (std::vector<std::string>{"选择模板|模板 (*.xls*),*.xls*", "7|Sheet1|{RIGHT}", "7|Sheet1|"}));
    EXPECT_THROW(app.toolkit(), HostError);
    app.quit();
    EXPECT_EQ(services.quits, 1);
    EXPECT_TRUE(app.quitRequested());
    EXPECT_EQ(app.version(), "16.0");
}

TEST_F(Services, CommandBarsAreApplicationState) {
    auto& bar = app.commandBars().add("测试栏");
    auto button = bar.addControl(bar::kControlButton, 0, true);
    int clicks = 0;
    button->subscribeClick([&](CommandBarButton&, bool&) { ++clicks; });
    app.commandBars().item("测试栏").controls().front()->click();
    EXPECT_EQ(clicks, 1);
    EXPECT_THROW(app.commandBars().item("missing"), HostError);
}

TEST(EngineApplication, AnApplicationWithoutServicesRefusesWhatNeedsThem) {
    engine::EngineApplication bare("11.0");
    EXPECT_THROW(bare.activeSheet(), HostError);
    bare.addWorkbook();
    EXPECT_THROW(bare.activeSheet()->printOut(1, true), HostError);
    EXPECT_FALSE(bare.showBuiltinDialog(7));
    EXPECT_TRUE(bare.getOpenFilename("", 1, "", false).empty());
}

TEST_F(Events, ABlockWriteIsOneChange) {
    Array2D block(2000, 13);
    for (int r = 1; r <= 2000; ++r)
        for (int c = 1; c <= 13; ++c) block.at(r, c) = Value::text("");
    sheet->range("B8").resize(2000, 13).setValue(block);
    EXPECT_EQ(sink.log, (std::vector<std::string>{"change $B$8:$N$2007"}));
    EXPECT_EQ(sheet->usedArea(), Area::cell(1, 1));  // empty texts leave no cells behind
}

// The views' change events: which cells changed (formula results included), the
// selection, and everything else as one kind, also while the add-in's events are off.
TEST_F(Events, ViewsAreToldWhichCellsChangedTheSelectionAndTheRest) {
    struct Log : engine::ChangeListener {
        void engineChanged(const engine::EngineChange& c) override {
            using K = engine::EngineChange::Kind;
            if (c.kind == K::Cells) lines.push_back("cells " + c.sheet->name + " " + absoluteAddress(c.area));
            else if (c.kind == K::Selection) lines.push_back("selection " + absoluteAddress(c.area));
            else lines.push_back("structure");
        }
        std::vector<std::string> lines;
    } log;
    sheet->range("C1").setValue(Value::text("=A1*2"));
    sheet->range("C2").setValue(Value::text("=B1"));
    app.addChangeListener(&log);
    app.setEnableEvents(false);
    sheet->range("A1:A2").setValue(Value::number(4));  // C1 follows, C2 keeps its value
    sheet->range("B5").select();
    app.setEnableEvents(true);
    book->addSheet(nullptr);
    app.removeChangeListener(&log);
    sheet->range("A1").setValue(Value::number(5));
    EXPECT_EQ(log.lines, (std::vector<std::string>{"cells Sheet1 $A$1:$A$2", "cells Sheet1 $C$1",
                                                   "selection $B$5", "structure"}));
}
