#pragma once
// The print button of the fill-in form and of the print form: refuses the working
// sheets, works out the next cheque number, prints the chosen bill sheet once and
// appends its row to the record sheet under the duplicate and deposit-slip rules.

#include <functional>
#include <optional>
#include <string>

#include "addin/frame/dialogs/Controls.h"
#include "addin/frame/host/Host.h"

namespace vorra {

// Fills the bill-sheet box of a form with the visible sheets of the active workbook.
// When the workbook has the fill-in sheet, the box shows it and the sheet is activated;
// true then.
bool offerBillSheets(dialogs::ComboBox& box);

// Runs the action for the bill sheet named in the form's box. closeForm closes the
// form that runs it; refusals that leave the form open do not call it. True when the
// bill sheet was printed; false when the action refused it or the print failed, so
// that a caller stepping through a list stays on this bill.
bool printBill(const std::string& sheetName, const std::function<void()>& closeForm);

// The row of the most recent record, rows 3 to freeRow - 1 of the record sheet, whose
// bill sheet is a cheque of any kind (its name contains "支票"); nothing when there is
// none. The headings above the records never count.
std::optional<int> lastChequeRecordRow(host::Worksheet& records, int freeRow);

// The current local date and time as the record sheet stores it,
// "yyyy-mm-dd  hh:mm:ss" with two blanks.
std::string recordTimestamp();

}  // namespace vorra
