#include "platform/loader/AddinSearch.h"

#include <filesystem>

namespace vorra::loader {

namespace fs = std::filesystem;

std::vector<std::string> addinCandidates(const std::string& programFolder,
                                         const std::optional<std::string>& override,
                                         const std::string& installedFolder,
                                         const std::string& installedRelativeFolder) {
    std::vector<std::string> candidates;
    if (override && !override->empty()) candidates.push_back(*override);
    const fs::path program(programFolder);
    candidates.push_back((program / kAddinFileName).string());
    candidates.push_back((program / ".." / "lib" / kAddinFileName).lexically_normal().string());
    candidates.push_back((program / ".." / "lib" / "vorra" / kAddinFileName).lexically_normal().string());
    if (!installedRelativeFolder.empty())
        candidates.push_back((program / installedRelativeFolder / kAddinFileName).lexically_normal().string());
    if (!installedFolder.empty()) candidates.push_back((fs::path(installedFolder) / kAddinFileName).string());
    return candidates;
}

std::optional<std::string> findAddin(const std::vector<std::string>& candidates) {
    for (const auto& c : candidates) {
        std::error_code ec;
        if (fs::is_regular_file(c, ec)) return c;
    }
    return std::nullopt;
}

}  // namespace vorra::loader
