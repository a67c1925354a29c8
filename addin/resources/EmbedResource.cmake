# Writes a C++ source that returns the bytes of a resource file as a string_view.
# Arguments: INPUT (resource file), OUTPUT (source to write), FUNCTION (function name).
file(READ "${INPUT}" bytes HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," chars "${bytes}")
string(LENGTH "${bytes}" hexLength)
math(EXPR length "${hexLength} / 2")
file(WRITE "${OUTPUT}"
"// Generated from ${INPUT}; do not edit.\n"
"#include <string_view>\n"
"namespace vorra {\n"
"namespace { constexpr char kBytes[] = {${chars} 0}; }\n"
"std::string_view ${FUNCTION}() { return {kBytes, ${length}}; }\n"
"}  // namespace vorra\n")
