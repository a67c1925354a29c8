// Quorlaunch: shows the welcome window, leaves the launch marker in its own folder and
// starts the host three seconds later.
//
// Quorlaunch --screenshot FILE   saves a picture of the welcome window as PNG and ends,
//                                writing no marker and starting nothing.
#include <QApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <cstdio>

#include "launcher/app/Form1.h"
#include "launcher/app/QtTimerService.h"
#include "launcher/core/HostLocation.h"
#include "platform/desktop/app/UserFolder.h"
#include "platform/desktop/widgets/RoundedWindow.h"

using namespace vorra::launcher;

namespace {

bool startDetached(const std::string& program) {
    return QProcess::startDetached(QString::fromStdString(program), QStringList());
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const std::string folder = QApplication::applicationDirPath().toStdString();
    const std::string exeName = QFileInfo(QApplication::applicationFilePath()).fileName().toStdString();

    // An installed launcher leaves its marker in the user's own add-in folder, where the
    // host loads the add-in from (see platform/desktop/app/UserFolder.h); the host
    // program is named beside the launcher.
    std::string markerFolder = folder;
    try {
        markerFolder = vorra::desktop::prepareUserFolder(folder, vorra::desktop::UserEnvironment::fromProcess()).string();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Quorlaunch: cannot prepare the user's folder: %s\n", e.what());
    }

    QtTimerService service;
    Module1 timers(service, exeName);
    Form1 form(LauncherServices{
        timers, markerFolder, [folder] { return hostProgramFromEnvironment(folder); }, startDetached});

    const qsizetype screenshot = args.indexOf(QStringLiteral("--screenshot"));
    if (screenshot > 0) {
        if (screenshot + 1 >= args.size()) {
            std::fputs("usage: Quorlaunch [--screenshot FILE]\n", stderr);
            return 2;
        }
        form.show();
        for (int i = 0; i < 20; ++i) QApplication::processEvents();
        if (!vorra::desktop::savePng(form.picture(), args.at(screenshot + 1))) {
            std::fputs("Quorlaunch: could not save the screenshot\n", stderr);
            return 1;
        }
        return 0;
    }

    form.show();
    form.Form_Load();
    return QApplication::exec();
}
