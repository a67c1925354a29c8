#pragma once
// The dialog toolkit on Qt widgets: every form the add-in loads gets a window that
// shows its controls; message boxes, the input box and the open-file dialog are Qt's
// standard dialogs; the window services act on the form's window; documents and web
// addresses open with the desktop's default program.
//
// Show without arguments is modeless. A modal show runs a nested event loop until the
// form hides or unloads.

#include <QPointer>
#include <QUrl>
#include <functional>
#include <map>
#include <string>

#include "addin/frame/dialogs/Dialogs.h"
#include "platform/desktop/toolkit/SystemClockService.h"

class QWidget;

namespace vorra::desktop {

class FormWindow;

class QtToolkit final : public dialogs::Toolkit {
public:
    // owner: the window message boxes and dialogs are centred on (may be null).
    explicit QtToolkit(QWidget* owner = nullptr);
    ~QtToolkit() override;

    void setOwner(QWidget* owner) { owner_ = owner; }

    // What shows a built-in dialog of the host (the page setup of the active sheet);
    // without one, builtinDialog answers "not confirmed".
    using BuiltinDialogHandler = std::function<bool(int dialogId, const std::string& queuedKeys)>;
    void setBuiltinDialogHandler(BuiltinDialogHandler handler) { builtinDialog_ = std::move(handler); }
    // How the clock is set: the system clock, then the system's time service.
    void setClockService(SystemClockService service) { clock_ = std::move(service); }

    // ---- dialogs::Toolkit ----------------------------------------------------------
    dialogs::MsgBoxResult messageBox(const dialogs::MessageBoxRequest& request) override;
    std::string inputBox(const dialogs::InputBoxRequest& request) override;
    std::vector<std::string> openFileDialog(const dialogs::OpenFileRequest& request) override;
    bool builtinDialog(int dialogId, const std::string& queuedKeys) override;

    void setTopmost(dialogs::Form& form) override;
    dialogs::PixelSize clientSizePixels(const dialogs::Form& form) const override;
    void setWindowRegion(dialogs::Form& form, const dialogs::RoundRegion& region) override;
    void dragByBody(dialogs::Form& form) override;
    bool shellOpen(const std::string& target, const std::string& verb = {}) override;
    bool startProgram(const std::string& commandLine) override;
    std::string desktopFolder() const override;
    dialogs::ClockSetting setSystemClock(std::int64_t secondsSinceEpoch) override;

    void formUnloaded(dialogs::Form& form) override;
    void showForm(dialogs::Form& form, dialogs::ShowMode mode) override;
    void hideForm(dialogs::Form& form) override;
    void formChanged(dialogs::Form& form) override;
    void controlChanged(dialogs::Control& control) override;
    void focusChanged(dialogs::Control& control) override;

    // The window of a loaded form, created on first use; nullptr for a form that is not
    // loaded in this toolkit.
    FormWindow* window(const dialogs::Form& form);
    // The window if it exists already.
    FormWindow* existingWindow(const dialogs::Form& form) const;

private:
    QWidget* owner_;
    BuiltinDialogHandler builtinDialog_;
    SystemClockService clock_;
    std::map<const dialogs::Form*, QPointer<FormWindow>> windows_;
};

// A document, folder or web address as the URL the desktop opens: web addresses as
// they are, existing or absolute paths as local files.
QUrl urlForTarget(const std::string& target);

}  // namespace vorra::desktop
