#pragma once
// Frm_金额用途: the second step of filling in a bill, shown by Frm_收付款人 after it
// has closed itself. The user finds a purpose by typing part of it and picks it (the
// current purpose K5), or stores a new purpose with its code when nothing matches; and
// enters the amount, the transfer cheque number and the payment password, which go to
// K3, G6 and L6 of 常用单位账号.
//
// Search mode and entry mode as in Frm_收付款人: entry mode is entered by Enter with an
// empty list and left by the next key release in TextBox1.

#include <array>
#include <vector>

#include "addin/books/Books.h"
#include "addin/frame/dialogs/Dialogs.h"

namespace vorra {

class Frm_金额用途 : public dialogs::Form {
public:
    dialogs::Label Label1{*this, "Label1"};
    dialogs::TextBox TextBox1{*this, "TextBox1"};  // search text
    dialogs::Label Label2{*this, "Label2"};        // usage hint
    dialogs::ListView ListView1{*this, "ListView1"};
    dialogs::TextBox T1{*this, "T1"};  // code of a new purpose
    dialogs::TextBox T2{*this, "T2"};  // text of a new purpose
    dialogs::CommandButton CommandButton1{*this, "CommandButton1"};  // store the new purpose
    dialogs::Frame Frame1{*this, "Frame1"};
    dialogs::Label Label3{*this, "Label3", "Frame1"};
    dialogs::TextBox TextBox2{*this, "TextBox2", "Frame1"};  // amount
    dialogs::Label Label4{*this, "Label4", "Frame1"};
    dialogs::TextBox TextBox3{*this, "TextBox3", "Frame1"};  // transfer cheque number
    dialogs::Label Label5{*this, "Label5", "Frame1"};
    dialogs::TextBox TextBox4{*this, "TextBox4", "Frame1"};  // payment password
    dialogs::CommandButton CommandButton3{*this, "CommandButton3", "Frame1"};  // write the bill fields
    dialogs::CommandButton CommandButton2{*this, "CommandButton2"};  // tutorial

    Frm_金额用途();

    void UserForm_Initialize();
    // Searches the purpose book for TextBox1's text on every key release.
    void TextBox1_KeyUp(int& keyCode, int shift);
    // Enter with an empty list switches to entry mode.
    void TextBox1_KeyDown(int& keyCode, int shift);
    // Writes the selected purpose into K5.
    void ListView1_Click();
    void ListView1_KeyDown(int& keyCode, int shift);
    // Stores the new purpose of T1 and T2 and makes it the current purpose.
    void CommandButton1_Click();
    void CommandButton2_Click();
    // Writes amount, cheque number and password into K3, G6 and L6.
    void CommandButton3_Click();

private:
    void showEntryFields(bool visible);
    void message(const char* text);
};

}  // namespace vorra
