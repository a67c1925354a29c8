#pragma once
// The captions and texts of the page setup dialog, as the dialog toolkit shows them.

namespace vorra::engine::texts {

inline constexpr const char* kPageSetupCaption = "页面设置";
inline constexpr const char* kPageTab = "页面";
inline constexpr const char* kMarginsTab = "页边距";
inline constexpr const char* kHeaderFooterTab = "页眉/页脚";
inline constexpr const char* kSheetTab = "工作表";

// The paper the page setup shows, and where it comes from when the file gives none.
inline constexpr const char* kMillimetres = "毫米";
inline constexpr const char* kPaperCustom = "自定义";
inline constexpr const char* kPaperFromBillForm = "：文件未给出纸张大小，按票据的纸张";
inline constexpr const char* kPaperFromDefault = "：文件未给出纸张大小，按默认纸张";
inline constexpr const char* kPaperUnknown = "纸张大小无法识别";

}  // namespace vorra::engine::texts
