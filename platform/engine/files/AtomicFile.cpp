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
    if (fd < 0 && (errno == ENOENT || errno == ENOTDIR))
        throw host::HostError(host::error::kPathNotFound,
                              "Cannot save \"" + path + "\": cannot create a file in its folder: the folder \"" +
                                  folder.string() + "\" does not exist" + (errno == ENOTDIR ? " (Not a directory)" : ""));
    if (fd < 0 && (errno == EACCES || errno == EROFS))
        throw host::HostError(host::error::kPermissionDenied,
                              "Cannot save \"" + path + "\": cannot create a file in its folder: " +
                                  std::strerror(errno));
    if (fd < 0) failSave(path, std::string("cannot create a file in its folder: ") + std::strerror(errno));
    std::string temp = name.data();
    // A full disk is told apart: the user can do something about it.
    auto failSaveWith = [&](const std::string& why, int err) {
        if (err == ENOSPC || err == EDQUOT)
            throw host::HostError(host::error::kDiskFull, "Cannot save \"" + path + "\": " + why + ": " +
                                                              std::strerror(err));
        failSave(path, why + ": " + std::strerror(err));
    };
    auto fail = [&](const std::string& why) {
        int err = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        failSaveWith(why, err);
    };
    // Keep the permissions of the file we replace (mkstemp creates it private).
    struct stat old{};
    mode_t mode = ::stat(path.c_str(), &old) == 0 ? old.st_mode & 07777 : 0644;
    ::fchmod(fd, mode);
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) fail("writing failed");
        done += size_t(n);
    }
    if (::fsync(fd) != 0) fail("flushing to disk failed");
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        failSaveWith("closing failed", err);
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
