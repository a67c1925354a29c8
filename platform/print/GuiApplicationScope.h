#pragma once
// Qt draws text only inside a running QGuiApplication. The headless programs (the
// scenario runner, the tests, the benchmarks) have none of their own, so they hold
// one of these for as long as they print; it uses Qt's "offscreen" platform unless
// QT_QPA_PLATFORM names another, and so needs no display.

#include <memory>

class QGuiApplication;

namespace vorra::print {

class GuiApplicationScope {
public:
    GuiApplicationScope();  // creates the application unless one exists already
    ~GuiApplicationScope();
    GuiApplicationScope(const GuiApplicationScope&) = delete;
    GuiApplicationScope& operator=(const GuiApplicationScope&) = delete;

private:
    int argc_ = 1;
    char programName_[8] = "vorra";
    char* argv_[2] = {programName_, nullptr};
    std::unique_ptr<QGuiApplication> app_;
};

}  // namespace vorra::print
