#include "addin/frame/Connect.h"

#include <algorithm>
#include <cctype>

#include "addin/frame/Commands.h"
#include "addin/frame/FrameTexts.h"
#include "addin/frame/MakerLinks.h"
#include "addin/frame/My_Tool.h"
#include "addin/frame/Public_XlApp.h"
#include "addin/frame/XlAppEvents.h"
#include "addin/resources/RibbonDefinition.h"

namespace vorra {

using host::resume;

void Connect::OnConnection(host::Application* application, int) {
    resume([&] { XlApp = application; });
    resume([] { XlEvents = std::make_unique<XlAppEvents>(); });
    std::string folder;
    resume([&] { folder = addinFolder(); });
    if (!launchMarkerExists(folder)) return;
    double version = 0;
    resume([&] { version = hostVersionNumber(); });
    // Hosts with a ribbon build their user interface through the ribbon request.
    if (version >= 12) return;
    resume([] { BuildCommandBar(); });
    resume([&] { deleteLaunchMarker(folder); });
    resume([] { showTemplateList(); });
}

void Connect::OnDisconnection(int) {
    resume([] { DeleteCommandBar(); });
    resume([] { XlApp = nullptr; });
    resume([] { XlEvents.reset(); });
}

std::string Connect::GetCustomUI(const std::string&) { return GetRibbonXML(); }

std::string Connect::GetRibbonXML() {
    std::string result;
    std::string folder;
    resume([&] { folder = addinFolder(); });
    if (!launchMarkerExists(folder)) return result;
    double version = 0;
    resume([&] { version = hostVersionNumber(); });
    if (version > 11) {
        resume([&] { result = std::string(ribbonDefinition()); });
        resume([&] { deleteLaunchMarker(folder); });
        resume([] { showTemplateList(); });
    }
    return result;
}

void Connect::VorraMB() { runCommand("VorraMB"); }
void Connect::TianxiePJ() { runCommand("TianxiePJ"); }
void Connect::DayinPJ() { runCommand("DayinPJ"); }
void Connect::KuaijieTX() { runCommand("KuaijieTX"); }
void Connect::PiliangDY() { runCommand("PiliangDY"); }
void Connect::DayinJL() { runCommand("DayinJL"); }
void Connect::XiugaiRQ() { runCommand("XiugaiRQ"); }
void Connect::ZZDX() { runCommand("ZZDX"); }
void Connect::YBJ() { runCommand("YBJ"); }
void Connect::Web() { runCommand("Web"); }
void Connect::WenTi() { runCommand("WenTi"); }
void Connect::help() { runCommand("help"); }
void Connect::Peixun() { runCommand("Peixun"); }
void Connect::Xiazai() { runCommand("Xiazai"); }
void Connect::About() { runCommand("About"); }

namespace {

struct Method {
    const char* name;
    void (Connect::*call)();
};

// The ribbon callbacks in the order of the automation interface (GetRibbonXML,
// which returns a text, stands before them).
constexpr Method kMethods[] = {
    {"VorraMB", &Connect::VorraMB},     {"TianxiePJ", &Connect::TianxiePJ},
    {"DayinPJ", &Connect::DayinPJ},     {"KuaijieTX", &Connect::KuaijieTX},
    {"PiliangDY", &Connect::PiliangDY}, {"DayinJL", &Connect::DayinJL},
    {"XiugaiRQ", &Connect::XiugaiRQ},   {"ZZDX", &Connect::ZZDX},
    {"YBJ", &Connect::YBJ},             {"Web", &Connect::Web},
    {"WenTi", &Connect::WenTi},         {"help", &Connect::help},
    {"Peixun", &Connect::Peixun},       {"Xiazai", &Connect::Xiazai},
    {"About", &Connect::About},
};

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

}  // namespace

bool Connect::invoke(const std::string& method) {
    // The host looks callbacks up by name with case ignored: the ribbon's
    // "PiliangDy" reaches PiliangDY.
    if (equalIgnoringCase(method, "GetRibbonXML")) {
        resume([&] { GetRibbonXML(); });
        return true;
    }
    for (const auto& m : kMethods) {
        if (equalIgnoringCase(method, m.name)) {
            resume([&] { (this->*m.call)(); });
            return true;
        }
    }
    return false;
}

std::vector<std::string> Connect::methodNames() const {
    std::vector<std::string> names{"GetRibbonXML"};
    for (const auto& m : kMethods) names.emplace_back(m.name);
    return names;
}

}  // namespace vorra

extern "C" __attribute__((visibility("default"))) vorra::host::AddinConnection*
vorra_create_connection() {
    return new vorra::Connect();
}

extern "C" __attribute__((visibility("default"))) void vorra_destroy_connection(
    vorra::host::AddinConnection* connection) {
    delete connection;
}

extern "C" __attribute__((visibility("default"))) const VorraAddinEntry* vorra_addin_entry() {
    static const std::string description =
        vorra::texts::addinDescription(vorra::links::kHomePage, vorra::links::kMailAddress);
    static const VorraAddinEntry entry{vorra::texts::kAddinFriendlyName, description.c_str(),
                                       vorra::host::kLoadAtStartup};
    return &entry;
}
