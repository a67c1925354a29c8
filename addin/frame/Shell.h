#pragma once
// Message boxes and the system shell, reached through the host's forms library.

#include <string>

namespace vorra {

enum class MessageIcon { None, Critical, Question, Exclamation, Information };

// Shows a message box with an OK button; an empty title gives the default caption.
void showMessage(const std::string& text, MessageIcon icon, const std::string& title);

// Asks the system to open a document or web address with its default program.
void openWithShell(const std::string& address);

}  // namespace vorra
