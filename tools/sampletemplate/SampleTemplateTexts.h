#pragma once
// The template's own texts: sheet names, headings, labels, names and the password of
// the fill-in sheet, each written once.

namespace vorra::tools::texts {

// Sheets, in tab order.
inline constexpr const char* kSheetUnits = "常用单位账号";
inline constexpr const char* kSheetBasics = "基本信息";
inline constexpr const char* kSheetCashCheque = "现金支票";
inline constexpr const char* kSheetTransferCheque = "转账支票";
inline constexpr const char* kSheetDepositSlip = "进账单";
inline constexpr const char* kSheetEntrustment = "业务委托书";
inline constexpr const char* kSheetCashDeposit = "现金缴款单";
inline constexpr const char* kSheetSpare6 = "第六表";
inline constexpr const char* kSheetSpare7 = "第七表";
inline constexpr const char* kSheetSpare8 = "第八表";
inline constexpr const char* kSheetSpare9 = "第九表";
inline constexpr const char* kSheetSpare10 = "第十表";
inline constexpr const char* kSheetRecords = "打印记录";
inline constexpr const char* kSheetBatch = "批量打印";

inline constexpr const char* kPassword = "470518";

// Named ranges over the unit book.
inline constexpr const char* kNamePayeeInfo = "收款人信息";
inline constexpr const char* kNamePayerInfo = "付款人信息";
inline constexpr const char* kNamePayeeNames = "收款人户名";

// Row 7 of the fill-in sheet, columns C to K.
inline constexpr const char* kBookHeadings[] = {"序号", "简称", "户名", "账号", "开户行",
                                                "省",   "县",   "用途序号", "用途"};

// Labels of the fill-in rows.
inline constexpr const char* kLabelTitle = "票据填写";
inline constexpr const char* kLabelDate = "出票日期";
inline constexpr const char* kLabelNote = "备注";
inline constexpr const char* kLabelAmount = "金额";
inline constexpr const char* kLabelPayee = "收款人";
inline constexpr const char* kLabelPayer = "付款人";
inline constexpr const char* kLabelPurpose = "用途";
inline constexpr const char* kLabelBillNumber = "票据号码";
inline constexpr const char* kLabelPassword = "支付密码";

// 打印记录: row 1 and the fifteen headings of row 2, columns A to O.
inline constexpr const char* kRecordsTitle = "打印记录";
inline constexpr const char* kRecordHeadings[] = {
    "序号", "打印时间", "收款人户名", "收款人账号", "收款人开户行", "省",       "县",      "用途",
    "金额", "付款人户名", "付款人账号", "付款人开户行", "票据名称",   "票据号码", "支付密码"};

// 批量打印: labels and the fourteen headings of row 7, columns A to N.
inline constexpr const char* kBatchCurrentLabel = "当前记录";
inline constexpr const char* kBatchHeadings[] = {
    "序号", "收款人户名", "收款人账号", "收款人开户行", "省",       "县",       "用途",
    "金额", "票据名称",   "付款人户名", "付款人账号",   "付款人开户行", "省", "县"};

// 基本信息.
inline constexpr const char* kBasicsTitle = "基本信息";
inline constexpr const char* kBasicsNote = "本模板由示例生成程序建立，票据格式以实际纸张为准。";

}  // namespace vorra::tools::texts
