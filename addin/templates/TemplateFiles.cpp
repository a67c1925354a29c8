#include "addin/templates/TemplateFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#include "addin/templates/TemplateTexts.h"

namespace vorra {

namespace fs = std::filesystem;

namespace {

// Closes a descriptor once.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
    int release() { return std::exchange(fd, -1); }
};

std::string systemReason(int error) { return std::strerror(error); }

}  // namespace

std::string templateFolder(const std::string& addinFolder) {
    std::string folder = addinFolder;
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder + texts::kTemplateFolderName + "/";
}

bool isHiddenOrLockName(std::string_view name) {
    return name.empty() || name[0] == '.' || name.substr(0, 2) == "~$";
}

std::vector<std::string> ordinaryFiles(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        std::error_code typeError;
        if (isHiddenOrLockName(name) || !it->is_regular_file(typeError)) continue;
        names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool isWorkbookFileName(std::string_view name) {
    auto dot = name.rfind('.');
    if (dot == std::string_view::npos || name.size() - dot < 3) return false;
    auto lower = [](char c) { return char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); };
    return lower(name[dot + 1]) == 'x' && lower(name[dot + 2]) == 'l';
}

std::optional<std::string> importableName(std::string_view path) {
    for (size_t start = 0; start <= path.size();) {
        size_t slash = path.find('/', start);
        if (slash == std::string_view::npos) slash = path.size();
        if (path.substr(start, slash - start) == "..") return std::nullopt;
        start = slash + 1;
    }
    std::string_view name = path.substr(path.rfind('/') == std::string_view::npos ? 0 : path.rfind('/') + 1);
    if (name.empty() || name.size() > 255 || name[0] == '.') return std::nullopt;
    for (char c : name)
        if (c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return std::nullopt;
    return std::string(name);
}

std::optional<std::string> refusalOf(const std::string& path) {
    std::string_view last = path;
    if (auto slash = last.rfind('/'); slash != std::string_view::npos) last.remove_prefix(slash + 1);
    if (!last.empty() && last != "." && last != ".." && isHiddenOrLockName(last))
        return std::string(texts::kReasonHiddenFile);
    if (!importableName(path)) return std::string(texts::kReasonUnsafeName);
    // stat follows a link and never opens the file: a pipe is judged without blocking.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) return std::string(texts::kReasonNotAFile);
    return std::nullopt;
}

std::optional<std::string> copyIntoFolder(const std::string& source, const std::string& folder) {
    if (auto refused = refusalOf(source)) return refused;
    auto name = importableName(source);
    if (!name) return std::string(texts::kReasonUnsafeName);
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return std::string(texts::kReasonNoTemplateFolder);

    // Opened without waiting, so that a pipe put in the file's place since the test
    // above cannot block the host; its kind is tested again on what was opened.
    Descriptor in;
    in.fd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (in.fd < 0) return errno == ENOENT ? std::string(texts::kReasonNoSuchFile) : systemReason(errno);
    struct stat info {};
    if (::fstat(in.fd, &info) != 0) return systemReason(errno);
    if (!S_ISREG(info.st_mode)) return std::string(texts::kReasonNotAFile);
    if (std::uintmax_t(info.st_size) > kMaxTemplateBytes) return std::string(texts::kReasonTooLarge);

    fs::path target = fs::path(folder) / *name;
    std::string temp = (fs::path(folder) / ("." + *name + ".XXXXXX")).string();
    Descriptor out;
    out.fd = ::mkstemp(temp.data());
    if (out.fd < 0) return systemReason(errno);
    auto fail = [&](int error) {
        ::close(out.release());
        ::unlink(temp.c_str());
        return std::optional<std::string>(systemReason(error));
    };

    std::vector<char> buffer(64 * 1024);
    std::uintmax_t copied = 0;
    for (;;) {
        ssize_t n = ::read(in.fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail(errno);
        if (n == 0) break;
        copied += std::uintmax_t(n);
        if (copied > kMaxTemplateBytes) {  // the file grew while being copied
            fail(EFBIG);
            return std::string(texts::kReasonTooLarge);
        }
        for (ssize_t done = 0; done < n;) {
            ssize_t w = ::write(out.fd, buffer.data() + done, size_t(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w < 0) return fail(errno);
            done += w;
        }
    }
    if (::fsync(out.fd) != 0 || ::fchmod(out.fd, 0644) != 0) return fail(errno);
    if (::close(out.release()) != 0) {
        int error = errno;
        ::unlink(temp.c_str());
        return systemReason(error);
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        int error = errno;
        ::unlink(temp.c_str());
        return systemReason(error);
    }
    return std::nullopt;
}

namespace {

// A link source as a plain path: without a "file:" prefix, percent escapes decoded,
// "\\" between folders, ASCII letters in lower case.
std::string linkPathKey(std::string_view source) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    bool address = false;
    if (source.size() >= 5) {
        std::string scheme;
        for (char c : source.substr(0, 5)) scheme += lower(c);
        if (scheme == "file:") {
            address = true;
            source.remove_prefix(5);
            // "file:///C:/..." and "file://C:/..." both name the drive path.
            while (!source.empty() && (source.front() == '/' || source.front() == '\\')) source.remove_prefix(1);
        }
    }
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string key;
    for (size_t i = 0; i < source.size(); ++i) {
        char c = source[i];
        if (address && c == '%' && i + 2 < source.size() && hex(source[i + 1]) >= 0 && hex(source[i + 2]) >= 0) {
            c = static_cast<char>(hex(source[i + 1]) * 16 + hex(source[i + 2]));
            i += 2;
        }
        key += c == '/' ? '\\' : lower(c);
    }
    return key;
}

}  // namespace

bool sameLinkSource(std::string_view stored, std::string_view path) {
    return linkPathKey(stored) == linkPathKey(path);
}

}  // namespace vorra
