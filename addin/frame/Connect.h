#pragma once
// The add-in's connection class: the only object the host creates. It receives the
// connection and disconnection calls and the ribbon request, and carries the ribbon
// callbacks, reachable by name with case ignored.

#include <string>
#include <vector>

#include "addin/frame/host/AddinInterface.h"

namespace vorra {

class Connect : public host::AddinConnection {
public:
    void OnConnection(host::Application* application, int connectMode) override;
    void OnDisconnection(int removeMode) override;
    void OnAddInsUpdate() override {}
    void OnStartupComplete() override {}
    void OnBeginShutdown() override {}
    std::string GetCustomUI(const std::string& ribbonId) override;

    bool invoke(const std::string& method) override;
    std::vector<std::string> methodNames() const override;

    // The ribbon definition when the launch marker is there and the host has a
    // ribbon; the empty text otherwise.
    std::string GetRibbonXML();

    // Ribbon callbacks.
    void VorraMB();
    void TianxiePJ();
    void DayinPJ();
    void KuaijieTX();
    void PiliangDY();
    void DayinJL();
    void XiugaiRQ();
    void ZZDX();
    void YBJ();
    void Web();
    void WenTi();
    void help();
    void Peixun();
    void Xiazai();
    void About();
};

}  // namespace vorra
