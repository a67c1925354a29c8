#include "platform/engine/files/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/engine/files/FileError.h"

namespace vorra::engine::files {

namespace {

namespace fs = std::filesystem;

// Following a chain of links ends after this many, as the system's own lookup does.
constexpr int kMaxLinkHops = 40;

// The file a save really replaces: the path itself, or, when it is a symbolic link,
// the file the chain of links ends at (which need not exist yet).
fs::path saveTarget(const std::string& path) {
    fs::path p(path);
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(p, ec))) return p;
        fs::path next = fs::read_symlink(p, ec);
        if (ec) failSave(path, "cannot read the symbolic link \"" + p.string() + "\": " + ec.message());
        p = next.is_absolute() ? next : (p.has_parent_path() ? p.parent_path() : fs::path(".")) / next;
    }
    failSave(path, "it is a symbolic link in a chain of more than 40 links");
}

// Temporary files of a save of `name` are ".<name>.vorra-save-<pid>-XXXXXX": a save
// that a killed process left behind is recognised by its process being gone.
std::string tempPrefix(const std::string& name) { return "." + name + ".vorra-save-"; }

void removeStaleTemporaries(const fs::path& folder, const std::string& name) {
    const std::string prefix = tempPrefix(name);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (dirent* entry = ::readdir(dir)) {
        std::string file = entry->d_name;
        if (file.compare(0, prefix.size(), prefix) != 0) continue;
        long pid = std::strtol(file.c_str() + prefix.size(), nullptr, 10);
        // A process that still runs may be saving right now: its file stays.
        if (pid <= 0 || pid == long(::getpid()) || (::kill(pid_t(pid), 0) == 0 || errno == EPERM)) continue;
        ::unlinkat(::dirfd(dir), file.c_str(), 0);
    }
    ::closedir(dir);
}

// While a save writes, a file-size limit must not end the process: the signal it
// raises is held back and taken away afterwards, so that the write fails with EFBIG
// and the save reports it as any other failure.
class FileSizeSignalHeld {
public:
    FileSizeSignalHeld() {
        sigemptyset(&set_);
        sigaddset(&set_, SIGXFSZ);
        held_ = ::pthread_sigmask(SIG_BLOCK, &set_, &previous_) == 0;
    }
    ~FileSizeSignalHeld() {
        if (!held_) return;
        timespec none{0, 0};
        while (::sigtimedwait(&set_, nullptr, &none) == SIGXFSZ) {
        }
        ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    FileSizeSignalHeld(const FileSizeSignalHeld&) = delete;
    FileSizeSignalHeld& operator=(const FileSizeSignalHeld&) = delete;

private:
    sigset_t set_{};
    sigset_t previous_{};
    bool held_ = false;
};

// The temporary file a save writes: closed and removed unless the save completes.
class TemporaryFile final : public ByteSink {
public:
    TemporaryFile(const std::string& path, int fd, std::string name)
        : path_(path), fd_(fd), name_(std::move(name)) {}
    ~TemporaryFile() override {
        if (fd_ >= 0) ::close(fd_);
        if (!kept_) ::unlink(name_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    void write(std::string_view bytes) override {
        size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            check(n, "writing failed");
            done += size_t(n);
        }
    }
    void patch(std::uint64_t offset, std::string_view bytes) override {
        size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done, off_t(offset + done));
            if (n < 0 && errno == EINTR) continue;
            check(n, "writing failed");
            done += size_t(n);
        }
    }
    // Flushes, closes and renames the file over `target`.
    void commit(const fs::path& target) {
        if (::fsync(fd_) != 0) fail("flushing to disk failed", errno);
        int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) fail("closing failed", errno);
        if (::rename(name_.c_str(), target.c_str()) != 0)
            failSave(path_, std::string("cannot replace the file: ") + std::strerror(errno));
        kept_ = true;
    }

private:
    void check(ssize_t n, const char* why) {
        if (n < 0 && errno == EFBIG)
            failSave(path_, "the file would be larger than this process may write (file-size limit)");
        if (n == 0) errno = EIO;  // a write that makes no progress
        if (n <= 0) fail(why, errno);
    }
    // A full disk is told apart: the user can do something about it.
    [[noreturn]] void fail(const std::string& why, int err) {
        if (err == ENOSPC || err == EDQUOT)
            throw host::HostError(host::error::kDiskFull, "Cannot save \"" + path_ + "\": " + why + ": " +
                                                              std::strerror(err));
        failSave(path_, why + ": " + std::strerror(err));
    }

    const std::string& path_;
    int fd_;
    std::string name_;
    bool kept_ = false;
};

}  // namespace

void writeAtomically(const std::string& path, const std::function<void(ByteSink&)>& produce) {
    const fs::path target = saveTarget(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string name = target.filename().string();
    removeStaleTemporaries(folder, name);

    std::string pattern = (folder / (tempPrefix(name) + std::to_string(::getpid()) + "-XXXXXX")).string();
    std::vector<char> tempName(pattern.begin(), pattern.end());
    tempName.push_back('\0');
    FileSizeSignalHeld signalHeld;
    int fd = ::mkstemp(tempName.data());
    if (fd < 0 && (errno == ENOENT || errno == ENOTDIR))
        throw host::HostError(host::error::kPathNotFound,
                              "Cannot save \"" + path + "\": cannot create a file in its folder: the folder \"" +
                                  folder.string() + "\" does not exist" + (errno == ENOTDIR ? " (Not a directory)" : ""));
    if (fd < 0 && (errno == EACCES || errno == EROFS))
        throw host::HostError(host::error::kPermissionDenied,
                              "Cannot save \"" + path + "\": cannot create a file in its folder: " +
                                  std::strerror(errno));
    if (fd < 0) failSave(path, std::string("cannot create a file in its folder: ") + std::strerror(errno));
    TemporaryFile temp(path, fd, tempName.data());
    // Keep the permissions of the file we replace (mkstemp creates it private).
    struct stat old{};
    mode_t mode = ::stat(target.c_str(), &old) == 0 ? old.st_mode & 07777 : 0644;
    ::fchmod(fd, mode);
    produce(temp);
    temp.commit(target);
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);  // the rename itself must reach the disk too
        ::close(dir);
    }
}

void writeAtomically(const std::string& path, std::span<const std::byte> bytes) {
    writeAtomically(path, [&](ByteSink& out) {
        out.write(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    });
}

}  // namespace vorra::engine::files
