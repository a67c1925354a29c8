#pragma once
// Replacing a file so that a failure never leaves a half-written one behind.

#include <cstddef>
#include <functional>
#include <span>
#include <string>

#include "platform/engine/files/ByteSink.h"

namespace vorra::engine::files {

// Writes the bytes to a temporary file in the target's folder, flushes it to the disk
// and renames it over the target: the old file stays intact until the new one is
// complete, and no temporary file is left when anything fails. The new file keeps the
// permissions of the one it replaces; a file that did not exist gets 0644. Failures
// throw a host error "Cannot save "<path>": <what failed>", a file-size limit
// included (it does not end the process).
//
// Temporary files are named ".<name>.vorra-save-<pid>-<random>"; one that a process
// killed during a save left behind is removed by the next save of the same file.
// A path that is a symbolic link keeps the link: the file it points to is replaced.
void writeAtomically(const std::string& path, std::span<const std::byte> bytes);

// The same for a file produced piece by piece: `produce` writes it to the temporary
// file; when it throws, the temporary file is removed and the old file stays.
void writeAtomically(const std::string& path, const std::function<void(ByteSink&)>& produce);

}  // namespace vorra::engine::files
