#include "addin/books/Frm_收付款人.h"

#include "addin/books/BooksTexts.h"
#include "addin/books/EntryText.h"
#include "addin/books/SearchFormHeights.h"
#include "addin/books/Frm_金额用途.h"
#include "addin/frame/FillInCells.h"
#include "addin/frame/MakerLinks.h"
#include "addin/frame/Public_XlApp.h"

namespace vorra {

using dialogs::MsgBoxIcon;
using host::resume;
using host::Value;
namespace texts = books::texts;

namespace {

// Form heights in twips: empty search, base under the list, entry mode; the list's
// height in entry mode in points.
constexpr books::SearchFormHeights kHeights{1900, 1500, 2800, 15};
// Tops of the entry fields and their button in entry mode, in points.
constexpr double kEntryFieldsTop = 64;
constexpr double kEntryButtonTop = 84;

// List columns: heading and width in points.
struct Column {
    const char* heading;
    double width;
};
constexpr Column kColumns[] = {
    {texts::kColumnShortName, 50}, {texts::kColumnAccountName, 150}, {texts::kColumnAccount, 96},
    {texts::kColumnBank, 70},      {texts::kColumnProvince, 50},     {texts::kColumnCounty, 50},
};
constexpr double kListLeft = 6;

}  // namespace

Frm_收付款人::Frm_收付款人() : Form("Frm_收付款人") {
    setCaption(texts::kPayeePayerCaption);
    setWidth(9720);
    setHeight(kHeights.emptySearchForm);
    Frame1.setCaption(texts::kPayeePayerFrame);
    // The option buttons stand below the frame's caption.
    Frame1.move(6, 0, 170, 30);
    OptionButton1.setCaption(texts::kOptionPayee);
    OptionButton1.move(4, 12, 80, 16);
    OptionButton2.setCaption(texts::kOptionPayer);
    OptionButton2.move(86, 12, 80, 16);
    Label1.setCaption(texts::kEnterUserNameLabel);
    Label1.move(182, 10, 72, 16);
    TextBox1.move(254, 7, 110, 20);
    TextBox1.setTabIndex(0);
    CommandButton2.setCaption(texts::kAmountPurposeButton);
    CommandButton2.move(370, 6, 60, 22);
    CommandButton3.setCaption(texts::kPayeePayerTutorialButton);
    CommandButton3.move(434, 6, 40, 22);
    Label2.setCaption(texts::kPayeePayerTip);
    Label2.move(6, 31, 468, 13);
    ListView1.move(kListLeft, 44, 472, books::SearchFormHeights::kListBase);
    double left = kListLeft;
    for (size_t i = 0; i < entryFields().size(); ++i) {
        dialogs::TextBox* t = entryFields()[i];
        t->move(left, kEntryFieldsTop, kColumns[i].width, 18);
        t->setTabIndex(static_cast<int>(i) + 1);
        left += kColumns[i].width;
    }
    CommandButton1.setCaption(texts::kConfirmButton);
    CommandButton1.move(206, kEntryButtonTop, 72, 22);
    showEntryFields(false);

    onInitialize = [this] { UserForm_Initialize(); };
    OptionButton1.onClick = [this] { OptionButton1_Click(); };
    OptionButton2.onClick = [this] { OptionButton2_Click(); };
    TextBox1.onKeyUp = [this](int& keyCode, int shift) { TextBox1_KeyUp(keyCode, shift); };
    TextBox1.onKeyDown = [this](int& keyCode, int shift) { TextBox1_KeyDown(keyCode, shift); };
    ListView1.onClick = [this] { ListView1_Click(); };
    ListView1.onKeyDown = [this](int& keyCode, int shift) { ListView1_KeyDown(keyCode, shift); };
    CommandButton1.onClick = [this] { CommandButton1_Click(); };
    CommandButton2.onClick = [this] { CommandButton2_Click(); };
    CommandButton3.onClick = [this] { CommandButton3_Click(); };
}

void Frm_收付款人::UserForm_Initialize() {
    resume([&] { toolkit().setTopmost(*this); });
    if (XlApp) resume([&] { XlApp->sheets(layout::kSheetFillIn)->activate(); });
    for (const Column& c : kColumns) ListView1.addColumn(c.heading, c.width);
    ListView1.setView(dialogs::ListViewMode::Report);
    ListView1.setFullRowSelect(true);
    TextBox1.setFocus();
}

void Frm_收付款人::OptionButton1_Click() { TextBox1.setFocus(); }

void Frm_收付款人::OptionButton2_Click() {
    if (!OptionButton2.value()) return;
    TextBox1.setText("");
    for (dialogs::TextBox* t : entryFields()) t->setText("");
    TextBox1.setFocus();
}

void Frm_收付款人::TextBox1_KeyUp(int&, int) {
    // A key whose press moved the focus on (Enter into entry mode) is released in the
    // control that has the focus now, not here.
    if (!TextBox1.hasFocus()) return;
    showEntryFields(false);
    ListView1.clearItems();
    listedRows_.clear();
    if (TextBox1.text().empty()) {
        kHeights.fitToList(*this, ListView1, false);
        return;
    }
    std::shared_ptr<host::Worksheet> sheet;
    if (XlApp) sheet = books::fillInSheet(*XlApp);
    if (sheet) listedRows_ = books::searchUnitRows(*sheet, TextBox1.text());
    // A keystroke that lists the whole book finds its rows at once and reads each row's
    // texts only when the list shows that row, so that the next key waits for the first
    // screen of rows, not for tens of thousands.
    ListView1.setItems(static_cast<int>(listedRows_.size()), [sheet, rows = listedRows_](int index) {
        books::UnitRecord unit = books::unitAt(*sheet, rows[static_cast<size_t>(index)]);
        dialogs::ListRow row{std::move(unit.fields[0]), {}};
        row.subItems.reserve(unit.fields.size() - 1);
        for (size_t i = 1; i < unit.fields.size(); ++i) row.subItems.push_back(std::move(unit.fields[i]));
        return row;
    });
    kHeights.fitToList(*this, ListView1, true);
}

void Frm_收付款人::TextBox1_KeyDown(int& keyCode, int) {
    if (keyCode != dialogs::key::kReturn || ListView1.itemCount() > 0) return;
    kHeights.enterEntryMode(*this, ListView1);
    message(texts::kMsgUnitNotFound);
    for (dialogs::TextBox* t : entryFields()) t->setTop(kEntryFieldsTop);
    showEntryFields(true);
    T1.setFocus();
    T2.setText(TextBox1.text());
    CommandButton1.setTop(kEntryButtonTop);
}

void Frm_收付款人::ListView1_Click() {
    if (!XlApp) return;
    auto sheet = books::fillInSheet(*XlApp);
    if (!sheet) return;
    books::liftProtection(sheet.get());
    int selected = ListView1.selectedIndex();
    if (selected >= 0 && selected < static_cast<int>(listedRows_.size()) && selected < ListView1.itemCount()) {
        books::UnitRecord unit;
        unit.row = listedRows_[size_t(selected)];
        const dialogs::ListRow& shown = ListView1.item(selected);
        unit.fields[0] = shown.text;
        for (size_t i = 1; i < unit.fields.size() && i - 1 < shown.subItems.size(); ++i)
            unit.fields[i] = shown.subItems[i - 1];
        if (OptionButton1.value()) books::setCurrentPayee(*sheet, unit);
        else if (OptionButton2.value()) books::setCurrentPayer(*sheet, unit);
    }
    books::restoreProtection(sheet.get());
}

void Frm_收付款人::ListView1_KeyDown(int& keyCode, int) {
    if (keyCode == dialogs::key::kReturn) ListView1_Click();
}

void Frm_收付款人::CommandButton1_Click() {
    if (T1.text().empty()) {
        message(texts::kMsgShortNameRequired);
        return;
    }
    for (dialogs::TextBox* t : entryFields()) {
        if (books::tooLongForACell(t->text())) {
            message(texts::kMsgEntryTooLong);
            return;
        }
    }
    if (!XlApp) return;
    auto sheet = books::fillInSheet(*XlApp);
    if (!sheet) return;
    books::liftProtection(sheet.get());
    // A row counts as free when both its short name and its account name are empty, so
    // that a unit typed into the sheet without a short name is never overwritten.
    int r = books::firstFreeRow(*sheet, layout::kColShortName, layout::kBookFirstRow, layout::kColAccountName);
    if (r == 0) {
        books::restoreProtection(sheet.get());
        return;
    }
    host::Range accounts(sheet, {layout::kBookFirstRow, layout::kColAccount, r, layout::kColAccount});
    resume([&] { accounts.setFontColorIndex(0); });

    // Account numbers are compared as exact digit strings, text cell or number cell.
    if (int same = books::rowWithAccount(*sheet, T3.text(), r)) {
        message(texts::kMsgAccountDuplicate);
        resume([&] { sheet->cells(same, layout::kColAccount).select(); });
        resume([&] { sheet->cells(same, layout::kColAccount).setFontColorIndex(3); });
        books::restoreProtection(sheet.get());
        return;
    }

    double serial = 0;
    resume([&] {
        Value above = sheet->cells(r - 1, layout::kColSerial).scalar();
        serial = above.isNumber() ? above.asNumber() : leadingNumber(above.toText());
    });
    for (size_t i = 0; i < entryFields().size(); ++i) {
        const int column = layout::kColShortName + static_cast<int>(i);
        const Value field = keptText(Value::text(entryFields()[i]->text()));
        resume([&] { sheet->cells(r, column).setValue(field); });
        if (OptionButton1.value()) resume([&] { sheet->cells(layout::kPayeeRow, column).setValue(field); });
        if (OptionButton2.value()) resume([&] { sheet->cells(layout::kPayerRow, column).setValue(field); });
    }
    resume([&] { sheet->cells(r, layout::kColSerial).setValue(Value::number(serial + 1)); });
    books::restoreProtection(sheet.get());
}

void Frm_收付款人::CommandButton2_Click() {
    if (!hasToolkit()) return;
    auto keepAlive = shared_from_this();
    dialogs::Toolkit& tk = toolkit();
    unload();
    resume([&] { dialogs::FormInstance<Frm_金额用途>::show(tk); });
}

void Frm_收付款人::CommandButton3_Click() {
    if (!hasToolkit()) return;
    auto keepAlive = shared_from_this();
    dialogs::Toolkit& tk = toolkit();
    unload();
    resume([&] { tk.shellOpen(links::kBooksTutorial); });
}

void Frm_收付款人::showEntryFields(bool visible) {
    for (dialogs::TextBox* t : entryFields()) t->setVisible(visible);
    CommandButton1.setVisible(visible);
}

void Frm_收付款人::message(const char* text) {
    resume([&] { toolkit().msgBox(text, MsgBoxIcon::Critical, std::string(texts::kTitleQuorvan)); });
}

}  // namespace vorra
