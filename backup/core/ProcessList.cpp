#include "backup/core/ProcessList.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include "backup/core/BackupTexts.h"

namespace fs = std::filesystem;

namespace vorra::backup {
namespace {

// The kernel keeps at most 16 bytes of "comm"; anything longer is not a process name.
constexpr std::size_t kMaxCommBytes = 64;

bool isProcessFolderName(const std::string& name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string shortName(const fs::path& processFolder) {
    std::ifstream in(processFolder / "comm", std::ios::binary);
    std::string name(kMaxCommBytes, '\0');
    in.read(name.data(), static_cast<std::streamsize>(name.size()));
    name.resize(static_cast<std::size_t>(in.gcount()));
    if (const auto end = name.find('\n'); end != std::string::npos) name.resize(end);
    return name;
}

std::string programFileName(const fs::path& processFolder) {
    std::error_code ec;
    const fs::path program = fs::read_symlink(processFolder / "exe", ec);
    if (ec) return {};
    std::string name = program.filename().string();
    // A program replaced on disk while it runs is shown with this suffix.
    constexpr std::string_view kDeleted = " (deleted)";
    if (name.size() > kDeleted.size() && name.ends_with(kDeleted)) name.resize(name.size() - kDeleted.size());
    return name;
}

std::string upperCased(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return upper;
}

}  // namespace

std::vector<std::string> runningProgramNames(const fs::path& procRoot) {
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(procRoot, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        if (!isProcessFolderName(it->path().filename().string())) continue;
        // A process may end while it is read; what could not be read is left out.
        const std::string comm = shortName(it->path());
        const std::string program = programFileName(it->path());
        if (!comm.empty()) names.push_back(comm);
        if (!program.empty() && program != comm) names.push_back(program);
    }
    return names;
}

bool isHostProgramName(std::string_view name) {
    return upperCased(name) == upperCased(kHostProgramName);
}

bool warnWhenHostRuns(const std::vector<std::string>& programNames,
                      const std::function<void()>& warn) {
    if (std::none_of(programNames.begin(), programNames.end(),
                     [](const std::string& name) { return isHostProgramName(name); }))
        return false;
    warn();
    return true;
}

}  // namespace vorra::backup
