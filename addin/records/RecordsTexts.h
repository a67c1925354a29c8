#pragma once
// Texts of the print records, exactly as the system shows them.

#include <string>

namespace vorra::texts {

inline constexpr const char* kRecordsCaption = "打印记录：";
inline constexpr const char* kVoidNumber = "票据填写作废号码登记";
inline constexpr const char* kExportRecords = "导出打印记录表为工作簿";
inline constexpr const char* kExportRecordsTip = "导出“打印记录”工作表中数据为单独的2003格式Excel工作簿。";

// The purpose and amount of a void row.
inline constexpr const char* kVoidPurpose = "作废";
inline constexpr const char* kVoidAmount = "0";

// Voiding with no cheque in the records.
inline constexpr const char* kTitleNothingToVoid = "系统提示：";
inline constexpr const char* kMsgNothingToVoid = "打印记录中还没有支票记录，没有可以作废的支票号码！";

// The export file: this name, the local time "yyyymmddhhmmss", the extension.
inline constexpr const char* kExportFileName = "打印记录";
inline constexpr const char* kExportExtension = ".xls";
inline constexpr const char* kTitleExportPath = "位置及文件名：";

// Told when the export could not be saved, with the path and the host's reason.
inline constexpr const char* kTitleExportFailed = "系统提示：";
inline constexpr const char* kReasonNotCopied = "未能把“打印记录”工作表复制到新工作簿。";
inline std::string msgExportFailed(const std::string& path, const std::string& reason) {
    return "打印记录导出失败，没有保存工作簿：\n" + path + "\n" + reason;
}

}  // namespace vorra::texts
