#pragma once
// The container of a 97–2003 workbook file: a compound file (version 3, 512-byte
// sectors) holding one stream. The workbook writer puts its record stream here under
// the name "Workbook".

#include <cstdint>
#include <string>
#include <vector>

namespace vorra::engine::xls {

// Builds a compound file whose root storage holds exactly one stream of that name
// (at most 31 characters of ASCII). Streams shorter than 4096 bytes are padded with
// zeros up to that size, so that they live in ordinary sectors and the file needs no
// mini stream; record readers stop at the stream's last end-of-file record.
std::vector<std::uint8_t> compoundFileWithStream(const std::string& streamName,
                                                 std::vector<std::uint8_t> stream);

}  // namespace vorra::engine::xls
