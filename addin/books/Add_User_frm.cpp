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

void Add_User_frm::CommandButton1_Click() {
    if (!XlApp) return;
    std::shared_ptr<host::Worksheet> active;
    resume([&] { active = XlApp->activeSheet(); });
    books::liftProtection(active.get());

    // Every refusal puts the protection back before it returns.
    if (TextBox1.text().empty()) {
        message(texts::kMsgEnterNewUserName, texts::kTitleSystemPrompt);
        books::restoreProtection(active.get());
        return;
    }
    for (const dialogs::TextBox* required : {&TextBox1, &TextBox2, &TextBox3}) {
        if (required->text().empty()) {
            message(texts::kMsgNewUserIncomplete, texts::kTitleSystemPrompt);
            books::restoreProtection(active.get());
            return;
        }
    }

    for (const dialogs::TextBox* field : {&TextBox1, &TextBox2, &TextBox3, &TextBox4, &TextBox5}) {
        if (books::tooLongForACell(field->text())) {
            message(texts::kMsgEntryTooLong, texts::kTitleSystemPrompt);
            books::restoreProtection(active.get());
            return;
        }
    }

    auto book = books::fillInSheet(*XlApp);
    if (book) {
        int r = books::firstFreeRow(*book, layout::kColAccountName, kFirstTestedRow, layout::kColShortName);
        if (books::countMatches(*XlApp, *book, layout::kColAccountName, r, Value::text(TextBox1.text())) > 0) {
            message(texts::kMsgUserNameExists, texts::kTitleSystemPrompt);
            books::restoreProtection(active.get());
            return;
        }
        // The new unit goes into row r and becomes the current payee in row 4.
        auto writeBoth = [&](int column, const std::string& text) {
            resume([&] { book->cells(r, column).setValue(Value::text(text)); });
            resume([&] { book->cells(layout::kPayeeRow, column).setValue(Value::text(text)); });
        };
        if (r > 0) {
            writeBoth(layout::kColAccountName, TextBox1.text());
            writeBoth(layout::kColShortName, GetHzjp(TextBox1.text()));
            writeBoth(layout::kColAccount, TextBox2.text());
            writeBoth(layout::kColBank, TextBox3.text());
            writeBoth(layout::kColProvince, TextBox4.text());
            writeBoth(layout::kColCounty, TextBox5.text());
        }
    }
    books::restoreProtection(active.get());
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
    auto book = books::fillInSheet(*XlApp);
    if (!book) return;
    const std::string purpose = TextBox6.text();
    books::liftProtection(book.get());
    int r = books::firstFreeRow(*book, layout::kColPurpose, kFirstTestedRow, layout::kColPurposeCode);
    if (books::countMatches(*XlApp, *book, layout::kColPurpose, r, Value::text(purpose)) > 0) {
        message(texts::kMsgPurposeExists, texts::kTitleSystem);
    } else if (r > 0) {
        books::setCurrentPurpose(*book, purpose);
        resume([&] { book->cells(r, layout::kColPurpose).setValue(Value::text(purpose)); });
        resume([&] { book->cells(r, layout::kColPurposeCode).setValue(Value::text(GetHzjp(purpose))); });
    }
    books::restoreProtection(book.get());
}

std::string Add_User_frm::GetHzjp(std::string_view text) const { return vorra::GetHzjp(text); }

void Add_User_frm::message(const char* text, const char* title) {
    resume([&] { toolkit().msgBox(text, MsgBoxIcon::Critical, std::string(title)); });
}

}  // namespace vorra
