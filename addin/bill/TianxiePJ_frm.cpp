#include "addin/bill/TianxiePJ_frm.h"

#include "addin/bill/BillTexts.h"
#include "addin/frame/BookColumns.h"
#include "addin/bill/PrintAction.h"
#include "addin/frame/TemplateLayout.h"
#include "addin/books/PinyinInitials.h"
#include "addin/frame/Commands.h"
#include "addin/frame/FillInCells.h"
#include "addin/frame/MakerLinks.h"
#include "addin/frame/Public_XlApp.h"
#include "addin/frame/Shell.h"
#include "addin/frame/TextConversion.h"

namespace vorra {

using dialogs::FormInstance;
using dialogs::MsgBoxIcon;
using host::resume;

namespace {

constexpr int kClickSearchLastRow = 407;  // the click handlers search rows 8 to 407
constexpr int kChangeScanStartRow = 9;    // the change handlers scan for a gap from row 9

std::shared_ptr<host::Worksheet> activeSheet() { return XlApp->activeSheet(); }

void setBookList(dialogs::ComboBox& box, int column) {
    auto sheet = fillInSheet();
    box.setList(columnEntries(*sheet, column, lastUsedRow(*sheet, column)));
}

}  // namespace

std::vector<std::string> filterBookEntries(const std::vector<std::string>& entries,
                                           const std::string& typedText) {
    const std::string key = toUpperText(trimBlanks(typedText));
    const bool byText = hasDoubleByteCharacter(toHalfWidth(key));
    std::vector<std::string> matches;
    if (byText) {
        for (const auto& entry : entries)
            if (toUpperText(entry).find(key) != std::string::npos) matches.push_back(entry);
        return matches;
    }
    // By initials: an entry matches when its initials contain the key; empty initials
    // contain nothing, not even the empty key.
    HostInitialsLookup lookup(*XlApp);
    for (const auto& entry : entries) {
        std::string initials = lookup.initials(entry);
        if (!initials.empty() && initials.find(key) != std::string::npos)
            matches.push_back(entry);
    }
    return matches;
}

TianxiePJ_frm::TianxiePJ_frm() : Form("TianxiePJ_frm") {
    layOut();
    wireEvents();
}

void TianxiePJ_frm::layOut() {
    setCaption(texts::kFillInCaption);
    setWidth(430);
    setHeight(250);
    // Two columns of labelled boxes, check boxes right of the first three boxes, the
    // buttons in a row at the bottom.
    Label1.setCaption(texts::kLabelPayee);
    Label2.setCaption(texts::kLabelPayer);
    Label3.setCaption(texts::kLabelPurpose);
    Label5.setCaption(texts::kLabelAmount);
    Label6.setCaption(texts::kLabelBillNumber);
    Label7.setCaption(texts::kLabelPassword);
    Label4.setCaption(texts::kLabelBillSheet);
    Label1.move(12, 14, 70, 16);
    ComboBox1.move(84, 12, 200, 18);
    CheckBox1.move(292, 12, 70, 18);
    Label2.move(12, 40, 70, 16);
    ComboBox2.move(84, 38, 200, 18);
    CheckBox2.move(292, 38, 70, 18);
    Label3.move(12, 66, 70, 16);
    ComboBox3.move(84, 64, 200, 18);
    CheckBox3.move(292, 64, 70, 18);
    Label5.move(12, 92, 70, 16);
    TextBox1.move(84, 90, 110, 18);
    Label6.move(204, 92, 80, 16);
    TextBox2.move(284, 90, 120, 18);
    Label7.move(12, 118, 70, 16);
    TextBox3.move(84, 116, 110, 18);
    Label4.move(204, 118, 110, 16);
    ComboBox4.move(314, 116, 100, 18);
    Label8.move(12, 144, 400, 16);
    Frame1.move(12, 164, 170, 40);
    CommandButton3.move(6, 12, 50, 22);
    CommandButton4.move(60, 12, 50, 22);
    CommandButton5.move(114, 12, 50, 22);
    CommandButton6.move(190, 174, 90, 26);
    CommandButton1.move(286, 174, 60, 26);
    CommandButton2.move(350, 174, 60, 26);

    ComboBox1.setTabIndex(0);
    ComboBox2.setTabIndex(1);
    ComboBox3.setTabIndex(2);
    TextBox1.setTabIndex(3);
    TextBox2.setTabIndex(4);
    TextBox3.setTabIndex(5);
    ComboBox4.setTabIndex(6);
    CommandButton1.setTabIndex(7);
    CommandButton2.setTabIndex(8);
    CheckBox1.setTabIndex(16);
    CheckBox2.setTabIndex(17);
    CheckBox3.setTabIndex(18);
    Label8.setTabIndex(19);
    Frame1.setTabIndex(20);
    CommandButton6.setTabIndex(21);

    CommandButton1.setCaption(texts::kButtonPrint);
    CommandButton2.setCaption(texts::kButtonClear);
    CheckBox1.setCaption(texts::kCheckShortName);
    CheckBox2.setCaption(texts::kCheckShortName);
    CheckBox3.setCaption(texts::kCheckPurposeCode);
    Label8.setCaption(texts::kBatchHint);
    CommandButton3.setCaption(texts::kButtonTutorial1);
    CommandButton4.setCaption(texts::kButtonTutorial2);
    CommandButton5.setCaption(texts::kButtonTutorial3);
    CommandButton6.setCaption(texts::kButtonNewPayee);
    CommandButton6.setTipText(texts::kTipNewPayee);

    for (dialogs::Control* c : std::initializer_list<dialogs::Control*>{
             &CommandButton1, &CommandButton2, &CheckBox1, &CheckBox2, &CheckBox3})
        c->setForeColor(dialogs::color::kBlue);
    Label8.setForeColor(dialogs::color::kRed);
    CommandButton6.setForeColor(dialogs::color::kRed);
    for (auto* box : {&ComboBox1, &ComboBox2, &ComboBox3, &ComboBox4})
        box->setMatchEntry(dialogs::MatchEntry::Complete);
}

void TianxiePJ_frm::wireEvents() {
    onInitialize = [this] { UserForm_Initialize(); };
    onQueryClose = [this](int& cancel, dialogs::CloseMode mode) { UserForm_QueryClose(cancel, mode); };

    ComboBox1.onChange = [this] { ComboBox1_Change(); };
    ComboBox2.onChange = [this] { ComboBox2_Change(); };
    ComboBox3.onChange = [this] { ComboBox3_Change(); };
    ComboBox4.onChange = [this] { ComboBox4_Change(); };
    ComboBox1.onClick = [this] { ComboBox1_Click(); };
    ComboBox2.onClick = [this] { ComboBox2_Click(); };
    ComboBox3.onClick = [this] { ComboBox3_Click(); };

    // Enter moves on: payee → payer → purpose → the amount cell of the sheet.
    ComboBox1.onKeyDown = [this](int& key, int) {
        if (key == dialogs::key::kReturn) resume([&] { ComboBox2.setFocus(); });
    };
    ComboBox2.onKeyDown = [this](int& key, int) {
        if (key == dialogs::key::kReturn) resume([&] { ComboBox3.setFocus(); });
    };
    ComboBox3.onKeyDown = [](int& key, int) {
        if (key == dialogs::key::kReturn)
            resume([] { activeSheet()->range(layout::kAmountCell).select(); });
    };

    // Right arrow filters the list; Enter writes the box's value to its cell.
    auto keyUp = [this](dialogs::ComboBox& box, int column, const char* cell) {
        return [this, &box, column, cell](int& key, int) {
            if (key == dialogs::key::kRight) {
                resume([&] {
                    box.setMatchEntry(dialogs::MatchEntry::None);
                    box.clear();
                    auto sheet = fillInSheet();
                    auto entries = columnTexts(*sheet, column, lastUsedRow(*sheet, column));
                    box.setList(filterBookEntries(entries, box.text()));
                });
            } else if (key == dialogs::key::kReturn) {
                resume([&] {
                    writeFillInCells([&](host::Worksheet& sheet) {
                        sheet.range(cell).setValue(keptText(host::Value::text(box.value())));
                    });
                });
            }
        };
    };
    ComboBox1.onKeyUp = keyUp(ComboBox1, layout::kColAccountName, "E4");
    ComboBox2.onKeyUp = keyUp(ComboBox2, layout::kColAccountName, "E5");
    ComboBox3.onKeyUp = keyUp(ComboBox3, layout::kColPurpose, layout::kPurposeCell);

    TextBox1.onChange = [this] { amountChanged(TextBox1, layout::kAmountCell); };
    TextBox2.onChange = [this] { amountChanged(TextBox2, layout::kBillNumberCell); };
    TextBox3.onChange = [this] { amountChanged(TextBox3, layout::kPasswordCell); };

    CommandButton1.onClick = [this] { CommandButton1_Click(); };
    CommandButton2.onClick = [this] { CommandButton2_Click(); };
    CommandButton3.onClick = [this] { openTutorial(links::kFillInTutorial1); };
    CommandButton4.onClick = [this] { openTutorial(links::kFillInTutorial2); };
    CommandButton5.onClick = [this] { openTutorial(links::kFillInTutorial3); };
    CommandButton6.onClick = [] { resume([] { showAddUserForm(); }); };
}

void TianxiePJ_frm::UserForm_Initialize() {
    resume([&] { toolkit().setTopmost(*this); });
    if (!offerBillSheets(ComboBox4)) return;
    resume([&] { setBookList(ComboBox1, layout::kColAccountName); });
    resume([&] { setBookList(ComboBox2, layout::kColAccountName); });
    resume([&] { setBookList(ComboBox3, layout::kColPurpose); });
}

void TianxiePJ_frm::UserForm_QueryClose(int&, dialogs::CloseMode) {
    // The fill-in sheet, never the sheet the user has active (a bill sheet, the batch list).
    resume([] { fillInSheet()->protect(layout::kSheetPassword); });
}

// Typing into the payee or payer box: the first unit of the book (rows 8 to the first
// gap below row 9) whose account name, or short name, holds the typed text fills the
// row. An unmatched text leaves the row as it was.
void TianxiePJ_frm::fillUnitAsTyped(const std::string& typed, bool byShortName, int targetRow) {
    writeFillInCells([&](host::Worksheet& sheet) {
        lastRow_ = firstEmptyRow(sheet, layout::kColAccountName, kChangeScanStartRow) - 1;
        int column = byShortName ? layout::kColShortName : layout::kColAccountName;
        if (auto row = findInColumn(sheet, column, layout::kBookFirstRow, lastRow_, typed)) {
            lastRow_ = *row;
            copyUnitRow(sheet, *row, targetRow);
        }
    });
}

void TianxiePJ_frm::ComboBox1_Change() {
    // Any error stops the step and is reported.
    auto failure = host::errorOf([&] {
        fillUnitAsTyped(ComboBox1.text(), CheckBox1.value(), layout::kPayeeRow);
        XlApp->setEnableEvents(true);
    });
    if (failure) {
        showMessage(texts::kMsgBadAccountName, MsgBoxIcon::Critical, "");
        resume([] { XlApp->setEnableEvents(true); });
    }
}

void TianxiePJ_frm::ComboBox2_Change() {
    resume([&] { fillUnitAsTyped(ComboBox2.text(), CheckBox2.value(), layout::kPayerRow); });
}

void TianxiePJ_frm::ComboBox3_Change() {
    if (!CheckBox3.value()) return;
    resume([&] {
        writeFillInCells([&](host::Worksheet& sheet) {
            if (auto row = findInColumn(sheet, layout::kColPurposeCode, layout::kBookFirstRow,
                                        kClickSearchLastRow, ComboBox3.text())) {
                lastRow_ = *row;
                sheet.range(layout::kPurposeCell)
                    .setValue(keptText(sheet.cells(*row, layout::kColPurpose).scalar()));
            }
        });
    });
}

// A picked unit: its account name goes to the row's account-name cell, and the book row
// found for it (rows 8 to 407) is copied to the row, with application events off
// meanwhile. Any error is reported; the sheet is protected again and events are on.
static void pickUnit(const std::string& picked, int searchColumn, int targetRow) {
    auto failure = host::errorOf([&] {
        XlApp->setEnableEvents(false);
        writeFillInCells([&](host::Worksheet& sheet) {
            sheet.cells(targetRow, layout::kColAccountName).setValue(keptText(host::Value::text(picked)));
            if (auto row = findInColumn(sheet, searchColumn, layout::kBookFirstRow, kClickSearchLastRow,
                                        picked))
                copyUnitRow(sheet, *row, targetRow);
        });
        XlApp->setEnableEvents(true);
    });
    if (failure) {
        showMessage(texts::kMsgBadAccountName, MsgBoxIcon::Critical, "");
        resume([] { XlApp->setEnableEvents(true); });
    }
}

void TianxiePJ_frm::ComboBox1_Click() {
    int column = CheckBox1.value() ? layout::kColShortName : layout::kColAccountName;
    pickUnit(ComboBox1.text(), column, layout::kPayeeRow);
}

void TianxiePJ_frm::ComboBox2_Click() {
    // The short-name check box is not consulted: a picked item is an account name.
    pickUnit(ComboBox2.value(), layout::kColAccountName, layout::kPayerRow);
}

void TianxiePJ_frm::ComboBox3_Click() {
    auto failure = host::errorOf([&] {
        writeFillInCells([&](host::Worksheet& sheet) {
            sheet.range(layout::kPurposeCell).setValue(keptText(host::Value::text(ComboBox3.value())));
        });
        if (ComboBox3.value().empty()) {
            auto sheet = fillInSheet();
            ComboBox3.setList(columnEntries(*sheet, layout::kColPurpose,
                                            lastUsedRow(*sheet, layout::kColPurpose)));
        }
    });
    if (failure) showMessage(texts::kMsgBadPurpose, MsgBoxIcon::Critical, "");
}

void TianxiePJ_frm::ComboBox4_Change() {
    resume([&] { XlApp->sheets(ComboBox4.value())->activate(); });
}

// The amount is entered as typed, so that it is a number for the bill sheets' amount
// formulas; the bill number and the password keep every digit as typed.
void TianxiePJ_frm::amountChanged(dialogs::TextBox& box, const char* cell) {
    const bool asTyped = std::string(cell) == layout::kAmountCell;
    resume([&] {
        writeFillInCells([&](host::Worksheet& sheet) {
            host::Value typed = host::Value::text(box.text());
            sheet.range(cell).setValue(asTyped ? typed : keptText(typed));
        });
    });
}

bool TianxiePJ_frm::CommandButton1_Click() {
    return printBill(ComboBox4.text(), [] { FormInstance<TianxiePJ_frm>::unload(); });
}

void TianxiePJ_frm::CommandButton2_Click() {
    for (auto* box : {&ComboBox1, &ComboBox2, &ComboBox3})
        resume([&] { box->setText(""); });
    for (auto* box : {&TextBox1, &TextBox2, &TextBox3})
        resume([&] { box->setText(""); });
    resume([&] {
        auto sheet = fillInSheet();
        auto names = columnTexts(*sheet, layout::kColAccountName,
                                 lastUsedRow(*sheet, layout::kColAccountName));
        auto purposes = columnTexts(*sheet, layout::kColPurpose,
                                    lastUsedRow(*sheet, layout::kColPurpose));
        // One list assignment per box: the views redraw a list once, not once per row.
        ComboBox1.setList(names);
        ComboBox2.setList(names);
        ComboBox3.setList(purposes);
    });
    resume([] { fillInSheet()->activate(); });
}

void TianxiePJ_frm::openTutorial(const char* address) {
    resume([] { FormInstance<TianxiePJ_frm>::unload(); });
    openWithShell(address);
}

}  // namespace vorra
