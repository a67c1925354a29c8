#pragma once
// The calibration page of a printer for one bill sheet's paper: millimetre rulers along
// the top and left edges, numbered by their distance from the paper's edge, and cross
// marks at known places (kMarkInsetMm from each corner, and the centre), each labelled
// with its position. The cashier prints it on the blank form (or on plain paper laid
// over one), measures where the crosses landed and enters the difference as the
// printer's offsets; the distance between two crosses gives the scale.
//
// The page is printed with the calibration in force for that sheet and says so, so
// that the same page also shows whether a calibration is right: then every cross lands
// where its label says.

#include <string>
#include <vector>

#include "platform/print/PrintCalibration.h"

class QPainter;

namespace vorra::print {

struct CalibrationSheet {
    std::string sheetName;  // the bill sheet whose paper is used
    double paperWidthPt = 0;
    double paperHeightPt = 0;
    std::string printer;  // the printer's caption, as the page names it
};

inline constexpr double kMarkInsetMm = 15;
inline constexpr double kMarkArmMm = 5;     // a cross is 10 mm across
inline constexpr double kRulerInsetMm = 6;  // the rulers' base lines, inside what printers reach

struct MarkMm {
    double x = 0, y = 0;
};

// Where the crosses are, in millimetres from the paper's top-left corner: the four
// corners' marks, then the centre.
std::vector<MarkMm> calibrationMarks(double paperWidthMm, double paperHeightMm);

// Draws the page on a painter whose origin is the paper's top-left corner, moved by the
// adjustment as a bill's page would be. `unitsPerPoint` as for LayoutPainter.
void paintCalibrationPage(QPainter& painter, double unitsPerPoint, const CalibrationSheet& sheet,
                          const PageAdjustment& adjustment);

}  // namespace vorra::print
