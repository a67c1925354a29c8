#pragma once
// What one run of the desktop holds, apart from its window: the Qt dialog toolkit, the
// printer back end, the engine's Application with the desktop's services, and the
// add-in library with its connection. The window is told through callbacks what the
// engine asks of the platform (the end of the host, the page setup dialog).

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/desktop/toolkit/QtToolkit.h"
#include "platform/engine/host/EngineHost.h"
#include "platform/engine/host/HostServices.h"
#include "platform/loader/AddinLibrary.h"
#include "platform/print/QtPrinter.h"

class QWidget;

namespace vorra::desktop {

// The host version text the desktop reports unless told otherwise.
inline constexpr const char* kDefaultHostVersion = "16.0";

class DesktopServices final : public engine::HostServices {
public:
    DesktopServices(QtToolkit& toolkit, print::QtPrinter& printer) : toolkit_(toolkit), printer_(printer) {}

    std::vector<std::string> openFileDialog(const std::string& filter, int filterIndex,
                                            const std::string& title, bool multiSelect) override;
    bool builtinDialog(int dialogId, host::Worksheet& sheet, const std::string& pendingKeys) override;
    void quitRequested() override {
        if (onQuit) onQuit();
    }
    dialogs::Toolkit* toolkit() override { return &toolkit_; }
    engine::Printer* printer() override { return &printer_; }

    std::function<void()> onQuit;
    // The window the page setup dialog belongs to.
    QWidget* owner = nullptr;

private:
    QtToolkit& toolkit_;
    print::QtPrinter& printer_;
};

class DesktopSession {
public:
    // `printFolder`: where print to file puts its PDF files (the program decides it).
    DesktopSession(const std::string& hostVersion, print::PrintFolder printFolder);
    ~DesktopSession();

    engine::EngineApplication& application() { return application_; }
    QtToolkit& toolkit() { return toolkit_; }
    print::QtPrinter& printer() { return printer_; }
    DesktopServices& services() { return services_; }

    // Loads the add-in and connects it: OnConnection with the Application. Throws
    // loader::AddinLoadError when the library cannot be loaded.
    void connectAddin(const std::string& libraryPath);
    bool connected() const { return connection_ != nullptr; }
    host::AddinConnection* connection() { return connection_.get(); }
    // The loaded add-in library with its entry; nullptr without one.
    const loader::AddinLibrary* addinLibrary() const { return library_.get(); }
    // The host version's leading number (11 for "11.0").
    int hostMajorVersion() const;
    // The ribbon markup the add-in returns right after connecting; empty on hosts
    // below version 12 and when the add-in has no user interface in this run.
    std::string requestRibbon();
    // A ribbon click: the add-in's public method of that name (case ignored). Whether
    // the add-in has such a method; onInvoked hears of every call.
    bool invoke(const std::string& method);
    std::function<void(const std::string& method, bool found)> onInvoked;
    // Unloads the add-in's open forms, then OnDisconnection; the library's connection
    // is released. Safe to call more than once.
    void disconnectAddin();

private:
    QtToolkit toolkit_;
    print::QtPrinter printer_;
    DesktopServices services_;
    engine::EngineApplication application_;
    std::unique_ptr<loader::AddinLibrary> library_;
    loader::AddinLibrary::Connection connection_{nullptr, nullptr};
    bool connectedNow_ = false;
};

}  // namespace vorra::desktop
