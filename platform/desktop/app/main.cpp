// vorra-desktop: the spreadsheet window on the embedded engine, with the add-in loaded.
//
//   vorra-desktop [--host-version 16.0] [--sample] [WORKBOOK...]
//
// Demonstration and screenshot options: --invoke COMMAND runs an add-in command after
// start-up (repeatable), --type FORM.CONTROL=TEXT types into a form's box,
// --screenshot FILE saves the window, --form-screenshot FORM=FILE a form's window; with
// a screenshot the program ends after taking it.
#include <QApplication>
#include <QCommandLineParser>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "platform/desktop/app/DesktopSession.h"
#include "platform/desktop/app/MainWindow.h"
#include "platform/desktop/toolkit/FormWindow.h"
#include "platform/loader/AddinSearch.h"
#include "tools/sampletemplate/SampleTemplate.h"

using namespace vorra::desktop;

namespace {

bool typeIntoForm(QtToolkit& toolkit, const QString& request) {
    // FORM.CONTROL=TEXT
    qsizetype eq = request.indexOf(u'=');
    qsizetype dot = request.lastIndexOf(u'.', eq);
    if (eq < 0 || dot < 0) return false;
    auto form = toolkit.findForm(request.left(dot).toStdString());
    if (!form) return false;
    FormWindow* window = toolkit.window(*form);
    QWidget* target = window ? window->controlWidget(request.mid(dot + 1, eq - dot - 1).toStdString()) : nullptr;
    if (!target) return false;
    QString text = request.mid(eq + 1);
    for (QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClicks(target, QString(c));
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QApplication::sendEvent(target, &commit);
        }
        QApplication::processEvents();
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vorra-desktop"));
    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption version(QStringLiteral("host-version"), "Host version text (below 12: command bars).", "text",
                               QString::fromLatin1(kDefaultHostVersion));
    QCommandLineOption sample(QStringLiteral("sample"), "Open a new workbook made from the sample template.");
    QCommandLineOption noAddin(QStringLiteral("no-addin"), "Run without the add-in.");
    QCommandLineOption invoke(QStringLiteral("invoke"), "Run an add-in command after start-up.", "command");
    QCommandLineOption type(QStringLiteral("type"), "Type into a form's box: FORM.CONTROL=TEXT.", "request");
    QCommandLineOption shot(QStringLiteral("screenshot"), "Save the window as a picture and end.", "file");
    QCommandLineOption formShot(QStringLiteral("form-screenshot"), "Save a form's window as a picture: FORM=FILE.", "request");
    parser.addOptions({version, sample, noAddin, invoke, type, shot, formShot});
    parser.addPositionalArgument("workbook", "Workbooks to open.");
    parser.process(app);

    // The environment is read here only: the add-in's path and the print folder.
    DesktopSession session(parser.value(version).toStdString(),
                           vorra::print::PrintFolder::standard(std::getenv("VORRA_PRINT_DIR"), std::getenv("HOME")));
    MainWindow window(session);
    window.show();

    if (!parser.isSet(noAddin)) {
        const char* override = std::getenv("VORRA_ADDIN");
        auto candidates = vorra::loader::addinCandidates(QApplication::applicationDirPath().toStdString(),
                                          override ? std::optional<std::string>(override) : std::nullopt,
                                          VORRA_INSTALLED_ADDIN_DIR, VORRA_INSTALLED_ADDIN_RELATIVE_DIR);
        if (auto path = vorra::loader::findAddin(candidates))
            window.connectAddin(*path);
        else
            std::fprintf(stderr, "vorra-desktop: libvorra.so not found; running without the add-in\n");
    }
    if (parser.isSet(sample)) {
        vorra::tools::buildSampleTemplate(*session.application().addWorkbook());
        window.syncFromEngine();
    }
    for (const QString& path : parser.positionalArguments()) window.openWorkbook(path);

    const bool screenshots = parser.isSet(shot) || parser.isSet(formShot);
    if (screenshots) window.setDiscardChangesOnClose(true);
    QTimer::singleShot(300, &window, [&] {
        if (auto* connection = session.connection())
            for (const QString& command : parser.values(invoke)) {
                connection->invoke(command.toStdString());
                QApplication::processEvents();
            }
        for (const QString& request : parser.values(type))
            if (!typeIntoForm(session.toolkit(), request))
                std::fprintf(stderr, "vorra-desktop: cannot type %s\n", qPrintable(request));
        window.syncFromEngine();
        if (!screenshots) return;
        QTimer::singleShot(700, &window, [&] {
            if (parser.isSet(shot)) window.grab().save(parser.value(shot));
            for (const QString& request : parser.values(formShot)) {
                qsizetype eq = request.indexOf(u'=');
                auto form = session.toolkit().findForm(request.left(eq).toStdString());
                FormWindow* w = form ? session.toolkit().existingWindow(*form) : nullptr;
                if (w)
                    w->grab().save(request.mid(eq + 1));
                else
                    std::fprintf(stderr, "vorra-desktop: no window of form %s\n", qPrintable(request.left(eq)));
            }
            window.close();
        });
    });
    return app.exec();
}
