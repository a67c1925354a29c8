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
