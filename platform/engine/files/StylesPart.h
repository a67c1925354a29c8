#pragma once
// The styles part: number formats, fonts, fills, borders and the cell formats (xf)
// that a cell's style index points at.

#include <string>
#include <string_view>

#include "platform/engine/model/Model.h"

namespace vorra::engine::files {

// Format code of a built-in number format id; empty for ids the format leaves to the
// locale and that we have no code for.
std::string builtInNumberFormat(int id);
// Built-in id of a format code, -1 when the code needs a custom entry.
int builtInNumberFormatId(std::string_view code);

StyleSheet readStyles(std::string_view xml, const std::string& file, const std::string& part,
                      int maxDepth);
std::string writeStyles(const StyleSheet& styles);

}  // namespace vorra::engine::files
