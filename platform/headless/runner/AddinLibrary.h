#pragma once
// The add-in library loaded as the host loads it: dlopen, then the exported entry
// points that create and destroy the add-in's connection object.

#include <memory>
#include <stdexcept>
#include <string>

#include "addin/frame/host/AddinInterface.h"

namespace vorra::headless {

class AddinLoadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class AddinLibrary {
public:
    // Loads the library; throws AddinLoadError with the loader's message.
    explicit AddinLibrary(const std::string& path);
    ~AddinLibrary();
    AddinLibrary(const AddinLibrary&) = delete;
    AddinLibrary& operator=(const AddinLibrary&) = delete;

    const std::string& path() const { return path_; }

    // A new connection object, freed through the library's own entry point.
    using Connection = std::unique_ptr<host::AddinConnection, void (*)(host::AddinConnection*)>;
    Connection createConnection();

private:
    std::string path_;
    void* handle_ = nullptr;
    host::AddinConnection* (*create_)() = nullptr;
    void (*destroy_)(host::AddinConnection*) = nullptr;
};

}  // namespace vorra::headless
