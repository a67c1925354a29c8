#pragma once
// The desktop's spreadsheet window: the ribbon (or, on hosts below version 12, the
// command bars as toolbars), the name box and formula bar, the grid of the active
// sheet, the sheet tabs, and the File and Edit menus. It works on the engine through
// the session: opening and saving go through the engine's workbook files, printing
// through the engine's PrintOut and the printer back end.
//
// The add-in changes cells and the selection behind the window's back (from its forms,
// with events switched off): the engine tells the window what changed, and the window
// redraws the cells that changed and takes the rest over once the event has been handled.

#include <QMainWindow>
#include <QUndoStack>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop/app/DesktopSession.h"
#include "platform/engine/print/PrintLayout.h"

class QLabel;
class QLineEdit;
class QMenu;
class QTabBar;
class QToolBar;

namespace vorra::desktop {

class GridView;
class RibbonBar;

class MainWindow : public QMainWindow, private engine::ChangeListener {
public:
    explicit MainWindow(DesktopSession& session);
    ~MainWindow() override;

    // Connects the add-in (OnConnection, then at once the ribbon request) and shows its
    // commands. Reports a library that cannot be loaded and goes on without it.
    void connectAddin(const std::string& libraryPath);

    // Opens a workbook through the engine; reports an unreadable file. True when open.
    bool openWorkbook(const QString& path);
    bool saveWorkbook();
    bool saveWorkbookAs(const QString& path);
    void printActiveSheet();
    // Offers print to file and the print service's printers; the choice is kept in the
    // user's settings for the next session.
    void choosePrinter();
    // The printer of the last session, else the system's default printer, else print
    // to file.
    void restorePrinterChoice();
    void pageSetup();
    // The print preview of the active sheet on the current printer; its print button
    // prints the sheet.
    void printPreview();
    // The current printer's offsets, for all bill sheets or the active one, with the
    // calibration page of the active sheet's paper.
    void printOffsets();
    // The printers' offsets of the last session, from the user's settings.
    void restoreCalibrations();

    // Takes over the engine's state: workbook, sheets, active sheet, selection, cells.
    void syncFromEngine();

    RibbonBar* ribbon() const { return ribbon_; }
    GridView* grid() const { return grid_; }
    QTabBar* sheetTabs() const { return sheetTabs_; }
    QLineEdit* formulaBar() const { return formulaBar_; }
    QLabel* nameBox() const { return nameBox_; }
    QUndoStack& undoStack() { return undo_; }
    const std::vector<QToolBar*>& commandBarToolbars() const { return commandBars_; }

    // Closing asks about unsaved workbooks unless this is set (demonstrations, tests).
    void setDiscardChangesOnClose(bool on) { discardOnClose_ = on; }

    // Recently opened files, newest first (at most eight), kept in the user's settings.
    static QStringList recentFiles();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    QWidget* buildHomeTab();
    void showMessage(const QString& text, bool error);
    void followPrinter();
    QString printerCaption() const;
    // The print layout of the active sheet; nullopt, after a message, when there is
    // none or it cannot be laid out.
    std::optional<engine::PrintLayout> activeLayout(const QString& failure);
    void rememberRecent(const QString& path);
    void rebuildRecentMenu();
    void rebuildWindowMenu();
    void commitFormulaBar();
    void showActiveCell();
    void scheduleSync();
    void engineChanged(const engine::EngineChange& change) override;
    void cancelFormulaBar();
    bool askToSaveAll();
    bool confirmSave(host::Workbook& book);
    void openFromDialog();

    DesktopSession& session_;
    RibbonBar* ribbon_ = nullptr;
    std::vector<QToolBar*> commandBars_;
    QLabel* nameBox_;
    // In the status bar for good: the current printer, then where the last print went.
    QLabel* printStatus_ = nullptr;
    QLineEdit* formulaBar_;
    GridView* grid_;
    QTabBar* sheetTabs_;
    QMenu* recentMenu_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    QUndoStack undo_;
    bool discardOnClose_ = false;
    bool syncScheduled_ = false;
    bool selectionScheduled_ = false;
    bool syncing_ = false;
    // What the window shows, to notice when the engine changed it.
    const void* shownBook_ = nullptr;
    const void* shownSheet_ = nullptr;
    std::vector<std::string> shownSheetNames_;
};

}  // namespace vorra::desktop
