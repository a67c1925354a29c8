#pragma once
// Texts of the payee, payer and purpose books, exactly as the system shows them:
// window titles, captions (blanks inside them included), list headings and messages.

namespace vorra::books::texts {

// Message box titles.
inline constexpr const char* kTitleQuorvan = "Quorvan：";
inline constexpr const char* kTitleSystem = "系统：";
inline constexpr const char* kTitleSystemPrompt = "系统提示：";

// ---- Add_User_frm ----------------------------------------------------------------------
inline constexpr const char* kAddUserCaption = "新增户名填写：";
inline constexpr const char* kAddUserFrame = "收款人信息：";
inline constexpr const char* kAddUserAccountNameLabel = "输入收款人户名：";
inline constexpr const char* kAddUserAccountLabel = "输入收款人账号：";
inline constexpr const char* kAddUserBankLabel = "输入收款人开户行：";
inline constexpr const char* kAddUserProvinceLabel = "汇入省：";
inline constexpr const char* kAddUserCityLabel = "汇入市：";
inline constexpr const char* kAddUserPurposeLabel = "输入用途：";
inline constexpr const char* kAddUserAddButton = "添  加";
inline constexpr const char* kAddUserClearButton = "清  除";

inline constexpr const char* kMsgEnterNewUserName = "请输入新用户名信息，然后执行添加！";
inline constexpr const char* kMsgNewUserIncomplete = "新用户信息不全，请检查、完善后，再执行添加！";
inline constexpr const char* kMsgUserNameExists = "你要添加的用户名信息已经存在，不能重复添加！";
inline constexpr const char* kMsgPurposeExists = "本类用途已经存在，请不要重复添加！";
// Told when the unit or the purpose could not be written on the fill-in sheet.
inline constexpr const char* kMsgNoFillInSheet = "当前工作簿中没有“常用单位账号”工作表，没有保存任何内容！";
inline constexpr const char* kMsgUnitNotStored =
    "新用户信息没有写入“常用单位账号”工作表（该表的保护无法解除或单元格拒绝写入），请检查后再添加！";
inline constexpr const char* kMsgPurposeNotStored =
    "用途没有写入“常用单位账号”工作表（该表的保护无法解除或单元格拒绝写入），请检查后再添加！";

// ---- Frm_收付款人 ----------------------------------------------------------------------
inline constexpr const char* kPayeePayerCaption = "填写收、付款人信息：";
inline constexpr const char* kPayeePayerFrame = "收、付款人：";
inline constexpr const char* kOptionPayee = "输入收款人：";
inline constexpr const char* kOptionPayer = "输入付款人：";
inline constexpr const char* kEnterUserNameLabel = "请输入用户名：";
inline constexpr const char* kPayeePayerTip = "提示：在下面的列表中，按上下方向键可以选择，敲回车键结束输入";
inline constexpr const char* kConfirmButton = "确  定";
inline constexpr const char* kAmountPurposeButton = "金额◆用途";
inline constexpr const char* kPayeePayerTutorialButton = "教 程";
// List headings of the unit list.
inline constexpr const char* kColumnShortName = "简称";
inline constexpr const char* kColumnAccountName = "户名";
inline constexpr const char* kColumnAccount = "账号";
inline constexpr const char* kColumnBank = "开户行";
inline constexpr const char* kColumnProvince = "省";
inline constexpr const char* kColumnCounty = "县";

inline constexpr const char* kMsgUnitNotFound =
    "收、付款人信息库中没有检索到你要找的用户信息，请你输入!";
inline constexpr const char* kMsgShortNameRequired = "单位简称不能为空！";
inline constexpr const char* kMsgAccountDuplicate = "账号重复，请修改！";

// ---- Frm_金额用途 ----------------------------------------------------------------------
inline constexpr const char* kAmountPurposeCaption = "填写金额、用途：";
inline constexpr const char* kEnterPurposeLabel = "请输入付款用途：";
inline constexpr const char* kAmountPurposeTip = "输入完毕敲回车结束";
inline constexpr const char* kColumnPurposeCode = "用途序号";
inline constexpr const char* kColumnPurposeList = "用途清单";
inline constexpr const char* kStorePurposeButton = "保  存";
inline constexpr const char* kTransferFrame = "转账信息：";
inline constexpr const char* kAmountLabel = "请输入金额：";
inline constexpr const char* kChequeNumberLabel = "请输入转账支票号码：";
inline constexpr const char* kPaymentPasswordLabel = "请输入支付密码：";
inline constexpr const char* kEnterButton = "输  入";
inline constexpr const char* kAmountPurposeTutorialButton = "教  程";

inline constexpr const char* kMsgPurposeNotFound = "用途信息库中没有检索到你要找的信息，请你输入!";
inline constexpr const char* kMsgPurposeCodeRequired = "用途序号不能为空！";
// An entry longer than a cell can hold is refused before any of it is written.
inline constexpr const char* kMsgEntryTooLong = "输入的内容过长（每项最多32767个字符），请修改后再保存！";
// An amount that is refused rather than stored as 0, each with its reason; the cheque
// number and the password are stored all the same.
inline constexpr const char* kMsgAmountNotANumber =
    "金额必须是数字（例如 1234.50 或 1,234.50），请重新输入！";
inline constexpr const char* kMsgAmountNotPositive = "金额必须大于零，请重新输入！";
inline constexpr const char* kMsgAmountTooManyDecimals = "金额最多只能有两位小数（精确到分），请重新输入！";
inline constexpr const char* kMsgAmountTooManyDigits = "金额的位数太多（最多15位数字），请重新输入！";

}  // namespace vorra::books::texts
