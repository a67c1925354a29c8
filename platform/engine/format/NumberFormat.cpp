// Placeholder display formatting until the number-format module lands: General only.
#include "platform/engine/format/NumberFormat.h"

namespace vorra::engine {

std::string formatValue(const host::Value& value, const std::string&) {
    if (value.isBoolean()) return value.asBoolean() ? "TRUE" : "FALSE";
    return value.toText();
}

bool isDateFormat(const std::string&) { return false; }

}  // namespace vorra::engine
