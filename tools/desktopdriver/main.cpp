// vorra-desktop-driver: vorra-desktop driven for demonstrations and screenshots. It
// takes the desktop's options and, after start-up, runs add-in commands, types into
// forms and saves pictures of the windows, through Qt Test's simulated input.
//
//   vorra-desktop-driver [desktop options] [--invoke COMMAND]... [--type FORM.CONTROL=TEXT]...
//                        [--screenshot FILE] [--form-screenshot FORM=FILE]... [--screen-screenshot FILE]
//
// --invoke runs an add-in command (repeatable), --type types into a form's box,
// --screenshot saves the window, --form-screenshot a form's window, --screen-screenshot
// the whole screen (where the forms stand over the window); with a screenshot the
// program ends after taking it.
#include <QApplication>
#include <QCommandLineParser>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "platform/desktop/app/DesktopStart.h"
#include "platform/desktop/toolkit/FormWindow.h"

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
    QApplication::setApplicationName(QStringLiteral("vorra-desktop-driver"));
    QCommandLineParser parser;
    parser.addHelpOption();
    addDesktopOptions(parser);
    QCommandLineOption invoke(QStringLiteral("invoke"), "Run an add-in command after start-up.", "command");
    QCommandLineOption type(QStringLiteral("type"), "Type into a form's box: FORM.CONTROL=TEXT.", "request");
    QCommandLineOption shot(QStringLiteral("screenshot"), "Save the window as a picture and end.", "file");
    QCommandLineOption formShot(QStringLiteral("form-screenshot"), "Save a form's window as a picture: FORM=FILE.", "request");
    QCommandLineOption screenShot(QStringLiteral("screen-screenshot"), "Save the whole screen as a picture and end.", "file");
    parser.addOptions({invoke, type, shot, formShot, screenShot});
    parser.process(app);

    // The environment is read here only: the add-in's path and the print folder.
    const char* addin = std::getenv("VORRA_ADDIN");
    DesktopStart start(parser, {addin ? std::optional<std::string>(addin) : std::nullopt,
                                vorra::print::PrintFolder::standard(std::getenv("VORRA_PRINT_DIR"), std::getenv("HOME"))});
    DesktopSession& session = start.session();
    MainWindow& window = start.window();

    const bool screenshots = parser.isSet(shot) || parser.isSet(formShot) || parser.isSet(screenShot);
    if (screenshots) window.setDiscardChangesOnClose(true);
    QTimer::singleShot(300, &window, [&] {
        if (auto* connection = session.connection())
            for (const QString& command : parser.values(invoke)) {
                connection->invoke(command.toStdString());
                QApplication::processEvents();
            }
        for (const QString& request : parser.values(type))
            if (!typeIntoForm(session.toolkit(), request))
                std::fprintf(stderr, "vorra-desktop-driver: cannot type %s\n", qPrintable(request));
        window.syncFromEngine();
        if (!screenshots) return;
        QTimer::singleShot(700, &window, [&] {
            if (parser.isSet(shot)) window.grab().save(parser.value(shot));
            if (parser.isSet(screenShot))
                if (QScreen* screen = QGuiApplication::primaryScreen())
                    screen->grabWindow(0).save(parser.value(screenShot));
            for (const QString& request : parser.values(formShot)) {
                qsizetype eq = request.indexOf(u'=');
                auto form = session.toolkit().findForm(request.left(eq).toStdString());
                FormWindow* w = form ? session.toolkit().existingWindow(*form) : nullptr;
                if (w)
                    w->grab().save(request.mid(eq + 1));
                else
                    std::fprintf(stderr, "vorra-desktop-driver: no window of form %s\n", qPrintable(request.left(eq)));
            }
            window.close();
        });
    });
    return app.exec();
}
