#pragma once
// The window of one form: the form's caption and size, a widget per control, and the
// window services the add-in asks for (topmost, rounded outline, drag by the body).
// User forms give their controls' geometry in points, window forms in twips; a user
// form's own size may come in either.
//
// The window lives while its form is loaded. When the form unloads, the toolkit
// detaches the window from it: from then on the window forwards nothing.

#include <QColor>
#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "addin/frame/dialogs/Dialogs.h"

class QEventLoop;
class QMimeData;

namespace vorra::desktop {

class ControlView;

class FormWindow : public QWidget {
public:
    explicit FormWindow(dialogs::Form& form);
    ~FormWindow() override;

    // The form while it is attached; nullptr after detach().
    dialogs::Form* form() const { return form_; }
    void detach();

    // Pixels per unit of the form's geometry (points or twips).
    double pixelsPerUnit() const;
    int toPixels(double units) const;
    double toUnits(int pixels) const;
    // The form's own width or height in pixels.
    int formPixels(double size) const;

    void refreshForm();
    void refreshControl(const dialogs::Control& control);
    void focusControl(const dialogs::Control& control);
    // The widget that shows the control of that name, or nullptr.
    QWidget* controlWidget(std::string_view name) const;

    void makeTopmost();
    bool topmost() const;
    void applyRegion(const dialogs::RoundRegion& region);
    // Moves the window with the mouse until the button is released.
    void beginDrag();
    bool dragging() const { return dragging_; }

    // Centres the window over the owner (the screen when there is none) the first time
    // it is shown; later shows keep where the user moved it. Either way the window lies
    // wholly on the screen.
    void placeOver(const QWidget* owner);
    void keepOnScreen();

    void showModeless();
    // Shows the window modal to the application and returns once it is hidden.
    void showModal();
    void hideFromCode();

    // Runs a user action on the form while it stays alive and loaded; nothing once the
    // form has unloaded. False when the form unloaded during the action or before it.
    // A handler's error is reported under `source` (the form's name when empty).
    bool act(const std::function<void()>& action, std::string source = {});

protected:
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createViews();

    dialogs::Form* form_;
    std::vector<std::unique_ptr<ControlView>> views_;
    std::unordered_map<const dialogs::Control*, ControlView*> viewOf_;
    QEventLoop* modalLoop_ = nullptr;
    bool hidingFromCode_ = false;
    bool dragging_ = false;
    bool placed_ = false;
    QPoint dragOffset_;
};

// Local file paths of dropped URLs; empty when the drop carries none.
std::vector<std::string> droppedFiles(const QMimeData* data);

// Colours as the host stores them (0x00BBGGRR); the system's colours (high bit set)
// give an invalid QColor, meaning "the style's own".
QColor hostColor(dialogs::Color color);

}  // namespace vorra::desktop
