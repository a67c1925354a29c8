#include "addin/bill/PrintAction.h"

#include <array>
#include <chrono>
#include <ctime>
#include <optional>

#include "addin/bill/BillNumber.h"
#include "addin/bill/BillTexts.h"
#include "addin/bill/BookColumns.h"
#include "addin/bill/TemplateLayout.h"
#include "addin/frame/Public_XlApp.h"
#include "addin/frame/Shell.h"
#include "addin/frame/dialogs/Toolkit.h"
#include "addin/frame/host/Host.h"

namespace vorra {

using host::resume;
using host::Value;

namespace {

bool contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

bool isWorkingSheet(const std::string& name) {
    return name == layout::kSheetRecords || name == layout::kSheetBatch ||
           name == layout::kSheetFillIn || name == layout::kSheetBasicInfo;
}

void refuse(const std::string& message) {
    showMessage(message, dialogs::MsgBoxIcon::Critical, texts::kTitleSystem);
}

// The first row from row 3 down whose column A is empty. The row counter cannot pass
// 32767, so the walk stops one row after it: a sheet filled further down is just as
// full, and a column filled to the sheet's end is not walked a million rows.
int firstFreeRecordRow(host::Worksheet& records) {
    return firstBlankRow(records, 1, layout::kRecordFirstRow, layout::kRecordLastRow)
        .value_or(layout::kRecordLastRow + 1);
}

// The number continuing the most recent cheque of any kind, when there is one.
std::optional<std::string> numberAfterLastCheque(host::Worksheet& records, int freeRow) {
    std::optional<std::string> number;
    resume([&] {
        // Bill-sheet name and number of every record so far, two columns.
        auto block = records.range("M3:N" + std::to_string(freeRow - 1)).value();
        const auto& rows = block.array();
        for (int r = rows.rows(); r >= 1; --r) {
            if (contains(rows.at(r, 1).toText(), layout::kChequeMarker)) {
                // A recorded number that is no number continues with no number.
                number = nextBillNumber(rows.at(r, 2)).value_or(std::string());
                return;
            }
        }
    });
    return number;
}

std::string cellText(host::Worksheet& sheet, const char* address) {
    std::string text;
    resume([&] { text = sheet.range(address).scalar().toText(); });
    return text;
}

}  // namespace

bool offerBillSheets(dialogs::ComboBox& box) {
    resume([&] {
        for (const auto& sheet : XlApp->worksheets())
            if (sheet->visible() == host::Visibility::Visible) box.addItem(sheet->name());
    });
    if (!hasWorksheet(layout::kSheetFillIn)) return false;
    resume([&] { box.setText(layout::kSheetFillIn); });
    resume([] { XlApp->sheets(layout::kSheetFillIn)->activate(); });
    return true;
}

std::string recordTimestamp() {
    std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d  %H:%M:%S", &local);
    return buf;
}

void printBill(const std::string& sheetName, const std::function<void()>& closeForm) {
    const std::string& name = sheetName;
    if (name.empty()) {
        refuse(texts::kMsgChooseBillSheet);
        resume(closeForm);
        return;
    }
    if (isWorkingSheet(name)) {
        refuse(texts::msgPrintForbidden(name));
        return;
    }
    std::shared_ptr<host::Worksheet> billSheet;
    resume([&] { billSheet = XlApp->sheets(name); });
    if (!billSheet) {
        refuse(texts::msgNoSuchSheet(name));
        return;
    }
    std::shared_ptr<host::Worksheet> records;
    resume([&] { records = XlApp->sheets(layout::kSheetRecords); });
    int freeRow = 0;
    if (records) resume([&] { freeRow = firstFreeRecordRow(*records); });
    if (records && freeRow > layout::kRecordLastRow) {
        refuse(texts::kMsgRecordsFull);
        return;
    }

    resume(closeForm);

    std::string number;
    if (contains(name, layout::kChequeMarker)) {
        std::optional<std::string> continued;
        if (records && freeRow > 0) continued = numberAfterLastCheque(*records, freeRow);
        if (continued) {
            number = *continued;
        } else {
            resume([&] { number = XlApp->toolkit().inputText(texts::promptChequeNumber(name)); });
        }
    }

    // A print the host could not carry out is reported and not recorded, so the record
    // sheet never claims a bill that did not print.
    if (auto failure = host::errorOf([&] {
            billSheet->activate();
            XlApp->activeSheet()->printOut(1, true);
        })) {
        refuse(texts::msgPrintFailed(name, *failure));
        return;
    }
    if (!records || freeRow == 0) return;

    std::shared_ptr<host::Worksheet> fillIn;
    resume([&] { fillIn = XlApp->sheets(layout::kSheetFillIn); });
    std::array<std::string, layout::kRecordColumns> record;
    record[0] = std::to_string(freeRow - 2);
    record[1] = recordTimestamp();
    if (fillIn) {
        const char* payee[] = {"E4", "F4", "G4", "H4", "I4"};
        for (int k = 0; k < 5; ++k) record[size_t(2 + k)] = cellText(*fillIn, payee[k]);
        record[7] = cellText(*fillIn, layout::kPurposeCell);
        record[8] = cellText(*fillIn, layout::kAmountCell);
        const char* payer[] = {"E5", "F5", "G5"};
        for (int k = 0; k < 3; ++k) record[size_t(9 + k)] = cellText(*fillIn, payer[k]);
        record[14] = cellText(*fillIn, layout::kPasswordCell);
    }
    record[12] = name;
    record[13] = number;

    if (contains(name, layout::kDepositSlipMarker)) return;
    // The same bill twice in a row is recorded once. A recorded cell the host holds as
    // a number never equals a text; an empty cell equals the empty text.
    bool duplicate = false;
    resume([&] {
        auto previous = records->range("A" + std::to_string(freeRow - 1) + ":O" +
                                       std::to_string(freeRow - 1)).value();
        duplicate = true;
        for (int index : {2, 3, 7, 8, 9, 10}) {
            const Value& cell = previous.array().at(1, index + 1);
            const std::string& text = record[size_t(index)];
            bool equal = cell.isEmpty() ? text.empty() : cell.isText() && cell.asText() == text;
            if (!equal) duplicate = false;
        }
    });
    if (duplicate) return;

    std::optional<int> sameSheetRow;
    resume([&] {
        host::FindOptions find;
        find.what = name;
        find.lookAt = host::LookAt::Whole;
        find.direction = host::SearchDirection::Previous;
        if (auto found = records->columns(13).find(find)) sameSheetRow = found->row();
    });

    resume([&] {
        host::Array2D row(1, layout::kRecordColumns);
        for (int c = 0; c < layout::kRecordColumns; ++c)
            row.at(1, c + 1) = Value::text(record[size_t(c)]);
        records->range("A" + std::to_string(freeRow) + ":O" + std::to_string(freeRow))
            .setValue(row);
    });

    // Each bill sheet continues its own numbers.
    if (sameSheetRow) {
        resume([&] {
            Value previousNumber = records->cells(*sameSheetRow, 14).scalar();
            if (previousNumber.isBlankText()) return;
            if (auto next = nextBillNumber(previousNumber))
                records->cells(freeRow, 14).setValue(Value::text(*next));
        });
    }
}

}  // namespace vorra
