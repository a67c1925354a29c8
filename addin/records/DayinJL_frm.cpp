#include "addin/records/DayinJL_frm.h"

#include <optional>

#include "addin/bill/BillNumber.h"
#include "addin/frame/BookColumns.h"
#include "addin/frame/FailureReasons.h"
#include "addin/frame/FillInCells.h"
#include "addin/bill/PrintAction.h"
#include "addin/frame/TemplateLayout.h"
#include "addin/frame/Public_XlApp.h"
#include "addin/frame/Shell.h"
#include "addin/records/RecordsTexts.h"

namespace vorra {

using dialogs::MsgBoxIcon;
using host::failureOf;
using host::resume;
using host::Value;

namespace {

// The first row from row 3 down whose column A is empty; nothing when the record
// rows, counted in 16-bit integers, are used up.
std::optional<int> firstFreeRecordRow(host::Worksheet& records) {
    return firstBlankRow(records, 1, layout::kRecordFirstRow, layout::kRecordLastRow);
}

std::tm localNow() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

}  // namespace

std::string recordsExportPath(const std::string& folder, const std::tm& localTime) {
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d%H%M%S", &localTime);
    std::string path = folder;
    if (path.empty() || path.back() != '/') path += '/';
    return path + texts::kExportFileName + stamp + texts::kExportExtension;
}

DayinJL_frm::DayinJL_frm() : Form("DayinJL_frm", dialogs::FormKind::WindowForm) {
    setCaption(texts::kRecordsCaption);
    // Two wide buttons one above the other (twips).
    setWidth(4200);
    setHeight(1740);
    Command1.setCaption(texts::kVoidNumber);
    Command1.move(240, 240, 3720, 540);
    Command2.setCaption(texts::kExportRecords);
    Command2.move(240, 960, 3720, 540);
    Command2.setTipText(texts::kExportRecordsTip);
    onInitialize = [this] { Form_Load(); };
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
}

// Stays open only over a workbook that keeps print records, with their sheet active.
void DayinJL_frm::Form_Load() {
    resume([&] { toolkit().setTopmost(*this); });
    if (!activateWorksheet(layout::kSheetRecords)) unload();
}

// Voids the number after the most recent cheque: a row with that record's payee, payer
// and bill sheet, "作废" and "0" for purpose and amount, and its number plus one (digits
// kept, as the print action continues a number). Void rows name their cheque sheet, so
// voiding again continues from the void before. Without a cheque record there is no
// number to void: the user is told so and nothing is written.
void DayinJL_frm::Command1_Click() {
    std::shared_ptr<host::Worksheet> records;
    resume([&] { records = XlApp->sheets(layout::kSheetRecords); });
    if (!records) return;
    int row = 0;
    resume([&] { row = firstFreeRecordRow(*records).value_or(0); });
    if (row == 0) return;
    auto chequeRow = lastChequeRecordRow(*records, row);
    if (!chequeRow) {
        showMessage(texts::kMsgNothingToVoid, MsgBoxIcon::Information, texts::kTitleNothingToVoid);
        return;
    }
    const std::string from = std::to_string(*chequeRow);

    host::Array2D cheque(1, layout::kRecordColumns);
    resume([&] { cheque = records->range("A" + from + ":O" + from).value().array(); });
    std::string password;
    resume([&] { password = XlApp->sheets(layout::kSheetFillIn)->range(layout::kPasswordCell).scalar().toText(); });

    using namespace layout;
    host::Array2D voidRow(1, kRecordColumns);
    // Every value a text, whatever the record sheet's number format.
    auto put = [&](int column, std::string text) { voidRow.at(1, column) = keptText(Value::text(std::move(text))); };
    auto copy = [&](int column) { put(column, cheque.at(1, column).toText()); };
    put(kRecSerial, std::to_string(row - 2));
    put(kRecTime, recordTimestamp());
    for (int c : {kRecPayeeName, kRecPayeeAccount, kRecPayeeBank, kRecPayeeProvince, kRecPayeeCounty}) copy(c);
    put(kRecPurpose, texts::kVoidPurpose);
    put(kRecAmount, texts::kVoidAmount);
    for (int c : {kRecPayerName, kRecPayerAccount, kRecPayerBank, kRecBillSheet}) copy(c);
    put(kRecBillNumber, nextBillNumber(cheque.at(1, kRecBillNumber)).value_or(std::string()));
    put(kRecPassword, password);
    resume([&] { records->range("A" + std::to_string(row) + ":O" + std::to_string(row)).setValue(voidRow); });
}

// Exports the record sheet as a workbook of its own on the desktop. Tells where it was
// saved, or that it could not be saved and why.
void DayinJL_frm::Command2_Click() {
    unload();
    std::string path;
    resume([&] { path = recordsExportPath(XlApp->toolkit().desktopFolder(), localNow()); });
    std::vector<std::shared_ptr<host::Worksheet>> sheets;
    resume([&] { sheets = XlApp->worksheets(); });
    for (const auto& sheet : sheets) {
        if (sheet->name() != layout::kSheetRecords) continue;
        resume([&] { sheet->activate(); });
        resume([] { XlApp->setDisplayAlerts(false); });
        std::shared_ptr<host::Workbook> source, copy;
        resume([&] { source = XlApp->activeWorkbook(); });
        std::optional<std::string> failure;
        if (auto copied = failureOf([&] { sheet->copyToNewWorkbook(); })) failure = failureReason(*copied);
        resume([&] { copy = XlApp->activeWorkbook(); });
        // Only the new workbook is saved and closed: when the copy failed, the active
        // workbook is still the user's own.
        if (!failure && (!copy || copy == source)) failure = texts::kReasonNotCopied;
        if (!failure) {
            if (auto saved = failureOf([&] { copy->saveAs(path); })) failure = failureReason(*saved);
        }
        if (copy && copy != source) resume([&] { copy->close(false); });
        resume([] { XlApp->setDisplayAlerts(true); });
        if (failure)
            showMessage(texts::msgExportFailed(path, *failure), MsgBoxIcon::Critical,
                        texts::kTitleExportFailed);
        else
            showMessage(path, MsgBoxIcon::Information, texts::kTitleExportPath);
    }
}

}  // namespace vorra
