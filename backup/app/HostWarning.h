// The message shown at start-up while the spreadsheet host runs.
#pragma once

#include <QMessageBox>
#include <memory>

namespace vorra::backup {

// A topmost message box with the error icon, the title "系统：" and an OK button.
std::unique_ptr<QMessageBox> hostRunningWarning();

}  // namespace vorra::backup
