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
inline std::string msgHiddenSheet(const std::string& sheet) {
    return "“" + sheet + "” 工作表已隐藏，无法打印！请在列表中选择要打印的工作表。";
}
inline constexpr const char* kMsgRecordsFull =
    "“打印记录”工作表已满（记录已到第32767行），无法再登记打印记录。请先导出打印记录并清理该表，然后再打印！";
inline std::string msgPrintFailed(const std::string& sheet, const std::string& reason) {
    return "“" + sheet + "” 工作表打印失败，本次打印没有登记到打印记录。\n" + reason;
}

// The fill-in form.
inline constexpr const char* kFillInCaption = "填写票据：";
inline constexpr const char* kLabelPayee = "输入收款人：";
inline constexpr const char* kLabelPayer = "输入付款人：";
inline constexpr const char* kLabelPurpose = "输入用途：";
inline constexpr const char* kLabelBillSheet = "选择要打印的工作表：";
inline constexpr const char* kLabelAmount = "输入金额：";
inline constexpr const char* kLabelBillNumber = "输入票据号码：";
inline constexpr const char* kLabelPassword = "输入支付密码：";
inline constexpr const char* kButtonPrint = "打  印";
inline constexpr const char* kButtonClear = "清  除";
inline constexpr const char* kCheckShortName = "单位简称";
inline constexpr const char* kCheckPurposeCode = "用途简称";
inline constexpr const char* kBatchHint = "如需批量打印，请点击Quorvan工具栏的“批量打印”按钮！";
inline constexpr const char* kButtonTutorial1 = "教程1";
inline constexpr const char* kButtonTutorial2 = "教程2";
inline constexpr const char* kButtonTutorial3 = "教程3";
inline constexpr const char* kButtonNewPayee = "新增收款人信息";
inline constexpr const char* kTipNewPayee = "将新的收款人信息添加到数据库中，便于以后使用";
inline constexpr const char* kMsgBadAccountName = "输入不正确，请输入E7单元格下面的户名";
inline constexpr const char* kMsgBadPurpose = "输入不正确，请输入K7单元格下面的用途";

// The print form.
inline constexpr const char* kPrintFormCaption = "打印票据：";
inline constexpr const char* kLabelPrintSheet = "选择打印工作表：";
inline constexpr const char* kButtonTutorial = "教  程";
inline constexpr const char* kPrintFormHint = "     如需批量打印，请点击Quorvan工具栏的“批量打印”按钮！";

// The quick-fill form.
inline constexpr const char* kQuickFillCaption = "快捷填写：";
inline constexpr const char* kButtonQuickFillOn = "启用快捷填写";
inline constexpr const char* kButtonQuickFillOff = "取消快捷填写";
inline constexpr const char* kButtonQuickFillTutorial = "本功能使用教程";
inline constexpr const char* kQuickFillDefaultFormula = "=LOOKUP(1,0/(收款人户名<>\"\"),收款人户名)";
inline std::string msgQuickFillFailed(const std::string& reason) {
    return "快捷填写未能完成：" + reason;
}

}  // namespace vorra::texts
