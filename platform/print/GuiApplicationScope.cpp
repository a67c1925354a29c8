#include "platform/print/GuiApplicationScope.h"

#include <QGuiApplication>

namespace vorra::print {

GuiApplicationScope::GuiApplicationScope() {
    if (QGuiApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
}

GuiApplicationScope::~GuiApplicationScope() = default;

}  // namespace vorra::print
