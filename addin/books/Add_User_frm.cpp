#include "addin/books/Add_User_frm.h"

#include "addin/books/Books.h"
#include "addin/books/BooksTexts.h"
#include "addin/books/EntryText.h"
#include "addin/books/PinyinInitials.h"
#include "addin/frame/Public_XlApp.h"

namespace vorra {

using dialogs::MsgBoxIcon;
using host::resume;
using host::Value;
namespace texts = books::texts;

namespace {

// The add-user form tests its free rows from row 9: row 8 is never chosen.
constexpr int kFirstTestedRow = 9;

}  // namespace

Add_User_frm::Add_User_frm() : Form("Add_User_frm") {
    setCaption(texts::kAddUserCaption);
    setWidth(5400);
    setHeight(4620);
    Frame1.setCaption(texts::kAddUserFrame);
    Frame1.move(6, 6, 252, 150);
    dialogs::Label* labels[] = {&Label1, &Label2, &Label3, &Label4, &Label5};
    dialogs::TextBox* boxes[] = {&TextBox1, &TextBox2, &TextBox3, &TextBox4, &TextBox5};
    const char* captions[] = {texts::kAddUserAccountNameLabel, texts::kAddUserAccountLabel,
                              texts::kAddUserBankLabel, texts::kAddUserProvinceLabel,
                              texts::kAddUserCityLabel};
    for (int i = 0; i < 5; ++i) {
        labels[i]->setCaption(captions[i]);
        labels[i]->move(6, 12 + 26 * i, 90, 18);
        boxes[i]->move(100, 10 + 26 * i, 144, 20);
        boxes[i]->setTabIndex(i);
    }
    Label6.setCaption(texts::kAddUserPurposeLabel);
    Label6.move(12, 166, 90, 18);
    TextBox6.move(106, 164, 144, 20);
    TextBox6.setTabIndex(5);
    CommandButton1.setCaption(texts::kAddUserAddButton);
    CommandButton1.move(40, 194, 72, 24);
    CommandButton1.setTabIndex(6);
    CommandButton2.setCaption(texts::kAddUserClearButton);
    CommandButton2.move(150, 194, 72, 24);
    CommandButton2.setTabIndex(7);

    onInitialize = [this] { UserForm_Initialize(); };
    CommandButton1.onClick = [this] { CommandButton1_Click(); };
    CommandButton2.onClick = [this] { CommandButton2_Click(); };
    TextBox1.onKeyDown = [this](int& keyCode, int shift) { TextBox1_KeyDown(keyCode, shift); };
    TextBox6.onKeyDown = [this](int& keyCode, int shift) { TextBox6_KeyDown(keyCode, shift); };
}

void Add_User_frm::UserForm_Initialize() {
    resume([&] { toolkit().setTopmost(*this); });
    if (!XlApp) return;
    activateWorksheet(layout::kSheetFillIn);
}

// The fields are checked before the sheet is touched; the unit is then written on
// 常用单位账号 by name, whichever sheet is active, and a write that did not arrive is
// told.
void Add_User_frm::CommandButton1_Click() {
    if (!XlApp) return;
    if (TextBox1.text().empty()) {
        message(texts::kMsgEnterNewUserName, texts::kTitleSystemPrompt);
        return;
    }
    for (const dialogs::TextBox* required : {&TextBox1, &TextBox2, &TextBox3}) {
        if (required->text().empty()) {
            message(texts::kMsgNewUserIncomplete, texts::kTitleSystemPrompt);
            return;
        }
    }
    for (const dialogs::TextBox* field : {&TextBox1, &TextBox2, &TextBox3, &TextBox4, &TextBox5}) {
        if (books::tooLongForACell(field->text())) {
            message(texts::kMsgEntryTooLong, texts::kTitleSystemPrompt);
            return;
        }
    }

    int r = 0;
    if (auto book = books::fillInSheet(*XlApp)) {
        r = books::firstFreeRow(*book, layout::kColAccountName, kFirstTestedRow, layout::kColShortName);
        if (books::countEntries(*book, layout::kColAccountName, r, TextBox1.text()) > 0) {
            message(texts::kMsgUserNameExists, texts::kTitleSystemPrompt);
            return;
        }
    }
    // The new unit goes into row r and becomes the current payee in row 4.
    const std::string fields[] = {GetHzjp(TextBox1.text()), TextBox1.text(), TextBox2.text(),
                                  TextBox3.text(),          TextBox4.text(), TextBox5.text()};
    books::BookWrite written = books::writeFillInSheet(*XlApp, [&](books::CellWriter& book) {
        if (r <= 0) return book.markFailed();  // the book could not be read for a free row
        // In the order the form writes them: 户名 first, then 简称 and the rest.
        constexpr int kOrder[] = {1, 0, 2, 3, 4, 5};
        for (int i : kOrder) {
            const Value field = Value::text(fields[i]);
            book.set(r, layout::kColShortName + i, field);
            book.set(layout::kPayeeRow, layout::kColShortName + i, field);
        }
    });
    tellUnlessWritten(written, texts::kMsgUnitNotStored, texts::kTitleSystemPrompt);
}

void Add_User_frm::CommandButton2_Click() {
    for (dialogs::TextBox* box : {&TextBox1, &TextBox2, &TextBox3, &TextBox4, &TextBox5, &TextBox6})
        box->setText("");
}

void Add_User_frm::TextBox1_KeyDown(int&, int) {}

void Add_User_frm::TextBox6_KeyDown(int& keyCode, int) {
    if (keyCode != dialogs::key::kReturn || TextBox6.text().empty() || !XlApp) return;
    if (books::tooLongForACell(TextBox6.text())) {
        message(texts::kMsgEntryTooLong, texts::kTitleSystem);
        return;
    }
    const std::string purpose = TextBox6.text();
    int r = 0;
    if (auto book = books::fillInSheet(*XlApp)) {
        r = books::firstFreeRow(*book, layout::kColPurpose, kFirstTestedRow, layout::kColPurposeCode);
        if (books::countEntries(*book, layout::kColPurpose, r, purpose) > 0) {
            message(texts::kMsgPurposeExists, texts::kTitleSystem);
            return;
        }
    }
    books::BookWrite written = books::writeFillInSheet(*XlApp, [&](books::CellWriter& book) {
        if (r <= 0) return book.markFailed();  // the book could not be read for a free row
        book.set(layout::kPurposeCell, Value::text(purpose));
        book.set(r, layout::kColPurpose, Value::text(purpose));
        book.set(r, layout::kColPurposeCode, Value::text(GetHzjp(purpose)));
    });
    tellUnlessWritten(written, texts::kMsgPurposeNotStored, texts::kTitleSystem);
}

std::string Add_User_frm::GetHzjp(std::string_view text) const { return vorra::GetHzjp(text); }

void Add_User_frm::tellUnlessWritten(books::BookWrite written, const char* notStored, const char* title) {
    if (written == books::BookWrite::NoSheet) message(texts::kMsgNoFillInSheet, title);
    else if (written == books::BookWrite::Failed) message(notStored, title);
}

void Add_User_frm::message(const char* text, const char* title) {
    resume([&] { toolkit().msgBox(text, MsgBoxIcon::Critical, std::string(title)); });
}

}  // namespace vorra
