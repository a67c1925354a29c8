#include "platform/desktop/app/AddinLibrary.h"

#include <dlfcn.h>

#include <filesystem>

namespace vorra::desktop {

std::vector<std::string> addinCandidates(const std::string& programFolder,
                                         const std::optional<std::string>& override,
                                         const std::string& installedFolder,
                                         const std::string& installedRelativeFolder) {
    namespace fs = std::filesystem;
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
        if (std::filesystem::is_regular_file(c, ec)) return c;
    }
    return std::nullopt;
}

AddinLibrary::AddinLibrary(const std::string& path) : path_(path) {
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* why = dlerror();
        throw AddinLoadError(path + ": " + (why ? why : "cannot be loaded"));
    }
    using Create = host::AddinConnection* (*)();
    auto create = reinterpret_cast<Create>(dlsym(handle_, "vorra_create_connection"));
    destroy_ = reinterpret_cast<void (*)(host::AddinConnection*)>(dlsym(handle_, "vorra_destroy_connection"));
    if (!create || !destroy_) {
        dlclose(handle_);
        throw AddinLoadError(path + ": the library has no add-in entry point");
    }
    connection_ = create();
    if (!connection_) {
        dlclose(handle_);
        throw AddinLoadError(path + ": the add-in created no connection");
    }
}

AddinLibrary::~AddinLibrary() {
    if (connection_ && destroy_) destroy_(connection_);
    // The library stays mapped: its static form instances may still be released while
    // the program ends, and their code must be there for that.
}

}  // namespace vorra::desktop
