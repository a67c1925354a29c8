#pragma once
// The printer's offsets: the measured horizontal and vertical offsets (millimetres, to
// 0.1) and the scale per axis, for the current printer as a whole or for one bill sheet
// on it, with the calibration page to measure them by. OK stores them in the
// printer's calibrations and the desktop's settings; they apply to every print and
// preview on that printer and never touch the template's margins.

#include <QDialog>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "platform/print/PrintCalibration.h"
#include "platform/print/QtPrinter.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace vorra::desktop {

// The calibrations of all printers in the desktop's settings. A stored text that
// cannot be read gives no calibrations and the reason in `problem`.
print::Calibrations storedCalibrations(QString* problem = nullptr);
void storeCalibrations(const print::Calibrations& calibrations);

// The current printer's caption: its name, or print to file.
QString printerCaption(const print::QtPrinter& printer);

// "横向 +1.5 毫米，纵向 -0.7 毫米，缩放 1.000 × 1.000", or that there is none: what
// the page setup window and the preview say is in force.
QString adjustmentText(const print::QtPrinter& printer, const std::string& sheet);

class PrintOffsetsDialog : public QDialog {
public:
    // The paper of a sheet in points, width and height; throws host::HostError when
    // the sheet cannot be laid out.
    using PaperOf = std::function<std::pair<double, double>(const std::string& sheet)>;

    // `sheets`: the workbook's sheets, of which `current` is chosen first: a sheet's own
    // offsets, and its paper for the calibration page. Without sheets only the
    // printer's offsets can be set.
    PrintOffsetsDialog(print::QtPrinter& printer, std::vector<std::string> sheets,
                       const std::string& current, PaperOf paperOf, QWidget* parent = nullptr);

    QDoubleSpinBox* offsetXBox() const { return boxes_[0]; }
    QDoubleSpinBox* offsetYBox() const { return boxes_[1]; }
    QDoubleSpinBox* scaleXBox() const { return boxes_[2]; }
    QDoubleSpinBox* scaleYBox() const { return boxes_[3]; }
    QRadioButton* sheetOnlyButton() const { return sheetOnly_; }
    QComboBox* sheetBox() const { return sheetBox_; }
    QPushButton* calibrationButton() const { return calibrate_; }

    // The values shown, as an adjustment.
    print::PageAdjustment shown() const;

    void accept() override;

private:
    void chooseSheet();
    void showStored();
    void printCalibrationPage();

    print::QtPrinter& printer_;
    std::vector<std::string> sheets_;
    std::string sheet_;
    PaperOf paperOf_;
    QComboBox* sheetBox_;
    QRadioButton* allSheets_;
    QRadioButton* sheetOnly_;
    QDoubleSpinBox* boxes_[4];
    QPushButton* calibrate_;
    QLabel* status_;
};

}  // namespace vorra::desktop
