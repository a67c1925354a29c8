#pragma once
// Message boxes and the system shell, reached through the host's forms library, for
// handlers that report nothing when that fails.

#include <string>

#include "addin/frame/dialogs/Toolkit.h"

namespace vorra {

// Shows a message box with an OK button; an empty title gives the host's default
// caption. Nothing happens when the host has no forms library.
void showMessage(const std::string& text, dialogs::MsgBoxIcon icon, const std::string& title);

// Asks the system to open a document or web address with its default program.
void openWithShell(const std::string& address);

}  // namespace vorra
