#include "platform/desktop/toolkit/ControlViews.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QTreeWidget>

#include "platform/desktop/toolkit/FormWindow.h"
#include "platform/desktop/toolkit/KeyCodes.h"

namespace vorra::desktop {

using namespace vorra::dialogs;

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// Byte offset into a UTF-8 text as a character position of the same text in Qt.
int charPosition(const std::string& text, int byteOffset) {
    auto n = static_cast<size_t>(std::clamp(byteOffset, 0, static_cast<int>(text.size())));
    return static_cast<int>(QString::fromUtf8(text.data(), static_cast<qsizetype>(n)).size());
}

}  // namespace

// ---- Base ----------------------------------------------------------------------------------

ControlView::ControlView(Control& control, FormWindow& window) : window_(window), control_(control) {}
ControlView::~ControlView() = default;

bool ControlView::eventFilter(QObject*, QEvent* event) {
    // Once the form has unloaded, its controls may be gone: the widget is on its own.
    if (!window_.form()) return false;
    // A widget that takes the focus (clicked, tabbed to) makes its control the form's
    // active control, so that a handler that then gives another control the focus
    // (an option button's Click puts it into the search box) moves it there.
    if (event->type() == QEvent::FocusIn && !control_.hasFocus()) act([&] { control_.setFocus(); });
    return filter(event);
}

bool ControlView::formLoaded() const { return window_.form() && window_.form()->loaded(); }

bool ControlView::act(const std::function<void()>& action) { return window_.act(action, control_.name()); }

bool ControlView::keyDown(QEvent* event, const std::function<int(int, int)>& raiseKeyDown) {
    auto* key = static_cast<QKeyEvent*>(event);
    HostKey k = hostKey(*key);
    if (k.code == 0) return false;
    int result = k.code;
    // The control that receives keys holds the focus, also when the window system has
    // not activated the window yet.
    if (!act([&] {
            if (!control_.hasFocus()) control_.setFocus();
            result = raiseKeyDown(k.code, k.shift);
        }))
        return true;
    return result == 0;
}

void ControlView::keyUp(QEvent* event, const std::function<void(int, int)>& raiseKeyUp) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->isAutoRepeat()) return;
    HostKey k = hostKey(*key);
    if (k.code == 0) return;
    act([&] { raiseKeyUp(k.code, k.shift); });
}

void ControlView::refresh() {
    QWidget* w = widget();
    w->setGeometry(window_.toPixels(control_.left()), window_.toPixels(control_.top()),
                   std::max(1, window_.toPixels(control_.width())),
                   std::max(1, window_.toPixels(control_.height())));
    w->setHidden(!control_.visible());
    w->setEnabled(control_.enabled());
    w->setToolTip(qs(control_.tipText()));
    QPalette palette = w->parentWidget() ? w->parentWidget()->palette() : QApplication::palette();
    if (QColor c = hostColor(control_.foreColor()); c.isValid()) {
        palette.setColor(QPalette::WindowText, c);
        palette.setColor(QPalette::Text, c);
        palette.setColor(QPalette::ButtonText, c);
    }
    w->setPalette(palette);
    refreshKind();
}

namespace {

// ---- Label and image: clickable pictures of text -------------------------------------------

class LabelView final : public ControlView {
public:
    LabelView(Label& label, FormWindow& window, QWidget* parent)
        : ControlView(label, window), label_(label), widget_(new QLabel(parent)) {
        widget_->setWordWrap(true);
        widget_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        widget_->installEventFilter(this);
    }
    QWidget* widget() const override { return widget_; }

protected:
    void refreshKind() override { widget_->setText(qs(label_.caption())); }
    bool filter(QEvent* event) override {
        // The press stays with the label, so that it does not reach the form's body.
        if (event->type() == QEvent::MouseButtonPress) return true;
        if (event->type() == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && widget_->rect().contains(mouse->position().toPoint()))
                act([&] { label_.userClick(); });
            return true;
        }
        return false;
    }

private:
    Label& label_;
    QLabel* widget_;
};

class ImageView final : public ControlView {
public:
    ImageView(Image& image, FormWindow& window, QWidget* parent)
        : ControlView(image, window), image_(image), widget_(new QLabel(parent)) {
        widget_->setScaledContents(true);
        widget_->installEventFilter(this);
    }
    QWidget* widget() const override { return widget_; }

protected:
    void refreshKind() override {
        if (image_.picture() == shown_) return;
        shown_ = image_.picture();
        widget_->setPixmap(shown_.empty() ? QPixmap() : QPixmap(qs(shown_)));
    }
    bool filter(QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            int button = hostButton(mouse->button());
            QPointF at = mouse->position();
            act([&] {
                image_.form().raise(image_.onMouseDown, button, hostShift(mouse->modifiers()),
                                    window_.toUnits(static_cast<int>(at.x())),
                                    window_.toUnits(static_cast<int>(at.y())));
            });
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && widget_->rect().contains(mouse->position().toPoint()))
                act([&] { image_.userClick(); });
            return true;
        }
        return false;
    }

private:
    Image& image_;
    QLabel* widget_;
    std::string shown_;
};

class FrameView final : public ControlView {
public:
    FrameView(Frame& frame, FormWindow& window, QWidget* parent)
        : ControlView(frame, window), frame_(frame), widget_(new QGroupBox(parent)) {}
    QWidget* widget() const override { return widget_; }
    QWidget* container() const override { return widget_; }

protected:
    void refreshKind() override { widget_->setTitle(qs(frame_.caption())); }

private:
    Frame& frame_;
    QGroupBox* widget_;
};

// ---- Buttons -------------------------------------------------------------------------------

class CommandButtonView final : public ControlView {
public:
    CommandButtonView(CommandButton& button, FormWindow& window, QWidget* parent)
        : ControlView(button, window), button_(button), widget_(new QPushButton(parent)) {
        widget_->setAutoDefault(false);
        QObject::connect(widget_, &QPushButton::clicked, this, [this] { act([&] { button_.userClick(); }); });
    }
    QWidget* widget() const override { return widget_; }

protected:
    void refreshKind() override { widget_->setText(qs(button_.caption())); }

private:
    CommandButton& button_;
    QPushButton* widget_;
};

class CheckBoxView final : public ControlView {
public:
    CheckBoxView(CheckBox& box, FormWindow& window, QWidget* parent)
        : ControlView(box, window), box_(box), widget_(new QCheckBox(parent)) {
        QObject::connect(widget_, &QCheckBox::clicked, this, [this] {
            act([&] { box_.userClick(); });
            if (formLoaded()) refresh();
        });
    }
    QWidget* widget() const override { return widget_; }

protected:
    void refreshKind() override {
        QSignalBlocker block(widget_);
        widget_->setText(qs(box_.caption()));
        widget_->setChecked(box_.value());
    }

private:
    CheckBox& box_;
    QCheckBox* widget_;
};

class OptionButtonView final : public ControlView {
public:
    OptionButtonView(OptionButton& button, FormWindow& window, QWidget* parent)
        : ControlView(button, window), button_(button), widget_(new QRadioButton(parent)) {
        // The state decides which button of a group is on, not Qt's grouping.
        widget_->setAutoExclusive(false);
        QObject::connect(widget_, &QRadioButton::clicked, this, [this] {
            act([&] { button_.userClick(); });
            if (formLoaded()) refresh();
        });
    }
    QWidget* widget() const override { return widget_; }

protected:
    void refreshKind() override {
        QSignalBlocker block(widget_);
        widget_->setText(qs(button_.caption()));
        widget_->setChecked(button_.value());
    }

private:
    OptionButton& button_;
    QRadioButton* widget_;
};

// ---- Text box ------------------------------------------------------------------------------

class TextBoxView final : public ControlView {
public:
    TextBoxView(TextBox& box, FormWindow& window, QWidget* parent)
        : ControlView(box, window), box_(box), widget_(new QLineEdit(parent)) {
        widget_->installEventFilter(this);
        QObject::connect(widget_, &QLineEdit::textEdited, this, [this](const QString& text) {
            act([&] { box_.userEdit(text.toStdString()); });
        });
    }
    QWidget* widget() const override { return widget_; }

protected:
    void refreshKind() override {
        QSignalBlocker block(widget_);
        QString text = qs(box_.text());
        if (widget_->text() != text) widget_->setText(text);
        widget_->setReadOnly(box_.locked());
        widget_->setEchoMode(box_.passwordChar() ? QLineEdit::Password : QLineEdit::Normal);
    }
    bool filter(QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress:
                return keyDown(event, [this](int code, int s) { return box_.userKeyDown(code, s); });
            case QEvent::KeyRelease:
                keyUp(event, [this](int code, int s) { box_.userKeyUp(code, s); });
                return false;
            case QEvent::InputMethod: return composedText(event);
            case QEvent::MouseButtonDblClick:
                act([&] { box_.form().raise(box_.onDblClick); });
                return false;
            default: return false;
        }
    }

private:
    // Characters an input method composes arrive without key events: KeyDown with the
    // input method's code before the edit, KeyUp after it, as a keyboard delivers them.
    bool composedText(QEvent* event) {
        auto* im = static_cast<QInputMethodEvent*>(event);
        if (im->commitString().isEmpty()) return false;
        int code = key::kProcessKey;
        if (!act([&] { code = box_.userKeyDown(code, shift::kNone); })) return true;
        QTimer::singleShot(0, this, [this] { act([&] { box_.userKeyUp(key::kProcessKey, shift::kNone); }); });
        return code == 0;
    }

    TextBox& box_;
    QLineEdit* widget_;
};

// ---- Combo box -----------------------------------------------------------------------------

class ComboBoxView final : public ControlView {
public:
    ComboBoxView(ComboBox& box, FormWindow& window, QWidget* parent)
        : ControlView(box, window), box_(box), widget_(new QComboBox(parent)) {
        widget_->setEditable(true);
        widget_->setInsertPolicy(QComboBox::NoInsert);
        widget_->setCompleter(nullptr);  // completion follows the control's own rule
        widget_->setMaxVisibleItems(15);
        widget_->installEventFilter(this);
        QObject::connect(widget_->lineEdit(), &QLineEdit::textEdited, this,
                         [this](const QString& text) { edited(text); });
        QObject::connect(widget_, &QComboBox::activated, this, [this](int row) {
            if (row >= 0 && row < box_.listCount()) act([&] { box_.userPick(row); });
            if (formLoaded()) refresh();
        });
    }
    QWidget* widget() const override { return widget_; }

protected:
    void refreshKind() override {
        QSignalBlocker block(widget_);
        QSignalBlocker blockEdit(widget_->lineEdit());
        if (shownRows_ != box_.list()) {
            shownRows_ = box_.list();
            widget_->clear();
            for (const auto& row : shownRows_) widget_->addItem(row.empty() ? QString() : qs(row[0]));
        }
        if (widget_->currentIndex() != box_.listIndex()) widget_->setCurrentIndex(box_.listIndex());
        QString text = qs(box_.text());
        if (widget_->lineEdit()->text() != text) widget_->lineEdit()->setText(text);
        if (box_.selLength() > 0) {
            int start = charPosition(box_.text(), box_.selStart());
            int end = charPosition(box_.text(), box_.selStart() + box_.selLength());
            widget_->lineEdit()->setSelection(start, end - start);
        }
        if (box_.dropDownOpen() && !popupShown_ && widget_->isVisible()) {
            popupShown_ = true;
            widget_->showPopup();
        } else if (!box_.dropDownOpen()) {
            popupShown_ = false;
        }
    }
    bool filter(QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress: {
                auto* key = static_cast<QKeyEvent*>(event);
                // Only a key that types a character may complete the text.
                typing_ = !key->text().isEmpty() && key->text().at(0).isPrint();
                return keyDown(event, [this](int code, int s) { return box_.userKeyDown(code, s); });
            }
            case QEvent::KeyRelease:
                keyUp(event, [this](int code, int s) { box_.userKeyUp(code, s); });
                return false;
            default: return false;
        }
    }

private:
    void edited(const QString& text) {
        std::string typed = text.toStdString();
        const std::string* completion = typing_ ? box_.completionFor(typed) : nullptr;
        typing_ = false;
        if (completion) {
            std::string full = *completion;
            int start = static_cast<int>(typed.size());
            act([&] { box_.userEdit(full, start, static_cast<int>(full.size()) - start); });
        } else {
            act([&] { box_.userEdit(typed, static_cast<int>(typed.size()), 0); });
        }
        // userEdit reports the change, which refreshes this view.
    }

    ComboBox& box_;
    QComboBox* widget_;
    std::vector<ComboBox::Row> shownRows_;
    bool typing_ = false;
    bool popupShown_ = false;
};

// ---- Lists ---------------------------------------------------------------------------------

class ListBoxView final : public ControlView {
public:
    ListBoxView(ListBox& list, FormWindow& window, QWidget* parent)
        : ControlView(list, window), list_(list), widget_(new QListWidget(parent)) {
        widget_->installEventFilter(this);
        widget_->viewport()->installEventFilter(this);
        // Only the user's own pick picks: a click, Enter on the current row, a double
        // click. The current row that Qt moves by itself (to the first row when the
        // list takes the focus) or that the arrow keys move picks nothing.
        QObject::connect(widget_, &QListWidget::itemClicked, this,
                         [this](QListWidgetItem* item) { pick(widget_->row(item)); });
        QObject::connect(widget_, &QListWidget::itemDoubleClicked, this,
                         [this] { act([&] { list_.form().raise(list_.onDblClick); }); });
    }
    QWidget* widget() const override { return widget_; }

protected:
    void refreshKind() override {
        QSignalBlocker block(widget_);
        if (shown_ != list_.items()) {
            shown_ = list_.items();
            widget_->clear();
            for (const auto& item : shown_) widget_->addItem(qs(item));
        }
        widget_->setCurrentRow(list_.listIndex());
        widget_->viewport()->setAcceptDrops(list_.acceptsDrops());
        widget_->setAcceptDrops(list_.acceptsDrops());
    }
    bool filter(QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress: {
                auto* key = static_cast<QKeyEvent*>(event);
                if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
                pick(widget_->currentRow());
                return true;
            }
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* drag = static_cast<QDropEvent*>(event);
                if (list_.acceptsDrops() && !droppedFiles(drag->mimeData()).empty()) {
                    drag->acceptProposedAction();
                    return true;
                }
                return false;
            }
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                auto files = droppedFiles(drop->mimeData());
                if (!list_.acceptsDrops() || files.empty()) return false;
                drop->acceptProposedAction();
                act([&] { list_.userDrop(files); });
                return true;
            }
            default: return false;
        }
    }

private:
    void pick(int row) {
        if (row >= 0 && row < list_.listCount()) act([&] { list_.userPick(row); });
    }

    ListBox& list_;
    QListWidget* widget_;
    std::vector<std::string> shown_;
};

class ListViewView final : public ControlView {
public:
    ListViewView(ListView& list, FormWindow& window, QWidget* parent)
        : ControlView(list, window), list_(list), widget_(new QTreeWidget(parent)) {
        widget_->setRootIsDecorated(false);
        widget_->setUniformRowHeights(true);
        widget_->setAllColumnsShowFocus(true);
        widget_->installEventFilter(this);
        QObject::connect(widget_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) {
            int row = widget_->indexOfTopLevelItem(item);
            if (row >= 0 && row < list_.itemCount()) act([&] { list_.userClickItem(row); });
        });
        // The arrow keys move the selected row without an event, as the list view does;
        // the current row that Qt moves by itself (when the list takes the focus) is not
        // the user's selection and leaves the control's alone.
        QObject::connect(widget_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
            int row = item ? widget_->indexOfTopLevelItem(item) : -1;
            if (keyMoving_ && row >= 0 && row < list_.itemCount()) act([&] { list_.setSelectedIndex(row); });
        });
        QObject::connect(widget_, &QTreeWidget::itemDoubleClicked, this,
                         [this] { act([&] { list_.form().raise(list_.onDblClick); }); });
    }
    QWidget* widget() const override { return widget_; }

protected:
    void refreshKind() override {
        QSignalBlocker block(widget_);
        const bool report = list_.view() == ListViewMode::Report;
        widget_->setHeaderHidden(!report);
        widget_->setSelectionBehavior(list_.fullRowSelect() ? QAbstractItemView::SelectRows
                                                            : QAbstractItemView::SelectItems);
        if (shownColumns_ != list_.columns()) {
            shownColumns_ = list_.columns();
            QStringList labels;
            for (const auto& c : shownColumns_) labels << qs(c.text);
            widget_->setColumnCount(std::max<int>(1, static_cast<int>(labels.size())));
            widget_->setHeaderLabels(labels);
            for (int i = 0; i < static_cast<int>(shownColumns_.size()); ++i)
                widget_->setColumnWidth(i, window_.toPixels(shownColumns_[static_cast<size_t>(i)].width));
        }
        if (shownVersion_ != list_.itemsVersion()) {
            shownVersion_ = list_.itemsVersion();
            widget_->clear();
            ++filling_;
            // The first screen of rows at once, the rest in slices while the event loop
            // is idle, so that a keystroke that lists the whole book does not wait for
            // tens of thousands of rows.
            fillTo(kFirstRows);
            fillLater(filling_);
        }
        QFont font = widget_->font();
        if (list_.fontSize() > 0 && font.pointSizeF() != list_.fontSize()) {
            font.setPointSizeF(list_.fontSize());
            widget_->setFont(font);
        }
        if (list_.selectedIndex() >= 0) fillTo(list_.selectedIndex() + 1);
        QTreeWidgetItem* selected = widget_->topLevelItem(list_.selectedIndex());
        widget_->setCurrentItem(selected);
        if (!selected) widget_->clearSelection();
    }
    bool filter(QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            if (keyDown(event, [this](int code, int s) { return list_.userKeyDown(code, s); })) return true;
            // The widget handles the key right after this filter.
            keyMoving_ = true;
            QTimer::singleShot(0, this, [this] { keyMoving_ = false; });
            return false;
        }
        if (event->type() == QEvent::KeyRelease)
            keyUp(event, [this](int code, int s) { list_.userKeyUp(code, s); });
        return false;
    }

private:
    // Rows shown at once: more than a list of this size shows on a screen.
    static constexpr int kFirstRows = 100;
    // Rows added per turn of the event loop after the first ones.
    static constexpr int kRowsPerSlice = 2000;

    // Adds the list's rows up to `count` that the widget does not hold yet; the list
    // makes the rows it was given by a row maker as they are read.
    void fillTo(int count) {
        const int total = list_.itemCount();
        int from = widget_->topLevelItemCount();
        count = std::min(count, total);
        if (from >= count) return;
        QSignalBlocker block(widget_);
        QList<QTreeWidgetItem*> items;
        items.reserve(count - from);
        for (int i = from; i < count; ++i) {
            const ListRow& row = list_.item(i);
            QStringList cells{qs(row.text)};
            for (const auto& sub : row.subItems) cells << qs(sub);
            items.append(new QTreeWidgetItem(cells));
        }
        widget_->addTopLevelItems(items);
    }
    // One more slice on the next turn of the event loop, unless the rows were replaced since.
    void fillLater(unsigned filling) {
        if (widget_->topLevelItemCount() >= list_.itemCount()) return;
        QTimer::singleShot(0, this, [this, filling] {
            if (filling != filling_ || shownVersion_ != list_.itemsVersion()) return;
            fillTo(widget_->topLevelItemCount() + kRowsPerSlice);
            fillLater(filling);
        });
    }

    ListView& list_;
    QTreeWidget* widget_;
    std::vector<ListColumn> shownColumns_;
    unsigned shownVersion_ = 0;  // the list's itemsVersion() the widget shows
    unsigned filling_ = 0;  // counts the replacements of the rows
    bool keyMoving_ = false;
};

// Makes the view of each control kind.
class ViewMaker final : public ControlVisitor {
public:
    ViewMaker(FormWindow& window, QWidget* parent) : window_(window), parent_(parent) {}
    void visit(Label& c) override { make<LabelView>(c); }
    void visit(TextBox& c) override { make<TextBoxView>(c); }
    void visit(ComboBox& c) override { make<ComboBoxView>(c); }
    void visit(CheckBox& c) override { make<CheckBoxView>(c); }
    void visit(OptionButton& c) override { make<OptionButtonView>(c); }
    void visit(CommandButton& c) override { make<CommandButtonView>(c); }
    void visit(Frame& c) override { make<FrameView>(c); }
    void visit(Image& c) override { make<ImageView>(c); }
    void visit(ListBox& c) override { make<ListBoxView>(c); }
    void visit(ListView& c) override { make<ListViewView>(c); }

    std::unique_ptr<ControlView> view;

private:
    template <class View, class C>
    void make(C& c) {
        view = std::make_unique<View>(c, window_, parent_);
    }
    FormWindow& window_;
    QWidget* parent_;
};

}  // namespace

std::unique_ptr<ControlView> makeControlView(Control& control, FormWindow& window, QWidget* parent) {
    ViewMaker maker(window, parent);
    control.accept(maker);
    // Every view hears its widget's focus (a view that filters more installs itself
    // already; Qt keeps one filter per object).
    if (maker.view) maker.view->widget()->installEventFilter(maker.view.get());
    return std::move(maker.view);
}

}  // namespace vorra::desktop
