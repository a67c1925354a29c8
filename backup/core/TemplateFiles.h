// Listing the workbooks of the tool's folder and copying them into the backup folder.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vorra::backup {

// The folder with exactly one trailing '/'; the file-system root stays "/".
std::string withOneTrailingSlash(std::string_view folder);

// Whether the name matches "*.xl*": its extension starts with "xl", in any case.
bool isWorkbookFileName(std::string_view name);

// The names, without folder, of the ordinary files in `folder` matching "*.xl*", sorted
// by name. An unreadable folder gives an empty list.
std::vector<std::string> listWorkbookFiles(const std::filesystem::path& folder);

enum class BackupFolderState {
    Ready,          // the folder existed or was created
    BlockedByFile,  // something other than a folder has the backup folder's name
    NotCreated,     // the folder could not be created
    IsLink,         // the backup folder's name is a symbolic link: nothing is written there
};

struct BackupOutcome {
    BackupFolderState folder = BackupFolderState::Ready;
    // The names that could not be copied, in the order they were tried.
    std::vector<std::string> notCopied;

    bool complete() const { return folder == BackupFolderState::Ready && notCopied.empty(); }
};

// The backup folder of a tool folder: "<folder>/模板备份".
std::filesystem::path backupFolderOf(const std::filesystem::path& toolFolder);

// Creates the backup folder when nothing of its name exists, then copies each named file
// of `toolFolder` into it, replacing earlier copies. Each copy is written under a temporary
// name and renamed, so an interrupted copy never replaces a good earlier one. Names are
// bytes: a name that is not UTF-8 is copied under the same bytes.
BackupOutcome backUpWorkbooks(const std::filesystem::path& toolFolder,
                              const std::vector<std::string>& names);

// What the window says after a backup: kBackupDone when every workbook was copied,
// otherwise why the folder could not be used and which files were not copied, one per line.
std::string outcomeText(const BackupOutcome& outcome);

// Copies `from` to `to` through a temporary file beside `to`, renamed over it: whatever
// has the name `to` (a symbolic link included) is replaced, never written through. The
// copy keeps the source's permission bits and modification time. Only a regular file is
// read (a pipe or device would block or never end). Returns whether `to` now holds the
// copy.
bool copyReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace vorra::backup
