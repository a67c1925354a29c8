#include "backup/core/TemplateFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <random>
#include <system_error>
#include <utility>

#include "backup/core/BackupTexts.h"

namespace fs = std::filesystem;

namespace vorra::backup {
namespace {

constexpr size_t kCopyChunk = 256 * 1024;
constexpr int kTemporaryNameTries = 100;

// A name that stays inside its folder: no separators, not "." or "..".
bool isPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

// Closes a descriptor once.
struct Descriptor {
    int fd = -1;
    Descriptor() = default;
    explicit Descriptor(int f) : fd(f) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
    int release() { return std::exchange(fd, -1); }
};

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// A new file in the folder under a name of its own (".NAME.xxxxxx"), never a link.
int createTemporary(int folder, const std::string& name, std::string& temporary) {
    static std::mt19937 random{std::random_device{}()};
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
        temporary = "." + name + ".";
        for (int i = 0; i < 6; ++i) temporary += kLetters[random() % (sizeof kLetters - 1)];
        const int fd = ::openat(folder, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

BackupFolderState prepareBackupFolder(const fs::path& folder) {
    std::error_code ec;
    // The link itself, never what it points at: a link (to a folder or nowhere) is told.
    const fs::file_status status = fs::symlink_status(folder, ec);
    if (fs::is_symlink(status)) return BackupFolderState::IsLink;
    if (fs::exists(status)) {
        return fs::is_directory(status) ? BackupFolderState::Ready : BackupFolderState::BlockedByFile;
    }
    fs::create_directory(folder, ec);
    return ec ? BackupFolderState::NotCreated : BackupFolderState::Ready;
}

}  // namespace

std::string withOneTrailingSlash(std::string_view folder) {
    if (folder.empty()) return {};
    while (!folder.empty() && folder.back() == '/') folder.remove_suffix(1);
    std::string result(folder);
    result += '/';
    return result;
}

bool isWorkbookFileName(std::string_view name) {
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos || name.size() - dot < 3) return false;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return lower(name[dot + 1]) == 'x' && lower(name[dot + 2]) == 'l';
}

std::vector<std::string> listWorkbookFiles(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code statusError;
        if (isWorkbookFileName(name) && it->is_regular_file(statusError)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

fs::path backupFolderOf(const fs::path& toolFolder) {
    return toolFolder / fs::path(std::string(kBackupFolderName));
}

bool copyReplacing(const fs::path& from, const fs::path& to) {
    // Opened without waiting, so that a pipe cannot block; only a regular file is read.
    Descriptor source(::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (source.fd < 0) return false;
    struct stat info {};
    if (::fstat(source.fd, &info) != 0 || !S_ISREG(info.st_mode)) return false;

    // The target's folder is opened once, not followed if it is a link, and the copy is
    // created and renamed inside it.
    const fs::path parent = to.has_parent_path() ? to.parent_path() : fs::path(".");
    Descriptor folder(::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (folder.fd < 0) return false;
    const std::string name = to.filename().string();
    std::string temporary;
    Descriptor target(createTemporary(folder.fd, name, temporary));
    if (target.fd < 0) return false;
    auto fail = [&] {
        ::close(target.release());
        ::unlinkat(folder.fd, temporary.c_str(), 0);
        return false;
    };

    std::vector<char> buffer(kCopyChunk);
    for (;;) {
        const ssize_t n = ::read(source.fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail();
        if (n == 0) break;
        if (!writeAll(target.fd, buffer.data(), static_cast<size_t>(n))) return fail();
    }
    // The copy keeps the workbook's permission bits and its own date.
    const timespec times[2] = {info.st_atim, info.st_mtim};
    if (::fchmod(target.fd, info.st_mode & 0777) != 0 || ::futimens(target.fd, times) != 0 ||
        ::fsync(target.fd) != 0)
        return fail();
    if (::close(target.release()) != 0) {
        ::unlinkat(folder.fd, temporary.c_str(), 0);
        return false;
    }
    if (::renameat(folder.fd, temporary.c_str(), folder.fd, name.c_str()) != 0) {
        ::unlinkat(folder.fd, temporary.c_str(), 0);
        return false;
    }
    return true;
}

BackupOutcome backUpWorkbooks(const fs::path& toolFolder, const std::vector<std::string>& names) {
    BackupOutcome outcome;
    const fs::path folder = backupFolderOf(toolFolder);
    outcome.folder = prepareBackupFolder(folder);
    for (const std::string& name : names) {
        const bool copied = outcome.folder == BackupFolderState::Ready && isPlainFileName(name) &&
                            copyReplacing(toolFolder / name, folder / name);
        if (!copied) outcome.notCopied.push_back(name);
    }
    return outcome;
}

std::string outcomeText(const BackupOutcome& outcome) {
    if (outcome.complete()) return std::string(kBackupDone);
    std::vector<std::string> lines;
    if (outcome.folder == BackupFolderState::BlockedByFile) lines.emplace_back(kFolderBlockedByFile);
    if (outcome.folder == BackupFolderState::NotCreated) lines.emplace_back(kFolderNotCreated);
    if (outcome.folder == BackupFolderState::IsLink) lines.emplace_back(kFolderIsLink);
    if (!outcome.notCopied.empty()) {
        std::string line(kFilesNotCopied);
        for (std::size_t i = 0; i < outcome.notCopied.size(); ++i) {
            if (i != 0) line += kFileNameSeparator;
            line += outcome.notCopied[i];
        }
        lines.push_back(line);
    }
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
    return text;
}

}  // namespace vorra::backup
