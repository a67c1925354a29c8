// The printer's offsets in the desktop: the dialog keeps them per printer and per bill
// sheet in the settings, the page setup window names them, and the preview draws the
// page moved by them over the form's picture, as it will print.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <filesystem>

#include "platform/desktop/app/DesktopSession.h"
#include "platform/desktop/app/PageSetupWindow.h"
#include "platform/desktop/app/PrintOffsetsDialog.h"
#include "platform/desktop/app/PrintPreviewWindow.h"
#include "platform/engine/print/CellGeometry.h"
#include "platform/engine/print/PageSetupDialog.h"

namespace vorra::desktop {
namespace {

namespace fs = std::filesystem;
constexpr double kMm = engine::kPointsPerMm;

void clearSettings() {
    QStandardPaths::setTestModeEnabled(true);  // settings in a scratch folder
    QSettings(QStringLiteral("Vorra"), QStringLiteral("vorra-desktop")).clear();
}

TEST(PrintOffsets, KeptPerPrinterAndSheetAndShownByThePageSetup) {
    clearSettings();
    const fs::path prints =
        fs::temp_directory_path() / ("vorra-offsets-" + std::to_string(::getpid()));
    fs::remove_all(prints);
    DesktopSession session("16.0", print::PrintFolder(prints));
    print::QtPrinter& printer = session.printer();
    const std::vector<std::string> sheets{"现金支票", "转账支票"};
    auto paper = [](const std::string&) { return std::pair{240 * kMm, 80 * kMm}; };
    auto set = [&](bool sheetOnly, double x, double y, double scaleY) {
        PrintOffsetsDialog dialog(printer, sheets, "转账支票", paper);
        if (sheetOnly) dialog.sheetOnlyButton()->setChecked(true);
        dialog.offsetXBox()->setValue(x);
        dialog.offsetYBox()->setValue(y);
        dialog.scaleYBox()->setValue(scaleY);
        dialog.accept();
    };
    set(false, 1.5, -0.7, 1);
    set(true, 0.3, -0.7, 0.995);
    EXPECT_EQ(printer.adjustmentFor("转账支票"), (print::PageAdjustment{0.3, -0.7, 1, 0.995}));
    EXPECT_EQ(printer.adjustmentFor("现金支票"), (print::PageAdjustment{1.5, -0.7, 1, 1}));
    // The next session reads them back; the dialog opens on the sheet's own.
    EXPECT_EQ(storedCalibrations().format(), printer.calibrations().format());
    PrintOffsetsDialog again(printer, sheets, "现金支票", paper);
    EXPECT_FALSE(again.sheetOnlyButton()->isChecked());
    EXPECT_DOUBLE_EQ(again.offsetXBox()->value(), 1.5);
    again.sheetBox()->setCurrentIndex(1);
    EXPECT_TRUE(again.sheetOnlyButton()->isChecked());
    EXPECT_DOUBLE_EQ(again.offsetXBox()->value(), 0.3);
    EXPECT_DOUBLE_EQ(again.scaleYBox()->value(), 0.995);

    // The calibration page goes to the current printer, here print to file.
    again.calibrationButton()->click();
    bool printed = false;
    for (const auto& e : fs::directory_iterator(prints))
        printed |= e.path().filename().string().rfind("校准页-转账支票-", 0) == 0;
    EXPECT_TRUE(printed);
    EXPECT_TRUE(again.findChild<QLabel*>(QStringLiteral("calibrationStatus"))
                    ->text()
                    .contains(QString::fromStdString(prints.string())));

    // The page setup window of another sheet names the printer's offsets in force.
    auto book = session.application().addWorkbook();
    QString note;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* window = qobject_cast<QDialog*>(w);
                window && window->objectName() == "PageSetupWindow") {
                note = window->findChild<QLabel*>(QStringLiteral("offsetsInForce"))->text();
                window->reject();
            }
    });
    session.services().builtinDialog(engine::kPageSetupDialogId,
                                     *session.application().activeSheet(), "{RIGHT}");
    EXPECT_TRUE(note.contains(QStringLiteral("横向 +1.5 毫米，纵向 -0.7 毫米")))
        << note.toStdString();
    EXPECT_TRUE(note.contains(QStringLiteral("不改变页边距"))) << note.toStdString();
    fs::remove_all(prints);
    clearSettings();
}

// The dark ink of a picture of the page: the texts (the outline is blue, the
// surroundings grey, the form's picture red here).
QRect inkOf(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() < 90 && c.green() < 90 && c.blue() < 90) box |= QRect(x, y, 1, 1);
        }
    return box;
}

TEST(PrintPreview, DrawsThePageMovedByTheOffsetsOverTheFormsPicture) {
    clearSettings();
    engine::PrintLayout layout;
    layout.sheetName = "测试票据";
    layout.paperWidth = 100 * kMm;
    layout.paperHeight = 50 * kMm;
    engine::TextRun run;
    run.box = run.clip = {20 * kMm, 10 * kMm, 60 * kMm, 8 * kMm};
    run.text = "北京华夏建材有限公司";
    run.fontName = "宋体";
    run.vAlign = engine::VAlign::Top;
    layout.pages.push_back({{}, {run}});

    DesktopSession session("16.0", print::PrintFolder("/tmp/vorra-preview-prints"));
    auto pictureOf = [&](const print::PageAdjustment& adjustment) {
        print::Calibrations c;
        c.set(print::kFilePrinterName, "", adjustment);
        session.printer().setCalibrations(c);
        PrintPreviewWindow window(layout, session.printer());
        window.page()->setPixelsPerMm(4);
        return window.page()->grab().toImage();
    };
    const QRect plain = inkOf(pictureOf({}));
    const QRect moved = inkOf(pictureOf({2, -1, 1, 1}));
    ASSERT_FALSE(plain.isEmpty());
    // 4 pixels a millimetre: the text 8 pixels right and 4 up, its size kept.
    const int border = PreviewPage::kBorder;
    EXPECT_NEAR(plain.left(), border + 20 * 4, 2);
    EXPECT_NEAR(moved.left() - plain.left(), 8, 1);
    EXPECT_NEAR(moved.top() - plain.top(), -4, 1);
    EXPECT_NEAR(moved.width(), plain.width(), 1);

    // A picture of 100 × 100 dots at 254 dpi is 10 mm wide; laid 5 mm in from the
    // corner, and kept for the sheet.
    const QString file = QDir::temp().filePath(QStringLiteral("vorra-form-%1.png").arg(::getpid()));
    QImage red(100, 100, QImage::Format_RGB32);
    red.fill(Qt::red);
    red.setDotsPerMeterX(10000);
    red.setDotsPerMeterY(10000);
    ASSERT_TRUE(red.save(file));
    {
        PrintPreviewWindow window(layout, session.printer());
        ASSERT_TRUE(window.choosePicture(file));
        EXPECT_TRUE(
            window.summary()->text().contains(QStringLiteral("横向 +2.0 毫米，纵向 -1.0 毫米")))
            << window.summary()->text().toStdString();
    }
    const FormPicture kept = storedFormPicture("测试票据");
    EXPECT_EQ(kept.path, file);
    EXPECT_NEAR(kept.dpi, 254, 0.5);
    FormPicture placed = kept;
    placed.xMm = placed.yMm = 5;
    storeFormPicture("测试票据", placed);
    PrintPreviewWindow window(layout, session.printer());
    window.page()->setPixelsPerMm(4);
    const QImage shown = window.page()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(border + 22, border + 22), QColor(Qt::red));
    EXPECT_EQ(shown.pixelColor(border + 58, border + 58), QColor(Qt::red));
    EXPECT_EQ(shown.pixelColor(border + 62, border + 30), QColor(Qt::white));
    // A picture gone since is named in the summary; the choice stays.
    QFile::remove(file);
    PrintPreviewWindow without(layout, session.printer());
    EXPECT_TRUE(without.summary()->text().contains(QStringLiteral("无法读取表单图片")))
        << without.summary()->text().toStdString();
    EXPECT_EQ(storedFormPicture("测试票据").path, file);
    clearSettings();
}

}  // namespace
}  // namespace vorra::desktop
