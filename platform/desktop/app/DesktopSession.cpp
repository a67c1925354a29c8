#include "platform/desktop/app/DesktopSession.h"

#include <cstdlib>

#include "addin/frame/dialogs/Form.h"
#include "platform/desktop/app/DesktopTexts.h"
#include "platform/desktop/app/PageSetupWindow.h"
#include "platform/desktop/app/PrintOffsetsDialog.h"
#include "platform/engine/print/PageSetupDialog.h"

namespace vorra::desktop {

namespace {
// The host's connect mode "loaded at start-up" and remove mode "host shutting down".
constexpr int kConnectAtStartup = 1;
constexpr int kDisconnectAtShutdown = 0;
}  // namespace

std::vector<std::string> DesktopServices::openFileDialog(const std::string& filter, int filterIndex,
                                                         const std::string& title, bool multiSelect) {
    return toolkit_.openFileDialog({filter, filterIndex, title, multiSelect});
}

bool DesktopServices::builtinDialog(int dialogId, host::Worksheet& sheet, const std::string& pendingKeys) {
    auto* engineSheet = dynamic_cast<engine::EngineWorksheet*>(&sheet);
    if (dialogId != engine::kPageSetupDialogId || !engineSheet) return false;
    const QString offsets = QString::fromUtf8(texts::kOffsetsInForce)
                                .arg(printerCaption(printer_), adjustmentText(printer_, engineSheet->name()));
    return runPageSetupDialog(engineSheet->model(), pendingKeys, owner,
                              [&](PageSetupWindow& window) { window.setOffsetsNote(offsets); });
}

DesktopSession::DesktopSession(const std::string& hostVersion, print::PrintFolder printFolder)
    : printer_(std::move(printFolder)),
      services_(toolkit_, printer_),
      application_(hostVersion, &services_) {
    // The toolkit's own built-in dialog entry shows the page setup of the active sheet.
    toolkit_.setBuiltinDialogHandler([this](int dialogId, const std::string& keys) {
        try {
            auto sheet = application_.activeSheet();
            return services_.builtinDialog(dialogId, *sheet, keys);
        } catch (const std::exception&) {
            return false;
        }
    });
}

DesktopSession::~DesktopSession() { disconnectAddin(); }

void DesktopSession::connectAddin(const std::string& libraryPath) {
    auto library = std::make_unique<loader::AddinLibrary>(libraryPath);
    connection_ = library->createConnection();
    library_ = std::move(library);
    connection_->OnConnection(&application_, kConnectAtStartup);
    connectedNow_ = true;
}

int DesktopSession::hostMajorVersion() const { return std::atoi(application_.version().c_str()); }

std::string DesktopSession::requestRibbon() {
    if (!connection_ || hostMajorVersion() < 12) return {};
    return connection_->GetCustomUI("Vorra.Workbook");
}

bool DesktopSession::invoke(const std::string& method) {
    bool found = connection_ && connection_->invoke(method);
    if (onInvoked) onInvoked(method, found);
    return found;
}

void DesktopSession::disconnectAddin() {
    if (!connection_) return;
    // The host closes the add-in's windows before it lets the add-in go.
    for (auto& form : toolkit_.liveForms()) {
        try {
            form->unload(dialogs::CloseMode::AppWindows);
        } catch (const std::exception&) {
        }
    }
    if (connectedNow_) connection_->OnDisconnection(kDisconnectAtShutdown);
    connectedNow_ = false;
    // The connection goes through the library's entry point; the library stays loaded
    // (see platform/loader/AddinLibrary.h).
    connection_.reset();
    library_.reset();
}

}  // namespace vorra::desktop
