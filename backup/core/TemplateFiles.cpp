#include "backup/core/TemplateFiles.h"

#include <QFile>
#include <QSaveFile>
#include <QString>
#include <algorithm>
#include <system_error>

#include "backup/core/BackupTexts.h"

namespace fs = std::filesystem;

namespace vorra::backup {
namespace {

constexpr qint64 kCopyChunk = 256 * 1024;

QString qtPath(const fs::path& path) { return QString::fromStdString(path.string()); }

// A name that stays inside its folder: no separators, not "." or "..".
bool isPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

BackupFolderState prepareBackupFolder(const fs::path& folder) {
    std::error_code ec;
    const fs::file_status status = fs::status(folder, ec);
    if (fs::exists(status)) {
        return fs::is_directory(status) ? BackupFolderState::Ready : BackupFolderState::BlockedByFile;
    }
    // A dangling link also holds the name.
    if (fs::is_symlink(fs::symlink_status(folder, ec))) return BackupFolderState::BlockedByFile;
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
    // Only ordinary files: opening a pipe or device would block or never end.
    std::error_code ec;
    if (!fs::is_regular_file(from, ec)) return false;
    QFile source(qtPath(from));
    if (!source.open(QIODevice::ReadOnly)) return false;
    QSaveFile target(qtPath(to));
    if (!target.open(QIODevice::WriteOnly)) return false;
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(kCopyChunk);
        if (chunk.isEmpty() && source.error() != QFileDevice::NoError) {
            target.cancelWriting();
            return false;
        }
        if (target.write(chunk) != chunk.size()) {
            target.cancelWriting();
            return false;
        }
    }
    if (source.error() != QFileDevice::NoError || !target.commit()) return false;
    // The copy keeps the workbook's own date; failing that only changes the date.
    const auto modified = fs::last_write_time(from, ec);
    if (!ec) fs::last_write_time(to, modified, ec);
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
