#include "platform/desktop/ribbon/RibbonIcons.h"

#include <QApplication>
#include <QStyle>
#include <string_view>

namespace vorra::desktop {

namespace {

struct IconEntry {
    std::string_view imageMso;
    int faceId;  // the command-bar face showing the same command
    std::string_view themeName;
    QStyle::StandardPixmap fallback;
};

// The add-in's commands: template import, fill in, print, batch print, print records,
// date, paper size, margins, and the links to the maker's pages.
constexpr IconEntry kIcons[] = {
    {"CreateReportFromWizard", 591, "document-new", QStyle::SP_FileDialogNewFolder},
    {"ReviewAcceptChange", 162, "accessories-text-editor", QStyle::SP_FileDialogContentsView},
    {"FileInternetFax", 1707, "document-print", QStyle::SP_DialogSaveButton},
    {"PrintAreaMenu", 986, "printer", QStyle::SP_DriveHDIcon},
    {"PageSetupPageDialog", 513, "document-page-setup", QStyle::SP_FileDialogDetailedView},
    {"SlideShowRehearseTimings", 33, "appointment-new", QStyle::SP_BrowserReload},
    {"PageOrientationPortrait", 318, "x-office-document", QStyle::SP_FileIcon},
    {"ZoomFitToWindow", 5, "zoom-fit-best", QStyle::SP_TitleBarMaxButton},
    {"BlogHomePage", 1016, "web-browser", QStyle::SP_DirHomeIcon},
    {"WorkflowPending", 564, "help-faq", QStyle::SP_MessageBoxQuestion},
    {"ContentsAndIndex", 3278, "help-contents", QStyle::SP_DialogHelpButton},
    {"MeetingsWorkspace", 2126, "system-users", QStyle::SP_DirIcon},
    {"MoveToFolder", 1104, "folder-download", QStyle::SP_DirOpenIcon},
    {"HappyFace", 59, "face-smile", QStyle::SP_MessageBoxInformation},
};

const IconEntry* byImage(const std::string& imageMso) {
    for (const auto& e : kIcons)
        if (e.imageMso == imageMso) return &e;
    return nullptr;
}

const IconEntry* byFace(int faceId) {
    for (const auto& e : kIcons)
        if (e.faceId == faceId) return &e;
    return nullptr;
}

QIcon iconFor(const IconEntry* entry) {
    if (entry) {
        QIcon themed = QIcon::fromTheme(QString::fromLatin1(entry->themeName.data(),
                                                            static_cast<qsizetype>(entry->themeName.size())));
        if (!themed.isNull()) return themed;
        if (qApp) return QApplication::style()->standardIcon(entry->fallback);
        return {};
    }
    return qApp ? QApplication::style()->standardIcon(QStyle::SP_FileIcon) : QIcon();
}

}  // namespace

std::string themeIconName(const std::string& imageMso) {
    const IconEntry* e = byImage(imageMso);
    return e ? std::string(e->themeName) : std::string();
}

QIcon ribbonIcon(const std::string& imageMso) { return iconFor(byImage(imageMso)); }
QIcon faceIcon(int faceId) { return iconFor(byFace(faceId)); }

void ensureIconTheme() {
    if (!QIcon::fromTheme(QStringLiteral("document-print")).isNull()) return;
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    if (QIcon::fromTheme(QStringLiteral("document-print")).isNull())
        QIcon::setThemeName(QStringLiteral("Adwaita"));
}

}  // namespace vorra::desktop
