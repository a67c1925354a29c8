#pragma once
// The print form: choose a bill sheet whose fill-in cells are complete and print it;
// and the quick-fill form, which puts look-up formulas into the payee and payer rows
// of the fill-in sheet (or empties them again).

#include "addin/frame/dialogs/Dialogs.h"

namespace vorra {

class Frm_打印票据 : public dialogs::Form {
public:
    Frm_打印票据();

    dialogs::Label Label1{*this, "Label1"};
    dialogs::ComboBox ComboBox1{*this, "ComboBox1"};
    dialogs::CommandButton CommandButton1{*this, "CommandButton1"};
    dialogs::CommandButton CommandButton2{*this, "CommandButton2"};
    dialogs::Label Label8{*this, "Label8"};

    void UserForm_Initialize();
    void ComboBox1_Change();
    void CommandButton1_Click();
    void CommandButton2_Click();
};

class Kuaijie_TX_frm : public dialogs::Form {
public:
    Kuaijie_TX_frm();

    dialogs::CommandButton CommandButton1{*this, "CommandButton1"};
    dialogs::CommandButton CommandButton2{*this, "CommandButton2"};
    dialogs::CommandButton CommandButton3{*this, "CommandButton3"};
    dialogs::TextBox TextBox1{*this, "TextBox1"};

    void UserForm_Initialize();
    void CommandButton1_Click();
    void CommandButton2_Click();
    void CommandButton3_Click();
};

}  // namespace vorra
