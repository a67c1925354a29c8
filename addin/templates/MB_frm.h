#pragma once
// The template list shown at start-up: the workbooks of the add-in folder, one click
// opens one.

#include "addin/frame/dialogs/Dialogs.h"

namespace vorra {

class MB_frm : public dialogs::Form {
public:
    dialogs::ListBox List1{*this, "List1"};
    dialogs::Label Label1{*this, "Label1"};

    MB_frm();

    void Form_Load();
    void List1_Click();
};

}  // namespace vorra
