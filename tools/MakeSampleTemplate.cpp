// make-sample-template [--show] [OUT.xlsx]
// Builds the sample template workbook in the embedded engine, enters one bill into its
// fill-in cells, shows the fill-in rows and the printed fields of 转账支票 with --show, and saves the
// workbook to OUT when a path is given.

#include <cstdio>
#include <iostream>
#include <string>

#include "platform/engine/host/EngineHost.h"
#include "tools/sampletemplate/BillForms.h"
#include "tools/sampletemplate/SampleTemplate.h"
#include "tools/sampletemplate/SampleTemplateTexts.h"

namespace {

using vorra::host::Worksheet;

void showFillInRows(Worksheet& units) {
    std::cout << units.name() << " rows 2 to 6:\n";
    for (int row = 2; row <= 6; ++row) {
        for (int column = 3; column <= 12; ++column) {
            auto cell = units.cells(row, column);
            std::string shown = cell.text();
            if (shown.empty()) continue;
            std::cout << "  " << vorra::host::relativeAddress(cell.area()) << "  " << shown << "\n";
        }
    }
}

// Each printed field of a bill sheet: what the form calls it, its cell and what it
// prints, as calculated from the fill-in cells.
void showBillSheet(Worksheet& bill) {
    std::cout << bill.name() << ":\n";
    const vorra::tools::BillForm* form = vorra::tools::billForm(bill.name());
    if (!form) return;
    // One grid for all fields; where the fields lie does not depend on the font's digit width.
    const vorra::tools::FormGrid grid = vorra::tools::formGrid(*form, 8);
    for (size_t i = 0; i < form->fields.size(); ++i) {
        const vorra::host::CellRef cell{grid.fieldAreas[i].top, grid.fieldAreas[i].left};
        std::string value = bill.cells(cell.row, cell.column).text();
        std::cout << "  " << form->fields[i].label << "  " << vorra::host::relativeAddress(vorra::host::Area::of(cell))
                  << "  " << (value.empty() ? "(empty)" : value) << "\n";
    }
}

int usage() {
    std::cerr << "usage: make-sample-template [--show] [OUT.xlsx]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool show = false;
    std::string out;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--show")
            show = true;
        else if (arg == "--help" || arg == "-h")
            return usage();
        else if (!arg.empty() && arg[0] == '-')
            return usage();
        else if (out.empty())
            out = arg;
        else
            return usage();
    }

    try {
        vorra::engine::EngineApplication app("16.0");
        auto book = app.addWorkbook();
        vorra::tools::buildSampleTemplate(*book);
        vorra::tools::writeSampleBill(*book, vorra::tools::SampleBill{});
        if (show) {
            showFillInRows(*book->sheet(vorra::tools::texts::kSheetUnits));
            showBillSheet(*book->sheet(vorra::tools::texts::kSheetTransferCheque));
        }
        if (!out.empty()) {
            book->saveAs(out);
            std::cout << "saved " << book->fullName() << "\n";
        }
    } catch (const vorra::host::HostError& e) {
        std::cerr << "make-sample-template: " << e.what() << " (host error " << e.number() << ")\n";
        return 1;
    }
    return 0;
}
