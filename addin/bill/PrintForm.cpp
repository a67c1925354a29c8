#include "addin/bill/PrintForm.h"

#include <array>
#include <string>

#include "addin/bill/BillTexts.h"
#include "addin/bill/PrintAction.h"
#include "addin/frame/TemplateLayout.h"
#include "addin/frame/Commands.h"
#include "addin/frame/FailureReasons.h"
#include "addin/frame/FillInCells.h"
#include "addin/frame/MakerLinks.h"
#include "addin/frame/Public_XlApp.h"
#include "addin/frame/Shell.h"

namespace vorra {

using dialogs::FormInstance;
using host::resume;

namespace {

// The payee and payer rows of the fill-in sheet, in the order quick fill writes them.
constexpr std::array<const char*, 10> kQuickFillCells{"E4", "F4", "G4", "H4", "I4",
                                                      "E5", "F5", "G5", "H5", "I5"};
constexpr std::array<const char*, 9> kLookupFormulas{
    "=VLOOKUP($E$4,收款人信息,2,FALSE)", "=VLOOKUP($E$4,收款人信息,3,FALSE)",
    "=VLOOKUP($E$4,收款人信息,4,FALSE)", "=VLOOKUP($E$4,收款人信息,5,FALSE)",
    "=VLOOKUP($D$5,付款人信息,2,FALSE)", "=VLOOKUP($D$5,付款人信息,3,FALSE)",
    "=VLOOKUP($D$5,付款人信息,4,FALSE)", "=VLOOKUP($D$5,付款人信息,5,FALSE)",
    "=VLOOKUP($D$5,付款人信息,6,FALSE)"};

std::string withoutLineBreaks(std::string text) {
    for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n"))
        text.erase(at, 2);
    return text;
}

}  // namespace

Frm_打印票据::Frm_打印票据() : Form("Frm_打印票据") {
    setCaption(texts::kPrintFormCaption);
    setWidth(330);
    setHeight(120);
    Label1.setCaption(texts::kLabelPrintSheet);
    CommandButton1.setCaption(texts::kButtonPrint);
    CommandButton2.setCaption(texts::kButtonTutorial);
    Label8.setCaption(texts::kPrintFormHint);
    Label8.setForeColor(dialogs::color::kRed);
    ComboBox1.setMatchEntry(dialogs::MatchEntry::Complete);
    Label1.move(12, 14, 90, 16);
    ComboBox1.move(104, 12, 120, 18);
    CommandButton1.move(232, 10, 40, 22);
    CommandButton2.move(276, 10, 40, 22);
    Label8.move(12, 44, 306, 16);
    ComboBox1.setTabIndex(0);
    CommandButton1.setTabIndex(1);
    CommandButton2.setTabIndex(2);
    onInitialize = [this] { UserForm_Initialize(); };
    ComboBox1.onChange = [this] { ComboBox1_Change(); };
    CommandButton1.onClick = [this] { CommandButton1_Click(); };
    CommandButton2.onClick = [this] { CommandButton2_Click(); };
}

void Frm_打印票据::UserForm_Initialize() {
    resume([&] { toolkit().setTopmost(*this); });
    offerBillSheets(ComboBox1);
}

void Frm_打印票据::ComboBox1_Change() {
    resume([&] { XlApp->sheets(ComboBox1.value())->activate(); });
}

void Frm_打印票据::CommandButton1_Click() {
    printBill(ComboBox1.text(), [] { FormInstance<Frm_打印票据>::unload(); });
}

void Frm_打印票据::CommandButton2_Click() {
    resume([] { FormInstance<Frm_打印票据>::unload(); });
    openWithShell(links::kPrintTutorial);
}

Kuaijie_TX_frm::Kuaijie_TX_frm() : Form("Kuaijie_TX_frm") {
    setCaption(texts::kQuickFillCaption);
    setWidth(330);
    setHeight(140);
    CommandButton1.setCaption(texts::kButtonQuickFillOn);
    CommandButton2.setCaption(texts::kButtonQuickFillOff);
    CommandButton3.setCaption(texts::kButtonQuickFillTutorial);
    CommandButton1.setEnabled(false);
    CommandButton2.setEnabled(false);
    TextBox1.setText(texts::kQuickFillDefaultFormula);
    TextBox1.move(12, 12, 300, 40);
    TextBox1.setMultiLine(true);
    CommandButton1.move(12, 62, 96, 26);
    CommandButton2.move(114, 62, 96, 26);
    CommandButton3.move(216, 62, 96, 26);
    onInitialize = [this] { UserForm_Initialize(); };
    CommandButton1.onClick = [this] { CommandButton1_Click(); };
    CommandButton2.onClick = [this] { CommandButton2_Click(); };
    CommandButton3.onClick = [this] { CommandButton3_Click(); };
}

void Kuaijie_TX_frm::UserForm_Initialize() {
    resume([&] { toolkit().setTopmost(*this); });
    if (!activateWorksheet(layout::kSheetFillIn)) return;
    CommandButton1.setEnabled(true);
    CommandButton2.setEnabled(true);
}

void Kuaijie_TX_frm::CommandButton1_Click() {
    // The writes go to the fill-in sheet by name, whatever sheet the user has activated
    // since the form opened. They are not guarded: a locked cell of the protected sheet
    // stops them with the host's error, and the cells written so far keep their content.
    // The user is told why, and the form stays open.
    auto failure = host::failureOf([&] {
        auto sheet = fillInSheet();
        sheet->range(kQuickFillCells[0])
            .setValue(host::Value::text(withoutLineBreaks(TextBox1.text())));
        for (size_t i = 0; i < kLookupFormulas.size(); ++i)
            sheet->range(kQuickFillCells[i + 1]).setValue(host::Value::text(kLookupFormulas[i]));
    });
    if (failure) {
        showMessage(texts::msgQuickFillFailed(failureReason(*failure)), dialogs::MsgBoxIcon::Critical, "");
        return;
    }
    resume([] { FormInstance<Kuaijie_TX_frm>::unload(); });
}

void Kuaijie_TX_frm::CommandButton2_Click() {
    auto failure = host::failureOf([&] {
        auto sheet = fillInSheet();
        for (const char* cell : kQuickFillCells) sheet->range(cell).setValue(host::Value::text(""));
    });
    if (failure) {
        showMessage(texts::msgQuickFillFailed(failureReason(*failure)), dialogs::MsgBoxIcon::Critical, "");
        return;
    }
    resume([] { FormInstance<Kuaijie_TX_frm>::unload(); });
}

void Kuaijie_TX_frm::CommandButton3_Click() {
    resume([] { FormInstance<Kuaijie_TX_frm>::unload(); });
    openWithShell(links::kQuickFillTutorial);
}

}  // namespace vorra
