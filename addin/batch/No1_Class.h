#pragma once
// Reads the list of a chosen workbook into the sheet 批量打印 by query.

#include <cstddef>
#include <string>

namespace vorra {

class No1_Class {
public:
    // Imports the list; the number of records copied into it (none when the dialog was
    // cancelled or the source gave no list).
    size_t fn2();
    // After an import of more records than the list holds: tells the user, in one
    // information message, how many were imported and how many were left out.
    // Nothing otherwise.
    void tellLeftOut() const;

private:
    size_t found_ = 0;
    size_t copied_ = 0;
};

// The extension rule of the import: the text after the last dot must be exactly
// "xls" or "xlsx". A text without a dot (a cancelled dialog) is refused.
bool acceptedImportPath(const std::string& path);

// The connection string for a source path. A path with a ";" (or a quote, or blanks at
// its ends) is given in double quotes, a quote inside doubled, as connection strings
// write such values, so that the whole path names the source.
std::string importConnectionString(const std::string& path);

}  // namespace vorra
