#include "addin/bill/PrintAction.h"

#include <array>
#include <chrono>
#include <ctime>
#include <optional>
#include <utility>

#include "addin/bill/BillNumber.h"
#include "addin/bill/BillTexts.h"
#include "addin/frame/BookColumns.h"
#include "addin/frame/FailureReasons.h"
#include "addin/frame/FillInCells.h"
#include "addin/frame/TemplateLayout.h"
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
    auto row = lastChequeRecordRow(records, freeRow);
    if (!row) return number;
    // A recorded number that is no number continues with no number.
    resume([&] {
        number = nextBillNumber(records.cells(*row, layout::kRecBillNumber).scalar()).value_or(std::string());
    });
    return number;
}

std::string cellText(host::Worksheet& sheet, const char* address) {
    std::string text;
    resume([&] { text = sheet.range(address).scalar().toText(); });
    return text;
}

}  // namespace

std::optional<int> lastChequeRecordRow(host::Worksheet& records, int freeRow) {
    std::optional<int> found;
    if (freeRow <= layout::kRecordFirstRow) return found;
    resume([&] {
        // The bill-sheet names of every record so far, in one read.
        auto names = columnValues(records, layout::kRecBillSheet, layout::kRecordFirstRow, freeRow - 1);
        for (size_t i = names.size(); i-- > 0;) {
            if (contains(names[i].toText(), layout::kChequeMarker)) {
                found = layout::kRecordFirstRow + int(i);
                return;
            }
        }
    });
    return found;
}

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

namespace {

// The record sheet of the active workbook and its first free row; no sheet when the
// workbook keeps no records.
struct RecordSheet {
    std::shared_ptr<host::Worksheet> sheet;
    int freeRow = 0;
    bool keepsRecords() const { return sheet && freeRow > 0; }
};

RecordSheet findRecordSheet() {
    RecordSheet records;
    resume([&] { records.sheet = XlApp->sheets(layout::kSheetRecords); });
    if (records.sheet) resume([&] { records.freeRow = firstFreeRecordRow(*records.sheet); });
    return records;
}

// The fifteen texts of one record, by record column (A = 1).
class PrintRecord {
public:
    std::string& operator[](int column) { return texts_[size_t(column - 1)]; }
    const std::string& operator[](int column) const { return texts_[size_t(column - 1)]; }

private:
    std::array<std::string, layout::kRecordColumns> texts_;
};

// The cheque number of a bill sheet: continued from the most recent cheque of any
// kind, else asked for. Other sheets have none, and so has every bill of a workbook
// that keeps no records: the number would be recorded nowhere.
std::string chequeNumber(const std::string& name, const RecordSheet& records) {
    if (!contains(name, layout::kChequeMarker) || !records.keepsRecords()) return {};
    if (auto continued = numberAfterLastCheque(*records.sheet, records.freeRow)) return *continued;
    std::string number;
    resume([&] { number = XlApp->toolkit().inputText(texts::promptChequeNumber(name)); });
    return number;
}

// Prints the bill sheet on the host's printer. A print the host could not carry out
// is reported and the bill is not recorded, so the record sheet never claims a bill
// that did not print.
bool printSheet(host::Worksheet& billSheet, const std::string& name) {
    if (auto failure = host::failureOf([&] {
            billSheet.activate();
            XlApp->activeSheet()->printOut(1, true);
        })) {
        refuse(texts::msgPrintFailed(name, failureReason(*failure)));
        return false;
    }
    return true;
}

PrintRecord makeRecord(int row, const std::string& name, const std::string& number) {
    PrintRecord record;
    record[layout::kRecSerial] = std::to_string(row - 2);
    record[layout::kRecTime] = recordTimestamp();
    std::shared_ptr<host::Worksheet> fillIn;
    resume([&] { fillIn = fillInSheet(); });
    if (fillIn) {
        const std::pair<int, const char*> fields[] = {
            {layout::kRecPayeeName, "E4"},     {layout::kRecPayeeAccount, "F4"},
            {layout::kRecPayeeBank, "G4"},     {layout::kRecPayeeProvince, "H4"},
            {layout::kRecPayeeCounty, "I4"},   {layout::kRecPurpose, layout::kPurposeCell},
            {layout::kRecAmount, layout::kAmountCell}, {layout::kRecPayerName, "E5"},
            {layout::kRecPayerAccount, "F5"},  {layout::kRecPayerBank, "G5"},
            {layout::kRecPassword, layout::kPasswordCell},
        };
        for (const auto& [column, cell] : fields) record[column] = cellText(*fillIn, cell);
    }
    record[layout::kRecBillSheet] = name;
    record[layout::kRecBillNumber] = number;
    return record;
}

// Whether the record repeats the one above it. A recorded cell the host holds as a
// number never equals a text; an empty cell equals the empty text.
bool repeatsPreviousRecord(host::Worksheet& records, int row, const PrintRecord& record) {
    bool duplicate = false;
    if (row <= layout::kRecordFirstRow) return duplicate;  // the first record repeats no headings
    resume([&] {
        const std::string previousRow = std::to_string(row - 1);
        auto previous = records.range("A" + previousRow + ":O" + previousRow).value();
        duplicate = true;
        for (int column : layout::kRecDuplicateColumns) {
            const Value& cell = previous.array().at(1, column);
            const std::string& text = record[column];
            bool equal = cell.isEmpty() ? text.empty() : cell.isText() && cell.asText() == text;
            if (!equal) duplicate = false;
        }
    });
    return duplicate;
}

// Writes the record into its row, every value a text whatever the record sheet's number
// format (an account keeps its nineteen digits, a number its leading zeros, the time
// stays the text it was). Each bill sheet continues its own numbers: the number after
// the last record of the same sheet replaces the one the record carries.
void appendRecord(host::Worksheet& records, int row, const PrintRecord& record) {
    const std::string& name = record[layout::kRecBillSheet];
    std::optional<int> sameSheetRow;
    resume([&] {
        host::FindOptions find;
        find.what = name;
        find.lookAt = host::LookAt::Whole;
        find.direction = host::SearchDirection::Previous;
        if (auto found = records.columns(layout::kRecBillSheet).find(find)) sameSheetRow = found->row();
    });

    resume([&] {
        host::Array2D cells(1, layout::kRecordColumns);
        for (int c = 1; c <= layout::kRecordColumns; ++c)
            cells.at(1, c) = keptText(Value::text(record[c]));
        records.range("A" + std::to_string(row) + ":O" + std::to_string(row)).setValue(cells);
    });

    if (sameSheetRow) {
        resume([&] {
            Value previousNumber = records.cells(*sameSheetRow, layout::kRecBillNumber).scalar();
            if (previousNumber.isBlankText()) return;
            if (auto next = nextBillNumber(previousNumber))
                records.cells(row, layout::kRecBillNumber).setValue(keptText(Value::text(*next)));
        });
    }
}

}  // namespace

bool printBill(const std::string& sheetName, const std::function<void()>& closeForm) {
    const std::string& name = sheetName;
    if (name.empty()) {
        refuse(texts::kMsgChooseBillSheet);
        resume(closeForm);
        return false;
    }
    if (isWorkingSheet(name)) {
        refuse(texts::msgPrintForbidden(name));
        return false;
    }
    std::shared_ptr<host::Worksheet> billSheet;
    resume([&] { billSheet = XlApp->sheets(name); });
    if (!billSheet) {
        refuse(texts::msgNoSuchSheet(name));
        return false;
    }
    bool hidden = false;
    resume([&] { hidden = billSheet->visible() != host::Visibility::Visible; });
    if (hidden) {
        refuse(texts::msgHiddenSheet(name));
        return false;
    }
    const RecordSheet records = findRecordSheet();
    const bool recorded = records.sheet && !contains(name, layout::kDepositSlipMarker);
    // A full record sheet refuses only a bill that would be recorded: a deposit slip,
    // or a bill that repeats the last record, prints all the same.
    if (recorded && records.freeRow > layout::kRecordLastRow &&
        !repeatsPreviousRecord(*records.sheet, records.freeRow, makeRecord(records.freeRow, name, ""))) {
        refuse(texts::kMsgRecordsFull);
        return false;
    }

    resume(closeForm);

    const std::string number = chequeNumber(name, records);
    if (!printSheet(*billSheet, name)) return false;
    if (!records.keepsRecords()) return true;

    const PrintRecord record = makeRecord(records.freeRow, name, number);
    if (!recorded || repeatsPreviousRecord(*records.sheet, records.freeRow, record)) return true;
    appendRecord(*records.sheet, records.freeRow, record);
    return true;
}

}  // namespace vorra
