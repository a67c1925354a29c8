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

// The names of the ordinary files of a folder: no folders, no hidden files (names
// starting with "."), sorted by name. Empty when the folder cannot be read.
std::vector<std::string> ordinaryFiles(const std::string& folder);

// Whether a file name matches "*.xl*": an extension starting with "xl", in any case.
bool isWorkbookFileName(std::string_view name);

// The name a file is imported under: the last part of its path. Nothing when the path
// climbs out with "..", or the name is empty, ".", hidden, holds a backslash or a
// control character, or is longer than a file name may be.
std::optional<std::string> importableName(std::string_view path);

// Copies a file into a folder under its importable name, replacing a file of that
// name: through a temporary file in the folder and a rename. The reason (one of the
// texts' reasons, or the system's message) when it was not copied.
std::optional<std::string> copyIntoFolder(const std::string& source, const std::string& folder);

}  // namespace vorra
