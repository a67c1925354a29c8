// vorra-desktop-driver: vorra-desktop driven for demonstrations and screenshots. It
// takes the desktop's options and, after start-up, runs add-in commands, types into
// forms and saves pictures of the windows, through Qt Test's simulated input.
//
//   vorra-desktop-driver [desktop options] [--invoke COMMAND]... [--type FORM.CONTROL=TEXT]...
//                        [--screenshot FILE] [--form-screenshot FORM=FILE]... [--screen-screenshot FILE]
//                        [--sample-bill SHEET] [--calibration FILE] [--form-picture FILE]
//                        [--preview-screenshot FILE] [--calibration-pdf FILE]
//
// --invoke runs an add-in command (repeatable), --type types into a form's box,
// --screenshot saves the window, --form-screenshot a form's window, --screen-screenshot
// the whole screen (where the forms stand over the window); with a screenshot the
// program ends after taking it. --sample-bill writes the sample template's bill into
// the active workbook's fill-in cells and makes SHEET active; --calibration takes the
// printers' offsets from a calibration file (platform/print/PrintCalibration.h) for
// this run; --preview-screenshot saves the print preview of the active sheet, over the
// form picture of --form-picture when given; --calibration-pdf writes the active
// sheet's calibration page, with the current printer's offsets, as a PDF file.
#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "platform/desktop/app/DesktopStart.h"
#include "platform/desktop/app/PrintPreviewWindow.h"
#include "platform/desktop/toolkit/FormWindow.h"
#include "platform/engine/host/EngineHost.h"
#include "platform/print/PdfPrinter.h"
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
    QApplication::setApplicationName(QStringLiteral("vorra-desktop-driver"));
    QCommandLineParser parser;
    parser.addHelpOption();
    addDesktopOptions(parser);
    QCommandLineOption invoke(QStringLiteral("invoke"), "Run an add-in command after start-up.", "command");
    QCommandLineOption type(QStringLiteral("type"), "Type into a form's box: FORM.CONTROL=TEXT.", "request");
    QCommandLineOption shot(QStringLiteral("screenshot"), "Save the window as a picture and end.", "file");
    QCommandLineOption formShot(QStringLiteral("form-screenshot"), "Save a form's window as a picture: FORM=FILE.", "request");
    QCommandLineOption screenShot(QStringLiteral("screen-screenshot"), "Save the whole screen as a picture and end.", "file");
    QCommandLineOption sampleBill(QStringLiteral("sample-bill"), "Fill in the sample bill and show SHEET.", "sheet");
    QCommandLineOption calibration(QStringLiteral("calibration"), "The printers' offsets for this run.", "file");
    QCommandLineOption picture(QStringLiteral("form-picture"), "The form picture for the preview.", "file");
    QCommandLineOption previewShot(QStringLiteral("preview-screenshot"), "Save the print preview and end.", "file");
    QCommandLineOption calibrationPdf(QStringLiteral("calibration-pdf"), "Write the calibration page and end.", "file");
    parser.addOptions(
        {invoke, type, shot, formShot, screenShot, sampleBill, calibration, picture, previewShot, calibrationPdf});
    parser.process(app);

    // The environment is read here only: the add-in's path and the print folder.
    const char* addin = std::getenv("VORRA_ADDIN");
    DesktopStart start(parser, {addin ? std::optional<std::string>(addin) : std::nullopt,
                                vorra::print::PrintFolder::standard(std::getenv("VORRA_PRINT_DIR"), std::getenv("HOME"))});
    DesktopSession& session = start.session();
    MainWindow& window = start.window();

    if (parser.isSet(calibration)) {
        try {
            session.printer().setCalibrations(vorra::print::Calibrations::load(parser.value(calibration).toStdString()));
        } catch (const vorra::print::CalibrationError& e) {
            std::fprintf(stderr, "vorra-desktop-driver: %s\n", e.what());
            return 2;
        }
    }
    if (parser.isSet(sampleBill)) {
        if (auto book = session.application().activeWorkbook()) {
            vorra::tools::writeSampleBill(*book, vorra::tools::SampleBill{});
            book->sheet(parser.value(sampleBill).toStdString())->activate();
        }
        window.syncFromEngine();
    }

    const bool screenshots = parser.isSet(shot) || parser.isSet(formShot) || parser.isSet(screenShot) ||
                             parser.isSet(previewShot) || parser.isSet(calibrationPdf);
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
            if (parser.isSet(previewShot) || parser.isSet(calibrationPdf)) {
                auto& engine = session.application();
                auto book = engine.activeEngineWorkbook();
                const auto layout = vorra::engine::layoutSheet(book->model(), engine.activeEngineSheet()->index());
                if (parser.isSet(previewShot)) {
                    PrintPreviewWindow preview(layout, session.printer(), &window);
                    if (parser.isSet(picture)) preview.choosePicture(parser.value(picture));
                    preview.show();
                    QApplication::processEvents();
                    preview.grab().save(parser.value(previewShot));
                }
                if (parser.isSet(calibrationPdf)) {
                    const vorra::print::CalibrationSheet sheet{layout.sheetName, layout.paperWidth, layout.paperHeight,
                                                               session.printer().caption()};
                    QFile out(parser.value(calibrationPdf));
                    const std::string pdf = vorra::print::PdfPrinter::calibrationPdfBytes(
                        sheet, session.printer().adjustmentFor(layout.sheetName));
                    if (!out.open(QIODevice::WriteOnly) || out.write(pdf.data(), qint64(pdf.size())) != qint64(pdf.size()))
                        std::fprintf(stderr, "vorra-desktop-driver: cannot write %s\n", qPrintable(out.fileName()));
                }
            }
            window.close();
        });
    });
    return app.exec();
}
