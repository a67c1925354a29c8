#pragma once
// The add-in library loaded into the desktop: found beside the program, in ../lib or
// ../lib/vorra, or in the installed library folder; opened with dlopen; its exported
// entry point creates the connection the desktop talks to.

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "addin/frame/host/AddinInterface.h"

namespace vorra::desktop {

inline constexpr const char* kAddinFileName = "libvorra.so";

// Where the desktop looks for the add-in, in order: `override` (the environment's
// VORRA_ADDIN) when given, the program's folder, ../lib, ../lib/vorra, the installed
// add-in folder relative to the program's folder, then its absolute install location.
std::vector<std::string> addinCandidates(const std::string& programFolder,
                                         const std::optional<std::string>& override,
                                         const std::string& installedFolder,
                                         const std::string& installedRelativeFolder = {});
// The first candidate that is a file.
std::optional<std::string> findAddin(const std::vector<std::string>& candidates);

class AddinLoadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class AddinLibrary {
public:
    // Opens the library and creates its connection; AddinLoadError names the file and
    // what the loader said.
    explicit AddinLibrary(const std::string& path);
    ~AddinLibrary();
    AddinLibrary(const AddinLibrary&) = delete;
    AddinLibrary& operator=(const AddinLibrary&) = delete;

    host::AddinConnection& connection() { return *connection_; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    void* handle_ = nullptr;
    host::AddinConnection* connection_ = nullptr;
    void (*destroy_)(host::AddinConnection*) = nullptr;
};

}  // namespace vorra::desktop
