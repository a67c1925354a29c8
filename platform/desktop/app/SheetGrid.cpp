#include "platform/desktop/app/SheetGrid.h"

#include <QApplication>
#include <QClipboard>
#include <QFont>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QRegularExpression>
#include <QUndoStack>
#include <algorithm>
#include <utility>

#include "addin/frame/host/HostError.h"
#include "platform/desktop/app/DesktopTexts.h"

namespace vorra::desktop {

namespace {

constexpr int kMinRows = 200;
constexpr int kMinColumns = 26;
constexpr int kSpareRows = 100;
constexpr int kSpareColumns = 10;
// The blank between a cell's edge and its text, in pixels.
constexpr int kTextPadding = 2;
// Most cells one copy, paste or clear may touch: a stray paste of a huge text must not
// stall the window.
constexpr long long kMaxBlockCells = 100000;
// How far to the left of the view a text that runs on into it is looked for.
constexpr int kOverflowReach = 8;

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
    // The engine tells the window which cells changed.
    void write() { sheet_->write(host::Area::of(cell_), host::Value::text(newText_)); }
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
double columnWidthCharacters(int pixels) { return std::max(0, pixels - 5) / 7.0; }
double rowHeightPoints(int pixels) { return pixels * 72.0 / 96.0; }

// ---- The clipboard's block of texts ------------------------------------------------------------

QString blockAsTabText(const std::vector<std::vector<QString>>& block) {
    QString out;
    for (const auto& row : block) {
        for (size_t c = 0; c < row.size(); ++c) {
            if (c > 0) out += u'\t';
            QString cell = row[c];
            if (cell.contains(u'\t') || cell.contains(u'\n') || cell.contains(u'\r') || cell.startsWith(u'"'))
                cell = u'"' + cell.replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
            out += cell;
        }
        out += u'\n';
    }
    return out;
}

QString blockAsHtml(const std::vector<std::vector<QString>>& block) {
    QString out = QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body><table>\n");
    for (const auto& row : block) {
        out += QStringLiteral("<tr>");
        for (const QString& cell : row)
            out += QStringLiteral("<td>") + cell.toHtmlEscaped().replace(u'\n', QStringLiteral("<br>")) +
                   QStringLiteral("</td>");
        out += QStringLiteral("</tr>\n");
    }
    return out + QStringLiteral("</table></body></html>");
}

std::vector<std::vector<QString>> blockFromTabText(const QString& text) {
    std::vector<std::vector<QString>> rows;
    std::vector<QString> row;
    QString field;
    bool quoted = false;
    bool fieldStart = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c != u'"') field += c;
            else if (i + 1 < text.size() && text[i + 1] == u'"') field += text[++i];
            else quoted = false;
            continue;
        }
        if (c == u'"' && fieldStart) {
            quoted = true;
            fieldStart = false;
        } else if (c == u'\t') {
            row.push_back(std::exchange(field, {}));
            fieldStart = true;
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            row.push_back(std::exchange(field, {}));
            rows.push_back(std::exchange(row, {}));
            fieldStart = true;
        } else {
            field += c;
            fieldStart = false;
        }
    }
    if (!field.isEmpty() || !row.empty()) {
        row.push_back(field);
        rows.push_back(row);
    }
    return rows;
}

namespace {

// The text of an HTML table cell: line breaks kept, tags dropped, entities decoded,
// blanks run together as a browser shows them.
QString htmlCellText(QString html) {
    static const QRegularExpression br(QStringLiteral("<br\\s*/?>"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    static const QRegularExpression blanks(QStringLiteral("[ \\t\\r\\n]+"));
    static const QRegularExpression entity(QStringLiteral("&(#x[0-9A-Fa-f]+|#[0-9]+|[A-Za-z]+);"));
    html.replace(blanks, QStringLiteral(" "));
    html.replace(br, QStringLiteral("\n"));
    html.remove(tag);
    QString out;
    qsizetype at = 0;
    for (auto it = entity.globalMatch(html); it.hasNext();) {
        auto m = it.next();
        out += html.mid(at, m.capturedStart() - at);
        const QString name = m.captured(1);
        char32_t code = 0;
        if (name.startsWith(QStringLiteral("#x"), Qt::CaseInsensitive)) code = name.mid(2).toUInt(nullptr, 16);
        else if (name.startsWith(u'#')) code = name.mid(1).toUInt();
        else if (name == QStringLiteral("amp")) code = u'&';
        else if (name == QStringLiteral("lt")) code = u'<';
        else if (name == QStringLiteral("gt")) code = u'>';
        else if (name == QStringLiteral("quot")) code = u'"';
        else if (name == QStringLiteral("apos")) code = u'\'';
        else if (name == QStringLiteral("nbsp")) code = u' ';
        if (code > 0 && code <= 0x10FFFF) out += QString::fromUcs4(&code, 1);
        else out += m.captured(0);
        at = m.capturedEnd();
    }
    out += html.mid(at);
    // Blanks around the text and its line breaks are layout, not content.
    QStringList lines = out.split(u'\n');
    for (QString& l : lines) l = l.trimmed();
    return lines.join(u'\n');
}

}  // namespace

std::vector<std::vector<QString>> blockFromHtml(const QString& html) {
    static const QRegularExpression table(QStringLiteral("<table[^>]*>(.*?)</table>"),
                                          QRegularExpression::CaseInsensitiveOption |
                                              QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tr(QStringLiteral("<tr[^>]*>(.*?)</tr>"),
                                       QRegularExpression::CaseInsensitiveOption |
                                           QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression td(QStringLiteral("<t[dh][^>]*>(.*?)</t[dh]>"),
                                       QRegularExpression::CaseInsensitiveOption |
                                           QRegularExpression::DotMatchesEverythingOption);
    std::vector<std::vector<QString>> rows;
    auto t = table.match(html);
    if (!t.hasMatch()) return rows;
    const QString body = t.captured(1);
    for (auto r = tr.globalMatch(body); r.hasNext();) {
        std::vector<QString> row;
        const QString cells = r.next().captured(1);
        for (auto c = td.globalMatch(cells); c.hasNext();) row.push_back(htmlCellText(c.next().captured(1)));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<std::vector<QString>> blockFromMime(const QMimeData& data) {
    if (data.hasText() && !data.text().isEmpty()) return blockFromTabText(data.text());
    if (data.hasHtml()) return blockFromHtml(data.html());
    return {};
}

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

void SheetModel::cellsChanged(const host::Area& area) {
    fitToUsedArea();
    int bottom = std::min(area.bottom, rows_), right = std::min(area.right, columns_);
    if (area.top > bottom || area.left > right) return;
    emit dataChanged(index(area.top - 1, area.left - 1), index(bottom - 1, right - 1));
}

void SheetModel::writeBlock(int top, int left, const std::vector<std::vector<QString>>& texts, const QString& what) {
    if (!sheet_ || !sheet_->attached()) return;
    std::vector<std::unique_ptr<CellEdit>> done;
    std::string refused;
    for (size_t i = 0; i < texts.size(); ++i)
        for (size_t j = 0; j < texts[i].size(); ++j) {
            const host::CellRef cell{top + static_cast<int>(i) + 1, left + static_cast<int>(j) + 1};
            if (cell.row > host::kMaxRows || cell.column > host::kMaxColumns) continue;
            const std::string text = texts[i][j].toStdString();
            try {
                if (sheet_->formula(cell) == text) continue;
                auto edit = std::make_unique<CellEdit>(sheet_, cell, text, *this);
                edit->write();
                done.push_back(std::move(edit));
            } catch (const host::HostError& e) {
                if (refused.empty()) refused = e.what();
            }
        }
    if (undo_ && !done.empty()) {
        undo_->beginMacro(what);
        for (auto& edit : done) {
            edit->markPushing();
            undo_->push(edit.release());
        }
        undo_->endMacro();
    }
    if (!refused.empty() && onEditRefused) onEditRefused(refused);
}

void SheetModel::clearBlock(int top, int left, int bottom, int right, const QString& what) {
    std::vector<std::vector<QString>> empty(static_cast<size_t>(bottom - top + 1),
                                            std::vector<QString>(static_cast<size_t>(right - left + 1)));
    writeBlock(top, left, empty, what);
}

int SheetModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }
int SheetModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : columns_; }

QVariant SheetModel::data(const QModelIndex& index, int role) const {
    if (!sheet_ || !sheet_->attached() || !index.isValid()) return {};
    const host::CellRef cell = cellOf(index);
    try {
        switch (role) {
            case Qt::DisplayRole: return QString::fromStdString(sheet_->displayText(cell));
            case kNumberRole: {
                const engine::Cell* c = sheet_->model().cells.find(cell);
                return c && c->value.isNumber();
            }
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

// ---- Drawing the cells -----------------------------------------------------------------------

CellDelegate::CellDelegate(GridView& view) : QStyledItemDelegate(&view), view_(view) {}

QWidget* CellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    lastEditor_ = editor;
    return editor;
}

QString CellDelegate::fitNumber(const QString& text, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(text) <= width) return text;
    return QString(std::max(1, width / std::max(1, metrics.horizontalAdvance(u'#'))), u'#');
}

QLineEdit* CellDelegate::lastEditor() const { return qobject_cast<QLineEdit*>(lastEditor_.data()); }

void CellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    // Background, selection and focus as the style draws them; the text is ours.
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    const int column = index.column();
    const auto& overflows = view_.overflowsOf(index.row());
    const QRect r = opt.rect;
    painter->save();
    painter->setPen(QColor(static_cast<QRgb>(style->styleHint(QStyle::SH_Table_GridLineColor, &opt, widget))));
    painter->drawLine(r.bottomLeft(), r.bottomRight());
    const bool rightCovered = std::any_of(overflows.begin(), overflows.end(), [&](const GridView::Overflow& o) {
        return o.first <= column && column < o.last;
    });
    if (!rightCovered) painter->drawLine(r.topRight(), r.bottomRight());
    painter->restore();
    if (text.isEmpty()) return;

    const QFontMetrics fm(opt.font);
    const QRect inner = r.adjusted(kTextPadding, 0, -kTextPadding, -1);
    const Qt::Alignment align = opt.displayAlignment;
    QString shown = text;
    QRect clip = r;
    QRect place = inner;
    if (index.data(SheetModel::kNumberRole).toBool()) {
        // A number is never cut: it shows as "#####" when it does not fit.
        shown = fitNumber(text, fm, inner.width());
    } else {
        for (const GridView::Overflow& o : overflows) {
            if (o.source != column) continue;
            const int left = view_.columnViewportPosition(o.first);
            const int right = view_.columnViewportPosition(o.last) + view_.columnWidth(o.last) - 1;
            clip = QRect(QPoint(left, r.top()), QPoint(right, r.bottom()));
            const int need = fm.horizontalAdvance(text);
            if (align & Qt::AlignRight) place = QRect(inner.right() - need + 1, inner.top(), need, inner.height());
            else if (align & Qt::AlignHCenter)
                place = QRect(inner.center().x() - need / 2, inner.top(), need, inner.height());
            else place = QRect(inner.left(), inner.top(), need, inner.height());
        }
    }
    painter->save();
    painter->setClipRect(clip, Qt::IntersectClip);
    painter->setFont(opt.font);
    const bool selected = opt.state & QStyle::State_Selected;
    painter->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(place, static_cast<int>(align), shown);
    painter->restore();
}

// ---- View ------------------------------------------------------------------------------------

GridView::GridView(QWidget* parent) : QTableView(parent), delegate_(new CellDelegate(*this)) {
    setObjectName(QStringLiteral("grid"));
    setModel(new SheetModel(this));
    setItemDelegate(delegate_);
    // The delegate draws the grid lines, so that a text running on hides them.
    setShowGrid(false);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    horizontalHeader()->setDefaultSectionSize(columnWidthPixels(8.38));
    verticalHeader()->setDefaultSectionSize(rowHeightPixels(13.5));
    verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int size) {
        if (!applyingLayout_) storeColumnWidth(column, size);
    });
    connect(verticalHeader(), &QHeaderView::sectionResized, this, [this](int row, int, int size) {
        if (!applyingLayout_) storeRowHeight(row, size);
    });
}

void GridView::storeColumnWidth(int column, int pixels) {
    const auto& sheet = sheetModel()->sheet();
    if (!sheet || !sheet->attached() || pixels <= 0) return;
    sheet->model().columns[column + 1].width = columnWidthCharacters(pixels);
    sheet->book().markChanged();
}

void GridView::storeRowHeight(int row, int pixels) {
    const auto& sheet = sheetModel()->sheet();
    if (!sheet || !sheet->attached() || pixels <= 0) return;
    sheet->model().rows[row + 1].height = rowHeightPoints(pixels);
    sheet->book().markChanged();
}

void GridView::paintEvent(QPaintEvent* event) {
    overflows_.clear();
    QTableView::paintEvent(event);
}

const std::vector<GridView::Overflow>& GridView::overflowsOf(int row) const {
    if (auto it = overflows_.find(row); it != overflows_.end()) return it->second;
    std::vector<Overflow> found;
    const QAbstractItemModel* m = model();
    const int columns = m->columnCount();
    auto single = [&](int c) { return rowSpan(row, c) == 1 && columnSpan(row, c) == 1; };
    auto empty = [&](int c) {
        return c >= 0 && c < columns && !isColumnHidden(c) && single(c) &&
               m->data(m->index(row, c), Qt::DisplayRole).toString().isEmpty();
    };
    int first = columnAt(0), last = columnAt(viewport()->width() - 1);
    first = std::max(0, (first < 0 ? 0 : first) - kOverflowReach);
    if (last < 0) last = columns - 1;
    for (int c = first; c <= last; ++c) {
        const QModelIndex i = m->index(row, c);
        const QString text = i.data(Qt::DisplayRole).toString();
        if (text.isEmpty() || isColumnHidden(c) || !single(c) || i.data(SheetModel::kNumberRole).toBool()) continue;
        const QVariant f = i.data(Qt::FontRole);
        const QFontMetrics fm(f.isValid() ? f.value<QFont>() : font());
        const int need = fm.horizontalAdvance(text) + 2 * kTextPadding;
        int have = columnWidth(c);
        if (need <= have) continue;
        const auto h = Qt::Alignment(i.data(Qt::TextAlignmentRole).toInt()) & Qt::AlignHorizontal_Mask;
        int lo = c, hi = c;
        auto growLeft = [&] { return empty(lo - 1) ? (have += columnWidth(--lo), true) : false; };
        auto growRight = [&] { return empty(hi + 1) ? (have += columnWidth(++hi), true) : false; };
        if (h & Qt::AlignRight) {
            while (have < need && growLeft()) {}
        } else if (h & Qt::AlignHCenter) {
            while (have < need) {
                bool grew = growLeft();
                if (have < need) grew = growRight() || grew;
                if (!grew) break;
            }
        } else {
            while (have < need && growRight()) {}
        }
        if (lo != hi) found.push_back({c, lo, hi});
    }
    return overflows_.emplace(row, std::move(found)).first->second;
}

bool GridView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (!QTableView::edit(index, trigger, event)) return false;
    // F2 and a double click go on at the end of what the cell holds; typing replaces it.
    if (trigger == EditKeyPressed || trigger == DoubleClicked)
        if (QLineEdit* editor = delegate_->lastEditor()) {
            editor->deselect();
            editor->end(false);
        }
    return true;
}

bool GridView::selectedBlock(int& top, int& left, int& bottom, int& right) const {
    const QModelIndex current = currentIndex();
    if (!current.isValid()) return false;
    top = bottom = current.row();
    left = right = current.column();
    for (const QItemSelectionRange& r : selectionModel()->selection())
        if (r.contains(current)) {
            top = r.top(), left = r.left(), bottom = r.bottom(), right = r.right();
        }
    return true;
}

void GridView::copySelection() {
    int top, left, bottom, right;
    if (!selectedBlock(top, left, bottom, right)) return;
    if (static_cast<long long>(bottom - top + 1) * (right - left + 1) > kMaxBlockCells) {
        if (onRefused) onRefused(QString::fromUtf8(texts::kTooManyCells).arg(kMaxBlockCells));
        return;
    }
    std::vector<std::vector<QString>> block;
    for (int r = top; r <= bottom; ++r) {
        std::vector<QString> row;
        for (int c = left; c <= right; ++c) row.push_back(model()->index(r, c).data(Qt::DisplayRole).toString());
        block.push_back(std::move(row));
    }
    auto* mime = new QMimeData;
    mime->setText(blockAsTabText(block));
    mime->setHtml(blockAsHtml(block));
    QGuiApplication::clipboard()->setMimeData(mime);
}

void GridView::cutSelection() {
    int top, left, bottom, right;
    if (!selectedBlock(top, left, bottom, right)) return;
    copySelection();
    sheetModel()->clearBlock(top, left, bottom, right, QString::fromUtf8(texts::kUndoCut));
}

void GridView::clearSelectedCells() {
    int top, left, bottom, right;
    if (!selectedBlock(top, left, bottom, right)) return;
    if (static_cast<long long>(bottom - top + 1) * (right - left + 1) > kMaxBlockCells) {
        if (onRefused) onRefused(QString::fromUtf8(texts::kTooManyCells).arg(kMaxBlockCells));
        return;
    }
    sheetModel()->clearBlock(top, left, bottom, right, QString::fromUtf8(texts::kUndoClear));
}

void GridView::paste() {
    const QModelIndex current = currentIndex();
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (!current.isValid() || !mime) return;
    const auto block = blockFromMime(*mime);
    size_t width = 0;
    long long cells = 0;
    for (const auto& row : block) {
        width = std::max(width, row.size());
        cells += static_cast<long long>(row.size());
    }
    if (block.empty() || width == 0) return;
    if (cells > kMaxBlockCells) {
        if (onRefused) onRefused(QString::fromUtf8(texts::kTooManyCells).arg(kMaxBlockCells));
        return;
    }
    sheetModel()->writeBlock(current.row(), current.column(), block, QString::fromUtf8(texts::kUndoPaste));
    // The pasted cells become the selection, as far as the grid reaches.
    const int bottom = std::min(current.row() + static_cast<int>(block.size()), model()->rowCount()) - 1;
    const int right = std::min(current.column() + static_cast<int>(width), model()->columnCount()) - 1;
    selectionModel()->select(QItemSelection(current, model()->index(bottom, right)), QItemSelectionModel::ClearAndSelect);
}

void GridView::applySheetLayout() {
    applyingLayout_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{applyingLayout_};
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
    if (state() != EditingState) {
        if (event->key() == Qt::Key_Delete) return clearSelectedCells();
        if (event->matches(QKeySequence::Copy)) return copySelection();
        if (event->matches(QKeySequence::Cut)) return cutSelection();
        if (event->matches(QKeySequence::Paste)) return paste();
    }
    QTableView::keyPressEvent(event);
}

}  // namespace vorra::desktop
