#include "platform/desktop/app/PrintOffsetsDialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QVBoxLayout>

#include "addin/frame/host/HostError.h"
#include "platform/desktop/app/DesktopTexts.h"
#include "platform/desktop/toolkit/ChineseTexts.h"

namespace vorra::desktop {

namespace {

QString u8(const char* s) { return QString::fromUtf8(s); }
const char* const kCalibrationKey = "printCalibration";

QSettings settings() { return QSettings(QStringLiteral("Vorra"), QString::fromUtf8(texts::kProgramName)); }

QString signedMm(double mm) { return (mm > 0 ? QStringLiteral("+") : QString()) + QString::number(mm, 'f', 1); }

}  // namespace

print::Calibrations storedCalibrations(QString* problem) {
    const QString text = settings().value(kCalibrationKey).toString();
    try {
        return print::Calibrations::parse(text.toStdString());
    } catch (const print::CalibrationError& e) {
        if (problem) *problem = QString::fromStdString(e.what());
        return {};
    }
}

void storeCalibrations(const print::Calibrations& calibrations) {
    settings().setValue(kCalibrationKey, QString::fromStdString(calibrations.format()));
}

QString printerCaption(const print::QtPrinter& printer) {
    return printer.printsToFile() ? u8(texts::kPrintToPdf).arg(QString::fromStdString(printer.folder().path().string()))
                                  : QString::fromStdString(printer.printerName());
}

QString adjustmentText(const print::QtPrinter& printer, const std::string& sheet) {
    const print::PageAdjustment a = printer.adjustmentFor(sheet);
    if (a.identity()) return u8(texts::kNoAdjustment);
    return u8(texts::kAdjustment)
        .arg(signedMm(a.offsetXmm), signedMm(a.offsetYmm))
        .arg(a.scaleX, 0, 'f', 3)
        .arg(a.scaleY, 0, 'f', 3);
}

PrintOffsetsDialog::PrintOffsetsDialog(print::QtPrinter& printer, std::string sheet, double paperWidthPt,
                                       double paperHeightPt, QWidget* parent)
    : QDialog(parent),
      printer_(printer),
      sheet_(std::move(sheet)),
      paperWidthPt_(paperWidthPt),
      paperHeightPt_(paperHeightPt) {
    setObjectName(QStringLiteral("PrintOffsetsDialog"));
    setWindowTitle(u8(texts::kOffsetsTitle));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(u8(texts::kOffsetsPrinter).arg(printerCaption(printer_)), this));
    allSheets_ = new QRadioButton(u8(texts::kOffsetsAllSheets), this);
    sheetOnly_ = new QRadioButton(u8(texts::kOffsetsSheetOnly).arg(QString::fromStdString(sheet_)), this);
    layout->addWidget(allSheets_);
    layout->addWidget(sheetOnly_);
    sheetOnly_->setEnabled(!sheet_.empty());
    // A sheet that has its own offsets opens on them.
    (printer_.calibrations().has(printer_.calibrationName(), sheet_) && !sheet_.empty() ? sheetOnly_ : allSheets_)
        ->setChecked(true);

    auto* form = new QFormLayout;
    const char* labels[4] = {texts::kOffsetX, texts::kOffsetY, texts::kScaleX, texts::kScaleY};
    for (int i = 0; i < 4; ++i) {
        auto* box = new QDoubleSpinBox(this);
        if (i < 2) {
            box->setRange(-print::kMaxOffsetMm, print::kMaxOffsetMm);
            box->setDecimals(1);
            box->setSingleStep(0.1);
        } else {
            box->setRange(print::kMinScale, print::kMaxScale);
            box->setDecimals(3);
            box->setSingleStep(0.001);
        }
        boxes_[i] = box;
        form->addRow(u8(labels[i]), box);
    }
    layout->addLayout(form);
    auto* hint = new QLabel(u8(texts::kOffsetsHint), this);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("calibrationStatus"));
    status_->setWordWrap(true);
    layout->addWidget(status_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    for (auto standard : {QDialogButtonBox::Ok, QDialogButtonBox::Cancel})
        buttons->button(standard)->setText(chineseButtonText(standard));
    calibrate_ = buttons->addButton(u8(texts::kPrintCalibration), QDialogButtonBox::ActionRole);
    calibrate_->setEnabled(!sheet_.empty());
    QPushButton* reset = buttons->addButton(u8(texts::kResetOffsets), QDialogButtonBox::ResetRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(calibrate_, &QPushButton::clicked, this, [this] { printCalibrationPage(); });
    connect(reset, &QPushButton::clicked, this, [this] {
        for (int i = 0; i < 4; ++i) boxes_[i]->setValue(i < 2 ? 0 : 1);
    });
    connect(allSheets_, &QRadioButton::toggled, this, [this] { showStored(); });
    layout->addWidget(buttons);
    showStored();
}

// The values in force for the chosen scope: a sheet without its own starts from the
// printer's.
void PrintOffsetsDialog::showStored() {
    const print::PageAdjustment a =
        printer_.calibrations().forJob(printer_.calibrationName(), sheetOnly_->isChecked() ? sheet_ : std::string());
    boxes_[0]->setValue(a.offsetXmm);
    boxes_[1]->setValue(a.offsetYmm);
    boxes_[2]->setValue(a.scaleX);
    boxes_[3]->setValue(a.scaleY);
}

print::PageAdjustment PrintOffsetsDialog::shown() const {
    return {boxes_[0]->value(), boxes_[1]->value(), boxes_[2]->value(), boxes_[3]->value()};
}

// The page goes out with the calibration in force, which the page names, so that a
// stored calibration can be checked with it too.
void PrintOffsetsDialog::printCalibrationPage() {
    try {
        const print::PrintedJob job = printer_.printCalibration(sheet_, paperWidthPt_, paperHeightPt_);
        status_->setText(u8(texts::kCalibrationPrinted)
                             .arg(job.file.empty() ? QString::fromStdString(job.printer)
                                                   : QString::fromStdString(job.file.string())));
    } catch (const host::HostError& e) {
        const char* reason = texts::printFailure(e.number());
        QMessageBox::critical(this, windowTitle(),
                              u8(texts::kPrintFailed) + (reason ? u8(reason) + QStringLiteral("\n") : QString()) +
                                  QString::fromStdString(e.what()));
    }
}

void PrintOffsetsDialog::accept() {
    print::Calibrations updated = printer_.calibrations();
    try {
        updated.set(printer_.calibrationName(), sheetOnly_->isChecked() ? sheet_ : std::string(), shown());
    } catch (const print::CalibrationError& e) {
        QMessageBox::critical(this, windowTitle(), u8(texts::kOffsetsRefused) + QString::fromStdString(e.what()));
        return;
    }
    printer_.setCalibrations(updated);
    storeCalibrations(updated);
    QDialog::accept();
}

}  // namespace vorra::desktop
