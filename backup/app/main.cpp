// Mouldsafe: copies the workbooks lying beside the program into its "模板备份" folder,
// warning first when the spreadsheet host runs.
//
// Mouldsafe --screenshot FILE [--press-backup]
//     saves a picture of the window as PNG and ends, without looking for the host; with
//     --press-backup the backup runs first, so the picture shows its outcome.
// Mouldsafe --help
//     prints the usage and ends, starting nothing.
#include <QApplication>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "backup/app/Form1.h"
#include "backup/app/HostWarning.h"
#include "backup/core/BackupTexts.h"
#include "backup/core/ProcessList.h"
#include "platform/desktop/widgets/RoundedWindow.h"

using namespace vorra::backup;

int main(int argc, char** argv) {
    // The command line is read before anything starts: --help and an option the tool
    // does not know start nothing, not even the window system.
    std::optional<std::string> screenshot;
    bool pressBackup = false;
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
        if (arg == "--press-backup") {
            pressBackup = true;
            continue;
        }
        std::fprintf(stderr, "Mouldsafe: unknown option \"%s\"\n", argv[i]);
        std::fwrite(kUsage.data(), 1, kUsage.size(), stderr);
        return 2;
    }
    if (pressBackup && !screenshot) {
        std::fwrite(kUsage.data(), 1, kUsage.size(), stderr);
        return 2;
    }

    QApplication app(argc, argv);
    const std::string toolFolder = QApplication::applicationDirPath().toStdString();

    if (screenshot) {
        Form1 form(toolFolder);
        form.show();
        if (pressBackup) form.Command2_Click();
        for (int i = 0; i < 20; ++i) QApplication::processEvents();
        if (!vorra::desktop::savePng(form.picture(), QString::fromLocal8Bit(screenshot->c_str()))) {
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
