#pragma once
// How far a printer's output lands from where the layout puts it, corrected on every
// page it prints: an offset across and down, in millimetres, and optionally a scale per
// axis for a printer that stretches the paper's feed. Printers feed paper differently,
// so the correction belongs to the printer (and, where a bill sheet needs its own, to
// that sheet on that printer), never to the template's margins, which every printer
// shares.
//
// A page printed with an adjustment draws the layout's point (x, y), in millimetres
// from the paper's top-left corner, at
//     (offsetX + scaleX · x,  offsetY + scaleY · y)
// so offsets move everything right and down when positive, and a scale shrinks or
// stretches the page about its top-left corner.
//
// The calibrations of all printers are kept as text, the desktop in its settings, the
// headless runner and tests in a file (vorra-run --calibration FILE):
//     # comment
//     [cups-pdf]               a printer, by its name in the print service
//     offset-x = 1.5
//     offset-y = -0.7
//     [cups-pdf 转账支票]      that printer for one bill sheet (the sheet's name after
//     offset-x = 2             the first blank); replaces the printer's values
//     scale-y = 0.995
//     [#file]                  print to file (no print service name has a "#")
// Keys left out keep 0 for offsets and 1 for scales.

#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>

namespace vorra::print {

struct PageAdjustment {
    double offsetXmm = 0;
    double offsetYmm = 0;
    double scaleX = 1;
    double scaleY = 1;
    bool identity() const { return offsetXmm == 0 && offsetYmm == 0 && scaleX == 1 && scaleY == 1; }
    friend bool operator==(const PageAdjustment&, const PageAdjustment&) = default;
};

// What a calibration may hold: more than this is a measurement gone wrong, not a
// printer's feed.
inline constexpr double kMaxOffsetMm = 30;
inline constexpr double kMinScale = 0.9;
inline constexpr double kMaxScale = 1.1;
inline constexpr std::size_t kMaxCalibrationBytes = 1 << 20;
inline constexpr std::size_t kMaxCalibrations = 1000;

// The name under which print to file keeps its calibration.
inline constexpr const char* kFilePrinterName = "#file";

// A calibration text or value that cannot be used; the message says where and why.
class CalibrationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws CalibrationError for an offset or scale outside the limits above.
void requireUsable(const PageAdjustment& adjustment);

class Calibrations {
public:
    // The adjustment in force for a sheet printed on a printer: the sheet's own on that
    // printer, else the printer's, else none.
    PageAdjustment forJob(const std::string& printer, const std::string& sheet) const;
    // The stored adjustment of a printer (sheet empty) or of one sheet on it.
    bool has(const std::string& printer, const std::string& sheet = {}) const;

    // Stores an adjustment (checked with requireUsable). A printer's identity
    // adjustment, or a sheet's equal to its printer's, removes the entry, so that the
    // printer's (or no) correction applies again; a sheet may keep no correction while
    // its printer has one. Throws CalibrationError for a printer name with a blank.
    void set(const std::string& printer, const std::string& sheet,
             const PageAdjustment& adjustment);

    bool empty() const { return entries_.empty(); }

    // The text form described above, and back. parse throws CalibrationError with the
    // line number for a malformed line, an unknown key, a value that is not a number or
    // outside the limits, a printer name with a blank, too many entries or too long a
    // text.
    std::string format() const;
    static Calibrations parse(const std::string& text);
    // Reads a calibration file; throws CalibrationError naming the file when it cannot
    // be read or is malformed.
    static Calibrations load(const std::filesystem::path& file);

private:
    void store(const std::string& printer, const std::string& sheet,
               const PageAdjustment& adjustment);

    std::map<std::pair<std::string, std::string>, PageAdjustment> entries_;
};

}  // namespace vorra::print
