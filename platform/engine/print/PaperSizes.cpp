#include "platform/engine/print/PaperSizes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "platform/engine/print/PrintTexts.h"

namespace vorra::engine {

namespace {

constexpr double kInch = 25.4;

// Standard papers: codes and sizes as listed for the paperSize attribute of the
// worksheet page setup in ECMA-376 Part 1, §18.3.1.63 (the binary format's page setup
// record uses the same codes); A2, A6 and B6 (JIS) from the printer paper codes the
// same programs use.
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
    PaperSize{19, "Envelope #9", 3.875 * kInch, 8.875 * kInch},
    PaperSize{20, "Envelope #10", 4.125 * kInch, 9.5 * kInch},
    PaperSize{21, "Envelope #11", 4.5 * kInch, 10.375 * kInch},
    PaperSize{22, "Envelope #12", 4.75 * kInch, 11 * kInch},
    PaperSize{23, "Envelope #14", 5 * kInch, 11.5 * kInch},
    PaperSize{24, "C", 17 * kInch, 22 * kInch},
    PaperSize{25, "D", 22 * kInch, 34 * kInch},
    PaperSize{26, "E", 34 * kInch, 44 * kInch},
    PaperSize{27, "Envelope DL", 110, 220},
    PaperSize{28, "Envelope C5", 162, 229},
    PaperSize{29, "Envelope C3", 324, 458},
    PaperSize{30, "Envelope C4", 229, 324},
    PaperSize{31, "Envelope C6", 114, 162},
    PaperSize{32, "Envelope C65", 114, 229},
    PaperSize{33, "Envelope B4", 250, 353},
    PaperSize{34, "Envelope B5", 176, 250},
    PaperSize{35, "Envelope B6", 176, 125},
    PaperSize{36, "Envelope Italy", 110, 230},
    PaperSize{37, "Envelope Monarch", 3.875 * kInch, 7.5 * kInch},
    PaperSize{38, "Envelope 6 3/4", 3.625 * kInch, 6.5 * kInch},
    PaperSize{39, "US Standard Fanfold", 14.875 * kInch, 11 * kInch},
    PaperSize{40, "German Standard Fanfold", 8.5 * kInch, 12 * kInch},
    PaperSize{41, "German Legal Fanfold", 8.5 * kInch, 13 * kInch},
    PaperSize{66, "A2", 420, 594},
    PaperSize{70, "A6", 105, 148},
    PaperSize{88, "B6 (JIS)", 128, 182},
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

std::optional<ResolvedPaper> resolvePaper(const PageSetup& setup, std::string_view sheetName) {
    if (setup.paperSize != 0) {
        auto paper = paperByCode(setup.paperSize);
        if (!paper) return std::nullopt;
        return ResolvedPaper{PaperChoice::Code, paper->name, paper->widthMm, paper->heightMm};
    }
    if (setup.paperWidthMm != 0 || setup.paperHeightMm != 0) {
        if (setup.paperWidthMm == 0 || setup.paperHeightMm == 0) return std::nullopt;
        return ResolvedPaper{PaperChoice::Custom, {}, setup.paperWidthMm, setup.paperHeightMm};
    }
    // No paper stated: the bank form the sheet is named after, the longest name first
    // so that a name holding two forms' names gets the more particular one.
    const PaperSize* form = nullptr;
    for (const PaperSize& p : kPapers)
        if (p.code == 0 && sheetName.find(p.name) != std::string_view::npos &&
            (!form || p.name.size() > form->name.size()))
            form = &p;
    if (form) return ResolvedPaper{PaperChoice::BillForm, form->name, form->widthMm, form->heightMm};
    auto a4 = paperByCode(9);
    return ResolvedPaper{PaperChoice::Default, a4->name, a4->widthMm, a4->heightMm};
}

std::string describePaper(const PageSetup& setup, std::string_view sheetName) {
    auto paper = resolvePaper(setup, sheetName);
    auto mm = [](double v) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%g", std::round(v * 10) / 10);
        return std::string(buf);
    };
    if (!paper) return texts::kPaperUnknown;
    std::string size = "（" + mm(paper->widthMm) + " × " + mm(paper->heightMm) + " " + texts::kMillimetres + "）";
    switch (paper->choice) {
        case PaperChoice::Code: return std::string(paper->name) + size;
        case PaperChoice::Custom: return texts::kPaperCustom + size;
        case PaperChoice::BillForm: return std::string(paper->name) + size + texts::kPaperFromBillForm;
        case PaperChoice::Default: return std::string(paper->name) + size + texts::kPaperFromDefault;
    }
    return {};
}

}  // namespace vorra::engine
