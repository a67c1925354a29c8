#pragma once
// The template files: the template folder, the files listed from a folder, the name a
// dropped or chosen file is imported under, and copying a file into a folder without
// ever leaving a half-written file there.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorra {

// Files larger than this are no templates; they are not copied.
inline constexpr std::uintmax_t kMaxTemplateBytes = 100u * 1024 * 1024;

// The link every template made on the authoring machine carries to its master, and
// the plain file name it is changed to.
inline constexpr const char* kAuthoringLinkSource =
    "C:\\Documents and Settings\\Administrator\\桌面\\Trelmar\\套打模板\\复件 Trelmar.xls";
inline constexpr const char* kLinkTarget = "Trelmar.xls";

// The add-in folder (ending in "/") followed by "套打模板/".
std::string templateFolder(const std::string& addinFolder);

// Whether a file name is one the templates never take: a hidden file (starting with
// "."), which includes the office lock files ".~lock.NAME#", or a lock file "~$NAME".
bool isHiddenOrLockName(std::string_view name);

// The names of the ordinary files of a folder: regular files only (no folders, pipes or
// devices), neither hidden nor lock files, sorted by name. Empty when the folder cannot
// be read.
std::vector<std::string> ordinaryFiles(const std::string& folder);

// Whether a file name matches "*.xl*": an extension starting with "xl", in any case.
bool isWorkbookFileName(std::string_view name);

// The name a file is imported under: the last part of its path. Nothing when the path
// climbs out with "..", or the name is empty, ".", hidden, holds a backslash or a
// control character, or is longer than a file name may be.
std::optional<std::string> importableName(std::string_view path);

// Why a dropped or chosen file is refused before anything opens it: a name that cannot
// be a template's, a hidden or lock file, or something that is not a regular file (a
// folder, a pipe or a device, which could block whoever reads it). Nothing for a file
// that may be imported, and for one that is missing (the copy tells that).
std::optional<std::string> refusalOf(const std::string& path);

// Copies a file into a folder under its importable name, replacing a file of that
// name: through a temporary file in the folder and a rename. The reason (one of the
// texts' reasons, or the system's message) when it was not copied.
std::optional<std::string> copyIntoFolder(const std::string& source, const std::string& folder);

// Whether two link sources name the same workbook file: the same path, also when one
// is written as a "file:" address ("file:///C:/Documents%20and%20Settings/…"), with
// "/" or "\" between folders, and with ASCII letters in any case, as the authoring
// system's paths are compared.
bool sameLinkSource(std::string_view stored, std::string_view path);

}  // namespace vorra
