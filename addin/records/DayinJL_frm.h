#pragma once
// The print-records window: records a voided bill number as a row of its own and
// exports the record sheet as a workbook file on the desktop.

#include <ctime>
#include <string>

#include "addin/frame/dialogs/Dialogs.h"

namespace vorra {

class DayinJL_frm : public dialogs::Form {
public:
    dialogs::CommandButton Command1{*this, "Command1"};
    dialogs::CommandButton Command2{*this, "Command2"};

    DayinJL_frm();

    void Form_Load();
    void Command1_Click();
    void Command2_Click();
};

// "打印记录" + "yyyymmddhhmmss" + ".xls" in the folder, for the local time given.
std::string recordsExportPath(const std::string& folder, const std::tm& localTime);

}  // namespace vorra
