#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "addin/frame/Connect.h"
#include "addin/frame/My_Tool.h"
#include "addin/frame/Public_XlApp.h"
#include "addin/frame/XlAppEvents.h"
#include "addin/resources/RibbonDefinition.h"
#include "platform/loader/AddinLibrary.h"
#include "tests/addin/support/AddinTestHost.h"

using namespace vorra;
using namespace vorra::testing;
using dialogs::MsgBoxIcon;
using headless::Record;
using host::Area;
using host::CellRef;

namespace {

const std::string kBarName = "【Excel支票Quorvan】：";

// The launch marker beside the test program, which is the add-in folder here.
std::string markerPath() { return addinFolder() + "setting.ini"; }
void createMarker() { std::ofstream(markerPath()) << "launched"; }
bool markerExists() { return std::filesystem::exists(markerPath()); }

// A host of one version with the sample template, connected through Connect.
class Connection : public ::testing::Test {
protected:
    std::unique_ptr<AddinTestHost> host;
    Connect connect;
    bool connected = false;

    void SetUp() override { std::filesystem::remove(markerPath()); }
    void TearDown() override {
        if (connected) disconnect();
        std::filesystem::remove(markerPath());
        if (host) {
            EXPECT_EQ(host->toolkit.takeFailure(), std::nullopt);
            EXPECT_TRUE(host->toolkit.unusedAnswers().empty());
        }
    }
    void start(const std::string& version) {
        if (connected) disconnect();
        host.reset();
        host = std::make_unique<AddinTestHost>(version);
        connect.OnConnection(&host->app, 0);
        connected = true;
    }
    void disconnect() {
        connect.OnDisconnection(0);
        connected = false;
    }
    size_t barsNamed(const std::string& name) {
        size_t n = 0;
        for (const auto& b : host->app.commandBars().bars()) n += b->name() == name;
        return n;
    }
};

TEST_F(Connection, WithoutTheMarkerNothingIsBuiltButTheCursorPathWorks) {
    start("11.0");
    EXPECT_EQ(host->app.commandBars().count(), 0u);
    EXPECT_EQ(connect.GetCustomUI("Microsoft.Excel.Workbook"), "");
    host->app.activeSheet()->select(Area::cell(4, 11), {4, 11});
    EXPECT_EQ(host->app.activeCell().address(), "$G$6");
}

TEST_F(Connection, Version11WithTheMarkerBuildsTheBarAndConsumesTheMarker) {
    createMarker();
    start("11.0");
    ASSERT_EQ(barsNamed(kBarName), 1u);
    const auto& bar = host->app.commandBars().item(kBarName);
    EXPECT_TRUE(bar.visible);
    EXPECT_FALSE(bar.temporary());
    EXPECT_EQ(bar.position, 1);
    EXPECT_EQ(bar.protection, 4);
    EXPECT_EQ(bar.controls().size(), 14u);
    EXPECT_FALSE(markerExists());
    EXPECT_EQ(connect.GetCustomUI(""), "") << "no ribbon below version 12";
}

TEST_F(Connection, TheRibbonRequestBelowVersion12LeavesTheMarker) {
    start("11.0");
    createMarker();
    EXPECT_EQ(connect.GetRibbonXML(), "");
    EXPECT_TRUE(markerExists());
}

TEST_F(Connection, RibbonHostsBuildNothingAtConnectionAndTheRibbonRequestConsumesTheMarker) {
    for (const char* version : {"12.0", "16.0"}) {
        SCOPED_TRACE(version);
        createMarker();
        start(version);
        EXPECT_EQ(host->app.commandBars().count(), 0u);
        EXPECT_TRUE(markerExists()) << "connection leaves the marker to the ribbon request";
        EXPECT_EQ(connect.GetCustomUI("any id"), std::string(ribbonDefinition()));
        EXPECT_FALSE(markerExists());
        EXPECT_EQ(connect.GetCustomUI("any id"), "") << "the marker is consumed once";
    }
}

TEST_F(Connection, ASecondStartFindsNoMarkerAndStaysHidden) {
    createMarker();
    start("16.0");
    ASSERT_FALSE(connect.GetCustomUI("").empty());
    start("16.0");
    EXPECT_EQ(connect.GetCustomUI(""), "");

    createMarker();
    start("11.0");
    ASSERT_EQ(barsNamed(kBarName), 1u);
    disconnect();
    EXPECT_EQ(barsNamed(kBarName), 0u) << "disconnection removes the bar";
    start("11.0");
    EXPECT_EQ(host->app.commandBars().count(), 0u);
}

TEST_F(Connection, AMarkerThatIsAFolderIsNoMarker) {
    std::filesystem::create_directory(markerPath());
    start("11.0");
    EXPECT_EQ(host->app.commandBars().count(), 0u);
    EXPECT_EQ(connect.GetCustomUI(""), "");
    std::filesystem::remove(markerPath());
}

TEST_F(Connection, DisconnectingARibbonHostShowsNoMessageAndReleasesTheGlobals) {
    createMarker();
    start("16.0");
    connect.GetCustomUI("");
    disconnect();
    EXPECT_TRUE(host->messages().empty());
    EXPECT_EQ(XlApp, nullptr);
    EXPECT_EQ(XlEvents, nullptr);
    XlApp = &host->app;  // the fixture's host stays reachable for its destructor
}

TEST_F(Connection, AfterDisconnectionSelectionsAreNoLongerMoved) {
    start("16.0");
    disconnect();
    XlApp = &host->app;
    host->app.activeSheet()->select(Area::cell(4, 11), {4, 11});
    EXPECT_EQ(host->app.activeCell().address(), "$K$4");
}

TEST_F(Connection, CallsWithoutAnApplicationFailStepByStepAndNeverCrash) {
    Connect lone;
    lone.OnDisconnection(0);  // a host that never connected
    createMarker();
    lone.OnConnection(nullptr, 0);
    EXPECT_EQ(XlApp, nullptr);
    EXPECT_EQ(lone.GetCustomUI(""), "");
    lone.OnDisconnection(0);
    EXPECT_EQ(XlEvents, nullptr);
}

TEST(AddinFolder, KeepsOneTrailingSeparatorWhateverThePathLooksLike) {
    EXPECT_EQ(folderOf("/opt//vorra//libvorra.so"), "/opt//vorra/");
    EXPECT_EQ(folderOf("//libvorra.so"), "/");
    EXPECT_EQ(folderOf("libvorra.so"), "./");
}

// ---- Every command reaches its action through the ribbon and through the bar. ------

struct Expected {
    std::function<void(AddinTestHost&)> prepare;  // answers the action needs
    std::function<void(AddinTestHost&)> check;
};

const char* const kAboutText =
    "          Quorvan为您提供银行票据打印的全程服务\r"
    "                    \r"
    "         专业代做银行票据套打模板\r"
    "\r"
    "\r"
    "       网站：https://www.quorvan.example/\r"
    "\r"
    "       邮箱：service@quorvan.example\r"
    "\r"
    "    \r"
    "          ╱▔▔▔▔╲\n"
    "        ╱　 ▲ 　╲\n"
    "        ┃ ▣　▣ ┃\n"
    "    ╫╫╫┻━━┻━━┻╫╫╫";

std::vector<std::string> recordsOf(AddinTestHost& h, Record::Kind kind) {
    return h.toolkit.lines(kind);
}

Expected formShown(const std::string& form) {
    return {nullptr, [form](AddinTestHost& h) {
                EXPECT_EQ(recordsOf(h, Record::Kind::Show), std::vector<std::string>{"show " + form});
            }};
}
Expected pageSetup(const std::string& keys) {
    return {nullptr, [keys](AddinTestHost& h) {
                EXPECT_EQ(h.services.builtinDialogs, std::vector<std::string>{"7 " + keys});
            }};
}
Expected opens(const std::string& address) {
    return {nullptr, [address](AddinTestHost& h) {
                EXPECT_EQ(recordsOf(h, Record::Kind::ShellOpen),
                          std::vector<std::string>{"shell-open \"" + address + "\""});
            }};
}
Expected aboutMessage() {
    return {[](AddinTestHost& h) {
                expectMessage(h.toolkit, kAboutText, MsgBoxIcon::Information, "Excel支票Quorvan：");
            },
            [](AddinTestHost& h) { EXPECT_EQ(h.messages().size(), 1u); }};
}

// What each command does, by command name (the bar's "about" is About's).
const std::map<std::string, Expected>& expectedEffects() {
    static const std::map<std::string, Expected> effects{
        {"VorraMB", formShown("VorraMB_frm")},
        {"TianxiePJ", formShown("Frm_收付款人")},
        {"DayinPJ", formShown("Frm_打印票据")},
        {"KuaijieTX", formShown("Kuaijie_TX_frm")},
        {"PiliangDY", formShown("PiliangDY_frm")},
        {"DayinJL", formShown("DayinJL_frm")},
        {"XiugaiRQ", formShown("Date_frm")},
        {"ZZDX", pageSetup("")},
        {"YBJ", pageSetup("{RIGHT}")},
        {"Web", opens("https://www.quorvan.example/")},
        {"WenTi", opens("https://www.quorvan.example/faq.html")},
        {"help", opens("https://www.quorvan.example/tutorial.html")},
        {"Peixun", opens("https://www.quorvan.example/docs/cashier-training.doc")},
        {"Xiazai", opens("https://www.quorvan.example/docs/video-tutorials.doc")},
        {"About", aboutMessage()},
    };
    return effects;
}

std::string commandOfAction(std::string action) {
    for (const auto& [name, effect] : expectedEffects())
        if (name.size() == action.size() &&
            std::equal(name.begin(), name.end(), action.begin(),
                       [](char a, char b) { return std::tolower(a) == std::tolower(b); }))
            return name;
    return action;
}

void runAndCheck(AddinTestHost& h, const std::string& command, const std::function<void()>& act) {
    SCOPED_TRACE(command);
    const auto& effect = expectedEffects().at(command);
    h.toolkit.unloadAll();
    h.toolkit.clearRecords();
    h.services.builtinDialogs.clear();
    if (effect.prepare) effect.prepare(h);
    act();
    effect.check(h);
    EXPECT_EQ(h.toolkit.takeFailure(), std::nullopt);
    EXPECT_TRUE(h.toolkit.unusedAnswers().empty());
    h.toolkit.unloadAll();
}

TEST_F(Connection, EveryRibbonButtonReachesItsAction) {
    createMarker();
    start("16.0");
    std::string ribbon = connect.GetCustomUI("");
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(ribbon.c_str()));
    std::vector<std::string> actions;
    for (auto b : doc.select_nodes("//button")) actions.push_back(b.node().attribute("onAction").value());
    ASSERT_EQ(actions.size(), 14u);
    EXPECT_EQ(actions[3], "PiliangDy");
    for (const auto& action : actions)
        runAndCheck(*host, commandOfAction(action), [&] { EXPECT_TRUE(connect.invoke(action)); });
}

TEST_F(Connection, KuaijieTXIsReachableByNameOnly) {
    start("16.0");
    runAndCheck(*host, "KuaijieTX", [&] { EXPECT_TRUE(connect.invoke("kuaijietx")); });
}

TEST_F(Connection, EveryBarButtonReachesItsAction) {
    createMarker();
    start("11.0");
    const auto& controls = host->app.commandBars().item(kBarName).controls();
    ASSERT_EQ(controls.size(), 14u);
    std::vector<std::string> parameters;
    for (const auto& button : controls) {
        parameters.push_back(button->parameter);
        EXPECT_TRUE(button->beginGroup);
        EXPECT_TRUE(button->temporary);
        EXPECT_EQ(button->style, 11);
        std::string command = button->parameter == "about" ? "About" : button->parameter;
        runAndCheck(*host, command, [&] { button->click(); });
    }
    EXPECT_EQ(parameters, (std::vector<std::string>{"VorraMB", "TianxiePJ", "DayinPJ", "PiliangDY",
                                                    "DayinJL", "XiugaiRQ", "ZZDX", "YBJ", "Web",
                                                    "WenTi", "help", "Peixun", "Xiazai", "about"}));
}

TEST_F(Connection, ABarParameterIsMatchedExactlyWithCase) {
    createMarker();
    start("11.0");
    auto& button = *host->app.commandBars().item(kBarName).controls().back();
    host->toolkit.clearRecords();
    for (const char* parameter : {"About", "ABOUT", "web", "KuaijieTX", ""}) {
        button.parameter = parameter;
        button.click();
    }
    EXPECT_TRUE(host->toolkit.records().empty());
}

TEST_F(Connection, BuildingTheBarTwiceLeavesOneBarWhoseButtonsActOnce) {
    createMarker();
    start("11.0");
    // What the host keeps of the bar when it ends without the add-in disconnecting.
    host->app.commandBars().endOfRun();
    EXPECT_EQ(host->app.commandBars().item(kBarName).controls().size(), 0u);
    BuildCommandBar();
    BuildCommandBar();
    ASSERT_EQ(barsNamed(kBarName), 1u);
    const auto& controls = host->app.commandBars().item(kBarName).controls();
    ASSERT_EQ(controls.size(), 14u);
    host->toolkit.clearRecords();
    controls[8]->click();  // 网站
    EXPECT_EQ(recordsOf(*host, Record::Kind::ShellOpen).size(), 1u);
}

TEST_F(Connection, CommandsWithoutAHostDoNothing) {
    start("16.0");
    disconnect();
    for (const auto& name : connect.methodNames()) EXPECT_TRUE(connect.invoke(name));
    XlApp = &host->app;
    EXPECT_TRUE(host->toolkit.records().empty());
}

// ---- The cursor path of the fill-in sheet. ------------------------------------------

class SelectionCounter : public host::ApplicationEvents {
public:
    std::vector<std::string> seen;
    void sheetSelectionChange(host::Worksheet&, const host::Range& target) override {
        seen.push_back(target.address());
    }
};

class CursorPath : public Connection {
protected:
    SelectionCounter counter;
    void SetUp() override {
        Connection::SetUp();
        start("16.0");
        host->app.subscribe(&counter);
    }
    void TearDown() override {
        host->app.unsubscribe(&counter);
        Connection::TearDown();
    }
    void select(const std::string& range, CellRef active) {
        auto sheet = host->app.activeSheet();
        sheet->select(sheet->range(range).area(), active);
    }
    std::string selection() { return host->app.selection().address(); }
};

TEST_F(CursorPath, EachStartingCellMovesOnWithOneSelectionEvent) {
    const std::map<std::string, std::string> path{
        {"K4", "$G$6"}, {"G7", "$L$6"}, {"D6", "$G$2"}, {"G3", "$K$3"}};
    for (const auto& [from, to] : path) {
        SCOPED_TRACE(from);
        counter.seen.clear();
        auto area = host->app.activeSheet()->range(from).area();
        select(from, area.topLeft());
        EXPECT_EQ(selection(), to);
        EXPECT_EQ(host->app.activeCell().address(), to);
        EXPECT_EQ(counter.seen, std::vector<std::string>{"$" + from.substr(0, 1) + "$" + from.substr(1)})
            << "the move raises no second selection event";
        EXPECT_TRUE(host->app.enableEvents());
    }
}

TEST_F(CursorPath, ASelectionOfSeveralCellsFollowsItsActiveCell) {
    select("G7:H9", {7, 7});
    EXPECT_EQ(selection(), "$L$6");
    select("F6:H9", {8, 7});
    EXPECT_EQ(selection(), "$F$6:$H$9") << "the active cell G8 starts nothing";
}

TEST_F(CursorPath, OtherCellsAndOtherSheetsAreLeftAlone) {
    select("K5", {5, 11});
    EXPECT_EQ(selection(), "$K$5");
    host->app.sheets("转账支票")->activate();
    select("K4", {4, 11});
    EXPECT_EQ(selection(), "$K$4");
    host->app.sheets("现金支票")->setName("常用单位账号 ");
    host->app.sheets("常用单位账号 ")->activate();
    select("K4", {4, 11});
    EXPECT_EQ(selection(), "$K$4");
}

TEST_F(CursorPath, AnyWorkbookWithASheetOfThatNameGetsThePath) {
    auto other = host->app.addWorkbook();
    other->worksheets().front()->setName("常用单位账号");
    other->worksheets().front()->activate();
    select("G3", {3, 7});
    EXPECT_EQ(selection(), "$K$3");
}

TEST_F(CursorPath, EventsAreOnAfterAMoveEvenIfTheyWereOffBefore) {
    auto sheet = host->app.activeSheet();
    host->app.setEnableEvents(false);
    sheet->select(Area::cell(4, 11), {4, 11});  // no event reaches the sink now
    EXPECT_EQ(selection(), "$K$4");
    ASSERT_NE(XlEvents, nullptr);
    XlEvents->sheetSelectionChange(*sheet, sheet->range("K4"));
    EXPECT_EQ(selection(), "$G$6");
    EXPECT_TRUE(host->app.enableEvents());
}

// The add-in entry, read as a host reads it: through the library's exported entry
// point, before any connection.
TEST(AddinEntry, TheLibraryCarriesItsNameDescriptionAndLoadAtStartup) {
    loader::AddinLibrary library(VORRA_ADDIN_LIBRARY);
    ASSERT_TRUE(library.entry());
    EXPECT_EQ(library.entry()->friendlyName, "Excel支票Quorvan V5.1");
    EXPECT_EQ(library.entry()->description,
              "支票、进账单等银行票据的填写与套打。Quorvan 出品，网址：https://www.quorvan.example/，"
              "联系邮箱：service@quorvan.example");
    EXPECT_EQ(library.entry()->loadBehavior, 3);
}

TEST_F(CursorPath, NoOpenWorkbookIsNoError) {
    auto sheet = host->app.activeSheet();
    auto k4 = sheet->range("K4");
    host->book->close(false);
    EXPECT_NO_THROW(XlEvents->sheetSelectionChange(*sheet, k4));
}

}  // namespace
