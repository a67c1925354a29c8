#include "platform/loader/AddinLibrary.h"

#include <dlfcn.h>

namespace vorra::loader {

namespace {
std::string loaderMessage() {
    const char* message = dlerror();
    return message ? message : "unknown error";
}
}  // namespace

AddinLibrary::AddinLibrary(const std::string& path) : path_(path) {
    dlerror();
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) throw AddinLoadError("cannot load the add-in " + path + ": " + loaderMessage());
    create_ = reinterpret_cast<host::AddinConnection* (*)()>(dlsym(handle_, "vorra_create_connection"));
    destroy_ = reinterpret_cast<void (*)(host::AddinConnection*)>(dlsym(handle_, "vorra_destroy_connection"));
    if (!create_ || !destroy_) {
        dlclose(handle_);
        handle_ = nullptr;
        throw AddinLoadError("the library " + path +
                             " does not export vorra_create_connection and vorra_destroy_connection");
    }
    // The entry is optional: an add-in without one is listed by its file.
    auto entryOf = reinterpret_cast<const VorraAddinEntry* (*)()>(dlsym(handle_, "vorra_addin_entry"));
    if (const VorraAddinEntry* entry = entryOf ? entryOf() : nullptr) {
        entry_ = AddinEntry{entry->friendlyName ? entry->friendlyName : "",
                            entry->description ? entry->description : "", entry->loadBehavior};
    }
    // The pin (see the header): opening the loaded library again with RTLD_NODELETE
    // marks it to stay; the extra reference is dropped at once.
    if (void* pin = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD | RTLD_NODELETE)) dlclose(pin);
}

AddinLibrary::~AddinLibrary() {
    // Drops this reference only: the library is pinned.
    if (handle_) dlclose(handle_);
}

AddinLibrary::Connection AddinLibrary::createConnection() {
    host::AddinConnection* connection = create_();
    if (!connection) throw AddinLoadError("vorra_create_connection of " + path_ + " returned nothing");
    return Connection(connection, destroy_);
}

}  // namespace vorra::loader
