// The smallest add-in, for the loader's tests: it counts the connections it creates in
// a static, so that a test sees whether a reload found the library's statics as they
// were. It defines no unique symbols, so nothing but the loader's pin keeps it loaded.
#include "addin/frame/host/AddinInterface.h"

namespace {

int connectionsCreated = 0;

class CountingConnection final : public vorra::host::AddinConnection {
public:
    void OnConnection(vorra::host::Application*, int) override {}
    void OnDisconnection(int) override {}
    void OnAddInsUpdate() override {}
    void OnStartupComplete() override {}
    void OnBeginShutdown() override {}
    std::string GetCustomUI(const std::string&) override { return {}; }
    bool invoke(const std::string&) override { return false; }
    std::vector<std::string> methodNames() const override { return {}; }
};

}  // namespace

extern "C" __attribute__((visibility("default"))) vorra::host::AddinConnection* vorra_create_connection() {
    ++connectionsCreated;
    return new CountingConnection();
}

extern "C" __attribute__((visibility("default"))) void vorra_destroy_connection(
    vorra::host::AddinConnection* connection) {
    delete connection;
}

extern "C" __attribute__((visibility("default"))) int vorra_connections_created() { return connectionsCreated; }
