#pragma once
// The start of the desktop, shared by vorra-desktop and its demonstration driver
// (tools/desktopdriver): the program's options, and the session with its window opened
// as they ask.
//
//   [--host-version 16.0] [--sample] [--no-addin] [WORKBOOK...]

#include <QCommandLineParser>
#include <optional>
#include <string>

#include "platform/desktop/app/DesktopSession.h"
#include "platform/desktop/app/MainWindow.h"
#include "platform/desktop/app/UserFolder.h"
#include "platform/print/PrintFolder.h"

namespace vorra::desktop {

// What the program's main read from the environment, once: the add-in's path
// (VORRA_ADDIN), the print folder (see printFolderFor) and the user's folders, which
// decide where an installed add-in is loaded from (see UserFolder.h).
struct DesktopEnvironment {
    std::optional<std::string> addin;
    print::PrintFolder printFolder;
    UserEnvironment user = {};
};

// Adds the desktop's options and its workbook arguments to a parser.
void addDesktopOptions(QCommandLineParser& parser);

class DesktopStart {
public:
    // Opens the session and shows its window, then as the parsed options ask: the
    // add-in connected unless --no-addin (found as addinCandidates says, from the
    // program's folder; an installed one through the user's folder), a workbook from the
    // sample template, the workbooks named.
    DesktopStart(const QCommandLineParser& parser, DesktopEnvironment environment);

    DesktopSession& session() { return session_; }
    MainWindow& window() { return window_; }

private:
    DesktopSession session_;
    MainWindow window_;
};

}  // namespace vorra::desktop
