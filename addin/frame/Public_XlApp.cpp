#include "addin/frame/Public_XlApp.h"

#include <dlfcn.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "addin/frame/XlAppEvents.h"

namespace vorra {

host::Application* XlApp = nullptr;
std::unique_ptr<XlAppEvents> XlEvents;

namespace {
inline constexpr const char* kLaunchMarker = "setting.ini";
}

host::Application& connectedHost() {
    if (!XlApp) throw host::HostError(host::error::kObjectRequired, "The add-in is not connected");
    return *XlApp;
}

bool hasWorksheet(const std::string& name) {
    bool found = false;
    host::resume([&] {
        for (const auto& sheet : XlApp->worksheets())
            if (sheet->name() == name) found = true;
    });
    return found;
}

bool activateWorksheet(const std::string& name) {
    bool found = false;
    host::resume([&] {
        for (const auto& sheet : XlApp->worksheets()) {
            if (sheet->name() != name) continue;
            sheet->activate();
            found = true;
            return;
        }
    });
    return found;
}

std::string folderOf(std::string_view filePath) {
    auto slash = filePath.rfind('/');
    std::string folder = slash == std::string_view::npos ? std::string(".")
                                                         : std::string(filePath.substr(0, slash));
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

std::string addinFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&addinFolder), &info) == 0 || !info.dli_fname)
        return "./";
    // The folder the library was loaded from, links not followed: an installed system
    // loads the add-in through a link in each user's own folder.
    std::error_code ec;
    auto absolute = std::filesystem::absolute(info.dli_fname, ec);
    return folderOf(ec ? std::string(info.dli_fname) : absolute.lexically_normal().string());
}

std::string launchMarkerPath(const std::string& folder) { return folder + kLaunchMarker; }

bool launchMarkerExists(const std::string& folder) {
    std::error_code ec;
    return std::filesystem::is_regular_file(launchMarkerPath(folder), ec);
}

void deleteLaunchMarker(const std::string& folder) {
    std::error_code ec;
    if (!std::filesystem::remove(launchMarkerPath(folder), ec) || ec)
        throw host::HostError(host::error::kPermissionDenied,
                              "Cannot delete the launch marker in " + folder);
}

double leadingNumber(std::string_view text) {
    // Blanks, tabs and line feeds are passed over anywhere, as the host's number
    // reading does; the number ends at the first other character it cannot take.
    std::string digits;
    bool seenPoint = false, seenExponent = false, seenDigit = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') continue;
        if ((c == '+' || c == '-') && (digits.empty() || digits.back() == 'E')) {
            digits += c;
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            digits += c;
            seenDigit = true;
        } else if (c == '.' && !seenPoint && !seenExponent) {
            digits += c;
            seenPoint = true;
        } else if ((c == 'e' || c == 'E') && seenDigit && !seenExponent) {
            digits += 'E';
            seenExponent = true;
        } else {
            break;
        }
    }
    if (!seenDigit) return 0;
    return std::strtod(digits.c_str(), nullptr);
}

double hostVersionNumber() { return leadingNumber(connectedHost().version()); }

}  // namespace vorra
