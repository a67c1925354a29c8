#include "launcher/core/ProgramFolder.h"

#include "launcher/core/LauncherTexts.h"

namespace vorra::launcher {

std::string withOneTrailingSlash(std::string_view folder) {
    if (folder.empty()) return {};
    while (!folder.empty() && folder.back() == '/') folder.remove_suffix(1);
    std::string result(folder);
    result += '/';
    return result;
}

std::string markerPathIn(std::string_view folder) {
    return withOneTrailingSlash(folder) + std::string(kMarkerFileName);
}

}  // namespace vorra::launcher
