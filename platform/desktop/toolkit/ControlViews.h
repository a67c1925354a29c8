#pragma once
// One widget per control of a form. A view shows the control's state (refresh, called
// whenever the form says the control changed) and turns the user's input in the
// widget into the control's user* entry points, so that the same events fire as when
// the headless toolkit acts for a user. Updates from the state never raise events:
// the widget's signals are blocked while the view writes into it.

#include <QObject>
#include <functional>
#include <memory>

#include "addin/frame/dialogs/Dialogs.h"

class QWidget;

namespace vorra::desktop {

class FormWindow;

class ControlView : public QObject {
public:
    ControlView(dialogs::Control& control, FormWindow& window);
    ~ControlView() override;

    dialogs::Control& control() const { return control_; }
    virtual QWidget* widget() const = 0;
    // The widget that holds controls placed inside this one (frames only).
    virtual QWidget* container() const { return nullptr; }

    // Takes over the control's state: geometry, visibility, enabled state, colour and
    // tip text, then what the kind shows of its own.
    void refresh();

protected:
    virtual void refreshKind() = 0;
    // The widget's events while the form is attached; true to stop the event.
    virtual bool filter(QEvent*) { return false; }
    bool eventFilter(QObject* watched, QEvent* event) final;
    // Runs a user action while the form stays alive; nothing once the form has
    // unloaded. False when the form unloaded during the action or before it.
    bool act(const std::function<void()>& action);
    bool formLoaded() const;
    // Key presses and releases of the widget as KeyDown and KeyUp of the control;
    // true when KeyDown's handlers swallowed the key (set its code to 0) or the form
    // went away.
    bool keyDown(QEvent* event, const std::function<int(int, int)>& raiseKeyDown);
    void keyUp(QEvent* event, const std::function<void(int, int)>& raiseKeyUp);

    FormWindow& window_;
    dialogs::Control& control_;
};

// The view for the control's kind, with its widget created under `parent`.
std::unique_ptr<ControlView> makeControlView(dialogs::Control& control, FormWindow& window,
                                             QWidget* parent);

}  // namespace vorra::desktop
