#include "platform/desktop/app/PageSetupWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>

#include "addin/frame/host/HostError.h"
#include "platform/desktop/app/DesktopTexts.h"
#include "platform/engine/print/PaperSizes.h"
#include "platform/engine/print/PrintTexts.h"

namespace vorra::desktop {

namespace {
constexpr double kCmPerInch = 2.54;
QString u8(const char* s) { return QString::fromUtf8(s); }

// The row of the paper table that the page setup uses: by code, or a bank form by its
// millimetres; -1 for a custom size the table does not have.
int paperRow(const engine::PageSetup& setup) {
    auto papers = engine::paperSizes();
    for (size_t i = 0; i < papers.size(); ++i) {
        const auto& p = papers[i];
        if (setup.paperSize != 0 ? p.code == setup.paperSize
                                 : p.code == 0 && std::abs(p.widthMm - setup.paperWidthMm) < 0.5 &&
                                       std::abs(p.heightMm - setup.paperHeightMm) < 0.5)
            return static_cast<int>(i);
    }
    return -1;
}
}  // namespace

PageSetupWindow::PageSetupWindow(engine::PageSetupDialog& dialog, engine::Sheet& sheet, QWidget* parent)
    : QDialog(parent), dialog_(dialog), sheet_(sheet) {
    setObjectName(QStringLiteral("PageSetupWindow"));
    setWindowTitle(u8(engine::texts::kPageSetupCaption));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    const engine::PageSetup& setup = dialog.setup();
    auto* layout = new QVBoxLayout(this);
    pages_ = new QTabWidget(this);
    layout->addWidget(pages_);

    // First page: paper and orientation.
    auto* paperPage = new QWidget;
    auto* paperForm = new QFormLayout(paperPage);
    paper_ = new QComboBox(paperPage);
    for (const auto& p : engine::paperSizes())
        paper_->addItem(QString::fromUtf8(p.name.data(), static_cast<qsizetype>(p.name.size())) +
                        QStringLiteral("  (%1 × %2 mm)").arg(p.widthMm).arg(p.heightMm));
    int row = paperRow(setup);
    if (row < 0) {
        paper_->addItem(u8(texts::kCustomPaper) +
                        QStringLiteral("  (%1 × %2 mm)").arg(setup.paperWidthMm).arg(setup.paperHeightMm));
        row = paper_->count() - 1;
    }
    paper_->setCurrentIndex(row);
    paperForm->addRow(u8(texts::kPaperSize), paper_);
    auto* orientation = new QGroupBox(u8(texts::kOrientation), paperPage);
    auto* orientationRow = new QHBoxLayout(orientation);
    portrait_ = new QRadioButton(u8(texts::kPortrait), orientation);
    landscape_ = new QRadioButton(u8(texts::kLandscape), orientation);
    orientationRow->addWidget(portrait_);
    orientationRow->addWidget(landscape_);
    (setup.orientation == engine::Orientation::Landscape ? landscape_ : portrait_)->setChecked(true);
    paperForm->addRow(orientation);

    // Second page: margins in centimetres, centring.
    auto* marginPage = new QWidget;
    auto* marginForm = new QFormLayout(marginPage);
    const char* labels[4] = {texts::kMarginTop, texts::kMarginBottom, texts::kMarginLeft, texts::kMarginRight};
    const double values[4] = {setup.marginTop, setup.marginBottom, setup.marginLeft, setup.marginRight};
    for (int i = 0; i < 4; ++i) {
        margins_[i] = new QDoubleSpinBox(marginPage);
        margins_[i]->setRange(0, 20);
        margins_[i]->setDecimals(2);
        margins_[i]->setSingleStep(0.1);
        margins_[i]->setValue(values[i] * kCmPerInch);
        marginForm->addRow(u8(labels[i]), margins_[i]);
    }
    centreH_ = new QCheckBox(u8(texts::kCentreHorizontally), marginPage);
    centreV_ = new QCheckBox(u8(texts::kCentreVertically), marginPage);
    centreH_->setChecked(setup.centerHorizontally);
    centreV_->setChecked(setup.centerVertically);
    marginForm->addRow(centreH_);
    marginForm->addRow(centreV_);
    offsetsNote_ = new QLabel(marginPage);
    offsetsNote_->setObjectName(QStringLiteral("offsetsInForce"));
    offsetsNote_->setWordWrap(true);
    offsetsNote_->hide();
    marginForm->addRow(offsetsNote_);

    // The header and footer page and the sheet page are shown empty, under the captions
    // the dialog gives its pages.
    QWidget* pageWidgets[engine::PageSetupDialog::kPageCount] = {paperPage, marginPage, new QWidget, new QWidget};
    const auto captions = engine::PageSetupDialog::pageCaptions();
    for (int i = 0; i < engine::PageSetupDialog::kPageCount; ++i) {
        std::string_view caption = captions[static_cast<size_t>(i)];
        pages_->addTab(pageWidgets[i], QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
    }
    pages_->setCurrentIndex(static_cast<int>(dialog.page()));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void PageSetupWindow::setOffsetsNote(const QString& note) {
    offsetsNote_->setText(note);
    offsetsNote_->setVisible(!note.isEmpty());
}

void PageSetupWindow::accept() {
    auto papers = engine::paperSizes();
    int row = paper_->currentIndex();
    if (row >= 0 && row < static_cast<int>(papers.size())) {
        const auto& p = papers[static_cast<size_t>(row)];
        if (p.code != 0)
            dialog_.setPaperSize(p.code);
        else
            dialog_.setCustomPaper(p.widthMm, p.heightMm);
    }
    dialog_.setOrientation(landscape_->isChecked() ? engine::Orientation::Landscape : engine::Orientation::Portrait);
    dialog_.setMargins(margins_[2]->value() / kCmPerInch, margins_[3]->value() / kCmPerInch,
                       margins_[0]->value() / kCmPerInch, margins_[1]->value() / kCmPerInch);
    dialog_.setCentring(centreH_->isChecked(), centreV_->isChecked());
    try {
        dialog_.confirm(sheet_);
    } catch (const host::HostError& e) {
        QMessageBox::critical(this, windowTitle(), QString::fromStdString(e.what()));
        return;
    }
    QDialog::accept();
}

void PageSetupWindow::reject() {
    if (dialog_.isOpen()) dialog_.cancel();
    QDialog::reject();
}

bool runPageSetupDialog(engine::Sheet& sheet, std::string_view queuedKeys, QWidget* parent,
                        const std::function<void(PageSetupWindow&)>& beforeExec) {
    return engine::showPageSetupDialog(sheet, queuedKeys, [&](engine::PageSetupDialog& dialog, engine::Sheet& s) {
        PageSetupWindow window(dialog, s, parent);
        if (beforeExec) beforeExec(window);
        window.exec();
    });
}

}  // namespace vorra::desktop
