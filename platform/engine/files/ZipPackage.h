#pragma once
// The packager: a workbook package is a zip archive of named parts. Reading checks
// every bound of ReadLimits before it inflates anything. Writing goes through
// ZipWriter; writeZip builds a whole archive in memory.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/engine/files/Limits.h"

namespace vorra::engine::files {

// Parts by their name inside the package ("xl/workbook.xml"), no leading slash.
using PartMap = std::map<std::string, std::string>;

// Reads every entry of the archive. `file` names the file in error messages.
PartMap readZip(std::string_view bytes, const std::string& file, const ReadLimits& limits);

// Parts in the order given; the first ones should be [Content_Types].xml and _rels.
std::string writeZip(const std::vector<std::pair<std::string, std::string>>& parts,
                     const std::string& file);

}  // namespace vorra::engine::files
