#include "platform/desktop/app/PrintPreviewWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QVBoxLayout>
#include <algorithm>

#include "addin/frame/host/HostError.h"
#include "platform/desktop/app/DesktopTexts.h"
#include "platform/desktop/app/PrintOffsetsDialog.h"
#include "platform/engine/print/CellGeometry.h"
#include "platform/print/LayoutPainter.h"
#include "platform/print/QtPrinter.h"

namespace vorra::desktop {

namespace {

QString u8(const char* s) { return QString::fromUtf8(s); }
QSettings settings() {
    return QSettings(QStringLiteral("Vorra"), QString::fromUtf8(texts::kProgramName));
}
QString pictureGroup(const std::string& sheet) {
    return QStringLiteral("formPicture/") + QString::fromStdString(sheet);
}

// A form's picture is a page's scan: more pixels than this is not one.
constexpr int kMaxPictureSide = 20000;
constexpr int kZooms[] = {50, 75, 100, 150, 200, 300};

}  // namespace

FormPicture storedFormPicture(const std::string& sheet) {
    QSettings s = settings();
    s.beginGroup(pictureGroup(sheet));
    FormPicture p;
    p.path = s.value(QStringLiteral("path")).toString();
    p.dpi = std::clamp(s.value(QStringLiteral("dpi"), p.dpi).toDouble(), 50.0, 2400.0);
    p.xMm = std::clamp(s.value(QStringLiteral("x"), 0.0).toDouble(), -100.0, 100.0);
    p.yMm = std::clamp(s.value(QStringLiteral("y"), 0.0).toDouble(), -100.0, 100.0);
    p.shown = s.value(QStringLiteral("shown"), true).toBool();
    return p;
}

void storeFormPicture(const std::string& sheet, const FormPicture& picture) {
    QSettings s = settings();
    s.beginGroup(pictureGroup(sheet));
    s.setValue(QStringLiteral("path"), picture.path);
    s.setValue(QStringLiteral("dpi"), picture.dpi);
    s.setValue(QStringLiteral("x"), picture.xMm);
    s.setValue(QStringLiteral("y"), picture.yMm);
    s.setValue(QStringLiteral("shown"), picture.shown);
}

// ---- The page --------------------------------------------------------------------------------

PreviewPage::PreviewPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("previewPage"));
}

void PreviewPage::setPage(const engine::PrintLayout& layout,
                          const print::PageAdjustment& adjustment) {
    layout_ = layout;
    adjustment_ = adjustment;
    updateGeometry();
    update();
}

void PreviewPage::setPicture(const QImage& image, const FormPicture& placement) {
    picture_ = image;
    placement_ = placement;
    update();
}

void PreviewPage::setPixelsPerMm(double pixels) {
    pixelsPerMm_ = pixels;
    resize(sizeHint());
    updateGeometry();
    update();
}

QSize PreviewPage::sizeHint() const {
    const double mm = pixelsPerMm_ / engine::kPointsPerMm;  // pixels per point
    return {static_cast<int>(layout_.paperWidth * mm) + 2 * kBorder,
            static_cast<int>(layout_.paperHeight * mm) + 2 * kBorder};
}

void PreviewPage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(128, 128, 128));
    const double u = pixelsPerMm_;
    const QRectF paper(0, 0, layout_.paperWidth / engine::kPointsPerMm * u,
                       layout_.paperHeight / engine::kPointsPerMm * u);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.translate(kBorder, kBorder);
    p.fillRect(paper, Qt::white);
    if (!picture_.isNull() && placement_.shown) {
        const double mmPerDot = 25.4 / placement_.dpi;
        p.drawImage(QRectF(placement_.xMm * u, placement_.yMm * u, picture_.width() * mmPerDot * u,
                           picture_.height() * mmPerDot * u),
                    picture_);
    }
    // The layout painter draws fonts in the screen's own points; the painter's scale
    // makes the whole page true size at the zoom.
    const double screenUnitsPerPoint = logicalDpiY() / 72.0;
    p.save();
    p.setClipRect(paper);
    const double scale = u / engine::kPointsPerMm / screenUnitsPerPoint;
    p.scale(scale, scale);
    print::LayoutPainter painter(p, screenUnitsPerPoint);
    if (!layout_.pages.empty()) painter.paintPage(layout_.pages.front(), adjustment_);
    p.restore();
    // The form's outline: the paper's edge.
    p.setPen(QPen(QColor(0, 90, 200), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRect(paper);
}

// ---- The window ------------------------------------------------------------------------------

double PrintPreviewWindow::screenPixelsPerMm(const QWidget* widget) {
    const QScreen* screen = widget->screen();
    double dpi = screen ? screen->physicalDotsPerInchX() : 96;
    // A screen that reports no size, or a nonsensical one, is taken at its logical size.
    if (!(dpi >= 50 && dpi <= 600)) dpi = screen ? screen->logicalDotsPerInchX() : 96;
    return dpi / 25.4;
}

PrintPreviewWindow::PrintPreviewWindow(engine::PrintLayout layout, print::QtPrinter& printer,
                                       QWidget* parent)
    : QDialog(parent), layout_(std::move(layout)), printer_(printer) {
    setObjectName(QStringLiteral("PrintPreviewWindow"));
    setWindowTitle(u8(texts::kPreviewTitle).arg(QString::fromStdString(layout_.sheetName)));
    auto* column = new QVBoxLayout(this);

    auto* tools = new QHBoxLayout;
    tools->addWidget(new QLabel(u8(texts::kPreviewZoom), this));
    zoom_ = new QComboBox(this);
    for (int z : kZooms)
        zoom_->addItem(z == 100 ? u8(texts::kPreviewTrueSize).arg(z) : QStringLiteral("%1%").arg(z),
                       z);
    zoom_->setCurrentIndex(2);
    tools->addWidget(zoom_);
    auto* choose = new QPushButton(u8(texts::kPreviewPicture), this);
    tools->addWidget(choose);
    showPicture_ = new QCheckBox(u8(texts::kPreviewShowPicture), this);
    tools->addWidget(showPicture_);
    auto spin = [&](const char* label, double low, double high, int decimals) {
        tools->addWidget(new QLabel(u8(label), this));
        auto* box = new QDoubleSpinBox(this);
        box->setRange(low, high);
        box->setDecimals(decimals);
        box->setSingleStep(decimals == 0 ? 10 : 0.1);
        tools->addWidget(box);
        return box;
    };
    dpi_ = spin(texts::kPreviewDpi, 50, 2400, 0);
    pictureX_ = spin(texts::kPreviewPictureX, -100, 100, 1);
    pictureY_ = spin(texts::kPreviewPictureY, -100, 100, 1);
    tools->addStretch(1);
    print_ = new QPushButton(QIcon::fromTheme(QStringLiteral("document-print")),
                             u8(texts::kPreviewPrint), this);
    auto* close = new QPushButton(u8(texts::kPreviewClose), this);
    tools->addWidget(print_);
    tools->addWidget(close);
    column->addLayout(tools);

    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("previewSummary"));
    summary_->setWordWrap(true);
    QString text = u8(texts::kPreviewSummary)
                       .arg(printerCaption(printer_), adjustmentText(printer_, layout_.sheetName))
                       .arg(layout_.paperWidth / engine::kPointsPerMm, 0, 'f', 0)
                       .arg(layout_.paperHeight / engine::kPointsPerMm, 0, 'f', 0);
    if (layout_.pages.size() > 1)
        text += u8(texts::kPreviewPages)
                    .arg(layout_.pages.size())
                    .arg(u8(texts::printFailure(host::error::kPrintPastPage)));
    summary_->setText(text);
    column->addWidget(summary_);

    page_ = new PreviewPage;
    page_->setPage(layout_, printer_.adjustmentFor(layout_.sheetName));
    scroll_ = new QScrollArea(this);
    scroll_->setWidget(page_);
    scroll_->setAlignment(Qt::AlignCenter);
    scroll_->setBackgroundRole(QPalette::Dark);
    column->addWidget(scroll_, 1);

    picture_ = storedFormPicture(layout_.sheetName);
    if (!picture_.path.isEmpty()) {
        QImageReader reader(picture_.path);
        const QSize size = reader.size();
        if (size.isValid() && size.width() <= kMaxPictureSide && size.height() <= kMaxPictureSide)
            image_ = reader.read();
        // A picture moved or deleted since: said in the summary, the choice kept.
        if (image_.isNull())
            summary_->setText(summary_->text() + QStringLiteral("；") +
                              u8(texts::kPreviewPictureUnreadable).arg(picture_.path));
    }
    {
        QSignalBlocker a(dpi_), b(pictureX_), c(pictureY_), d(showPicture_);
        dpi_->setValue(picture_.dpi);
        pictureX_->setValue(picture_.xMm);
        pictureY_->setValue(picture_.yMm);
        showPicture_->setChecked(picture_.shown);
    }
    showPicture();

    connect(zoom_, &QComboBox::currentIndexChanged, this, [this] { applyZoom(); });
    connect(choose, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(
            this, u8(texts::kPreviewPicture).remove(QStringLiteral("…")), picture_.path,
            u8(texts::kPreviewPictureFilter));
        if (!path.isEmpty()) choosePicture(path);
    });
    auto placed = [this] {
        picture_.dpi = dpi_->value();
        picture_.xMm = pictureX_->value();
        picture_.yMm = pictureY_->value();
        picture_.shown = showPicture_->isChecked();
        if (!picture_.path.isEmpty()) storeFormPicture(layout_.sheetName, picture_);
        showPicture();
    };
    for (QDoubleSpinBox* box : {dpi_, pictureX_, pictureY_})
        connect(box, &QDoubleSpinBox::valueChanged, this, placed);
    connect(showPicture_, &QCheckBox::toggled, this, placed);
    connect(print_, &QPushButton::clicked, this, &QDialog::accept);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    applyZoom();
    resize(std::min(page_->sizeHint().width() + 60, 1200),
           std::min(page_->sizeHint().height() + 140, 900));
}

bool PrintPreviewWindow::choosePicture(const QString& path) {
    QImageReader reader(path);
    const QSize size = reader.size();
    QImage image;
    if (size.isValid() && size.width() <= kMaxPictureSide && size.height() <= kMaxPictureSide)
        image = reader.read();
    if (image.isNull()) {
        QMessageBox::critical(this, windowTitle(), u8(texts::kPreviewPictureUnreadable).arg(path));
        return false;
    }
    image_ = image;
    picture_.path = path;
    picture_.shown = true;
    // A resolution the file gives is the scan's; else the one set.
    if (image.dotsPerMeterX() > 2000)
        picture_.dpi = std::clamp(image.dotsPerMeterX() * 0.0254, 50.0, 2400.0);
    {
        QSignalBlocker a(dpi_), d(showPicture_);
        dpi_->setValue(picture_.dpi);
        showPicture_->setChecked(true);
    }
    storeFormPicture(layout_.sheetName, picture_);
    showPicture();
    return true;
}

void PrintPreviewWindow::showPicture() {
    page_->setPicture(image_, picture_);
    showPicture_->setEnabled(!image_.isNull());
}

void PrintPreviewWindow::applyZoom() {
    page_->setPixelsPerMm(screenPixelsPerMm(this) * zoom_->currentData().toInt() / 100.0);
}

}  // namespace vorra::desktop
