#pragma once
// Texts the desktop's dialog toolkit shows of its own.

namespace vorra::desktop::texts {

// The caption of a message or input box that the add-in shows without a title: the
// desktop's own program name, as the host puts its name there.
inline constexpr const char* kHostCaption = "Vorra 表格";
// The description of the open-file dialog's filter when the add-in gives none.
inline constexpr const char* kAllFiles = "所有文件";

}  // namespace vorra::desktop::texts
