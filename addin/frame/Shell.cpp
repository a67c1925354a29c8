#include "addin/frame/Shell.h"

#include <optional>

#include "addin/frame/Public_XlApp.h"
#include "addin/frame/dialogs/Toolkit.h"

namespace vorra {

void showMessage(const std::string& text, dialogs::MsgBoxIcon icon, const std::string& title) {
    host::resume([&] {
        std::optional<std::string> caption;
        if (!title.empty()) caption = title;
        XlApp->toolkit().msgBox(text, icon, caption);
    });
}

void openWithShell(const std::string& address) {
    host::resume([&] { XlApp->toolkit().shellOpen(address); });
}

}  // namespace vorra
