#include "launcher/core/LaunchMarker.h"

#include <iconv.h>

#include <QSaveFile>
#include <QString>
#include <cerrno>
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
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
        static_cast<qint64>(bytes.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace vorra::launcher
