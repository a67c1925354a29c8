// The launcher's own folder and the marker's place in it.
#pragma once

#include <string>
#include <string_view>

namespace vorra::launcher {

// The folder with exactly one trailing '/': "/opt/q" and "/opt/q//" give "/opt/q/", and the
// file-system root stays "/". An empty folder stays empty (the current folder).
std::string withOneTrailingSlash(std::string_view folder);

// Where the launch marker goes for a launcher in `folder`.
std::string markerPathIn(std::string_view folder);

}  // namespace vorra::launcher
