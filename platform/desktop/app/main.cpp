// vorra-desktop: the spreadsheet window on the embedded engine, with the add-in loaded.
//
//   vorra-desktop [--host-version 16.0] [--sample] [--no-addin] [WORKBOOK...]
//
// The demonstration and screenshot options live in a program of their own,
// vorra-desktop-driver (tools/desktopdriver).
#include <QApplication>
#include <QCommandLineParser>
#include <cstdlib>

#include "platform/desktop/app/DesktopStart.h"

using namespace vorra::desktop;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vorra-desktop"));
    QCommandLineParser parser;
    parser.addHelpOption();
    addDesktopOptions(parser);
    parser.process(app);

    // The environment is read here only: the add-in's path, the print folder and the
    // user's folders.
    const char* addin = std::getenv("VORRA_ADDIN");
    const UserEnvironment user = UserEnvironment::fromProcess();
    DesktopStart start(parser, {addin ? std::optional<std::string>(addin) : std::nullopt,
                                vorra::print::PrintFolder(printFolderFor(user)), user});
    return app.exec();
}
