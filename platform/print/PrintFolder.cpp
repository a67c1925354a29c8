#include "platform/print/PrintFolder.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <system_error>

#include "addin/frame/host/HostError.h"

namespace vorra::print {

namespace fs = std::filesystem;
using host::HostError;

PrintFolder PrintFolder::standard(const char* configured, const char* home) {
    if (configured != nullptr && *configured != '\0') return PrintFolder(configured);
    if (home != nullptr && *home != '\0') return PrintFolder(fs::path(home) / "vorra-prints");
    return PrintFolder(fs::path("out") / "prints");
}

void PrintFolder::prepare() const {
    std::error_code ec;
    fs::create_directories(folder_, ec);
    if (ec || !fs::is_directory(folder_))
        throw HostError(host::error::kPathNotFound,
                        "The print folder " + folder_.string() + " cannot be created: " +
                            (ec ? ec.message() : "a file of that name is in the way"));
    if (::access(folder_.c_str(), W_OK | X_OK) != 0)
        throw HostError(host::error::kPermissionDenied,
                        "The print folder " + folder_.string() + " is not writable");
}

std::string fileNamePart(const std::string& sheetName) {
    std::string out;
    for (unsigned char c : sheetName) {
        out += (c < 0x20 || c == 0x7F || c == '/' || c == '\\') ? '_' : static_cast<char>(c);
    }
    if (out.empty() || out == "." || out == "..") return "sheet";
    if (out.front() == '.') out.front() = '_';  // no hidden files
    return out;
}

fs::path PrintFolder::nextJobFile(const std::string& sheetName,
                                  std::chrono::system_clock::time_point when) {
    const std::time_t t = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_r(&t, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = fileNamePart(sheetName) + "-" + stamp + "-";
    for (;;) {
        char number[16];
        std::snprintf(number, sizeof number, "%03d", ++jobs_);
        fs::path candidate = folder_ / (base + number + ".pdf");
        std::error_code ec;
        if (!fs::exists(candidate, ec)) return candidate;
    }
}

}  // namespace vorra::print
