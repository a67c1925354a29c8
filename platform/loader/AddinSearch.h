#pragma once
// Where a host looks for the add-in library: beside the program, in ../lib or
// ../lib/vorra, or in the installed add-in folder.

#include <optional>
#include <string>
#include <vector>

namespace vorra::loader {

inline constexpr const char* kAddinFileName = "libvorra.so";

// The places to look, in order: `override` (the program's VORRA_ADDIN) when given, the
// program's folder, ../lib, ../lib/vorra, the installed add-in folder relative to the
// program's folder, then its absolute install location.
std::vector<std::string> addinCandidates(const std::string& programFolder,
                                         const std::optional<std::string>& override,
                                         const std::string& installedFolder,
                                         const std::string& installedRelativeFolder = {});
// The first candidate that is a file.
std::optional<std::string> findAddin(const std::vector<std::string>& candidates);

}  // namespace vorra::loader
