// Placeholder until the forms library lands.
#include "addin/frame/Shell.h"

namespace vorra {
void showMessage(const std::string&, MessageIcon, const std::string&) {}
void openWithShell(const std::string&) {}
}  // namespace vorra
