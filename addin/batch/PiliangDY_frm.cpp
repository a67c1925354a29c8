#include "addin/batch/PiliangDY_frm.h"

#include "addin/batch/BatchTexts.h"
#include "addin/frame/TemplateLayout.h"
#include "addin/frame/Public_XlApp.h"

namespace vorra {

using dialogs::FormInstance;
using host::resume;

namespace {

void closeDialog() { resume([] { FormInstance<PiliangDY_frm>::unload(); }); }

}  // namespace

PiliangDY_frm::PiliangDY_frm() : Form("PiliangDY_frm") {
    setCaption(texts::kBatchCaption);
    setWidth(300);
    setHeight(150);
    struct ButtonCaption {
        dialogs::CommandButton* button;
        const char* caption;
    };
    const ButtonCaption buttons[] = {
        {&CommandButton1, texts::kButtonClearList}, {&CommandButton2, texts::kButtonImport},
        {&CommandButton3, texts::kButtonStartAtOne}, {&CommandButton4, texts::kButtonFillIn},
        {&CommandButton5, texts::kButtonPrintBill}, {&CommandButton6, texts::kButtonPrevious},
        {&CommandButton7, texts::kButtonNext},       {&CommandButton8, texts::kButtonMakeCurrent},
        {&CommandButton9, texts::kButtonOneClickPrint},
    };
    // Three rows of three buttons.
    for (int i = 0; i < 9; ++i) {
        auto* b = buttons[i].button;
        b->setCaption(buttons[i].caption);
        b->move(12 + (i % 3) * 92, 12 + (i / 3) * 36, 84, 28);
        b->setTabIndex(i);
    }

    onInitialize = [this] { UserForm_Initialize(); };
    onQueryClose = [this](int& cancel, dialogs::CloseMode mode) { UserForm_QueryClose(cancel, mode); };
    CommandButton1.onClick = [this] { money().fn001(); };
    CommandButton2.onClick = [this] {
        Money_Class& m = money();
        closeDialog();
        m.fn002();
    };
    CommandButton3.onClick = [this] { money().fn003(); };
    CommandButton4.onClick = [this] {
        money().fn004();
        closeDialog();
    };
    CommandButton5.onClick = [this] { money().fn005(); };
    CommandButton6.onClick = [this] { money().fn006(); };
    CommandButton7.onClick = [this] { money().fn007(); };
    CommandButton8.onClick = [this] { money().fn008(); };
    CommandButton9.onClick = [this] {
        money().fn004();
        money().fn005();
    };
}

Money_Class& PiliangDY_frm::money() {
    if (!money_) money_ = std::make_unique<Money_Class>();
    return *money_;
}

void PiliangDY_frm::UserForm_Initialize() {
    resume([&] { toolkit().setTopmost(*this); });
    activateWorksheet(layout::kSheetBatch);
    resume([] { XlApp->sheets(layout::kSheetFillIn)->unprotect(layout::kSheetPassword); });
}

void PiliangDY_frm::UserForm_QueryClose(int&, dialogs::CloseMode) {
    // A workbook without the fill-in sheet has nothing to protect: the dialog closes
    // all the same, quietly, and protects no other sheet in its place (the user never
    // saw any other sheet's protection lifted).
    resume([] { XlApp->sheets(layout::kSheetFillIn)->protect(layout::kSheetPassword); });
}

}  // namespace vorra
