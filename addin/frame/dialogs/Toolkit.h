#pragma once
// The host's forms library as the add-in sees it: the toolkit that shows forms,
// asks with message boxes, input boxes and the open-file dialog, and offers the
// window services (topmost, rounded region, drag by the body, shell open).
//
// A platform supplies one Toolkit: the headless toolkit keeps state and answers from
// queues, the desktop renders the same state as widgets. Forms hold their controls'
// state themselves (Form.h); the toolkit is told when a form loads, shows, changes
// and unloads, and keeps a registry of the live forms by name.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorra::dialogs {

class Form;
class Control;

// Message box icon, buttons and answer, with the host's values.
enum class MsgBoxIcon : int { None = 0, Critical = 16, Question = 32, Exclamation = 48, Information = 64 };
enum class MsgBoxButtons : int { OKOnly = 0, OKCancel = 1, AbortRetryIgnore = 2, YesNoCancel = 3, YesNo = 4, RetryCancel = 5 };
enum class MsgBoxResult : int { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

// What a message box answers when it is closed without a button (its close box, or
// Escape): Cancel where there is one, else the answer that stands for no.
constexpr MsgBoxResult closingAnswer(MsgBoxButtons buttons) {
    switch (buttons) {
        case MsgBoxButtons::OKOnly: return MsgBoxResult::OK;
        case MsgBoxButtons::YesNo: return MsgBoxResult::No;
        case MsgBoxButtons::AbortRetryIgnore: return MsgBoxResult::Abort;
        default: return MsgBoxResult::Cancel;
    }
}

// How a form is shown. Show without arguments is Modeless in this system: it returns
// at once, so a command can go on working with the form it has just shown.
enum class ShowMode : int { Modeless = 0, Modal = 1 };

// Why a form closes, as QueryClose receives it.
enum class CloseMode : int { ControlMenu = 0, Code = 1, AppWindows = 2, TaskManager = 3 };

struct MessageBoxRequest {
    std::string prompt;
    MsgBoxIcon icon = MsgBoxIcon::None;
    MsgBoxButtons buttons = MsgBoxButtons::OKOnly;
    std::optional<std::string> title;  // absent: the host's default caption
};

struct InputBoxRequest {
    std::string prompt;
    std::optional<std::string> title;  // absent: the host's default caption
    std::string defaultText;
};

// The host's open-file dialog.
struct OpenFileRequest {
    std::string filter;  // "EXCEl Files (*.xls), *.xls*": description, pattern pairs
    int filterIndex = 0;
    std::string title;
    bool multiSelect = false;
};

// Corner-rounded window region in pixels: CreateRoundRectRgn's arguments.
struct RoundRegion {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int ellipseWidth = 20;
    int ellipseHeight = 20;
    friend bool operator==(const RoundRegion&, const RoundRegion&) = default;
};

struct PixelSize {
    int width = 0;
    int height = 0;
};

// How a request to set the computer's clock ended.
enum class ClockSetting : int {
    Done,
    NotPermitted,  // neither the process nor the system's time service may change it
    Failed,        // any other refusal (a moment the system cannot represent)
};

class Toolkit {
public:
    virtual ~Toolkit();
    Toolkit() = default;
    Toolkit(const Toolkit&) = delete;
    Toolkit& operator=(const Toolkit&) = delete;

    // ---- Asking the user: these block until answered. -----------------------------
    virtual MsgBoxResult messageBox(const MessageBoxRequest& request) = 0;
    // The text entered; the empty text when the user cancels.
    virtual std::string inputBox(const InputBoxRequest& request) = 0;
    // The chosen paths; empty when the user cancels.
    virtual std::vector<std::string> openFileDialog(const OpenFileRequest& request) = 0;
    // A built-in dialog of the host (7: page setup), with the keys queued for it
    // ("{RIGHT}" moves page setup to its second page). Whether the user confirmed it.
    virtual bool builtinDialog(int dialogId, const std::string& queuedKeys) = 0;

    // Conveniences in the host's words: MsgBox prompt, icon, title.
    MsgBoxResult msgBox(std::string prompt, MsgBoxIcon icon = MsgBoxIcon::None,
                        std::optional<std::string> title = std::nullopt,
                        MsgBoxButtons buttons = MsgBoxButtons::OKOnly) {
        return messageBox({std::move(prompt), icon, buttons, std::move(title)});
    }
    std::string inputText(std::string prompt, std::optional<std::string> title = std::nullopt,
                          std::string defaultText = {}) {
        return inputBox({std::move(prompt), std::move(title), std::move(defaultText)});
    }

    // ---- Window services. ----------------------------------------------------------
    // Places the form's window above all non-topmost windows, position and size kept.
    virtual void setTopmost(Form& form) = 0;
    // The form's client area in pixels, for a region that follows it.
    virtual PixelSize clientSizePixels(const Form& form) const = 0;
    // Clips the form's window to a rounded rectangle and redraws; the window owns it.
    virtual void setWindowRegion(Form& form, const RoundRegion& region) = 0;
    // Starts moving the window with the mouse, as a press on its caption would.
    virtual void dragByBody(Form& form) = 0;
    // Opens a document, folder or web address with the system's default program
    // (verb empty or "Open"), normal window. False when the system refused.
    virtual bool shellOpen(const std::string& target, const std::string& verb = {}) = 0;
    // Starts a program by command line ("Explorer.exe " + folder), normal window with
    // focus. False when it could not start.
    virtual bool startProgram(const std::string& commandLine) = 0;
    // The current user's desktop folder, without a trailing separator.
    virtual std::string desktopFolder() const = 0;
    // Sets the computer's clock to a moment, in seconds since 1970-01-01 00:00 UTC:
    // directly where the process may, otherwise through the system's time service,
    // which may ask the user to authorise the change. Blocks until it is decided.
    virtual ClockSetting setSystemClock(std::int64_t secondsSinceEpoch) = 0;

    // ---- The view of forms: called by Form, implemented by the platform. ------------
    // A form finished loading (after its Initialize) / left the registry.
    virtual void formLoaded(Form&) {}
    virtual void formUnloaded(Form&) {}
    // Shows the form. A modeless show returns at once; a modal one returns when the
    // form is hidden or unloaded.
    virtual void showForm(Form& form, ShowMode mode) = 0;
    virtual void hideForm(Form& form) = 0;
    // A property of the form or of one of its controls changed from code or input.
    virtual void formChanged(Form&) {}
    virtual void controlChanged(Control&) {}
    // A control received the focus (SetFocus, or typing into it).
    virtual void focusChanged(Control&) {}

    // ---- Registry of the live forms. ----------------------------------------------
    // Forms register themselves when they load and leave when they unload.
    void registerForm(const std::shared_ptr<Form>& form);
    void unregisterForm(const Form& form);
    // The live form of that name (exact), or nullptr.
    std::shared_ptr<Form> findForm(std::string_view name) const;
    // The live forms in the order they loaded.
    std::vector<std::shared_ptr<Form>> liveForms() const;

private:
    std::vector<std::weak_ptr<Form>> forms_;
};

}  // namespace vorra::dialogs

#include "Form.h"  // completes the registry functions, which need Form
