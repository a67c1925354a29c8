#include "platform/desktop/app/SheetGrid.h"

#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QUndoStack>
#include <algorithm>
#include <utility>

#include "addin/frame/host/HostError.h"

namespace vorra::desktop {

namespace {

constexpr int kMinRows = 200;
constexpr int kMinColumns = 26;
constexpr int kSpareRows = 100;
constexpr int kSpareColumns = 10;

host::CellRef cellOf(const QModelIndex& index) { return {index.row() + 1, index.column() + 1}; }

// The host's first sixteen palette colours by colour index; others show as black.
QColor paletteColor(int index) {
    static const QRgb kColors[] = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00,
                                   0xFF00FF, 0x00FFFF, 0x800000, 0x008000, 0x000080, 0x808000,
                                   0x800080, 0x008080, 0xC0C0C0, 0x808080};
    if (index >= 1 && index <= 16) return QColor(kColors[index - 1]);
    return QColor(Qt::black);
}

// Writes one cell's content back as it was: its formula, or its value unchanged.
class CellEdit : public QUndoCommand {
public:
    CellEdit(std::shared_ptr<engine::EngineWorksheet> sheet, host::CellRef cell, std::string text,
             SheetModel& model)
        : sheet_(std::move(sheet)), cell_(cell), newText_(std::move(text)), model_(model) {
        oldFormula_ = sheet_->model().cells.find(cell_) && sheet_->model().cells.find(cell_)->hasFormula()
                          ? sheet_->formula(cell_)
                          : std::string();
        oldValue_ = sheet_->read(host::Area::of(cell_)).scalar();
        setText(QString::fromStdString(host::absoluteAddress(host::Area::of(cell_))));
    }
    // Writes the entry; a refused write throws before the step reaches the undo stack.
    void write() {
        sheet_->write(host::Area::of(cell_), host::Value::text(newText_));
        model_.cellsChanged();
    }
    void redo() override {
        // The stack runs redo() when the step is pushed, after write() did the work.
        if (std::exchange(pushing_, false)) return;
        try {
            write();
        } catch (const host::HostError& e) {
            if (model_.onEditRefused) model_.onEditRefused(e.what());
        }
    }
    void markPushing() { pushing_ = true; }
    void undo() override {
        try {
            if (!oldFormula_.empty()) {
                sheet_->write(host::Area::of(cell_), host::Value::text(oldFormula_));
            } else {
                host::Array2D one(1, 1);
                one.at(1, 1) = oldValue_;
                sheet_->writeValues(host::Area::of(cell_), one);
            }
        } catch (const host::HostError& e) {
            if (model_.onEditRefused) model_.onEditRefused(e.what());
        }
        model_.cellsChanged();
    }

private:
    std::shared_ptr<engine::EngineWorksheet> sheet_;
    host::CellRef cell_;
    std::string newText_;
    std::string oldFormula_;
    host::Value oldValue_;
    SheetModel& model_;
    bool pushing_ = false;
};

}  // namespace

int columnWidthPixels(double characters) { return static_cast<int>(characters * 7 + 5 + 0.5); }
int rowHeightPixels(double points) { return static_cast<int>(points * 96.0 / 72.0 + 0.5); }

// ---- Model -----------------------------------------------------------------------------------

void SheetModel::setSheet(std::shared_ptr<engine::EngineWorksheet> sheet) {
    beginResetModel();
    sheet_ = std::move(sheet);
    rows_ = kMinRows;
    columns_ = kMinColumns;
    if (sheet_) {
        host::Area used = sheet_->usedArea();
        rows_ = std::max(rows_, used.bottom + kSpareRows);
        columns_ = std::max(columns_, used.right + kSpareColumns);
    }
    endResetModel();
}

void SheetModel::fitToUsedArea() {
    if (!sheet_ || !sheet_->attached()) return;
    host::Area used = sheet_->usedArea();
    int rows = std::max(rows_, used.bottom + kSpareRows);
    int columns = std::max(columns_, used.right + kSpareColumns);
    if (rows > rows_) {
        beginInsertRows({}, rows_, rows - 1);
        rows_ = rows;
        endInsertRows();
    }
    if (columns > columns_) {
        beginInsertColumns({}, columns_, columns - 1);
        columns_ = columns;
        endInsertColumns();
    }
}

void SheetModel::cellsChanged() {
    fitToUsedArea();
    if (rows_ > 0 && columns_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, columns_ - 1));
}

int SheetModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }
int SheetModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : columns_; }

QVariant SheetModel::data(const QModelIndex& index, int role) const {
    if (!sheet_ || !sheet_->attached() || !index.isValid()) return {};
    const host::CellRef cell = cellOf(index);
    try {
        switch (role) {
            case Qt::DisplayRole: return QString::fromStdString(sheet_->displayText(cell));
            case Qt::EditRole: return QString::fromStdString(sheet_->formula(cell));
            case Qt::FontRole:
            case Qt::ForegroundRole:
            case Qt::TextAlignmentRole: {
                const auto& styles = sheet_->book().model().styles;
                const engine::CellFormat& format = styles.format(sheet_->effectiveStyle(cell));
                const engine::Font& font = styles.font(format.fontId);
                if (role == Qt::FontRole) {
                    QFont f(QString::fromStdString(font.name));
                    f.setPointSizeF(font.size > 0 ? font.size : 11);
                    f.setBold(font.bold);
                    f.setItalic(font.italic);
                    f.setUnderline(font.underline);
                    f.setStrikeOut(font.strike);
                    return f;
                }
                if (role == Qt::ForegroundRole) return paletteColor(font.colorIndex);
                Qt::Alignment v = format.vAlign == engine::VAlign::Top      ? Qt::AlignTop
                                  : format.vAlign == engine::VAlign::Center ? Qt::AlignVCenter
                                                                            : Qt::AlignBottom;
                Qt::Alignment h = Qt::AlignLeft;
                switch (format.hAlign) {
                    case engine::HAlign::Center:
                    case engine::HAlign::CenterContinuous:
                    case engine::HAlign::Distributed: h = Qt::AlignHCenter; break;
                    case engine::HAlign::Right: h = Qt::AlignRight; break;
                    case engine::HAlign::General: {
                        // Numbers stand right, texts left.
                        const engine::Cell* c = sheet_->model().cells.find(cell);
                        if (c && c->value.isNumber()) h = Qt::AlignRight;
                        break;
                    }
                    default: break;
                }
                return QVariant::fromValue(h | v);
            }
            default: return {};
        }
    } catch (const std::exception&) {
        return {};
    }
}

QVariant SheetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical) return section + 1;
    return QString::fromStdString(host::columnLetters(section + 1));
}

Qt::ItemFlags SheetModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

bool SheetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!sheet_ || !index.isValid() || role != Qt::EditRole) return false;
    const std::string text = value.toString().toStdString();
    try {
        if (sheet_->formula(cellOf(index)) == text) return true;
        auto edit = std::make_unique<CellEdit>(sheet_, cellOf(index), text, *this);
        edit->write();
        if (undo_) {
            edit->markPushing();
            undo_->push(edit.release());
        }
        return true;
    } catch (const host::HostError& e) {
        if (onEditRefused) onEditRefused(e.what());
        return false;
    }
}

// ---- View ------------------------------------------------------------------------------------

GridView::GridView(QWidget* parent) : QTableView(parent) {
    setObjectName(QStringLiteral("grid"));
    setModel(new SheetModel(this));
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    horizontalHeader()->setDefaultSectionSize(columnWidthPixels(8.38));
    verticalHeader()->setDefaultSectionSize(rowHeightPixels(13.5));
    verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
}

void GridView::applySheetLayout() {
    clearSpans();
    const auto& sheet = sheetModel()->sheet();
    if (!sheet || !sheet->attached()) return;
    const engine::Sheet& s = sheet->model();
    horizontalHeader()->setDefaultSectionSize(columnWidthPixels(s.defaultColumnWidth));
    verticalHeader()->setDefaultSectionSize(rowHeightPixels(s.defaultRowHeight));
    for (int c = 0; c < model()->columnCount(); ++c) {
        auto it = s.columns.find(c + 1);
        setColumnHidden(c, it != s.columns.end() && it->second.hidden);
        setColumnWidth(c, columnWidthPixels(it != s.columns.end() && it->second.width >= 0 ? it->second.width
                                                                                           : s.defaultColumnWidth));
    }
    for (const auto& [row, info] : s.rows) {
        if (row - 1 >= model()->rowCount()) break;
        setRowHidden(row - 1, info.hidden);
        if (info.height >= 0) setRowHeight(row - 1, rowHeightPixels(info.height));
    }
    for (const host::Area& m : s.merges)
        if (m.rows() > 1 || m.columns() > 1) setSpan(m.top - 1, m.left - 1, m.rows(), m.columns());
}

void GridView::showEngineSelection() {
    const auto& sheet = sheetModel()->sheet();
    if (!sheet || !sheet->attached()) return;
    const engine::Sheet& s = sheet->model();
    QModelIndex active = model()->index(s.activeCell.row - 1, s.activeCell.column - 1);
    QModelIndex topLeft = model()->index(s.selection.top - 1, s.selection.left - 1);
    QModelIndex bottomRight = model()->index(std::min(s.selection.bottom, model()->rowCount()) - 1,
                                             std::min(s.selection.right, model()->columnCount()) - 1);
    if (!active.isValid()) return;
    bool sameCurrent = currentIndex() == active;
    QItemSelection wanted(topLeft, bottomRight);
    bool sameSelection = selectionModel()->selection().count() == 1 &&
                         selectionModel()->selection().first() == wanted.first();
    if (sameCurrent && sameSelection) return;
    fromEngine_ = true;
    selectionModel()->setCurrentIndex(active, QItemSelectionModel::NoUpdate);
    selectionModel()->select(wanted, QItemSelectionModel::ClearAndSelect);
    scrollTo(active);
    fromEngine_ = false;
}

void GridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    deliverSelection();
}

void GridView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    QTableView::selectionChanged(selected, deselected);
    deliverSelection();
}

void GridView::deliverSelection() {
    if (fromEngine_ || delivering_) return;
    const auto& sheet = sheetModel()->sheet();
    QModelIndex current = currentIndex();
    if (!sheet || !sheet->attached() || !current.isValid()) return;
    // The selection as one area around the active cell.
    host::Area area = host::Area::of(cellOf(current));
    for (const QItemSelectionRange& r : selectionModel()->selection())
        if (r.contains(current))
            area = {r.top() + 1, r.left() + 1, r.bottom() + 1, r.right() + 1};
    delivering_ = true;
    try {
        sheet->select(area, cellOf(current));
    } catch (const std::exception&) {
    }
    delivering_ = false;
    // The add-in may have moved the selection on.
    showEngineSelection();
    if (onSelectionDelivered) onSelectionDelivered();
}

void GridView::moveDown() {
    QModelIndex current = currentIndex();
    if (!current.isValid()) return;
    int row = current.row() + rowSpan(current.row(), current.column());
    if (row >= model()->rowCount()) return;
    setCurrentIndex(model()->index(row, current.column()));
}

void GridView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    // Enter in the editor commits (the delegate asks to submit) and moves one cell down.
    const bool enter = hint == QAbstractItemDelegate::SubmitModelCache;
    QTableView::closeEditor(editor, enter ? QAbstractItemDelegate::NoHint : hint);
    if (enter) moveDown();
}

void GridView::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && state() != EditingState) {
        moveDown();
        return;
    }
    if (event->key() == Qt::Key_Delete && state() != EditingState) {
        for (const QModelIndex& i : selectionModel()->selectedIndexes())
            if (!model()->data(i, Qt::EditRole).toString().isEmpty()) model()->setData(i, QString(), Qt::EditRole);
        return;
    }
    QTableView::keyPressEvent(event);
}

}  // namespace vorra::desktop
