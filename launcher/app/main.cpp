// Quorlaunch: shows the welcome window, leaves the launch marker in its own folder and
// starts the host three seconds later.
//
// Quorlaunch --screenshot FILE   saves a picture of the welcome window as PNG and ends,
//                                writing no marker and starting nothing.
// Quorlaunch --help              prints the usage and ends, starting nothing.
#include <QApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "launcher/app/Form1.h"
#include "launcher/app/QtTimerService.h"
#include "launcher/core/HostLocation.h"
#include "launcher/core/LauncherTexts.h"
#include "platform/desktop/widgets/RoundedWindow.h"

using namespace vorra::launcher;

namespace {

bool startDetached(const std::string& program) {
    return QProcess::startDetached(QString::fromStdString(program), QStringList());
}

}  // namespace

int main(int argc, char** argv) {
    // The command line is read before anything starts: --help and an option the
    // launcher does not know start nothing, not even the window system.
    std::optional<std::string> screenshot;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fwrite(kUsage.data(), 1, kUsage.size(), stdout);
            return 0;
        }
        if (arg == "--screenshot" && i + 1 < argc && !screenshot) {
            screenshot = argv[++i];
            continue;
        }
        std::fprintf(stderr, "Quorlaunch: unknown option \"%s\"\n", argv[i]);
        std::fwrite(kUsage.data(), 1, kUsage.size(), stderr);
        return 2;
    }

    QApplication app(argc, argv);
    const std::string folder = QApplication::applicationDirPath().toStdString();
    const std::string exeName = QFileInfo(QApplication::applicationFilePath()).fileName().toStdString();

    QtTimerService service;
    Module1 timers(service, exeName);
    Form1 form(LauncherServices{
        timers, folder, [folder] { return hostProgramFromEnvironment(folder); }, startDetached, {}});

    if (screenshot) {
        form.show();
        for (int i = 0; i < 20; ++i) QApplication::processEvents();
        if (!vorra::desktop::savePng(form.picture(), QString::fromLocal8Bit(screenshot->c_str()))) {
            std::fputs("Quorlaunch: could not save the screenshot\n", stderr);
            return 1;
        }
        return 0;
    }

    form.show();
    form.Form_Load();
    // A window that closed while loading (its timer could not start) has said why.
    if (!form.isVisible()) return 1;
    return QApplication::exec();
}
