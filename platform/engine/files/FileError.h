#pragma once
// The one way the file layer reports a problem: a host error whose message names the
// file and says what is wrong with it.

#include <string>

#include "addin/frame/host/HostError.h"

namespace vorra::engine::files {

[[noreturn]] inline void refuseFile(const std::string& file, const std::string& problem) {
    throw host::HostError(host::error::kApplicationDefined,
                          "Cannot open \"" + file + "\": " + problem);
}

// What an OpenDocument spreadsheet is told, whichever reader recognises it.
inline constexpr const char* kOpenDocumentRefusal =
    "it is an OpenDocument spreadsheet (.ods), which this program cannot open; save it as .xlsx "
    "in another spreadsheet program first";

[[noreturn]] inline void failSave(const std::string& file, const std::string& problem) {
    throw host::HostError(host::error::kApplicationDefined,
                          "Cannot save \"" + file + "\": " + problem);
}

}  // namespace vorra::engine::files
