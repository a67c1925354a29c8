#pragma once
// The grid of the desktop window: a table model over one engine worksheet (display
// texts with their number formats, fonts, alignment, column widths and row heights,
// merged cells as spans) and the view that edits it. Typed entries go to the engine as
// if typed, each one an undoable step; Enter commits and moves the selection one cell
// down; every selection the user makes reaches the engine's select(), so that the
// add-in's selection events fire.

#include <QAbstractTableModel>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/engine/host/EngineHost.h"

class QFontMetrics;
class QLineEdit;
class QMimeData;
class QUndoStack;

namespace vorra::desktop {

class SheetModel : public QAbstractTableModel {
public:
    // Whether the cell holds a number (true) or anything else (false).
    static constexpr int kNumberRole = Qt::UserRole + 1;

    explicit SheetModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    void setSheet(std::shared_ptr<engine::EngineWorksheet> sheet);
    const std::shared_ptr<engine::EngineWorksheet>& sheet() const { return sheet_; }
    // Grows the grid to hold the used area with room to spare.
    void fitToUsedArea();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Edits go through here, so that they can be undone; a refused edit reports the
    // engine's message.
    void setUndoStack(QUndoStack* stack) { undo_ = stack; }
    std::function<void(const std::string&)> onEditRefused;

    // Tells the view that the engine's cells may have changed: all of them, or those of
    // one area.
    void cellsChanged();
    void cellsChanged(const host::Area& area);

    // Writes texts as if typed into the cells from the top-left one on (rows of
    // columns), as one undoable step named `what`; cells refused (protected) are
    // reported once. Empty texts clear their cells.
    void writeBlock(int top, int left, const std::vector<std::vector<QString>>& texts, const QString& what);
    // Empties the cells of the rectangle, as one undoable step.
    void clearBlock(int top, int left, int bottom, int right, const QString& what);

private:
    std::shared_ptr<engine::EngineWorksheet> sheet_;
    int rows_ = 0;
    int columns_ = 0;
    QUndoStack* undo_ = nullptr;
};

// Column widths in characters and row heights in points as screen pixels, and back.
int columnWidthPixels(double characters);
int rowHeightPixels(double points);
double columnWidthCharacters(int pixels);
double rowHeightPoints(int pixels);

// A block of cell texts as the clipboard carries it: tab-separated lines (cells with a
// tab, a line break or a quote in quotes, quotes doubled) and an HTML table, which other
// spreadsheet programs read; and back from either.
QString blockAsTabText(const std::vector<std::vector<QString>>& block);
QString blockAsHtml(const std::vector<std::vector<QString>>& block);
std::vector<std::vector<QString>> blockFromTabText(const QString& text);
std::vector<std::vector<QString>> blockFromHtml(const QString& html);
// The block on the clipboard: the tab-separated text when there is one, else the
// HTML table; empty when neither.
std::vector<std::vector<QString>> blockFromMime(const QMimeData& data);

class GridView;

// Draws a cell as the host does: text running on into empty neighbours by its
// alignment, a number too wide for its cell as "#####", the grid lines around each
// cell but not through a text that runs over them.
class CellDelegate : public QStyledItemDelegate {
public:
    explicit CellDelegate(GridView& view);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // The editor opened last, while it is open.
    QLineEdit* lastEditor() const;
    // A number's text as its cell shows it: itself when it fits the width, else as many
    // "#" as fit (at least one).
    static QString fitNumber(const QString& text, const QFontMetrics& metrics, int width);

private:
    GridView& view_;
    mutable QPointer<QWidget> lastEditor_;
};

class GridView : public QTableView {
public:
    explicit GridView(QWidget* parent = nullptr);

    // The columns a text of the row covers, from `first` to `last`, when it runs on
    // from its own column `source` into empty neighbours.
    struct Overflow {
        int source;
        int first;
        int last;
    };
    const std::vector<Overflow>& overflowsOf(int row) const;

    // The clipboard: the selected cells as text and HTML; cut clears them after copying;
    // paste writes the clipboard's block from the current cell on; delete clears them.
    void copySelection();
    void cutSelection();
    void paste();
    void clearSelectedCells();
    // Reports a paste refused as a whole (too large).
    std::function<void(const QString&)> onRefused;

    SheetModel* sheetModel() const { return static_cast<SheetModel*>(model()); }
    // Applies the sheet's column widths, row heights and merged cells.
    void applySheetLayout();
    // Whether a cell's editor is open: the engine's state must not overwrite it then.
    bool editing() const { return state() == EditingState; }
    // Shows the engine's selection and active cell without telling the engine back.
    void showEngineSelection();

    // Called after the selection reached the engine (and the add-in may have moved it).
    std::function<void()> onSelectionDelivered;

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void deliverSelection();
    void moveDown();
    // The selection as one rectangle (0-based, inclusive); false when there is none.
    bool selectedBlock(int& top, int& left, int& bottom, int& right) const;
    // The user changed a width or height: the sheet keeps it, and the file with it.
    void storeColumnWidth(int column, int pixels);
    void storeRowHeight(int row, int pixels);

    CellDelegate* delegate_;
    bool fromEngine_ = false;
    bool delivering_ = false;
    bool applyingLayout_ = false;
    mutable std::unordered_map<int, std::vector<Overflow>> overflows_;
};

}  // namespace vorra::desktop
