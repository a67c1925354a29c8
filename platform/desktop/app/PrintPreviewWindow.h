#pragma once
// The print preview: the active bill sheet's page exactly as it will print on the
// current printer (the same layout, the same painter and the printer's offsets), at
// true size with zoom, over an optional picture of the blank form and the paper's
// outline; printing from the preview prints the sheet as the Print command does.
//
// The picture (a scan or photo of the blank form) is chosen once per bill sheet and kept
// in the desktop's settings with its resolution and position on the paper, so that the
// form's boxes can be laid over the paper's.

#include <QDialog>
#include <QImage>
#include <QString>
#include <string>

#include "platform/engine/print/PrintLayout.h"
#include "platform/print/PrintCalibration.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QScrollArea;

namespace vorra::print {
class QtPrinter;
}

namespace vorra::desktop {

// Where the picture of a blank form lies on the paper: its file, the resolution it was
// scanned at (dots per inch: its size on paper) and the paper position of its top-left
// corner in millimetres.
struct FormPicture {
    QString path;
    double dpi = 200;
    double xMm = 0;
    double yMm = 0;
    bool shown = true;
};

// The picture chosen for a bill sheet, from the desktop's settings; an empty path when
// none was chosen.
FormPicture storedFormPicture(const std::string& sheet);
void storeFormPicture(const std::string& sheet, const FormPicture& picture);

// The paper at a zoom: grey around it, the picture, the page as printed, the outline.
class PreviewPage : public QWidget {
public:
    explicit PreviewPage(QWidget* parent = nullptr);

    void setPage(const engine::PrintLayout& layout, const print::PageAdjustment& adjustment);
    void setPicture(const QImage& image, const FormPicture& placement);
    // Screen pixels per millimetre of paper: the screen's true size times the zoom.
    void setPixelsPerMm(double pixels);
    double pixelsPerMm() const { return pixelsPerMm_; }
    // The paper's top-left corner in the widget.
    static constexpr int kBorder = 16;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    engine::PrintLayout layout_;
    print::PageAdjustment adjustment_;
    QImage picture_;
    FormPicture placement_;
    double pixelsPerMm_ = 4;
};

class PrintPreviewWindow : public QDialog {
public:
    // `layout`: the sheet's print layout. The print button closes the window accepted:
    // the caller then prints the sheet.
    PrintPreviewWindow(engine::PrintLayout layout, print::QtPrinter& printer,
                       QWidget* parent = nullptr);

    PreviewPage* page() const { return page_; }
    QComboBox* zoomBox() const { return zoom_; }
    QLabel* summary() const { return summary_; }
    QPushButton* printButton() const { return print_; }
    // Takes a picture file for the sheet (as the picture button does after its file
    // dialog) and keeps the choice; false, with a message, when it cannot be read.
    bool choosePicture(const QString& path);
    // The screen's pixels per millimetre at 100 %.
    static double screenPixelsPerMm(const QWidget* widget);

private:
    void showPicture();
    void applyZoom();

    engine::PrintLayout layout_;
    print::QtPrinter& printer_;
    FormPicture picture_;
    QImage image_;
    PreviewPage* page_;
    QScrollArea* scroll_;
    QComboBox* zoom_;
    QDoubleSpinBox* dpi_;
    QDoubleSpinBox* pictureX_;
    QDoubleSpinBox* pictureY_;
    QCheckBox* showPicture_;
    QLabel* summary_;
    QPushButton* print_;
};

}  // namespace vorra::desktop
