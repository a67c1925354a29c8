#pragma once
// The command table shared by the ribbon callbacks and the command-bar clicks: one
// command name, one action, whichever way the user reaches it.

#include <span>
#include <string_view>

namespace vorra {

struct Command {
    std::string_view name;
    void (*action)();
};

// The fifteen commands in the order of the connection class's interface.
std::span<const Command> commandTable();

// Runs the command of exactly that name once; an unknown name does nothing. Errors of
// the action are swallowed: a failing command never reaches the host.
void runCommand(std::string_view name);

// Actions that show a form. Each subsystem provides its form's show; a form that is not
// there yet makes its command do nothing.
void showTemplateImport();   // VorraMB_frm
void showPayeePayerForm();   // Frm_收付款人
void showPrintForm();        // Frm_打印票据
void showQuickFillForm();    // Kuaijie_TX_frm
void showBatchForm();        // PiliangDY_frm
void showRecordsForm();      // DayinJL_frm
void showDateForm();         // Date_frm
void showTemplateList();     // MB_frm, shown at start-up
void showAddUserForm();      // Add_User_frm, from the fill-in form

}  // namespace vorra
