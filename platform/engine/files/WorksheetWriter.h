#pragma once
// Writing a sheet as a worksheet part. A sheet read from a file carries its unmodelled
// elements (Sheet::preserved), which go back in their place.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "platform/engine/files/SharedStringsPart.h"
#include "platform/engine/model/Model.h"

namespace vorra::engine::files {

// Writes the sheet part. Texts go to `strings`; `stringReferences` counts the cells
// that refer to it. Column widths are stored in widths of the widest digit of the
// workbook's default font, `maxDigitWidth` pixels.
std::string writeWorksheet(const Sheet& sheet, bool tabSelected, int maxDigitWidth, SharedStringTable& strings,
                           size_t& stringReferences);

// The same text handed on in pieces of about 64 KiB as the rows are written, so that
// a large sheet's text is never held whole.
using TextOutput = std::function<void(std::string_view)>;
void writeWorksheet(const Sheet& sheet, bool tabSelected, int maxDigitWidth, SharedStringTable& strings,
                    size_t& stringReferences, const TextOutput& output);

}  // namespace vorra::engine::files
