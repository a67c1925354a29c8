#pragma once
// Texts of batch printing, exactly as the system shows and uses them.

namespace vorra::texts {

inline constexpr const char* kBatchCaption = "批量打印：";
inline constexpr const char* kButtonClearList = "清空表格";
inline constexpr const char* kButtonImport = "导入工作表";
inline constexpr const char* kButtonStartAtOne = "从1启动";
inline constexpr const char* kButtonFillIn = "填写票据";
inline constexpr const char* kButtonPrintBill = "打印票据";
inline constexpr const char* kButtonPrevious = "后  退";
inline constexpr const char* kButtonNext = "前  进";
inline constexpr const char* kButtonMakeCurrent = "置为当前";
inline constexpr const char* kButtonOneClickPrint = "一键打印";

// The import: file dialog and query.
inline constexpr const char* kImportFilter = "EXCEl Files (*.xls), *.xls*";
inline constexpr const char* kImportTitle = "选定文件";
inline constexpr const char* kImportConnectionPrefix =
    "Provider=Microsoft.Jet.OLEDB.4.0;Extended Properties=Excel 8.0;Data Source=";
inline constexpr const char* kImportQuery = "select * from [批量打印$] Where 收款人户名 <> '' ";

}  // namespace vorra::texts
