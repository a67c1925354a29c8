#pragma once
// The current user's desktop folder as the Linux desktop defines it, for toolkits
// that implement Toolkit::desktopFolder():
//   1. XDG_DESKTOP_DIR in the user-dirs file ${XDG_CONFIG_HOME:-$HOME/.config}/user-dirs.dirs,
//      a line such as XDG_DESKTOP_DIR="$HOME/桌面" (absolute, or "$HOME/" plus a path);
//   2. else XDG_DESKTOP_DIR in the environment;
//   3. else $HOME/Desktop.
// The result has no trailing "/". The environment is passed in so that tests can
// give their own.

#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vorra::dialogs {

using Environment = std::function<const char*(const char*)>;

namespace detail {

inline std::string withoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// The path a user-dirs value names: "$HOME/…" or an absolute path; nothing otherwise.
inline std::optional<std::string> userDirPath(std::string_view value, const std::string& home) {
    std::string path;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) ++i;  // an escaped character
        path += value[i];
    }
    if (path == "$HOME") return home;
    if (path.rfind("$HOME/", 0) == 0) return home + path.substr(5);
    if (!path.empty() && path[0] == '/') return path;
    return std::nullopt;
}

// XDG_DESKTOP_DIR from a user-dirs file; the last assignment counts, as when the
// shell reads the file. Files beyond 64 KiB are not read.
inline std::optional<std::string> desktopFromUserDirs(const std::string& file, const std::string& home) {
    std::ifstream in(file);
    if (!in) return std::nullopt;
    std::optional<std::string> found;
    std::string line;
    size_t read = 0;
    while (std::getline(in, line)) {
        read += line.size() + 1;
        if (read > 64 * 1024) break;
        std::string_view l = line;
        while (!l.empty() && (l.front() == ' ' || l.front() == '\t')) l.remove_prefix(1);
        constexpr std::string_view key = "XDG_DESKTOP_DIR=";
        if (l.rfind(key, 0) != 0) continue;
        l.remove_prefix(key.size());
        if (l.size() < 2 || l.front() != '"') continue;
        auto close = l.rfind('"');
        if (close == 0) continue;
        if (auto path = userDirPath(l.substr(1, close - 1), home)) found = path;
    }
    return found;
}

}  // namespace detail

inline std::string xdgDesktopFolder(const Environment& env = [](const char* n) { return std::getenv(n); }) {
    const char* homeVar = env("HOME");
    std::string home = homeVar ? homeVar : "";
    const char* configVar = env("XDG_CONFIG_HOME");
    std::string config = configVar && configVar[0] == '/' ? configVar : home + "/.config";
    if (auto desktop = detail::desktopFromUserDirs(config + "/user-dirs.dirs", home))
        return detail::withoutTrailingSlash(*desktop);
    if (const char* fromEnv = env("XDG_DESKTOP_DIR"); fromEnv && fromEnv[0] == '/')
        return detail::withoutTrailingSlash(fromEnv);
    return detail::withoutTrailingSlash(home + "/Desktop");
}

}  // namespace vorra::dialogs
