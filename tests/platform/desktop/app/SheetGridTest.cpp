// The desktop window on the engine without the add-in: typed entries, Enter moving
// down, undo, selection events, sheet tabs, merged cells and widths, and a workbook
// file that cannot be read.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QLabel>
#include <QMessageBox>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "platform/desktop/app/MainWindow.h"
#include "platform/desktop/app/SheetGrid.h"

namespace vorra::desktop {
namespace {

namespace fs = std::filesystem;

// Records the selection events the engine delivers.
class SelectionSink : public host::ApplicationEvents {
public:
    void sheetSelectionChange(host::Worksheet&, const host::Range& target) override {
        addresses.push_back(target.address());
    }
    void sheetChange(host::Worksheet&, const host::Range& target) override { changes.push_back(target.address()); }
    void workbookBeforeClose(host::Workbook& book, bool&) override { closed.push_back(book.name()); }
    std::vector<std::string> closed;
    std::vector<std::string> addresses;
    std::vector<std::string> changes;
};

class SheetGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        book = session.application().addWorkbook();
        window.setDiscardChangesOnClose(true);
        window.syncFromEngine();
        window.show();
        session.application().subscribe(&sink);
        grid = window.grid();
    }
    void TearDown() override { session.application().unsubscribe(&sink); }

    host::Worksheet& sheet() { return *session.application().activeSheet(); }
    std::string cellText(const char* ref) { return sheet().range(ref).text(); }
    void typeInto(int row, int column, const QString& text) {
        // The first key opens the cell's editor, the others go on in it.
        grid->setCurrentIndex(grid->model()->index(row, column));
        QTest::keyClicks(grid, text.left(1));
        QLineEdit* editor = nullptr;
        for (QLineEdit* e : grid->findChildren<QLineEdit*>())
            if (e->isVisible()) editor = e;
        ASSERT_NE(editor, nullptr);
        QTest::keyClicks(editor, text.mid(1));
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();  // the delegate commits after the key
    }

    DesktopSession session{"16.0", print::PrintFolder(fs::temp_directory_path() / "vorra-desktop-test-prints")};
    MainWindow window{session};
    std::shared_ptr<host::Workbook> book;
    SelectionSink sink;
    GridView* grid = nullptr;
};

TEST_F(SheetGridTest, TypingAndEnterStoresTheEntryAsTypedAndMovesOneCellDown) {
    typeInto(1, 1, "12.5");  // B2
    EXPECT_EQ(sheet().range("B2").scalar().asNumber(), 12.5);
    EXPECT_EQ(session.application().activeCell().address(), "$B$3");
    EXPECT_EQ(grid->currentIndex(), grid->model()->index(2, 1));
    EXPECT_EQ(grid->model()->data(grid->model()->index(1, 1), Qt::DisplayRole).toString(), QStringLiteral("12.5"));
    EXPECT_EQ(sink.changes, std::vector<std::string>{"$B$2"});
    // The selection events reached the add-in's side: B2, then B3 after Enter.
    ASSERT_GE(sink.addresses.size(), 2u);
    EXPECT_EQ(sink.addresses[sink.addresses.size() - 2], "$B$2");
    EXPECT_EQ(sink.addresses.back(), "$B$3");
}

TEST_F(SheetGridTest, UndoRestoresWhatTheCellHeldAndRedoTypesItAgain) {
    sheet().range("C3").setValue(host::Value::text("原值"));
    typeInto(2, 2, "new");
    EXPECT_EQ(cellText("C3"), "new");
    window.undoStack().undo();
    EXPECT_EQ(cellText("C3"), "原值");
    window.undoStack().redo();
    EXPECT_EQ(cellText("C3"), "new");
    sheet().range("D1").setFormula("=1+2");
    typeInto(0, 3, "5");
    window.undoStack().undo();
    EXPECT_EQ(sheet().range("D1").formula(), "=1+2");
}

TEST_F(SheetGridTest, TheFormulaBarShowsTheActiveCellAndCommitsWithEnter) {
    sheet().range("A1").setFormula("=2*3");
    grid->setCurrentIndex(grid->model()->index(0, 0));
    window.syncFromEngine();
    EXPECT_EQ(window.nameBox()->text(), QStringLiteral("A1"));
    EXPECT_EQ(window.formulaBar()->text(), QStringLiteral("=2*3"));
    window.formulaBar()->setText(QStringLiteral("=A1+1"));
    emit window.formulaBar()->returnPressed();
    EXPECT_EQ(sheet().range("A1").formula(), "=A1+1");
    EXPECT_EQ(session.application().activeCell().address(), "$A$2");
}

TEST_F(SheetGridTest, ARefusedEditLeavesTheCellAndSaysWhy) {
    sheet().range("A1").setValue(host::Value::text("keep"));
    sheet().protect("470518");
    std::string refused;
    grid->sheetModel()->onEditRefused = [&](const std::string& why) { refused = why; };
    grid->model()->setData(grid->model()->index(0, 0), QStringLiteral("x"), Qt::EditRole);
    EXPECT_EQ(cellText("A1"), "keep");
    EXPECT_FALSE(refused.empty());
}

TEST_F(SheetGridTest, SheetTabsFollowTheEngineAndAClickActivatesTheSheet) {
    book->addSheet(&sheet());
    sheet().setName("第二");
    window.syncFromEngine();
    QTabBar* tabs = window.sheetTabs();
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("第二"));
    EXPECT_EQ(tabs->currentIndex(), 1);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    EXPECT_EQ(session.application().activeSheet()->name(), tabs->tabText(0).toStdString());
    EXPECT_EQ(grid->sheetModel()->sheet()->name(), tabs->tabText(0).toStdString());
}

TEST_F(SheetGridTest, MergedCellsSpanAndColumnWidthsAndRowHeightsFollowTheSheet) {
    auto engineSheet = session.application().activeEngineSheet();
    engineSheet->model().merges.push_back(host::Area{2, 2, 3, 4});
    engineSheet->model().columns[3].width = 20;
    engineSheet->model().rows[5].height = 30;
    grid->applySheetLayout();
    EXPECT_EQ(grid->rowSpan(1, 1), 2);
    EXPECT_EQ(grid->columnSpan(1, 1), 3);
    EXPECT_EQ(grid->columnWidth(2), columnWidthPixels(20));
    EXPECT_EQ(grid->rowHeight(4), rowHeightPixels(30));
    EXPECT_EQ(columnWidthPixels(8.38), 64);
    EXPECT_EQ(rowHeightPixels(13.5), 18);
}

TEST_F(SheetGridTest, AnUnreadableWorkbookIsReportedAndTheFileIsLeftAlone) {
    fs::path file = fs::temp_directory_path() / "vorra-desktop-broken.xlsx";
    std::ofstream(file, std::ios::binary) << "not a workbook";
    QString message;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            message = box->text();
            box->accept();
        }
    });
    EXPECT_FALSE(window.openWorkbook(QString::fromStdString(file.string())));
    EXPECT_TRUE(message.startsWith(QStringLiteral("无法打开工作簿：")));
    EXPECT_EQ(fs::file_size(file), 14u);
    EXPECT_EQ(session.application().workbooks().size(), 1u);
    fs::remove(file);
}

TEST_F(SheetGridTest, ClosingTheWindowClosesTheWorkbooksThroughTheEngine) {
    std::string name = book->name();
    window.close();
    EXPECT_EQ(sink.closed, std::vector<std::string>{name});
    EXPECT_TRUE(session.application().workbooks().empty());
}

}  // namespace
}  // namespace vorra::desktop
