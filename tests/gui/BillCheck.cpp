// bill-check: checks a transfer cheque that a print service wrote against the same bill
// printed to file from the sample template, the way the installed template prints it.
//
//   bill-check PDF PAYEE PAYER AMOUNT PURPOSE NUMBER PASSWORD [OFFSET_X OFFSET_Y]
//
// PAYEE and PAYER index the sample template's unit book. The PDF must have the paper
// of 转账支票 (within 0.5 mm), and the ink of every field of the form must lie within
// 0.5 mm of where the file print puts it, moved by the printer's offsets in mm when
// given; a field the file print leaves empty must stay empty. Prints each field it
// compared; exits 0 when all fit, 1 otherwise.
//
//   bill-check --calibration-page PDF OFFSET_X OFFSET_Y
//
// checks a calibration page of 转账支票's paper instead: every cross lies within 0.5 mm
// of its place moved by the offsets.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "PdfWords.h"
#include "platform/engine/host/EngineHost.h"
#include "platform/engine/print/CellGeometry.h"
#include "platform/engine/print/PaperSizes.h"
#include "platform/print/CalibrationPage.h"
#include "platform/print/GuiApplicationScope.h"
#include "platform/print/PdfPrinter.h"
#include "tools/sampletemplate/BillForms.h"
#include "tools/sampletemplate/SampleTemplate.h"
#include "tools/sampletemplate/SampleTemplateTexts.h"

namespace fs = std::filesystem;
using namespace vorra;
using print::testing::PdfInk;

namespace {

int checkCalibrationPage(const fs::path& pdf, double dx, double dy) {
    const auto paper = *engine::paperByName(tools::billForm(tools::texts::kSheetTransferCheque)->paper);
    const PdfInk ink(pdf, 600);
    const double mm = engine::kPointsPerMm;
    int failures = 0;
    for (const print::MarkMm& m : print::calibrationMarks(paper.widthMm, paper.heightMm)) {
        const double x = (m.x + dx) * mm, y = (m.y + dy) * mm;
        // A piece of each arm outside the cross's circle: its middle is the arm's line.
        const auto across = ink.inkIn({x + 2 * mm, y - 1.5 * mm, x + 4.5 * mm, y + 1.5 * mm});
        const auto down = ink.inkIn({x - 1.5 * mm, y - 4.5 * mm, x + 1.5 * mm, y - 2 * mm});
        if (!across || !down) {
            std::printf("  cross (%.1f, %.1f): not found\n", m.x, m.y);
            ++failures;
            continue;
        }
        const double offX = std::abs((down->xMin + down->xMax) / 2 - x) / mm;
        const double offY = std::abs((across->yMin + across->yMax) / 2 - y) / mm;
        std::printf("  cross (%.1f, %.1f) off by %.2f, %.2f mm\n", m.x, m.y, offX, offY);
        if (offX > 0.5 || offY > 0.5) ++failures;
    }
    std::printf("%d crosses, %d failures\n", 5, failures);
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--calibration-page") {
        print::GuiApplicationScope gui;
        return checkCalibrationPage(argv[2], std::stod(argv[3]), std::stod(argv[4]));
    }
    if (argc != 8 && argc != 10) {
        std::fputs("usage: bill-check PDF PAYEE PAYER AMOUNT PURPOSE NUMBER PASSWORD [OFFSET_X OFFSET_Y]\n", stderr);
        return 2;
    }
    print::PageAdjustment offsets;
    if (argc == 10) {
        offsets.offsetXmm = std::stod(argv[8]);
        offsets.offsetYmm = std::stod(argv[9]);
    }
    print::GuiApplicationScope gui;
    const fs::path printed = argv[1];
    const std::string sheetName = tools::texts::kSheetTransferCheque;

    // The installed template as make-sample-template built it, with the cashier's bill.
    engine::EngineApplication app("16.0");
    auto book = std::dynamic_pointer_cast<engine::EngineWorkbook>(app.addWorkbook());
    tools::buildSampleTemplate(*book);
    tools::writeSampleBill(*book, tools::SampleBill{});
    tools::SampleBill bill;
    bill.payee = std::atoi(argv[2]);
    bill.payer = std::atoi(argv[3]);
    bill.purpose = argv[5];
    bill.billNumber = argv[6];
    bill.password = argv[7];
    tools::writeSampleBill(*book, bill);
    auto units = book->sheet(tools::texts::kSheetUnits);
    units->unprotect(tools::texts::kPassword);
    units->range("K3").setValue(host::Value::number(std::stod(argv[4])));  // the form stores a number
    units->protect(tools::texts::kPassword);

    const fs::path reference = fs::path(printed).replace_extension(".expected.pdf");
    print::PdfPrinter::writePdf(engine::layoutSheet(book->model(), book->model().sheetIndex(sheetName)), reference,
                                1, true, offsets);

    const double halfMm = 0.5 * engine::kPointsPerMm;
    int failures = 0;
    auto [width, height] = print::testing::pdfPageSize(printed);
    const auto paper = *engine::paperByName(tools::billForm(sheetName)->paper);
    std::printf("paper %.1f x %.1f mm, expected %.1f x %.1f mm\n", width / engine::kPointsPerMm,
                height / engine::kPointsPerMm, paper.widthMm, paper.heightMm);
    if (std::abs(width - paper.widthMm * engine::kPointsPerMm) > halfMm ||
        std::abs(height - paper.heightMm * engine::kPointsPerMm) > halfMm || print::testing::pdfPageCount(printed) != 1) {
        std::puts("  wrong paper or more than one page");
        ++failures;
    }

    const PdfInk want(reference), got(printed);
    int inked = 0;
    for (const tools::BillField& f : tools::billForm(sheetName)->fields) {
        const double mm = engine::kPointsPerMm;
        const double dx = offsets.offsetXmm, dy = offsets.offsetYmm;
        const PdfInk::Box box{(f.box.left + dx) * mm, (f.box.top + dy) * mm, (f.box.right + dx) * mm,
                              (f.box.bottom + dy) * mm};
        auto a = want.inkIn(box), b = got.inkIn(box);
        if (!a && !b) continue;
        ++inked;
        if (!a || !b) {
            std::printf("  %s: %s\n", f.label.c_str(), a ? "not printed" : "printed but should be empty");
            ++failures;
            continue;
        }
        const double off = std::max({std::abs(a->xMin - b->xMin), std::abs(a->xMax - b->xMax),
                                     std::abs(a->yMin - b->yMin), std::abs(a->yMax - b->yMax)});
        std::printf("  %-16s off by %.2f mm\n", f.label.c_str(), off / mm);
        if (off > halfMm) ++failures;
    }
    // Nothing printed outside the fields either.
    auto all = want.inkIn(), allGot = got.inkIn();
    if (!all || !allGot || std::abs(all->xMin - allGot->xMin) > halfMm || std::abs(all->yMin - allGot->yMin) > halfMm ||
        std::abs(all->xMax - allGot->xMax) > halfMm || std::abs(all->yMax - allGot->yMax) > halfMm) {
        std::puts("  the ink of the whole page differs");
        ++failures;
    }
    if (inked < 10) {
        std::printf("  only %d fields printed\n", inked);
        ++failures;
    }
    std::printf("%d fields compared, %d failures\n", inked, failures);
    return failures == 0 ? 0 : 1;
}
