#include "platform/engine/print/PaperSizes.h"

#include <algorithm>
#include <array>

namespace vorra::engine {

namespace {

constexpr double kInch = 25.4;

// Standard papers: codes and sizes as listed for the paperSize attribute of the
// worksheet page setup in ECMA-376 Part 1, §18.3.1.63.
//
// Bank forms: the overall size of the pre-printed paper, stub included, in the
// orientation it is fed (long side across): the common cheque with stub and body,
// 240 × 80 mm, and the common three-part deposit slip, 212 × 101.6 mm (four inches,
// the continuous-form height). These are the nominal sizes quoted for overlay-printing
// set-ups of these forms; no published drawing from a bank was at hand to confirm
// them, so measure a delivered form before relying on them to the last millimetre.
// A template on differently cut stock sets its own custom size.
constexpr std::array kPapers{
    PaperSize{1, "Letter", 8.5 * kInch, 11 * kInch},
    PaperSize{2, "Letter Small", 8.5 * kInch, 11 * kInch},
    PaperSize{3, "Tabloid", 11 * kInch, 17 * kInch},
    PaperSize{4, "Ledger", 17 * kInch, 11 * kInch},
    PaperSize{5, "Legal", 8.5 * kInch, 14 * kInch},
    PaperSize{6, "Statement", 5.5 * kInch, 8.5 * kInch},
    PaperSize{7, "Executive", 7.25 * kInch, 10.5 * kInch},
    PaperSize{8, "A3", 297, 420},
    PaperSize{9, "A4", 210, 297},
    PaperSize{10, "A4 Small", 210, 297},
    PaperSize{11, "A5", 148, 210},
    PaperSize{12, "B4", 250, 353},
    PaperSize{13, "B5", 176, 250},
    PaperSize{14, "Folio", 8.5 * kInch, 13 * kInch},
    PaperSize{15, "Quarto", 215, 275},
    PaperSize{16, "10x14", 10 * kInch, 14 * kInch},
    PaperSize{17, "11x17", 11 * kInch, 17 * kInch},
    PaperSize{18, "Note", 8.5 * kInch, 11 * kInch},
    PaperSize{20, "Envelope #10", 4.125 * kInch, 9.5 * kInch},
    PaperSize{27, "Envelope DL", 110, 220},
    PaperSize{28, "Envelope C5", 162, 229},
    PaperSize{34, "Envelope B5", 176, 250},
    PaperSize{0, "现金支票", 240, 80},
    PaperSize{0, "转账支票", 240, 80},
    PaperSize{0, "进账单", 212, 101.6},
};

}  // namespace

std::span<const PaperSize> paperSizes() { return kPapers; }

std::optional<PaperSize> paperByCode(int code) {
    if (code == 0) return std::nullopt;
    auto it = std::find_if(kPapers.begin(), kPapers.end(),
                           [code](const PaperSize& p) { return p.code == code; });
    if (it == kPapers.end()) return std::nullopt;
    return *it;
}

std::optional<PaperSize> paperByName(std::string_view name) {
    auto it = std::find_if(kPapers.begin(), kPapers.end(),
                           [name](const PaperSize& p) { return p.name == name; });
    if (it == kPapers.end()) return std::nullopt;
    return *it;
}

void applyPaper(PageSetup& setup, const PaperSize& paper) {
    setup.paperSize = paper.code;
    if (paper.code == 0) {
        setup.paperWidthMm = paper.widthMm;
        setup.paperHeightMm = paper.heightMm;
    }
}

}  // namespace vorra::engine
