#pragma once
// Texts of bill entry, exactly as the system shows them.

#include <string>

namespace vorra::texts {

inline constexpr const char* kTitleSystem = "系统：";

// The print action.
inline constexpr const char* kMsgChooseBillSheet = "请选择要打印的支票类工作表，然后方能打印！";
inline std::string msgPrintForbidden(const std::string& sheet) {
    return "“" + sheet + "” 工作表，禁止打印！";
}
inline std::string promptChequeNumber(const std::string& sheet) {
    return "输入 <" + sheet + "> 支票号码";
}
// Refusals and failures the action reports besides the two above.
inline std::string msgNoSuchSheet(const std::string& sheet) {
    return "没有名为“" + sheet + "”的工作表，无法打印！请在列表中选择要打印的工作表。";
}
inline constexpr const char* kMsgRecordsFull =
    "“打印记录”工作表已满（记录已到第32767行），无法再登记打印记录。请先导出打印记录并清理该表，然后再打印！";
inline std::string msgPrintFailed(const std::string& sheet, const std::string& reason) {
    return "“" + sheet + "” 工作表打印失败，本次打印没有登记到打印记录。\n" + reason;
}

}  // namespace vorra::texts
