#pragma once
// Number formats: how a cell value is displayed (Range.Text) and what TEXT() gives.

#include <string>

#include "addin/frame/host/Value.h"

namespace vorra::engine {

// The value as the host displays it under the format code ("General", "0.00",
// "yyyy年m月d日", "[DBNum2]…"). Dates are serial numbers of the 1900 date system.
std::string formatValue(const host::Value& value, const std::string& format);

// True when the format code shows a date or time (so a typed date keeps its format).
bool isDateFormat(const std::string& format);

}  // namespace vorra::engine
