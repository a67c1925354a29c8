#pragma once
// Frm_收付款人: the first step of filling in a bill. The user chooses whether the next
// pick is the payee or the payer, types part of an account name or short name, and
// picks a unit from the matches, which sets the current payee row 4 or payer row 5 of
// 常用单位账号. With no match, Enter turns the form into an entry form for a new unit.
// "金额◆用途" closes it and opens Frm_金额用途, the second step.
//
// Two modes: search mode (T1 to T6 and CommandButton1 hidden, the list sized to its
// rows) and entry mode (entered by Enter with an empty list, left by the next key
// release in TextBox1).

#include <array>
#include <vector>

#include "addin/books/Books.h"
#include "addin/frame/dialogs/Dialogs.h"

namespace vorra {

class Frm_收付款人 : public dialogs::Form {
public:
    dialogs::Frame Frame1{*this, "Frame1"};
    dialogs::OptionButton OptionButton1{*this, "OptionButton1", "Frame1"};  // pick → payee row 4
    dialogs::OptionButton OptionButton2{*this, "OptionButton2", "Frame1"};  // pick → payer row 5
    dialogs::Label Label1{*this, "Label1"};
    dialogs::TextBox TextBox1{*this, "TextBox1"};  // search text
    dialogs::Label Label2{*this, "Label2"};        // usage hint
    dialogs::ListView ListView1{*this, "ListView1"};
    // Fields of a new unit: 简称, 户名, 账号, 开户行, 省, 县 (columns D to I).
    dialogs::TextBox T1{*this, "T1"};
    dialogs::TextBox T2{*this, "T2"};
    dialogs::TextBox T3{*this, "T3"};
    dialogs::TextBox T4{*this, "T4"};
    dialogs::TextBox T5{*this, "T5"};
    dialogs::TextBox T6{*this, "T6"};
    dialogs::CommandButton CommandButton1{*this, "CommandButton1"};  // store the new unit
    dialogs::CommandButton CommandButton2{*this, "CommandButton2"};  // on to amount and purpose
    dialogs::CommandButton CommandButton3{*this, "CommandButton3"};  // tutorial

    Frm_收付款人();

    void UserForm_Initialize();
    void OptionButton1_Click();
    void OptionButton2_Click();
    // Searches the unit book for TextBox1's text on every key release.
    void TextBox1_KeyUp(int& keyCode, int shift);
    // Enter with an empty list switches to entry mode.
    void TextBox1_KeyDown(int& keyCode, int shift);
    // Writes the selected unit into the current payee or payer row.
    void ListView1_Click();
    void ListView1_KeyDown(int& keyCode, int shift);
    // Stores the new unit of T1 to T6.
    void CommandButton1_Click();
    void CommandButton2_Click();
    void CommandButton3_Click();

private:
    std::array<dialogs::TextBox*, 6> entryFields() { return {&T1, &T2, &T3, &T4, &T5, &T6}; }
    void showEntryFields(bool visible);
    void message(const char* text);

    // The book rows of the units behind the list rows, in list order; the list rows
    // hold their texts.
    std::vector<int> listedRows_;
};

}  // namespace vorra
