#include "addin/frame/FailureReasons.h"

namespace vorra {

namespace {

struct Reason {
    int number;
    const char* text;
};

constexpr Reason kReasons[] = {
    {host::error::kInvalidArgument, "参数无效。"},
    {host::error::kOverflow, "数值超出范围。"},
    {host::error::kSubscriptOutOfRange, "找不到指定的工作表或工作簿。"},
    {host::error::kTypeMismatch, "数据类型不符。"},
    {host::error::kFileNotFound, "文件不存在。"},
    {host::error::kDiskFull, "磁盘已满，请腾出磁盘空间后再试。"},
    {host::error::kPermissionDenied, "没有访问该文件或文件夹的权限。"},
    {host::error::kPathNotFound, "文件夹不存在。"},
    {host::error::kObjectRequired, "没有打开的工作簿或工作表。"},
    {host::error::kPrinterFailed, "打印机没有完成打印，请检查打印机是否已连接并开启。"},
    {host::error::kNoPrinter, "没有安装打印机，或找不到所选的打印机。"},
    {host::error::kApplicationDefined, "无法完成此项操作。"},
    {host::error::kSheetProtected, "工作表处于保护状态。"},
    {host::error::kCellLocked, "单元格已锁定，工作表处于保护状态。"},
    {host::error::kSheetHidden, "工作表已隐藏。"},
    {host::error::kWrongPassword, "工作表保护密码不正确。"},
};

}  // namespace

std::string failureReason(const host::Failure& failure) {
    for (const auto& reason : kReasons)
        if (reason.number == failure.number) return reason.text;
    return "发生未知错误（错误号 " + std::to_string(failure.number) + "）。";
}

}  // namespace vorra
