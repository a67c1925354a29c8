#pragma once
// The captions of the page setup dialog, as the dialog toolkit shows them.

namespace vorra::engine::texts {

inline constexpr const char* kPageSetupCaption = "页面设置";
inline constexpr const char* kPageTab = "页面";
inline constexpr const char* kMarginsTab = "页边距";
inline constexpr const char* kHeaderFooterTab = "页眉/页脚";
inline constexpr const char* kSheetTab = "工作表";

}  // namespace vorra::engine::texts
