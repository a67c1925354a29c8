#pragma once
// What the engine's Application needs from the platform it runs on: the open-file
// dialog, the built-in page-setup dialog, the end of the host, the forms library and
// the printer. A headless platform answers with scripted choices, a desktop with real
// windows; the defaults describe a platform that has none of them.

#include <string>
#include <vector>

namespace vorra::dialogs {
class Toolkit;
}

namespace vorra::host {
class Worksheet;
}

namespace vorra::engine {

class Printer;

class HostServices {
public:
    virtual ~HostServices() = default;

    // The chosen paths; empty when cancelled.
    virtual std::vector<std::string> openFileDialog(const std::string& /*filter*/,
                                                    int /*filterIndex*/,
                                                    const std::string& /*title*/,
                                                    bool /*multiSelect*/) {
        return {};
    }
    // Shows a built-in dialog for the sheet; pendingKeys are the keys queued for it by
    // SendKeys ("{RIGHT}"). Returns whether the user confirmed it.
    virtual bool builtinDialog(int /*dialogId*/, host::Worksheet& /*sheet*/,
                               const std::string& /*pendingKeys*/) {
        return false;
    }
    // The add-in asked the host to end.
    virtual void quitRequested() {}
    // The forms library; nullptr when the platform has none.
    virtual dialogs::Toolkit* toolkit() { return nullptr; }
    // The current printer; nullptr when none is installed.
    virtual Printer* printer() { return nullptr; }
};

}  // namespace vorra::engine
