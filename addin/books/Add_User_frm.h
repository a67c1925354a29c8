#pragma once
// Add_User_frm: adds a payee unit to the unit book and makes it the current payee, and
// adds purposes to the purpose book, without typing into the sheet. The short name of a
// unit added here is the pinyin initials of its account name; the duplicate test is on
// the account name. Shown by the fill-in form; stays until the user closes it.

#include <string>
#include <string_view>

#include "addin/books/Books.h"
#include "addin/frame/dialogs/Dialogs.h"

namespace vorra {

class Add_User_frm : public dialogs::Form {
public:
    dialogs::Frame Frame1{*this, "Frame1"};
    dialogs::Label Label1{*this, "Label1", "Frame1"};
    dialogs::TextBox TextBox1{*this, "TextBox1", "Frame1"};  // 户名, required
    dialogs::Label Label2{*this, "Label2", "Frame1"};
    dialogs::TextBox TextBox2{*this, "TextBox2", "Frame1"};  // 账号, required
    dialogs::Label Label3{*this, "Label3", "Frame1"};
    dialogs::TextBox TextBox3{*this, "TextBox3", "Frame1"};  // 开户行, required
    dialogs::Label Label4{*this, "Label4", "Frame1"};
    dialogs::TextBox TextBox4{*this, "TextBox4", "Frame1"};  // 省, optional
    dialogs::Label Label5{*this, "Label5", "Frame1"};
    dialogs::TextBox TextBox5{*this, "TextBox5", "Frame1"};  // 县, optional
    dialogs::Label Label6{*this, "Label6"};
    dialogs::TextBox TextBox6{*this, "TextBox6"};  // a purpose; Enter adds it
    dialogs::CommandButton CommandButton1{*this, "CommandButton1"};
    dialogs::CommandButton CommandButton2{*this, "CommandButton2"};

    Add_User_frm();

    void UserForm_Initialize();
    // Adds the unit of TextBox1 to TextBox5 and makes it the current payee.
    void CommandButton1_Click();
    // Empties the six text boxes.
    void CommandButton2_Click();
    void TextBox1_KeyDown(int& keyCode, int shift);
    // Enter adds the purpose of TextBox6 and makes it the current purpose.
    void TextBox6_KeyDown(int& keyCode, int shift);

    // The pinyin initials the form stores as short names and purpose codes.
    std::string GetHzjp(std::string_view text) const;

private:
    // Tells the user when the write on 常用单位账号 did not arrive.
    void tellUnlessWritten(books::BookWrite written, const char* notStored, const char* title);
    void message(const char* text, const char* title);
};

}  // namespace vorra
