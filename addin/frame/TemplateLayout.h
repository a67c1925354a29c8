#pragma once
// The layout of a template workbook that the add-in relies on: sheet names, the
// fill-in cells of the current bill, the book columns and rows, the record sheet and
// the batch sheet, and the sheet password. Every subsystem takes them from here.

namespace vorra::layout {

// Sheets, looked up by exact name in the active workbook.
inline constexpr const char* kSheetFillIn = "常用单位账号";
inline constexpr const char* kSheetRecords = "打印记录";
inline constexpr const char* kSheetBatch = "批量打印";
inline constexpr const char* kSheetBasicInfo = "基本信息";

// A bill sheet whose name contains this is a cheque (it keeps a running number);
// one whose name contains the other is never recorded.
inline constexpr const char* kChequeMarker = "支票";
inline constexpr const char* kDepositSlipMarker = "进账单";

// The password of the fill-in sheet's protection (an integer of six digits).
inline constexpr const char* kSheetPassword = "470518";

// Current-bill cells of the fill-in sheet.
inline constexpr int kPayeeRow = 4;   // D4:I4 简称, 户名, 账号, 开户行, 省, 县
inline constexpr int kPayerRow = 5;   // D5:I5, the same six fields
inline constexpr const char* kAmountCell = "K3";
inline constexpr const char* kPurposeCell = "K5";
inline constexpr const char* kBillNumberCell = "G6";
inline constexpr const char* kPasswordCell = "L6";

// Books of the fill-in sheet: headings in row 7, records from row 8.
inline constexpr int kBookHeadingRow = 7;
inline constexpr int kBookFirstRow = 8;
inline constexpr int kColSerial = 3;       // C 序号
inline constexpr int kColShortName = 4;    // D 简称
inline constexpr int kColAccountName = 5;  // E 户名
inline constexpr int kColAccount = 6;      // F 账号
inline constexpr int kColBank = 7;         // G 开户行
inline constexpr int kColProvince = 8;     // H 省
inline constexpr int kColCounty = 9;       // I 县
inline constexpr int kColPurposeCode = 10; // J 用途序号
inline constexpr int kColPurpose = 11;     // K 用途
// The last used row of a book column is found going up from this row.
inline constexpr int kEndSearchRow = 65536;

// Record sheet: headings in rows 1 and 2, records from row 3 in columns A to O.
inline constexpr int kRecordFirstRow = 3;
inline constexpr int kRecordColumns = 15;
// The columns of a record (A = 1), each a text.
inline constexpr int kRecSerial = 1;         // A the record's row minus 2
inline constexpr int kRecTime = 2;           // B local time "yyyy-mm-dd  hh:mm:ss"
inline constexpr int kRecPayeeName = 3;      // C to G: the payee's E4:I4
inline constexpr int kRecPayeeAccount = 4;
inline constexpr int kRecPayeeBank = 5;
inline constexpr int kRecPayeeProvince = 6;
inline constexpr int kRecPayeeCounty = 7;
inline constexpr int kRecPurpose = 8;        // H K5
inline constexpr int kRecAmount = 9;         // I K3
inline constexpr int kRecPayerName = 10;     // J to L: the payer's E5:G5
inline constexpr int kRecPayerAccount = 11;
inline constexpr int kRecPayerBank = 12;
inline constexpr int kRecBillSheet = 13;     // M the printed bill sheet's name
inline constexpr int kRecBillNumber = 14;    // N the cheque number
inline constexpr int kRecPassword = 15;      // O L6
// A bill that repeats the previous record in these columns is not recorded again.
inline constexpr int kRecDuplicateColumns[] = {kRecPayeeName, kRecPayeeAccount, kRecPurpose,
                                               kRecAmount,    kRecPayerName,    kRecPayerAccount};
// Record rows are counted in 16-bit signed integers.
inline constexpr int kRecordLastRow = 32767;

// Batch sheet: D2 the current record's number, A5:N5 the current record, the list in
// rows 8 to 2007 (record k in row 7 + k).
inline constexpr const char* kBatchCurrentNumberCell = "D2";
inline constexpr int kBatchCurrentRow = 5;
inline constexpr int kBatchFirstRow = 8;
inline constexpr int kBatchLastRow = 2007;
inline constexpr int kBatchColumns = 14;  // A to N

}  // namespace vorra::layout
