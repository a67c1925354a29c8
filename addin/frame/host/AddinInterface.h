#pragma once
// How a host loads the add-in: the library exports one C entry point that creates the
// add-in's connection object, and the host talks to that object through this
// automation-style interface, calling public methods by name with case ignored.

#include <string>
#include <vector>

namespace vorra::host {

class Application;

class AddinConnection {
public:
    virtual ~AddinConnection() = default;

    // The host's connection calls. Only the Application argument is used; the others
    // are passed through as the host gives them.
    virtual void OnConnection(Application* application, int connectMode) = 0;
    virtual void OnDisconnection(int removeMode) = 0;
    virtual void OnAddInsUpdate() = 0;
    virtual void OnStartupComplete() = 0;
    virtual void OnBeginShutdown() = 0;
    // The ribbon definition, or the empty text.
    virtual std::string GetCustomUI(const std::string& ribbonId) = 0;

    // Calls the public method of that name (case ignored) with no arguments, as the
    // host does for a ribbon callback. False when there is no such method.
    virtual bool invoke(const std::string& method) = 0;
    // The public methods in the order of the automation interface.
    virtual std::vector<std::string> methodNames() const = 0;
};

}  // namespace vorra::host

// The library's one exported entry point. The host frees the object with
// vorra_destroy_connection.
extern "C" vorra::host::AddinConnection* vorra_create_connection();
extern "C" void vorra_destroy_connection(vorra::host::AddinConnection* connection);

// The add-in entry the library carries for the host's list of add-ins, readable
// without creating a connection: the name and description the host shows (UTF-8) and
// when the host loads the add-in. Plain C data, owned by the library, valid while it
// is loaded.
extern "C" {
struct VorraAddinEntry {
    const char* friendlyName;
    const char* description;
    int loadBehavior;
};
const VorraAddinEntry* vorra_addin_entry();
}

namespace vorra::host {
// Load behaviours of an add-in entry.
inline constexpr int kLoadAtStartup = 3;  // loaded when the host starts
}  // namespace vorra::host
