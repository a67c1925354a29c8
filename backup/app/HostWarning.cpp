#include "backup/app/HostWarning.h"

#include "backup/core/BackupTexts.h"

namespace vorra::backup {

std::unique_ptr<QMessageBox> hostRunningWarning() {
    const auto text = [](std::string_view utf8) {
        return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    };
    auto box = std::make_unique<QMessageBox>(QMessageBox::Critical, text(kHostRunningTitle),
                                             text(kHostRunningText), QMessageBox::Ok);
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    return box;
}

}  // namespace vorra::backup
