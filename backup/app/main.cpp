// Mouldsafe: copies the workbooks lying beside the program into its "模板备份" folder,
// warning first when the spreadsheet host runs.
//
// Mouldsafe --screenshot FILE [--press-backup]
//     saves a picture of the window as PNG and ends, without looking for the host; with
//     --press-backup the backup runs first, so the picture shows its outcome.
#include <QApplication>
#include <QStringList>
#include <cstdio>

#include "backup/app/Form1.h"
#include "backup/app/HostWarning.h"
#include "backup/core/ProcessList.h"
#include "platform/desktop/app/UserFolder.h"
#include "platform/desktop/widgets/RoundedWindow.h"

using namespace vorra::backup;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    // Installed, the templates to back up lie in the user's own add-in folder (see
    // platform/desktop/app/UserFolder.h).
    std::string toolFolder = QApplication::applicationDirPath().toStdString();
    try {
        toolFolder = vorra::desktop::prepareUserFolder(toolFolder, vorra::desktop::UserEnvironment::fromProcess()).string();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Mouldsafe: cannot prepare the user's folder: %s\n", e.what());
    }

    const qsizetype screenshot = args.indexOf(QStringLiteral("--screenshot"));
    if (screenshot > 0) {
        if (screenshot + 1 >= args.size()) {
            std::fputs("usage: Mouldsafe [--screenshot FILE [--press-backup]]\n", stderr);
            return 2;
        }
        Form1 form(toolFolder);
        form.show();
        if (args.contains(QStringLiteral("--press-backup"))) form.Command2_Click();
        for (int i = 0; i < 20; ++i) QApplication::processEvents();
        if (!vorra::desktop::savePng(form.picture(), args.at(screenshot + 1))) {
            std::fputs("Mouldsafe: could not save the screenshot\n", stderr);
            return 1;
        }
        return 0;
    }

    // The window opens once the warning, if any, has been confirmed.
    warnWhenHostRuns(runningProgramNames(), [] { hostRunningWarning()->exec(); });
    Form1 form(toolFolder);
    form.show();
    return QApplication::exec();
}
