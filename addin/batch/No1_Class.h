#pragma once
// Reads the list of a chosen workbook into the sheet 批量打印 by query.

#include <optional>
#include <string>

namespace vorra {

class No1_Class {
public:
    void fn2();
};

// The extension rule of the import: the text after the last dot must be exactly
// "xls" or "xlsx". A text without a dot (a cancelled dialog) is refused.
bool acceptedImportPath(const std::string& path);

}  // namespace vorra
