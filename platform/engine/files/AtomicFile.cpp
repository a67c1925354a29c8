#include "platform/engine/files/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/engine/files/FileError.h"

namespace vorra::engine::files {

void writeAtomically(const std::string& path, std::span<const std::byte> bytes) {
    std::filesystem::path target(path);
    std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0 && errno == ENOENT)
        throw host::HostError(host::error::kPathNotFound,
                              "Cannot save \"" + path + "\": cannot create a file in its folder: the folder \"" +
                                  folder.string() + "\" does not exist");
    if (fd < 0) failSave(path, std::string("cannot create a file in its folder: ") + std::strerror(errno));
    std::string temp = name.data();
    auto fail = [&](const std::string& why) {
        ::close(fd);
        ::unlink(temp.c_str());
        failSave(path, why);
    };
    // Keep the permissions of the file we replace (mkstemp creates it private).
    struct stat old{};
    mode_t mode = ::stat(path.c_str(), &old) == 0 ? old.st_mode & 07777 : 0644;
    ::fchmod(fd, mode);
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) fail(std::string("writing failed: ") + std::strerror(errno));
        done += size_t(n);
    }
    if (::fsync(fd) != 0) fail(std::string("flushing to disk failed: ") + std::strerror(errno));
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        failSave(path, std::string("closing failed: ") + std::strerror(err));
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        failSave(path, std::string("cannot replace the file: ") + std::strerror(err));
    }
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);  // the rename itself must reach the disk too
        ::close(dir);
    }
}

}  // namespace vorra::engine::files
