#pragma once
// The grid of the desktop window: a table model over one engine worksheet (display
// texts with their number formats, fonts, alignment, column widths and row heights,
// merged cells as spans) and the view that edits it. Typed entries go to the engine as
// if typed, each one an undoable step; Enter commits and moves the selection one cell
// down; every selection the user makes reaches the engine's select(), so that the
// add-in's selection events fire.

#include <QAbstractTableModel>
#include <QTableView>
#include <functional>
#include <memory>

#include "platform/engine/host/EngineHost.h"

class QUndoStack;

namespace vorra::desktop {

class SheetModel : public QAbstractTableModel {
public:
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

    // Tells the view that the engine's cells may have changed.
    void cellsChanged();

private:
    std::shared_ptr<engine::EngineWorksheet> sheet_;
    int rows_ = 0;
    int columns_ = 0;
    QUndoStack* undo_ = nullptr;
};

// Column widths in characters and row heights in points as screen pixels.
int columnWidthPixels(double characters);
int rowHeightPixels(double points);

class GridView : public QTableView {
public:
    explicit GridView(QWidget* parent = nullptr);

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
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void deliverSelection();
    void moveDown();

    bool fromEngine_ = false;
    bool delivering_ = false;
};

}  // namespace vorra::desktop
