// The desktop with the real add-in library, loaded as the program loads it: the ribbon
// it returns, every button reaching its command, the command bars of a host below
// version 12, and the selection path of the fill-in sheet.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QTreeWidget>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "platform/desktop/app/AddinsDialog.h"
#include "platform/desktop/app/MainWindow.h"
#include "platform/desktop/app/PageSetupWindow.h"
#include "platform/desktop/app/SheetGrid.h"
#include "platform/desktop/ribbon/RibbonBar.h"
#include "platform/desktop/toolkit/FormWindow.h"
#include "tools/sampletemplate/SampleTemplate.h"

namespace vorra::desktop {

// Takes the addresses the add-in asks the desktop to open, instead of a browser.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    std::vector<std::string> urls;
public slots:
    void openUrl(const QUrl& url) { urls.push_back(url.toString().toStdString()); }
};

namespace {

namespace fs = std::filesystem;

const fs::path kLibrary = VORRA_ADDIN_LIBRARY;
const fs::path kMarker = kLibrary.parent_path() / "setting.ini";

void leaveLaunchMarker() { std::ofstream(kMarker) << "marker\n"; }

// What the modal dialogs that opened showed; each is closed as soon as it is seen.
struct ModalLog {
    std::vector<std::string> titles;
    std::vector<std::string> texts;
    std::vector<int> pageSetupPages;
    std::vector<std::string> addins;  // name | load behaviour of each listed add-in
};

class DesktopAddinTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::error_code ec;
        fs::remove(kMarker, ec);
        for (const char* scheme : {"http", "https", "file", "mailto"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &urls, "openUrl");
        closer.setInterval(10);
        QObject::connect(&closer, &QTimer::timeout, [this] { closeModal(); });
        closer.start();
    }
    void TearDown() override {
        closer.stop();
        if (window) window->close();
        window.reset();
        session.reset();
        for (const char* scheme : {"http", "https", "file", "mailto"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
        std::error_code ec;
        fs::remove(kMarker, ec);
    }

    void start(const std::string& version, bool marker) {
        if (marker) leaveLaunchMarker();
        session = std::make_unique<DesktopSession>(
            version, print::PrintFolder(fs::temp_directory_path() / "vorra-desktop-test-prints"));
        session->onInvoked = [this](const std::string& method, bool found) {
            invoked.push_back(method + (found ? "" : " (none)"));
        };
        window = std::make_unique<MainWindow>(*session);
        window->setDiscardChangesOnClose(true);
        tools::buildSampleTemplate(*session->application().addWorkbook());
        window->syncFromEngine();
        window->show();
        window->connectAddin(kLibrary.string());
    }

    void closeModal() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            modals.titles.push_back(box->windowTitle().toStdString());
            modals.texts.push_back(box->text().toStdString());
            box->done(QMessageBox::Ok);
        } else if (auto* setup = dynamic_cast<PageSetupWindow*>(modal)) {
            modals.pageSetupPages.push_back(setup->pages()->currentIndex());
            setup->reject();
        } else if (auto* addins = dynamic_cast<AddinsDialog*>(modal)) {
            for (int i = 0; i < addins->list()->topLevelItemCount(); ++i)
                modals.addins.push_back(addins->list()->topLevelItem(i)->text(0).toStdString() + " | " +
                                        addins->list()->topLevelItem(i)->text(1).toStdString());
            modals.texts.push_back(addins->description()->text().toStdString());
            addins->accept();
        }
    }

    UrlRecorder urls;
    QTimer closer;
    ModalLog modals;
    std::vector<std::string> invoked;
    std::unique_ptr<DesktopSession> session;
    std::unique_ptr<MainWindow> window;
};

TEST_F(DesktopAddinTest, WithTheLaunchMarkerTheAddinsTabStandsBeforeHome) {
    start("16.0", true);
    EXPECT_EQ(window->ribbon()->tabIds(), (std::vector<std::string>{"customTab", "TabHome"}));
    EXPECT_EQ(window->ribbon()->tabText(0), QStringLiteral("【支票Quorvan】"));
    EXPECT_EQ(window->ribbon()->tabPage("customTab")->findChildren<QToolButton*>().size(), 14);
    EXPECT_FALSE(fs::exists(kMarker));  // the add-in consumed it
    EXPECT_TRUE(window->commandBarToolbars().empty());
}

TEST_F(DesktopAddinTest, WithoutTheMarkerTheAddinShowsNoCommands) {
    start("16.0", false);
    EXPECT_EQ(window->ribbon()->tabIds(), std::vector<std::string>{"TabHome"});
    EXPECT_TRUE(session->connected());
}

TEST_F(DesktopAddinTest, EveryRibbonButtonReachesItsCommandAndTheBatchButtonReachesPiliangDY) {
    start("16.0", true);
    const char* ids[] = {"Vorra1", "Vorra2", "Vorra3", "Vorra4", "Vorra5", "Vorra6", "Vorra7",
                         "Vorra8", "Vorra_A", "Vorra_B", "Vorra_C", "Vorra_PX", "Vorra_XZ", "Vorra_D"};
    for (const char* id : ids) {
        QToolButton* button = window->ribbon()->button(id);
        ASSERT_NE(button, nullptr) << id;
        QTest::mouseClick(button, Qt::LeftButton);
        QApplication::processEvents();
    }
    // Every name reached a method of the add-in; "PiliangDy" found PiliangDY.
    EXPECT_EQ(invoked, (std::vector<std::string>{"VorraMB", "TianxiePJ", "DayinPJ", "PiliangDy", "DayinJL",
                                                 "XiugaiRQ", "ZZDX", "YBJ", "Web", "WenTi", "help", "Peixun",
                                                 "Xiazai", "About"}));
    // 纸张大小 opened page setup on its first page, 页边距 on the margins page.
    EXPECT_EQ(modals.pageSetupPages, (std::vector<int>{0, 1}));
    // The five links went to the desktop's default program.
    EXPECT_EQ(urls.urls.size(), 5u);
    // 关于 showed the about message with its title.
    ASSERT_FALSE(modals.titles.empty());
    EXPECT_EQ(modals.titles.back(), "Excel支票Quorvan：");
    // 打印票据 opened its form in a window of its own.
    auto printForm = session->toolkit().findForm("Frm_打印票据");
    ASSERT_NE(printForm, nullptr);
    FormWindow* w = session->toolkit().existingWindow(*printForm);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("打印票据："));
}

TEST_F(DesktopAddinTest, BelowVersion12TheCommandBarIsAToolbarAndItsClicksReachTheAddin) {
    start("11.0", true);
    EXPECT_FALSE(window->ribbon()->isVisible());
    ASSERT_EQ(window->commandBarToolbars().size(), 1u);
    QToolBar* bar = window->commandBarToolbars()[0];
    EXPECT_EQ(bar->windowTitle(), QStringLiteral("【Excel支票Quorvan】："));
    auto* about = bar->findChild<QToolButton*>(QStringLiteral("about"));
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->text(), QStringLiteral("关于"));
    QTest::mouseClick(about, Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_EQ(modals.titles.size(), 1u);
    EXPECT_EQ(modals.titles[0], "Excel支票Quorvan：");
    // Disconnecting at the close removes the bar from the host.
    session->disconnectAddin();
    EXPECT_FALSE(session->application().commandBars().contains("【Excel支票Quorvan】："));
}

TEST_F(DesktopAddinTest, HelpListsTheAddinWithTheNameAndDescriptionOfItsEntry) {
    start("16.0", false);
    QAction* addins = nullptr;
    for (QAction* menu : window->menuBar()->actions())
        if (menu->menu() && menu->text() == QStringLiteral("帮助(&H)"))
            for (QAction* item : menu->menu()->actions())
                if (item->text() == QStringLiteral("加载项(&A)…")) addins = item;
    ASSERT_NE(addins, nullptr);
    addins->trigger();
    EXPECT_EQ(modals.addins, std::vector<std::string>{"Excel支票Quorvan V5.1 | 启动时加载"});
    ASSERT_EQ(modals.texts.size(), 1u);
    EXPECT_EQ(modals.texts[0].rfind("说明：支票、进账单等银行票据的填写与套打。", 0), 0u) << modals.texts[0];
}

TEST_F(DesktopAddinTest, SelectingK4OnTheFillInSheetMovesOnToG6) {
    start("16.0", false);
    window->grid()->setCurrentIndex(window->grid()->model()->index(3, 10));  // K4
    QApplication::processEvents();
    auto active = session->application().activeCell();
    EXPECT_EQ(active.address(), "$G$6");
    EXPECT_EQ(window->grid()->currentIndex(), window->grid()->model()->index(5, 6));
    EXPECT_EQ(window->nameBox()->text(), QStringLiteral("G6"));
}

TEST_F(DesktopAddinTest, EnterOnD5LeadsToG2ThroughTheAddinsPath) {
    start("16.0", false);
    GridView* grid = window->grid();
    grid->setCurrentIndex(grid->model()->index(4, 3));  // D5
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(session->application().activeCell().address(), "$G$2");
}

}  // namespace
}  // namespace vorra::desktop

#include "DesktopAddinTest.moc"
