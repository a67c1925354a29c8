#pragma once
// Sheet protection passwords as workbook files store them: the legacy 16-bit hash
// (four hex digits) that the host writes itself, and the salted, iterated hash
// (algorithm name, base64 hash and salt, spin count) that newer files may carry.

#include <string>

#include "platform/engine/model/Model.h"

namespace vorra::engine {

// The legacy 16-bit hash of a password as four upper-case hex digits ("CF1A").
std::string legacyPasswordHash(const std::string& password);

// Whether the password opens the protection: no hash at all accepts any password; the
// modern hash is checked when present, else the legacy one. A malformed or unsupported
// modern hash throws host::HostError (the file's protection cannot be verified).
bool passwordMatches(const SheetProtection& protection, const std::string& password);

// The password as the host hashes it: UTF-16 little-endian code units.
std::string utf16le(const std::string& utf8);

}  // namespace vorra::engine
