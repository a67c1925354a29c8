#include "launcher/core/LaunchMarker.h"

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "launcher/core/LauncherTexts.h"
#include "launcher/core/ProgramFolder.h"

namespace vorra::launcher {

std::optional<std::string> toCodePage936(std::string_view utf8) {
    iconv_t cd = iconv_open(kMarkerCodePage, "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;

    // Code page 936 never needs more bytes than UTF-8 for the same text.
    std::vector<char> out(utf8.size() + 4);
    std::string in(utf8);
    char* inPtr = in.data();
    size_t inLeft = in.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    const size_t converted = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    // A non-zero count means characters were replaced, which the marker must not contain.
    if (converted != 0 || inLeft != 0) return std::nullopt;
    return std::string(out.data(), out.size() - outLeft);
}

std::optional<std::string> launchMarkerBytes() {
    auto line = toCodePage936(kMarkerLine);
    if (!line) return std::nullopt;
    return *line + std::string(kMarkerLineEnd);
}

bool writeLaunchMarker(std::string_view folder) {
    const std::string path = markerPathIn(folder);
    const auto marker = launchMarkerBytes();
    if (!marker) return false;
    const std::string& bytes = *marker;
    // A new file beside the marker, renamed over it: the rename replaces whatever has the
    // marker's name (a symbolic link included) and never writes into what a link names.
    std::string temporary = withOneTrailingSlash(folder) + "." + std::string(kMarkerFileName) + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return false;
    auto fail = [&] {
        ::close(fd);
        ::unlink(temporary.c_str());
        return false;
    };
    for (size_t written = 0; written < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return fail();
        written += static_cast<size_t>(n);
    }
    if (::fchmod(fd, 0644) != 0 || ::fsync(fd) != 0) return fail();
    if (::close(fd) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace vorra::launcher
