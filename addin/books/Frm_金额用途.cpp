#include "addin/books/Frm_金额用途.h"

#include "addin/books/BooksTexts.h"
#include "addin/books/EntryText.h"
#include "addin/books/SearchFormHeights.h"
#include "addin/frame/FillInCells.h"
#include "addin/frame/MakerLinks.h"
#include "addin/frame/TextConversion.h"
#include "addin/frame/Public_XlApp.h"

namespace vorra {

using dialogs::MsgBoxIcon;
using host::resume;
using host::Value;
namespace texts = books::texts;

namespace {

// Form heights in twips: empty search, base under the list, entry mode; the list's
// height in entry mode in points.
constexpr books::SearchFormHeights kHeights{3435, 3000, 4200, 20};
// Tops of the entry fields and their button in entry mode, in points.
constexpr double kEntryFieldsTop = 134;
constexpr double kEntryButtonTop = 155;

constexpr double kCodeColumnWidth = 63;
constexpr double kPurposeColumnWidth = 162;

// The message that says why an amount is refused.
const char* amountRefusal(books::AmountProblem problem) {
    switch (problem) {
        case books::AmountProblem::NotANumber: return texts::kMsgAmountNotANumber;
        case books::AmountProblem::NotPositive: return texts::kMsgAmountNotPositive;
        case books::AmountProblem::TooManyDecimals: return texts::kMsgAmountTooManyDecimals;
        case books::AmountProblem::TooManyDigits: return texts::kMsgAmountTooManyDigits;
    }
    return texts::kMsgAmountNotANumber;
}

}  // namespace

Frm_金额用途::Frm_金额用途() : Form("Frm_金额用途") {
    setCaption(texts::kAmountPurposeCaption);
    setWidth(5640);
    setHeight(kHeights.emptySearchForm);
    Label1.setCaption(texts::kEnterPurposeLabel);
    Label1.move(6, 8, 84, 16);
    TextBox1.move(92, 5, 140, 20);
    TextBox1.setTabIndex(0);
    Label2.setCaption(texts::kAmountPurposeTip);
    Label2.move(6, 26, 226, 12);
    Frame1.setCaption(texts::kTransferFrame);
    Frame1.move(6, 38, 226, 70);
    dialogs::Label* labels[] = {&Label3, &Label4, &Label5};
    dialogs::TextBox* boxes[] = {&TextBox2, &TextBox3, &TextBox4};
    const char* captions[] = {texts::kAmountLabel, texts::kChequeNumberLabel, texts::kPaymentPasswordLabel};
    for (int i = 0; i < 3; ++i) {
        labels[i]->setCaption(captions[i]);
        // The rows stand below the frame's caption.
        labels[i]->move(4, 15 + 18 * i, 96, 16);
        boxes[i]->move(100, 13 + 18 * i, 80, 16);
        boxes[i]->setTabIndex(i + 1);
    }
    CommandButton3.setCaption(texts::kEnterButton);
    CommandButton3.move(184, 31, 38, 20);
    CommandButton3.setTabIndex(4);
    ListView1.move(6, 112, kCodeColumnWidth + kPurposeColumnWidth + 4, books::SearchFormHeights::kListBase);
    T1.move(6, kEntryFieldsTop, kCodeColumnWidth, 18);
    T2.move(6 + kCodeColumnWidth, kEntryFieldsTop, kPurposeColumnWidth, 18);
    CommandButton1.setCaption(texts::kStorePurposeButton);
    CommandButton1.move(84, kEntryButtonTop, 60, 20);
    CommandButton2.setCaption(texts::kAmountPurposeTutorialButton);
    CommandButton2.move(236, 5, 40, 20);  // beside the search box, inside the window
    showEntryFields(false);

    onInitialize = [this] { UserForm_Initialize(); };
    TextBox1.onKeyUp = [this](int& keyCode, int shift) { TextBox1_KeyUp(keyCode, shift); };
    TextBox1.onKeyDown = [this](int& keyCode, int shift) { TextBox1_KeyDown(keyCode, shift); };
    ListView1.onClick = [this] { ListView1_Click(); };
    ListView1.onKeyDown = [this](int& keyCode, int shift) { ListView1_KeyDown(keyCode, shift); };
    CommandButton1.onClick = [this] { CommandButton1_Click(); };
    CommandButton2.onClick = [this] { CommandButton2_Click(); };
    CommandButton3.onClick = [this] { CommandButton3_Click(); };
}

void Frm_金额用途::UserForm_Initialize() {
    resume([&] { toolkit().setTopmost(*this); });
    if (XlApp) resume([&] { XlApp->sheets(layout::kSheetFillIn)->activate(); });
    ListView1.addColumn(texts::kColumnPurposeCode, kCodeColumnWidth);
    ListView1.addColumn(texts::kColumnPurposeList, kPurposeColumnWidth);
    ListView1.setView(dialogs::ListViewMode::Report);
    ListView1.setFullRowSelect(true);
    TextBox1.setFocus();
}

void Frm_金额用途::TextBox1_KeyUp(int&, int) {
    // A key whose press moved the focus on (Enter into entry mode) is released there.
    if (!TextBox1.hasFocus()) return;
    showEntryFields(false);
    ListView1.clearItems();
    if (TextBox1.text().empty()) {
        kHeights.fitToList(*this, ListView1, false);
        return;
    }
    std::vector<books::PurposeRecord> found;
    if (XlApp)
        if (auto sheet = books::fillInSheet(*XlApp)) found = books::searchPurposes(*sheet, TextBox1.text());
    std::vector<dialogs::ListRow> rows;
    rows.reserve(found.size());
    for (const books::PurposeRecord& p : found) rows.push_back({p.code, {p.text}});
    ListView1.setItems(std::move(rows));
    kHeights.fitToList(*this, ListView1, true);
}

void Frm_金额用途::TextBox1_KeyDown(int& keyCode, int) {
    if (keyCode != dialogs::key::kReturn || ListView1.itemCount() > 0) return;
    kHeights.enterEntryMode(*this, ListView1);
    message(texts::kMsgPurposeNotFound);
    T1.setTop(kEntryFieldsTop);
    T2.setTop(kEntryFieldsTop);
    showEntryFields(true);
    T1.setFocus();
    T2.setText(TextBox1.text());
    CommandButton1.setTop(kEntryButtonTop);
}

void Frm_金额用途::ListView1_Click() {
    if (!XlApp) return;
    auto sheet = books::fillInSheet(*XlApp);
    if (!sheet) return;
    books::liftProtection(sheet.get());
    int selected = ListView1.selectedIndex();
    if (selected >= 0) books::setCurrentPurpose(*sheet, ListView1.subItem(selected, 1));
    books::restoreProtection(sheet.get());
}

void Frm_金额用途::ListView1_KeyDown(int& keyCode, int) {
    if (keyCode == dialogs::key::kReturn) ListView1_Click();
}

void Frm_金额用途::CommandButton1_Click() {
    if (T1.text().empty()) {
        message(texts::kMsgPurposeCodeRequired);
        return;
    }
    if (books::tooLongForACell(T1.text()) || books::tooLongForACell(T2.text())) {
        message(texts::kMsgEntryTooLong);
        return;
    }
    if (!XlApp) return;
    auto sheet = books::fillInSheet(*XlApp);
    if (!sheet) return;
    books::liftProtection(sheet.get());
    // A row counts as free when both its code and its text are empty, so that a purpose
    // typed into the sheet without a code is never overwritten.
    int r = books::firstFreeRow(*sheet, layout::kColPurposeCode, layout::kBookFirstRow, layout::kColPurpose);
    if (r > 0) {
        resume([&] { sheet->cells(r, layout::kColPurposeCode).setValue(keptText(Value::text(T1.text()))); });
        resume([&] { sheet->cells(r, layout::kColPurpose).setValue(keptText(Value::text(T2.text()))); });
        books::setCurrentPurpose(*sheet, T2.text());
    }
    books::restoreProtection(sheet.get());
}

void Frm_金额用途::CommandButton2_Click() {
    if (!hasToolkit()) return;
    auto keepAlive = shared_from_this();
    dialogs::Toolkit& tk = toolkit();
    unload();
    resume([&] { tk.shellOpen(links::kBooksTutorial); });
}

// The cheque number and the password are written whatever the amount; an empty amount
// leaves K3 as it is, and a refused one is told with its reason after the other fields
// are stored.
void Frm_金额用途::CommandButton3_Click() {
    if (books::tooLongForACell(TextBox3.text()) || books::tooLongForACell(TextBox4.text())) {
        message(texts::kMsgEntryTooLong);
        return;
    }
    const bool noAmount = trimBlanks(TextBox2.text()).empty();
    const books::AmountReading amount = books::readAmount(TextBox2.text());
    if (XlApp) {
        if (auto sheet = books::fillInSheet(*XlApp)) {
            books::liftProtection(sheet.get());
            if (!noAmount && amount.accepted())
                resume([&] { sheet->range(layout::kAmountCell).setValue(Value::number(amount.value)); });
            resume([&] { sheet->range(layout::kBillNumberCell).setValue(keptText(Value::text(TextBox3.text()))); });
            resume([&] { sheet->range(layout::kPasswordCell).setValue(keptText(Value::text(TextBox4.text()))); });
            books::restoreProtection(sheet.get());
        }
    }
    if (noAmount || amount.accepted()) return;
    message(amountRefusal(*amount.problem));
    TextBox2.setFocus();
}

void Frm_金额用途::showEntryFields(bool visible) {
    T1.setVisible(visible);
    T2.setVisible(visible);
    CommandButton1.setVisible(visible);
}

void Frm_金额用途::message(const char* text) {
    resume([&] { toolkit().msgBox(text, MsgBoxIcon::Critical, std::string(texts::kTitleQuorvan)); });
}

}  // namespace vorra
