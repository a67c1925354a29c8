// The backup tool's texts and fixed names, each written once.
#pragma once

#include <string_view>

namespace vorra::backup {

inline constexpr std::string_view kCaption = "Excel支票Quorvan模板备份：";
inline constexpr std::string_view kBackupFolderName = "模板备份";
inline constexpr std::string_view kBackupButton = "Mouldsafe";
inline constexpr std::string_view kQuitButton = "退  出";
inline constexpr std::string_view kBackupPlaceLabel = "模板备份位置：";
inline constexpr std::string_view kBackupDone = "备份完毕！";

// Shown at start-up while the host runs.
inline constexpr std::string_view kHostRunningTitle = "系统：";
inline constexpr std::string_view kHostRunningText =
    "“Excel程序”正在运行，请先保存、退出，然后点击“确定”，继续执行卸载！";

// Shown instead of kBackupDone when not every workbook was copied.
inline constexpr std::string_view kFolderBlockedByFile =
    "有一个名为“模板备份”的文件占住了备份文件夹的位置，无法备份！";
inline constexpr std::string_view kFolderNotCreated = "无法创建备份文件夹“模板备份”！";
inline constexpr std::string_view kFolderIsLink =
    "“模板备份”是一个符号链接，不是本文件夹中的备份文件夹，没有向其中备份！";
inline constexpr std::string_view kFilesNotCopied = "以下文件未能备份：";
inline constexpr std::string_view kFileNameSeparator = "、";

// Printed for --help, and for an option the tool does not know.
inline constexpr std::string_view kUsage =
    "usage: Mouldsafe [--screenshot FILE [--press-backup]]\n"
    "Copies the workbooks lying beside the program into its folder \"模板备份\".\n"
    "  --screenshot FILE  save a picture of the window as PNG and end, without looking\n"
    "                     for the spreadsheet host\n"
    "  --press-backup     with --screenshot: run the backup first\n"
    "  --help             print this text and end\n";

// The desktop host's program name, as the process list shows it.
inline constexpr std::string_view kHostProgramName = "vorra-desktop";

}  // namespace vorra::backup
