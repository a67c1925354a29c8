#pragma once
// The binary 97–2003 workbook format (.xls, BIFF in a compound file), read for sheet
// names and cell values only.

#include <memory>
#include <string>
#include <string_view>

#include "platform/engine/model/Model.h"

namespace vorra::engine::files {

// True when the bytes start like a compound file (the container of .xls workbooks
// and of password-protected Office Open XML workbooks).
bool isCompoundFile(std::string_view head);
// True when a compound file holds an encrypted package (its EncryptionInfo stream).
bool isEncryptedPackage(std::string_view bytes);

std::unique_ptr<WorkbookModel> readXlsValues(const std::string& path);

}  // namespace vorra::engine::files
