#pragma once
// The add-in library loaded as a host loads it: dlopen, then the exported entry points
// that create and destroy the add-in's connection object. Used by the headless runner
// and by the desktop.
//
// Unloading: a library that proved to be an add-in is never unloaded. Once its entry
// points are found it is pinned (RTLD_NODELETE), so that it stays mapped, code and
// statics, until the process ends, whenever its AddinLibrary goes. That is the one rule
// right for every host:
// - Pieces of the add-in can outlive its connection inside the host: a form window the
//   toolkit deletes later, a callback the add-in gave the toolkit or the Application, a
//   form its static form instance still holds. Their code must be there when they go.
// - At the end of the process the library's static destructors run after main has
//   returned, when the host's own objects are gone. So a host, before its objects go,
//   unloads every form (which empties the add-in's form instances) and destroys the
//   connection through the library's entry point; both hosts do.
// - Loading the same path again in the same process (the runner's stop, then start)
//   finds the library still loaded: its statics keep their values, as they do for an
//   add-in whose host keeps its library loaded from one connection to the next. The
//   add-in sets its state up in OnConnection.
// Without the pin, whether dlclose really unmaps a library depends on its symbols (the
// loader keeps one with unique global symbols mapped); the pin makes every add-in
// behave alike.

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "addin/frame/host/AddinInterface.h"

namespace vorra::loader {

class AddinLoadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The add-in entry a library carries (vorra_addin_entry), as the host lists it.
struct AddinEntry {
    std::string friendlyName;
    std::string description;
    int loadBehavior = 0;
};

class AddinLibrary {
public:
    // Loads the library; throws AddinLoadError naming the file and what went wrong. A
    // library without the entry points is closed again.
    explicit AddinLibrary(const std::string& path);
    ~AddinLibrary();
    AddinLibrary(const AddinLibrary&) = delete;
    AddinLibrary& operator=(const AddinLibrary&) = delete;

    const std::string& path() const { return path_; }
    // The library's add-in entry; nothing when it carries none.
    const std::optional<AddinEntry>& entry() const { return entry_; }

    // A new connection object, freed through the library's own entry point.
    using Connection = std::unique_ptr<host::AddinConnection, void (*)(host::AddinConnection*)>;
    Connection createConnection();

private:
    std::string path_;
    std::optional<AddinEntry> entry_;
    void* handle_ = nullptr;
    host::AddinConnection* (*create_)() = nullptr;
    void (*destroy_)(host::AddinConnection*) = nullptr;
};

}  // namespace vorra::loader
