// The desktop's printer is kept in its settings for the next session and shown in the
// status bar.
#include <gtest/gtest.h>

#include <QLabel>
#include <QSettings>
#include <QStandardPaths>

#include "platform/desktop/app/DesktopSession.h"
#include "platform/desktop/app/MainWindow.h"

namespace vorra::desktop {
namespace {

TEST(PrinterChoice, IsKeptForTheNextSessionAndShownInTheStatusBar) {
    QStandardPaths::setTestModeEnabled(true);  // settings in a scratch folder
    struct Kept {
        QString value;
        std::string printer;  // empty: print to file
        QString shown;
    };
    const Kept cases[] = {
        {QStringLiteral("printer:柜台"), "柜台", QStringLiteral("当前打印机：柜台")},
        {QStringLiteral("file"), "", QStringLiteral("/tmp/vorra-choice-prints")},
    };
    for (const Kept& kept : cases) {
        SCOPED_TRACE(kept.value.toStdString());
        QSettings(QStringLiteral("Vorra"), QStringLiteral("vorra-desktop")).setValue("printer", kept.value);
        DesktopSession session("16.0", print::PrintFolder("/tmp/vorra-choice-prints"));
        MainWindow window(session);
        EXPECT_EQ(session.printer().printerName(), kept.printer);
        auto* status = window.findChild<QLabel*>(QStringLiteral("printStatus"));
        ASSERT_NE(status, nullptr);
        EXPECT_TRUE(status->text().contains(kept.shown)) << status->text().toStdString();
    }
    QSettings(QStringLiteral("Vorra"), QStringLiteral("vorra-desktop")).remove("printer");
}

}  // namespace
}  // namespace vorra::desktop
