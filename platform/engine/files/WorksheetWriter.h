#pragma once
// Writing a sheet as a worksheet part. A sheet read from a file carries its unmodelled
// elements (Sheet::preserved), which go back in their place.

#include <cstddef>
#include <string>

#include "platform/engine/files/SharedStringsPart.h"
#include "platform/engine/model/Model.h"

namespace vorra::engine::files {

// Writes the sheet part. Texts go to `strings`; `stringReferences` counts the cells
// that refer to it. Column widths are stored in widths of the widest digit of the
// workbook's default font, `maxDigitWidth` pixels.
std::string writeWorksheet(const Sheet& sheet, bool tabSelected, int maxDigitWidth, SharedStringTable& strings,
                           size_t& stringReferences);

}  // namespace vorra::engine::files
