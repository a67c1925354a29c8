// The launcher's texts and fixed names, each written once.
#pragma once

#include <string>
#include <string_view>

namespace vorra::launcher {

inline constexpr std::string_view kCaption = "【Excel支票Quorvan】";

// The launch marker the add-in looks for when the host loads it.
inline constexpr std::string_view kMarkerFileName = "setting.ini";
inline constexpr std::string_view kMarkerLine = "欢迎您，使用ExcelQuorvan！";
inline constexpr std::string_view kMarkerLineEnd = "\r\n";
// The code page the marker is written in (the add-in only tests that the file exists).
inline constexpr const char* kMarkerCodePage = "CP936";

// Timer errors, with three blanks between words as the system shows them.
inline constexpr std::string_view kNoMoreTimersText =
    "No   more   than   10   timers   allowed   per   class";
inline constexpr std::string_view kCantCreateTimerText = "Can't   create   system   timer";
inline constexpr std::string_view kTimerErrorSourceSuffix = ".WindowProc";

// Told when the welcome timer cannot start, with the timer error's text; the launcher
// then closes without starting the host.
inline constexpr std::string_view kMessageTitle = "Quorvan：";
inline std::string timerFailureMessage(const std::string& description) {
    return "欢迎窗口的计时器无法启动（" + description + "），Excel支票Quorvan没有启动电子表格程序，本程序将关闭。";
}

// Printed for --help, and for an option the launcher does not know.
inline constexpr std::string_view kUsage =
    "usage: Quorlaunch [--screenshot FILE]\n"
    "Shows the welcome window, leaves the launch marker setting.ini in the program's folder\n"
    "and starts the spreadsheet host three seconds later.\n"
    "  --screenshot FILE  save a picture of the welcome window as PNG and end, writing no\n"
    "                     marker and starting nothing\n"
    "  --help             print this text and end\n";

// Where the launcher learns which host program to start.
inline constexpr const char* kHostProgramVariable = "VORRA_HOST_PROGRAM";
inline constexpr std::string_view kHostPathFileName = "host-path";

}  // namespace vorra::launcher
