#include "platform/desktop/app/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "addin/frame/host/HostError.h"
#include "platform/desktop/app/AddinsDialog.h"
#include "platform/desktop/app/DesktopTexts.h"
#include "platform/desktop/app/PrintOffsetsDialog.h"
#include "platform/desktop/app/PrintPreviewWindow.h"
#include "platform/desktop/app/SheetGrid.h"
#include "platform/desktop/ribbon/CommandBarToolbars.h"
#include "platform/desktop/ribbon/RibbonBar.h"
#include "platform/desktop/ribbon/RibbonIcons.h"
#include "platform/desktop/toolkit/ToolkitTexts.h"
#include "platform/engine/print/PageSetupDialog.h"

namespace vorra::desktop {

namespace {

QString u8(const char* s) { return QString::fromUtf8(s); }
constexpr int kMaxRecentFiles = 8;
const char* const kRecentKey = "recentFiles";
// The chosen printer: "file" for print to file, else "printer:" and the name.
const char* const kPrinterKey = "printer";
const QString kPrinterFile = QStringLiteral("file");
const QString kPrinterPrefix = QStringLiteral("printer:");

// The desktop's reason for a failed print, then the host's own message.
QString failureText(int number, const std::string& message) {
    const char* reason = texts::printFailure(number);
    QString detail = QString::fromStdString(message);
    return reason ? QString::fromUtf8(reason) + QStringLiteral("\n") + detail : detail;
}

QSettings settings() { return QSettings(QStringLiteral("Vorra"), QString::fromUtf8(texts::kProgramName)); }

}  // namespace

MainWindow::MainWindow(DesktopSession& session) : session_(session) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(u8(texts::kHostCaption));
    ensureIconTheme();
    session_.toolkit().setOwner(this);
    session_.services().owner = this;
    session_.services().onQuit = [this] { QTimer::singleShot(0, this, [this] { close(); }); };

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    ribbon_ = new RibbonBar(central);
    ribbon_->addHostTab("TabHome", u8(texts::kHomeTab), buildHomeTab());
    column->addWidget(ribbon_);
    ribbon_->setVisible(session_.hostMajorVersion() >= 12);

    auto* formulaRow = new QHBoxLayout;
    formulaRow->setContentsMargins(2, 2, 2, 2);
    nameBox_ = new QLabel(central);
    nameBox_->setObjectName(QStringLiteral("nameBox"));
    nameBox_->setMinimumWidth(80);
    nameBox_->setFrameShape(QFrame::StyledPanel);
    formulaBar_ = new QLineEdit(central);
    formulaBar_->setObjectName(QStringLiteral("formulaBar"));
    formulaRow->addWidget(nameBox_);
    formulaRow->addWidget(new QLabel(QStringLiteral("fx"), central));
    formulaRow->addWidget(formulaBar_, 1);
    column->addLayout(formulaRow);

    grid_ = new GridView(central);
    column->addWidget(grid_, 1);
    sheetTabs_ = new QTabBar(central);
    sheetTabs_->setObjectName(QStringLiteral("sheetTabs"));
    sheetTabs_->setShape(QTabBar::RoundedSouth);
    sheetTabs_->setExpanding(false);
    column->addWidget(sheetTabs_);
    setCentralWidget(central);

    grid_->sheetModel()->setUndoStack(&undo_);
    grid_->sheetModel()->onEditRefused = [this](const std::string& why) {
        showMessage(u8(texts::kEditRefused) + QString::fromStdString(why), true);
    };
    grid_->onSelectionDelivered = [this] { showActiveCell(); };
    grid_->onRefused = [this](const QString& why) { showMessage(why, true); };
    formulaBar_->installEventFilter(this);
    connect(formulaBar_, &QLineEdit::returnPressed, this, [this] { commitFormulaBar(); });
    connect(sheetTabs_, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index < 0 || syncing_) return;
        try {
            if (auto book = session_.application().activeWorkbook())
                book->sheet(sheetTabs_->tabText(index).toStdString())->activate();
        } catch (const host::HostError& e) {
            showMessage(QString::fromStdString(e.what()), true);
        }
        syncFromEngine();
    });

    buildMenus();
    followPrinter();
    restorePrinterChoice();
    restoreCalibrations();
    resize(1100, 720);
    session_.application().addChangeListener(this);
    syncFromEngine();
}

MainWindow::~MainWindow() { session_.application().removeChangeListener(this); }

// ---- The add-in ------------------------------------------------------------------------------

void MainWindow::connectAddin(const std::string& libraryPath) {
    try {
        session_.connectAddin(libraryPath);
    } catch (const loader::AddinLoadError& e) {
        showMessage(u8(texts::kAddinFailed) + QString::fromStdString(e.what()), true);
        return;
    }
    if (session_.hostMajorVersion() >= 12) {
        // The ribbon is asked for once, right after the connection.
        std::string markup = session_.requestRibbon();
        try {
            RibbonDefinition definition = parseRibbonMarkup(markup);
            ribbon_->addCustomTabs(definition, [this](const std::string& onAction) {
                session_.invoke(onAction);
                syncFromEngine();
            });
        } catch (const RibbonMarkupError& e) {
            showMessage(u8(texts::kAddinFailed) + QString::fromStdString(e.what()), true);
        }
    } else {
        commandBars_ = showCommandBars(session_.application().commandBars(), *this);
    }
    syncFromEngine();
}

// ---- Menus -----------------------------------------------------------------------------------

void MainWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(u8(texts::kMenuFile));
    file->addAction(QIcon::fromTheme(QStringLiteral("document-new")), u8(texts::kActionNew), QKeySequence::New,
                    this, [this] {
                        session_.application().addWorkbook();
                        syncFromEngine();
                    });
    file->addAction(QIcon::fromTheme(QStringLiteral("document-open")), u8(texts::kActionOpen), QKeySequence::Open,
                    this, [this] { openFromDialog(); });
    recentMenu_ = file->addMenu(u8(texts::kMenuRecent));
    connect(recentMenu_, &QMenu::aboutToShow, this, [this] { rebuildRecentMenu(); });
    file->addAction(QIcon::fromTheme(QStringLiteral("document-save")), u8(texts::kActionSave), QKeySequence::Save,
                    this, [this] { saveWorkbook(); });
    file->addAction(QIcon::fromTheme(QStringLiteral("document-save-as")), u8(texts::kActionSaveAs),
                    QKeySequence::SaveAs, this, [this] { saveWorkbookAs({}); });
    file->addAction(u8(texts::kActionClose), this, [this] {
        auto book = session_.application().activeWorkbook();
        if (!book || !confirmSave(*book)) return;
        try {
            book->close(false);
        } catch (const host::HostError& e) {
            showMessage(QString::fromStdString(e.what()), true);
        }
        undo_.clear();
        syncFromEngine();
    });
    file->addSeparator();
    file->addAction(QIcon::fromTheme(QStringLiteral("document-page-setup")), u8(texts::kActionPageSetup), this,
                    [this] { pageSetup(); });
    file->addAction(u8(texts::kActionChoosePrinter), this, [this] { choosePrinter(); });
    file->addAction(u8(texts::kActionOffsets), this, [this] { printOffsets(); });
    file->addAction(QIcon::fromTheme(QStringLiteral("document-print-preview")), u8(texts::kActionPreview), this,
                    [this] { printPreview(); });
    file->addAction(QIcon::fromTheme(QStringLiteral("document-print")), u8(texts::kActionPrint), QKeySequence::Print,
                    this, [this] { printActiveSheet(); });
    file->addSeparator();
    file->addAction(u8(texts::kActionExit), QKeySequence::Quit, this, [this] { close(); });

    QMenu* edit = menuBar()->addMenu(u8(texts::kMenuEdit));
    QAction* undo = undo_.createUndoAction(this, u8(texts::kActionUndo));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = undo_.createRedoAction(this, u8(texts::kActionRedo));
    // Ctrl+Y as on the host, and the desktop's own redo key.
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(QKeySequence::Redo)});
    edit->addAction(undo);
    edit->addAction(redo);
    edit->addSeparator();
    // The keys themselves are the grid's (and in a text box, the box's).
    auto gridAction = [&](const char* label, QKeySequence keys, void (GridView::*act)()) {
        QAction* a = edit->addAction(u8(label), this, [this, act] { (grid_->*act)(); });
        a->setShortcut(keys);
        a->setShortcutContext(Qt::WidgetShortcut);
    };
    gridAction(texts::kActionCut, QKeySequence::Cut, &GridView::cutSelection);
    gridAction(texts::kActionCopy, QKeySequence::Copy, &GridView::copySelection);
    gridAction(texts::kActionPaste, QKeySequence::Paste, &GridView::paste);
    gridAction(texts::kActionClear, QKeySequence::Delete, &GridView::clearSelectedCells);

    windowMenu_ = menuBar()->addMenu(u8(texts::kMenuWindow));
    connect(windowMenu_, &QMenu::aboutToShow, this, [this] { rebuildWindowMenu(); });

    QMenu* help = menuBar()->addMenu(u8(texts::kMenuHelp));
    help->addAction(u8(texts::kActionAddins), this, [this] { AddinsDialog(session_.addinLibrary(), this).exec(); });
}

QWidget* MainWindow::buildHomeTab() {
    auto* page = new QWidget;
    auto* row = new QHBoxLayout(page);
    row->setContentsMargins(4, 2, 4, 2);
    auto add = [&](const char* icon, const char* label, std::function<void()> action) {
        auto* b = new QToolButton(page);
        b->setIcon(QIcon::fromTheme(QString::fromLatin1(icon)));
        b->setText(u8(label).remove(u'&').remove(QStringLiteral("…")).section(u'(', 0, 0));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setIconSize(QSize(32, 32));
        b->setAutoRaise(true);
        connect(b, &QToolButton::clicked, this, std::move(action));
        row->addWidget(b);
    };
    add("document-open", texts::kActionOpen, [this] { openFromDialog(); });
    add("document-save", texts::kActionSave, [this] { saveWorkbook(); });
    add("document-print-preview", texts::kPreviewButton, [this] { printPreview(); });
    add("document-print", texts::kActionPrint, [this] { printActiveSheet(); });
    add("document-page-setup", texts::kActionPageSetup, [this] { pageSetup(); });
    add("printer", texts::kActionChoosePrinter, [this] { choosePrinter(); });
    add("configure", texts::kActionOffsets, [this] { printOffsets(); });
    add("edit-undo", texts::kActionUndo, [this] { undo_.undo(); });
    row->addStretch(1);
    return page;
}

void MainWindow::rebuildRecentMenu() {
    recentMenu_->clear();
    for (const QString& path : recentFiles())
        recentMenu_->addAction(path, this, [this, path] { openWorkbook(path); });
}

void MainWindow::rebuildWindowMenu() {
    windowMenu_->clear();
    auto active = session_.application().activeWorkbook();
    for (const auto& book : session_.application().workbooks()) {
        QAction* a = windowMenu_->addAction(QString::fromStdString(book->name()), this, [this, book] {
            book->activate();
            syncFromEngine();
        });
        a->setCheckable(true);
        a->setChecked(book == active);
    }
}

QStringList MainWindow::recentFiles() { return settings().value(kRecentKey).toStringList(); }

void MainWindow::rememberRecent(const QString& path) {
    QSettings s = settings();
    QStringList files = s.value(kRecentKey).toStringList();
    QString absolute = QFileInfo(path).absoluteFilePath();
    files.removeAll(absolute);
    files.prepend(absolute);
    while (files.size() > kMaxRecentFiles) files.removeLast();
    s.setValue(kRecentKey, files);
}

// ---- Files and printing ------------------------------------------------------------------------

bool MainWindow::openWorkbook(const QString& path) {
    try {
        session_.application().openWorkbook(path.toStdString());
    } catch (const std::exception& e) {
        showMessage(u8(texts::kOpenFailed) + QString::fromStdString(e.what()), true);
        return false;
    }
    rememberRecent(path);
    undo_.clear();
    syncFromEngine();
    return true;
}

// The open-file dialog of the menu and the toolbar; opens the chosen workbook.
void MainWindow::openFromDialog() {
    QString path = QFileDialog::getOpenFileName(this, u8(texts::kActionOpen).remove(u'&'), QString(),
                                                u8(texts::kWorkbookFilter));
    if (!path.isEmpty()) openWorkbook(path);
}

bool MainWindow::saveWorkbook() {
    auto book = session_.application().activeWorkbook();
    if (!book) return false;
    // A workbook never saved has no folder in its full name yet.
    if (book->fullName().find('/') == std::string::npos) return saveWorkbookAs({});
    try {
        book->save();
    } catch (const std::exception& e) {
        showMessage(u8(texts::kSaveFailed) + QString::fromStdString(e.what()), true);
        return false;
    }
    syncFromEngine();
    return true;
}

bool MainWindow::saveWorkbookAs(const QString& target) {
    auto book = session_.application().activeWorkbook();
    if (!book) return false;
    QString path = target;
    if (path.isEmpty())
        path = QFileDialog::getSaveFileName(this, u8(texts::kActionSaveAs).remove(u'&'),
                                            QString::fromStdString(book->name()), u8(texts::kSaveFilter));
    if (path.isEmpty()) return false;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".xlsx");
    try {
        book->saveAs(path.toStdString());
    } catch (const std::exception& e) {
        showMessage(u8(texts::kSaveFailed) + QString::fromStdString(e.what()), true);
        return false;
    }
    rememberRecent(path);
    syncFromEngine();
    return true;
}

void MainWindow::printActiveSheet() {
    // Where the print went, or why not, the printer tells the status bar.
    try {
        session_.application().activeSheet()->printOut(1, true);
    } catch (const host::HostError& e) {
        showMessage(u8(texts::kPrintFailed) + failureText(e.number(), e.what()), true);
        return;
    } catch (const std::exception& e) {
        showMessage(u8(texts::kPrintFailed) + QString::fromStdString(e.what()), true);
        return;
    }
    syncFromEngine();
}

// Every job, the add-in's included, reports in the status bar where it went or why it
// did not print.
void MainWindow::followPrinter() {
    printStatus_ = new QLabel(this);
    printStatus_->setObjectName(QStringLiteral("printStatus"));
    statusBar()->addPermanentWidget(printStatus_, 1);
    print::QtPrinter& printer = session_.printer();
    printer.onPrinted = [this](const print::PrintedJob& job) {
        QString where;
        if (!job.file.empty())
            where = u8(texts::kPrintedToFile) + QString::fromStdString(job.file.string());
        else
            where = u8(job.completed ? texts::kPrintedOn : texts::kPrintingOn)
                        .arg(QString::fromStdString(job.printer))
                        .arg(job.jobId);
        printStatus_->setText(where);
    };
    printer.onPrintFailed = [this](const std::string& sheet, int number, const std::string& message) {
        printStatus_->setText(u8(texts::kNotPrinted)
                                  .arg(QString::fromStdString(sheet), failureText(number, message).replace(u'\n', u' ')));
    };
}

QString MainWindow::printerCaption() const { return desktop::printerCaption(session_.printer()); }

void MainWindow::restoreCalibrations() {
    QString problem;
    session_.printer().setCalibrations(storedCalibrations(&problem));
    // Told once the window is up; the stored text stays until offsets are set anew.
    if (!problem.isEmpty())
        QTimer::singleShot(0, this, [this, problem] { showMessage(u8(texts::kOffsetsUnreadable) + problem, true); });
}

std::optional<engine::PrintLayout> MainWindow::activeLayout(const QString& failure) {
    engine::EngineApplication& app = session_.application();
    try {
        auto book = app.activeEngineWorkbook();
        auto sheet = book ? app.activeEngineSheet() : nullptr;
        if (!sheet) return std::nullopt;
        return engine::layoutSheet(book->model(), sheet->index());
    } catch (const host::HostError& e) {
        showMessage(failure + QString::fromStdString(e.what()), true);
    }
    return std::nullopt;
}

void MainWindow::printPreview() {
    std::optional<engine::PrintLayout> layout = activeLayout(u8(texts::kPreviewUnavailable));
    if (!layout) return;
    PrintPreviewWindow preview(std::move(*layout), session_.printer(), this);
    if (preview.exec() == QDialog::Accepted) printActiveSheet();
}

void MainWindow::printOffsets() {
    // The workbook's sheets, the active one first chosen: a sheet's own offsets and its
    // paper for the calibration page.
    std::vector<std::string> sheets;
    std::string current;
    engine::EngineApplication& app = session_.application();
    auto book = app.activeEngineWorkbook();
    if (book) {
        for (const auto& ws : book->worksheets())
            if (ws->visible() == host::Visibility::Visible) sheets.push_back(ws->name());
        try {
            if (auto sheet = app.activeEngineSheet()) current = sheet->name();
        } catch (const host::HostError&) {
        }
    }
    PrintOffsetsDialog dialog(
        session_.printer(), sheets, current,
        [book](const std::string& name) {
            const int index = book->model().sheetIndex(name);
            if (index < 0) throw host::HostError(host::error::kSubscriptOutOfRange, "No sheet named \"" + name + "\"");
            const engine::PrintLayout layout = engine::layoutSheet(book->model(), index);
            return std::pair{layout.paperWidth, layout.paperHeight};
        },
        this);
    dialog.exec();
}

void MainWindow::restorePrinterChoice() {
    print::QtPrinter& printer = session_.printer();
    const QString kept = settings().value(kPrinterKey).toString();
    if (kept.startsWith(kPrinterPrefix))
        printer.restorePrinter(kept.mid(kPrinterPrefix.size()).toStdString());
    else if (kept != kPrinterFile)
        printer.restorePrinter(printer.defaultPrinter());
    printStatus_->setText(u8(texts::kCurrentPrinter).arg(printerCaption()));
}

void MainWindow::choosePrinter() {
    print::QtPrinter& printer = session_.printer();
    QStringList items{u8(texts::kPrintToPdf).arg(QString::fromStdString(printer.folder().path().string()))};
    std::vector<std::string> names = printer.systemPrinters();
    int current = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        items << QString::fromStdString(names[i]);
        if (names[i] == printer.printerName()) current = static_cast<int>(i) + 1;
    }
    bool ok = false;
    QString chosen = QInputDialog::getItem(this, u8(texts::kActionChoosePrinter), u8(texts::kPrinterPrompt), items,
                                           current, false, &ok);
    if (!ok) return;
    int index = static_cast<int>(items.indexOf(chosen));
    try {
        printer.choosePrinter(index <= 0 ? std::string() : names[static_cast<size_t>(index - 1)]);
    } catch (const host::HostError& e) {
        showMessage(u8(texts::kPrintFailed) + failureText(e.number(), e.what()), true);
        return;
    }
    settings().setValue(kPrinterKey, printer.printsToFile()
                                         ? kPrinterFile
                                         : kPrinterPrefix + QString::fromStdString(printer.printerName()));
    printStatus_->setText(u8(texts::kCurrentPrinter).arg(printerCaption()));
}

void MainWindow::pageSetup() {
    try {
        session_.application().showBuiltinDialog(engine::kPageSetupDialogId);
    } catch (const std::exception& e) {
        showMessage(QString::fromStdString(e.what()), true);
    }
    syncFromEngine();
}

void MainWindow::showMessage(const QString& text, bool error) {
    QMessageBox box(error ? QMessageBox::Critical : QMessageBox::Information, u8(texts::kHostCaption), text,
                    QMessageBox::Ok, this);
    box.exec();
}

// ---- Following the engine ------------------------------------------------------------------------

void MainWindow::scheduleSync() {
    if (syncScheduled_) return;
    syncScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        syncScheduled_ = false;
        syncFromEngine();
    });
}

void MainWindow::engineChanged(const engine::EngineChange& change) {
    using Kind = engine::EngineChange::Kind;
    const auto& shown = grid_->sheetModel()->sheet();
    const bool onShownSheet = shown && shown->attached() && change.sheet == &shown->model();
    switch (change.kind) {
        case Kind::Cells:
            if (!onShownSheet) return;
            grid_->sheetModel()->cellsChanged(change.area);
            if (change.area.contains(shown->model().activeCell)) showActiveCell();
            return;
        case Kind::Selection:
            // Shown once the handler that moved it has finished.
            if (!onShownSheet || selectionScheduled_) return;
            selectionScheduled_ = true;
            QTimer::singleShot(0, this, [this] {
                selectionScheduled_ = false;
                if (grid_->editing()) return;
                grid_->showEngineSelection();
                showActiveCell();
            });
            return;
        case Kind::Structure: scheduleSync(); return;
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // Esc in the formula bar lets go of what was typed there.
    if (watched == formulaBar_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        cancelFormulaBar();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::cancelFormulaBar() {
    formulaBar_->setModified(false);
    showActiveCell();
    grid_->setFocus();
}

void MainWindow::syncFromEngine() {
    if (syncing_) return;
    syncing_ = true;
    engine::EngineApplication& app = session_.application();
    auto book = app.activeEngineWorkbook();
    std::shared_ptr<engine::EngineWorksheet> sheet;
    std::vector<std::string> names;
    if (book) {
        try {
            sheet = app.activeEngineSheet();
        } catch (const std::exception&) {
        }
        for (const auto& ws : book->worksheets())
            if (ws->visible() == host::Visibility::Visible) names.push_back(ws->name());
    }
    if (book.get() != shownBook_ || names != shownSheetNames_) {
        QSignalBlocker block(sheetTabs_);
        while (sheetTabs_->count() > 0) sheetTabs_->removeTab(0);
        for (const auto& n : names) sheetTabs_->addTab(QString::fromStdString(n));
        shownSheetNames_ = names;
        shownBook_ = book.get();
    }
    if (sheet) {
        QSignalBlocker block(sheetTabs_);
        auto at = std::find(names.begin(), names.end(), sheet->name());
        if (at != names.end()) sheetTabs_->setCurrentIndex(static_cast<int>(at - names.begin()));
    }
    if (grid_->editing()) {
        // Refreshing now would put the cell's stored content back into the open editor.
        syncing_ = false;
        return;
    }
    if (sheet.get() != shownSheet_) {
        grid_->sheetModel()->setSheet(sheet);
        grid_->applySheetLayout();
        shownSheet_ = sheet.get();
    } else if (sheet) {
        // Whole-workbook changes (sheets added or renamed, a workbook opened) may have
        // recalculated anything; the grid reads again only the cells it shows.
        grid_->sheetModel()->cellsChanged();
    }
    grid_->showEngineSelection();
    showActiveCell();
    // The title marks a workbook with unsaved changes.
    setWindowTitle(book ? QString::fromStdString(book->name()) + QStringLiteral("[*] - ") + u8(texts::kHostCaption)
                        : u8(texts::kHostCaption));
    setWindowModified(book && !book->saved());
    syncing_ = false;
}

void MainWindow::showActiveCell() {
    const auto& sheet = grid_->sheetModel()->sheet();
    if (!sheet || !sheet->attached()) {
        nameBox_->clear();
        formulaBar_->clear();
        return;
    }
    const host::CellRef cell = sheet->model().activeCell;
    nameBox_->setText(QString::fromStdString(host::relativeAddress(host::Area::of(cell))));
    if (!formulaBar_->hasFocus() || !formulaBar_->isModified()) {
        formulaBar_->setText(QString::fromStdString(sheet->formula(cell)));
        formulaBar_->setModified(false);
    }
}

void MainWindow::commitFormulaBar() {
    QModelIndex current = grid_->currentIndex();
    if (!current.isValid()) return;
    grid_->model()->setData(current, formulaBar_->text(), Qt::EditRole);
    formulaBar_->setModified(false);
    grid_->setFocus();
    // Enter moves on one cell down, as in the grid.
    QModelIndex below = grid_->model()->index(current.row() + 1, current.column());
    if (below.isValid()) grid_->setCurrentIndex(below);
}

bool MainWindow::askToSaveAll() {
    for (const auto& book : session_.application().workbooks()) {
        if (book->saved()) continue;
        book->activate();
        syncFromEngine();
        if (!confirmSave(*book)) return false;
    }
    return true;
}

// Asks whether to save the changes of the active workbook when it has any: true when the
// work may go on (saved, or the changes let go), false when the user cancelled or the
// save failed.
bool MainWindow::confirmSave(host::Workbook& book) {
    if (book.saved()) return true;
    auto answer = QMessageBox::question(this, u8(texts::kHostCaption),
                                        u8(texts::kAskSave).arg(QString::fromStdString(book.name())),
                                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) return false;
    return answer != QMessageBox::Yes || saveWorkbook();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!discardOnClose_ && !askToSaveAll()) {
        event->ignore();
        return;
    }
    // The workbooks close through the engine, so that the add-in hears of it, before the
    // add-in is let go.
    for (const auto& book : session_.application().workbooks()) {
        try {
            book->close(false);
        } catch (const std::exception&) {
        }
    }
    session_.disconnectAddin();
    event->accept();
}

}  // namespace vorra::desktop
