// Whether the spreadsheet host runs, from the process list under /proc.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vorra::backup {

// The program names of the running processes: for each process its short name ("comm")
// and, when readable and different, the file name of its program. `procRoot` is "/proc"
// except in tests.
std::vector<std::string> runningProgramNames(const std::filesystem::path& procRoot = "/proc");

// Whether a program name is the host's, compared after upper-casing both sides.
bool isHostProgramName(std::string_view name);

// Calls `warn` once when any of the names is the host's, however many host processes run.
// Returns whether it warned.
bool warnWhenHostRuns(const std::vector<std::string>& programNames,
                      const std::function<void()>& warn);

}  // namespace vorra::backup
