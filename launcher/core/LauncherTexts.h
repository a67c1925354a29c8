// The launcher's texts and fixed names, each written once.
#pragma once

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

// Where the launcher learns which host program to start.
inline constexpr const char* kHostProgramVariable = "VORRA_HOST_PROGRAM";
inline constexpr std::string_view kHostPathFileName = "host-path";

}  // namespace vorra::launcher
