#pragma once
// The batch dialog: nine buttons over the operations of Money_Class. While it is open
// the fill-in sheet is unprotected, because the transfer writes into it.

#include <memory>

#include "addin/batch/Money_Class.h"
#include "addin/frame/dialogs/Dialogs.h"

namespace vorra {

class PiliangDY_frm : public dialogs::Form {
public:
    PiliangDY_frm();

    dialogs::CommandButton CommandButton1{*this, "CommandButton1"};
    dialogs::CommandButton CommandButton2{*this, "CommandButton2"};
    dialogs::CommandButton CommandButton3{*this, "CommandButton3"};
    dialogs::CommandButton CommandButton4{*this, "CommandButton4"};
    dialogs::CommandButton CommandButton5{*this, "CommandButton5"};
    dialogs::CommandButton CommandButton6{*this, "CommandButton6"};
    dialogs::CommandButton CommandButton7{*this, "CommandButton7"};
    dialogs::CommandButton CommandButton8{*this, "CommandButton8"};
    dialogs::CommandButton CommandButton9{*this, "CommandButton9"};

    void UserForm_Initialize();
    void UserForm_QueryClose(int& cancel, dialogs::CloseMode mode);

private:
    // Created at the first button click, kept for the dialog's lifetime.
    Money_Class& money();
    std::unique_ptr<Money_Class> money_;
};

}  // namespace vorra
