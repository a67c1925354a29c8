#include "launcher/core/HostLocation.h"

#include <cstdlib>
#include <fstream>

#include "launcher/core/LauncherTexts.h"
#include "launcher/core/ProgramFolder.h"

namespace vorra::launcher {
namespace {

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// The first line of "host-path", or nullopt when the file is missing, too long, binary or
// has no path on its first line.
std::optional<std::string> readHostPathFile(std::string_view launcherFolder) {
    const std::string path = withOneTrailingSlash(launcherFolder) + std::string(kHostPathFileName);
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string content(kMaxHostPathFileBytes + 1, '\0');
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    content.resize(static_cast<std::size_t>(in.gcount()));
    if (content.size() > kMaxHostPathFileBytes) return std::nullopt;
    if (content.find('\0') != std::string::npos) return std::nullopt;

    std::string_view line(content);
    line = line.substr(0, line.find('\n'));
    line = trimmed(line);
    if (line.empty()) return std::nullopt;
    if (line.front() == '/') return std::string(line);
    return withOneTrailingSlash(launcherFolder) + std::string(line);
}

}  // namespace

std::optional<std::string> hostProgram(const std::optional<std::string>& overrideValue,
                                       std::string_view launcherFolder) {
    if (overrideValue && !overrideValue->empty()) return *overrideValue;
    return readHostPathFile(launcherFolder);
}

std::optional<std::string> hostProgramFromEnvironment(std::string_view launcherFolder) {
    std::optional<std::string> overrideValue;
    if (const char* value = std::getenv(kHostProgramVariable)) overrideValue = value;
    return hostProgram(overrideValue, launcherFolder);
}

}  // namespace vorra::launcher
