#pragma once
// A compound file (the container of binary 97–2003 workbooks) holding one stream.

#include <string>

namespace vorra::engine::files {

// The container's bytes with `stream` stored under `name` ("Workbook"). Streams
// shorter than the 4096-byte mini-stream cutoff are padded with zeros up to it so
// that they live in regular sectors. Throws std::length_error past 7 MB, the most a
// file without extra allocation-table sectors holds.
std::string writeCompoundFile(const std::string& name, std::string stream);

}  // namespace vorra::engine::files
