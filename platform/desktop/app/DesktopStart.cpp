#include "platform/desktop/app/DesktopStart.h"

#include <QApplication>
#include <cstdio>

#include "platform/desktop/toolkit/ChineseTexts.h"
#include "platform/loader/AddinSearch.h"
#include "tools/sampletemplate/SampleTemplate.h"

namespace vorra::desktop {

namespace {
const QString kHostVersion = QStringLiteral("host-version");
const QString kSample = QStringLiteral("sample");
const QString kNoAddin = QStringLiteral("no-addin");
}  // namespace

void addDesktopOptions(QCommandLineParser& parser) {
    parser.addOptions({
        {kHostVersion, "Host version text (below 12: command bars).", "text", QString::fromLatin1(kDefaultHostVersion)},
        {kSample, "Open a new workbook made from the sample template."},
        {kNoAddin, "Run without the add-in."},
    });
    parser.addPositionalArgument("workbook", "Workbooks to open.");
}

DesktopStart::DesktopStart(const QCommandLineParser& parser, DesktopEnvironment environment)
    : session_(parser.value(kHostVersion).toStdString(), std::move(environment.printFolder)), window_(session_) {
    // Qt's own windows (the file dialog, the standard buttons) in Chinese, as the rest.
    if (!installChineseTranslations(*qApp))
        std::fprintf(stderr, "vorra-desktop: Qt's Chinese translations not found (package qt6-translations-l10n)\n");
    window_.show();
    if (!parser.isSet(kNoAddin)) {
        auto candidates = loader::addinCandidates(QApplication::applicationDirPath().toStdString(), environment.addin,
                                                  VORRA_INSTALLED_ADDIN_DIR, VORRA_INSTALLED_ADDIN_RELATIVE_DIR);
        if (auto path = loader::findAddin(candidates))
            window_.connectAddin(userAddinLibrary(*path, environment.user));
        else
            std::fprintf(stderr, "vorra-desktop: libvorra.so not found; running without the add-in\n");
    }
    if (parser.isSet(kSample)) {
        tools::buildSampleTemplate(*session_.application().addWorkbook());
        window_.syncFromEngine();
    }
    for (const QString& path : parser.positionalArguments()) window_.openWorkbook(path);
}

}  // namespace vorra::desktop
