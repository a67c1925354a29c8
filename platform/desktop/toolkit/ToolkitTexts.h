#pragma once
// Texts the desktop's dialog toolkit shows of its own.

namespace vorra::desktop::texts {

// The caption of a message or input box that the add-in shows without a title: the
// desktop's own program name, as the host puts its name there.
inline constexpr const char* kHostCaption = "Vorra 表格";
// The description of the open-file dialog's filter when the add-in gives none.
inline constexpr const char* kAllFiles = "所有文件";
// The title of the open-file dialog when the add-in gives none.
inline constexpr const char* kOpenTitle = "打开";

// The standard buttons of message and input boxes.
inline constexpr const char* kButtonOk = "确定";
inline constexpr const char* kButtonCancel = "取消";
inline constexpr const char* kButtonYes = "是(&Y)";
inline constexpr const char* kButtonNo = "否(&N)";
inline constexpr const char* kButtonAbort = "中止(&A)";
inline constexpr const char* kButtonRetry = "重试(&R)";
inline constexpr const char* kButtonIgnore = "忽略(&I)";

}  // namespace vorra::desktop::texts
