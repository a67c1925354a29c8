#pragma once
// Writes the engine's workbook as a 97–2003 workbook file: BIFF8 records in a
// compound file, the format a ".xls" name promises. Everything the reader
// (XlsReader.h) reads goes back: every sheet with its name and visibility, cell
// values and formulas (as the format's tokens, with their last results), cell
// formats (number format, font, alignment, borders, fills, protection), column
// widths and hidden columns, row heights and hidden rows, merged areas, page setup
// (paper, orientation, margins, scale, fit to page, centring, header and footer),
// sheet protection with its password hash, the view, defined names with the print
// areas, and external references. The print records export writes its files here
// too.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/engine/model/Model.h"

namespace vorra::engine {

// The file's bytes. Throws host::HostError when the workbook does not fit the format
// (more than 65536 rows or 256 columns used, a text longer than 32767 characters, a
// sheet name longer than 31 characters, no sheet at all).
std::vector<std::uint8_t> encodeXlsWorkbook(const WorkbookModel& workbook);

// Encodes the workbook and writes it to the path through a temporary file beside it
// and a rename, so that a failed save leaves an existing file untouched. Throws
// host::HostError naming the path and the reason (for instance a folder that does
// not exist).
void saveXlsWorkbook(const WorkbookModel& workbook, const std::string& path);

}  // namespace vorra::engine
