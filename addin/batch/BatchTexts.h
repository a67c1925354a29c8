#pragma once
// Texts of batch printing, exactly as the system shows and uses them.

#include <cstddef>
#include <string>

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

// A source with more records than the list holds.
inline constexpr const char* kTitleImportLeftOut = "系统提示：";
inline std::string msgImportLeftOut(size_t found, size_t imported) {
    return "所选工作表共有 " + std::to_string(found) + " 条记录，批量打印表最多容纳 " + std::to_string(imported) +
           " 条：已导入前 " + std::to_string(imported) + " 条，其余 " + std::to_string(found - imported) +
           " 条没有导入。";
}

}  // namespace vorra::texts
