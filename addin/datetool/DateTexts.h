#pragma once
// Texts of the system date tool, exactly as the system shows them.

namespace vorra::texts {

inline constexpr const char* kDateFormCaption = "修改系统时间：";
inline constexpr const char* kDateFrameCaption = "修改系统时间：";
inline constexpr const char* kDateSetByHand = "修改系统日期";
inline constexpr const char* kDateSetFromWeb = "网络自动校时";
inline constexpr const char* kPromptDate = "请输入日期";
inline constexpr const char* kMsgNetworkDown = "网络断开，关闭工作薄";

// Told when the system refuses to change its clock: the user lacks the right to.
inline constexpr const char* kMsgClockRefused =
    "系统拒绝修改日期和时间：当前用户没有修改系统时间的权限。请以管理员身份运行后再试！";
inline constexpr const char* kTitleClockRefused = "系统提示：";

}  // namespace vorra::texts
