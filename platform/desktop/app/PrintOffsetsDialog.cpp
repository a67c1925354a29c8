#include "platform/desktop/app/PrintOffsetsDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QVBoxLayout>
#include <algorithm>

#include "addin/frame/host/HostError.h"
#include "platform/desktop/app/DesktopTexts.h"
#include "platform/desktop/toolkit/ChineseTexts.h"

namespace vorra::desktop {

namespace {

QString u8(const char* s) { return QString::fromUtf8(s); }
const char* const kCalibrationKey = "printCalibration";

QSettings settings() {
    return QSettings(QStringLiteral("Vorra"), QString::fromUtf8(texts::kProgramName));
}

QString signedMm(double mm) {
    return (mm > 0 ? QStringLiteral("+") : QString()) + QString::number(mm, 'f', 1);
}

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
    return printer.printsToFile()
               ? u8(texts::kPrintToPdf)
                     .arg(QString::fromStdString(printer.folder().path().string()))
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

PrintOffsetsDialog::PrintOffsetsDialog(print::QtPrinter& printer, std::vector<std::string> sheets,
                                       const std::string& current, PaperOf paperOf, QWidget* parent)
    : QDialog(parent), printer_(printer), sheets_(std::move(sheets)), paperOf_(std::move(paperOf)) {
    setObjectName(QStringLiteral("PrintOffsetsDialog"));
    setWindowTitle(u8(texts::kOffsetsTitle));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(u8(texts::kOffsetsPrinter).arg(printerCaption(printer_)), this));
    auto* sheetRow = new QFormLayout;
    sheetBox_ = new QComboBox(this);
    for (const std::string& name : sheets_) sheetBox_->addItem(QString::fromStdString(name));
    const auto at = std::find(sheets_.begin(), sheets_.end(), current);
    sheetBox_->setCurrentIndex(at == sheets_.end() ? 0 : static_cast<int>(at - sheets_.begin()));
    sheetBox_->setEnabled(!sheets_.empty());
    sheetRow->addRow(u8(texts::kOffsetsSheet), sheetBox_);
    layout->addLayout(sheetRow);
    allSheets_ = new QRadioButton(u8(texts::kOffsetsAllSheets), this);
    sheetOnly_ = new QRadioButton(this);
    layout->addWidget(allSheets_);
    layout->addWidget(sheetOnly_);
    allSheets_->setChecked(true);

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
    calibrate_->setEnabled(!sheets_.empty());
    QPushButton* reset = buttons->addButton(u8(texts::kResetOffsets), QDialogButtonBox::ResetRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(calibrate_, &QPushButton::clicked, this, [this] { printCalibrationPage(); });
    connect(reset, &QPushButton::clicked, this, [this] {
        for (int i = 0; i < 4; ++i) boxes_[i]->setValue(i < 2 ? 0 : 1);
    });
    connect(allSheets_, &QRadioButton::toggled, this, [this] { showStored(); });
    connect(sheetBox_, &QComboBox::currentIndexChanged, this, [this] { chooseSheet(); });
    layout->addWidget(buttons);
    chooseSheet();
}

// A sheet that has its own offsets shows them; else the printer's.
void PrintOffsetsDialog::chooseSheet() {
    const int index = sheetBox_->currentIndex();
    sheet_ = index >= 0 && index < static_cast<int>(sheets_.size())
                 ? sheets_[static_cast<size_t>(index)]
                 : std::string();
    sheetOnly_->setText(u8(texts::kOffsetsSheetOnly).arg(QString::fromStdString(sheet_)));
    sheetOnly_->setEnabled(!sheet_.empty());
    const bool own =
        !sheet_.empty() && printer_.calibrations().has(printer_.calibrationName(), sheet_);
    {
        QSignalBlocker a(allSheets_), b(sheetOnly_);
        (own ? sheetOnly_ : allSheets_)->setChecked(true);
    }
    showStored();
}

// The values in force for the chosen scope: a sheet without its own starts from the
// printer's.
void PrintOffsetsDialog::showStored() {
    const print::PageAdjustment a = printer_.calibrations().forJob(
        printer_.calibrationName(), sheetOnly_->isChecked() ? sheet_ : std::string());
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
        const auto [width, height] = paperOf_(sheet_);
        const print::PrintedJob job = printer_.printCalibration(sheet_, width, height);
        status_->setText(u8(texts::kCalibrationPrinted)
                             .arg(job.file.empty() ? QString::fromStdString(job.printer)
                                                   : QString::fromStdString(job.file.string())));
    } catch (const host::HostError& e) {
        const char* reason = texts::printFailure(e.number());
        QMessageBox::critical(this, windowTitle(),
                              u8(texts::kPrintFailed) +
                                  (reason ? u8(reason) + QStringLiteral("\n") : QString()) +
                                  QString::fromStdString(e.what()));
    }
}

void PrintOffsetsDialog::accept() {
    print::Calibrations updated = printer_.calibrations();
    try {
        updated.set(printer_.calibrationName(), sheetOnly_->isChecked() ? sheet_ : std::string(),
                    shown());
    } catch (const print::CalibrationError& e) {
        QMessageBox::critical(this, windowTitle(),
                              u8(texts::kOffsetsRefused) + QString::fromStdString(e.what()));
        return;
    }
    printer_.setCalibrations(updated);
    storeCalibrations(updated);
    QDialog::accept();
}

}  // namespace vorra::desktop
