#include "addin/frame/XlAppEvents.h"

#include <array>

#include "addin/frame/FrameTexts.h"
#include "addin/frame/Public_XlApp.h"

namespace vorra {

namespace {

struct CursorStep {
    const char* arrivesOn;  // the host's absolute address of the active cell
    const char* movesTo;    // reference of the next input cell, as stored
};

// Enter moves the selection one cell down; these moves string the input cells of the
// fill-in sheet together (D5 → G2 → K3 → G6 → L6).
constexpr std::array<CursorStep, 4> kCursorPath{{
    {"$K$4", "g6"},
    {"$G$7", "L6"},
    {"$D$6", "G2"},
    {"$G$3", "K3"},
}};

}  // namespace

XlAppEvents::XlAppEvents() : XL(XlApp) {
    if (XL) XL->subscribe(this);
}

XlAppEvents::~XlAppEvents() {
    host::resume([&] {
        if (XL) XL->unsubscribe(this);
    });
}

void XlAppEvents::sheetSelectionChange(host::Worksheet&, const host::Range&) {
    // The sheet and range of the event are not consulted: the path follows the
    // host's active sheet and active cell.
    std::string sheetName;
    if (!host::resume([&] { sheetName = XL->activeSheet()->name(); })) return;
    if (sheetName != texts::kSheetFillIn) return;
    std::string address;
    if (!host::resume([&] { address = XL->activeCell().address(); })) return;
    // No step moves onto a cell another step starts from, so at most one step applies.
    for (const auto& step : kCursorPath) {
        if (address != step.arrivesOn) continue;
        host::resume([&] { XL->setEnableEvents(false); });
        host::resume([&] { XL->range(step.movesTo).select(); });
        host::resume([&] { XL->setEnableEvents(true); });
        return;
    }
}

}  // namespace vorra
