#pragma once
// The ribbon definition the add-in returns to the host, stored byte for byte as the
// resource file ribbon.xml and embedded into the library at build time.

#include <string_view>

namespace vorra {

std::string_view ribbonDefinition();

}  // namespace vorra
