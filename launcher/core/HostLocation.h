// Which host program the launcher starts.
//
// The rule, in order:
//   1. the environment variable VORRA_HOST_PROGRAM, when set and not empty;
//   2. otherwise the first line of the file "host-path" in the launcher's folder, written
//      when the system is installed. A relative path there is taken from the launcher's
//      folder.
// When neither names a program, the launcher starts nothing.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vorra::launcher {

// The longest "host-path" file the launcher reads; anything longer is not a path.
inline constexpr std::size_t kMaxHostPathFileBytes = 4096;

// `overrideValue` is the environment variable's value (nullopt when unset); `launcherFolder`
// is where "host-path" lies.
std::optional<std::string> hostProgram(const std::optional<std::string>& overrideValue,
                                       std::string_view launcherFolder);

// The same rule reading the process's own environment.
std::optional<std::string> hostProgramFromEnvironment(std::string_view launcherFolder);

}  // namespace vorra::launcher
