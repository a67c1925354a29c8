#include "platform/desktop/toolkit/FormWindow.h"

#include <QCloseEvent>
#include <QColor>
#include <QDropEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QMimeData>
#include <QMouseEvent>
#include <QRegion>
#include <QUrl>
#include <QWindow>
#include <algorithm>
#include <cstdio>

#include "platform/desktop/toolkit/ControlViews.h"
#include "platform/desktop/toolkit/KeyCodes.h"
#include "platform/desktop/widgets/RoundedWindow.h"

namespace vorra::desktop {

using namespace vorra::dialogs;

namespace {
// Screen pixels per point at the desktop's reference resolution; Qt scales further on
// screens of higher density.
constexpr double kPixelsPerPoint = 96.0 / 72.0;
constexpr double kTwipsPerPoint = 20.0;
constexpr double kLargestFormPoints = 1600.0;

// The window system's frame around a window not shown yet: a caption and thin borders.
constexpr QMargins kFrameEstimate(4, 30, 4, 4);

// The rectangle moved, not resized, to lie within the area as far as it fits; a
// rectangle larger than the area keeps its top left corner on it.
QRect keptWithin(QRect r, const QRect& area) {
    if (r.right() > area.right()) r.moveRight(area.right());
    if (r.bottom() > area.bottom()) r.moveBottom(area.bottom());
    if (r.left() < area.left()) r.moveLeft(area.left());
    if (r.top() < area.top()) r.moveTop(area.top());
    return r;
}
}  // namespace

std::vector<std::string> droppedFiles(const QMimeData* data) {
    std::vector<std::string> files;
    if (!data || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdString());
    return files;
}

QColor hostColor(Color color) {
    if (color & 0x80000000u) return {};
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

FormWindow::FormWindow(Form& form) : QWidget(nullptr, Qt::Window), form_(&form) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setObjectName(QString::fromStdString(form.name()));
    createViews();
    refreshForm();
}

FormWindow::~FormWindow() {
    if (modalLoop_) modalLoop_->quit();
    views_.clear();
}

void FormWindow::detach() {
    form_ = nullptr;
    if (modalLoop_) modalLoop_->quit();
}

double FormWindow::pixelsPerUnit() const {
    bool twips = form_ ? form_->kind() == FormKind::WindowForm : false;
    return twips ? kPixelsPerPoint / kTwipsPerPoint : kPixelsPerPoint;
}
int FormWindow::toPixels(double units) const { return static_cast<int>(units * pixelsPerUnit() + 0.5); }
int FormWindow::formPixels(double size) const {
    // A user form's own size comes in points from some forms and in twips (its Height
    // property in the host's window units) from others; no form is larger than
    // kLargestFormPoints points, so a larger number is twips.
    if (form_ && form_->kind() == FormKind::UserForm && size > kLargestFormPoints)
        return static_cast<int>(size / kTwipsPerPoint * kPixelsPerPoint + 0.5);
    return toPixels(size);
}

double FormWindow::toUnits(int pixels) const { return pixels / pixelsPerUnit(); }

void FormWindow::createViews() {
    // Frames first, so that the controls placed in them find their parent widget
    // whatever order the form declares them in.
    auto create = [this](Control* c) {
        QWidget* parent = this;
        if (!c->container().empty())
            if (Control* frame = form_->control(c->container()))
                if (auto it = viewOf_.find(frame); it != viewOf_.end() && it->second->container())
                    parent = it->second->container();
        auto view = makeControlView(*c, *this, parent);
        if (!view) return;
        viewOf_[c] = view.get();
        views_.push_back(std::move(view));
    };
    for (Control* c : form_->controls())
        if (c->kind() == ControlKind::Frame) create(c);
    for (Control* c : form_->controls())
        if (c->kind() != ControlKind::Frame) create(c);
    for (auto& v : views_) v->refresh();
    // The Tab key follows the controls' tab indexes.
    std::vector<ControlView*> order;
    for (auto& v : views_)
        if (v->widget()->focusPolicy() & Qt::TabFocus) order.push_back(v.get());
    std::stable_sort(order.begin(), order.end(), [](const ControlView* a, const ControlView* b) {
        return a->control().tabIndex() < b->control().tabIndex();
    });
    for (size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1]->widget(), order[i]->widget());
}

void FormWindow::refreshForm() {
    if (!form_) return;
    setWindowTitle(QString::fromStdString(form_->caption()));
    const QSize before = size();
    if (form_->width() > 0 && form_->height() > 0)
        resize(formPixels(form_->width()), formPixels(form_->height()));
    else
        adjustSize();
    setAcceptDrops(form_->acceptsDrops());
    // A form that grows (a search list as tall as its rows) stays on the screen.
    if (isVisible() && size() != before) keepOnScreen();
}

void FormWindow::placeOver(const QWidget* owner) {
    if (placed_) {
        keepOnScreen();
        return;
    }
    placed_ = true;
    const bool overOwner = owner && owner->isVisible();
    QScreen* screen = overOwner ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QMargins frame = isVisible() ? QMargins(geometry().left() - frameGeometry().left(),
                                                  geometry().top() - frameGeometry().top(),
                                                  frameGeometry().right() - geometry().right(),
                                                  frameGeometry().bottom() - geometry().bottom())
                                       : kFrameEstimate;
    QRect outer(QPoint(0, 0), size().grownBy(frame));
    outer.moveCenter(overOwner ? owner->frameGeometry().center() : screen->availableGeometry().center());
    move(keptWithin(outer, screen->availableGeometry()).topLeft());
}

void FormWindow::keepOnScreen() {
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s) return;
    QRect outer = frameGeometry();
    if (!isVisible()) outer = QRect(pos(), size().grownBy(kFrameEstimate));
    QRect kept = keptWithin(outer, s->availableGeometry());
    if (kept.topLeft() != outer.topLeft()) move(kept.topLeft());
}

void FormWindow::refreshControl(const Control& control) {
    if (auto it = viewOf_.find(&control); it != viewOf_.end()) it->second->refresh();
}

void FormWindow::focusControl(const Control& control) {
    QWidget* w = nullptr;
    if (auto it = viewOf_.find(&control); it != viewOf_.end()) w = it->second->widget();
    if (w && !w->hasFocus()) w->setFocus(Qt::OtherFocusReason);
}

QWidget* FormWindow::controlWidget(std::string_view name) const {
    for (const auto& v : views_)
        if (sameName(v->control().name(), name)) return v->widget();
    return nullptr;
}

// ---- Window services ------------------------------------------------------------------------

void FormWindow::makeTopmost() {
    if (topmost()) return;
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, true);  // hides a shown window
    if (wasVisible) show();
}

bool FormWindow::topmost() const { return windowFlags().testFlag(Qt::WindowStaysOnTopHint); }

void FormWindow::applyRegion(const RoundRegion& region) {
    // The corner ellipse's width and height are twice the corner radii.
    setMask(roundedOutline(QRectF(region.left, region.top, region.right - region.left, region.bottom - region.top),
                           region.ellipseWidth / 2.0, region.ellipseHeight / 2.0));
}

void FormWindow::beginDrag() {
    // The window system moves the window when it can; otherwise the window follows the
    // mouse itself until the button is released.
    if (QWindow* handle = windowHandle(); handle && handle->startSystemMove()) return;
    dragging_ = true;
    dragOffset_ = QCursor::pos() - frameGeometry().topLeft();
}

void FormWindow::showModeless() {
    setWindowModality(Qt::NonModal);
    show();
    raise();
    activateWindow();
}

void FormWindow::showModal() {
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    if (!isVisible() || !form_) return;
    QPointer<FormWindow> self(this);
    QEventLoop loop;
    modalLoop_ = &loop;
    loop.exec();
    if (self) self->modalLoop_ = nullptr;
}

void FormWindow::hideFromCode() {
    hidingFromCode_ = true;
    hide();
    hidingFromCode_ = false;
    dragging_ = false;
    if (modalLoop_) modalLoop_->quit();
}

bool FormWindow::act(const std::function<void()>& action, std::string source) {
    Form* form = form_;
    if (!form || !form->loaded()) return false;
    auto keepAlive = form->weak_from_this().lock();
    try {
        action();
    } catch (const std::exception& e) {
        // A handler's error must not unwind through Qt's event loop.
        std::fprintf(stderr, "vorra-desktop: %s: %s\n", source.empty() ? form->name().c_str() : source.c_str(),
                     e.what());
    }
    return form_ == form && form->loaded();
}

// ---- Events of the window -------------------------------------------------------------------

void FormWindow::closeEvent(QCloseEvent* event) {
    if (hidingFromCode_ || !form_) {
        event->accept();
        return;
    }
    // The close box asks the form: QueryClose may keep it open. When it unloads, the
    // toolkit hides and releases this window.
    event->ignore();
    act([&] { form_->unload(CloseMode::ControlMenu); });
}

void FormWindow::mousePressEvent(QMouseEvent* event) {
    int button = hostButton(event->button());
    QPointF at = event->position();
    act([&] {
        form_->raise(form_->onMouseDown, button, hostShift(event->modifiers()),
                     toUnits(static_cast<int>(at.x())), toUnits(static_cast<int>(at.y())));
    });
    event->accept();
}

void FormWindow::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && (event->buttons() & Qt::LeftButton))
        move(event->globalPosition().toPoint() - dragOffset_);
    QWidget::mouseMoveEvent(event);
}

void FormWindow::mouseReleaseEvent(QMouseEvent* event) {
    dragging_ = false;
    QWidget::mouseReleaseEvent(event);
}

void FormWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (form_ && form_->acceptsDrops() && !droppedFiles(event->mimeData()).empty())
        event->acceptProposedAction();
}

void FormWindow::dragMoveEvent(QDragMoveEvent* event) {
    if (form_ && form_->acceptsDrops() && !droppedFiles(event->mimeData()).empty())
        event->acceptProposedAction();
}

void FormWindow::dropEvent(QDropEvent* event) {
    auto files = droppedFiles(event->mimeData());
    if (!form_ || !form_->acceptsDrops() || files.empty()) return;
    event->acceptProposedAction();
    act([&] { form_->raise(form_->onDragDrop, files); });
}

}  // namespace vorra::desktop
