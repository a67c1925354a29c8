// The launch marker: the file that tells the add-in it was started through the launcher.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vorra::launcher {

// Converts UTF-8 text to code page 936 bytes; nullopt when the text has a character that
// code page cannot hold or is not valid UTF-8.
std::optional<std::string> toCodePage936(std::string_view utf8);

// The marker file's exact bytes: the welcome line in code page 936, then CR LF; nullopt
// when the system's converter does not know code page 936.
std::optional<std::string> launchMarkerBytes();

// Writes the marker into `folder`, replacing an existing one. The bytes go to a temporary
// file that is renamed over the marker, so a failed write leaves the earlier file as it was,
// and a symbolic link named like the marker is replaced, never written through. Returns
// false when the marker could not be written.
bool writeLaunchMarker(std::string_view folder);

}  // namespace vorra::launcher
