#pragma once
// The next bill number after a recorded one. A number made of digits is incremented as
// a decimal digit string, so that leading zeros and numbers longer than fifteen digits
// survive exactly ("00012345" gives "00012346"). An empty number continues at "1". Any
// other number is added to as a number, and a text that is no number gives nothing.

#include <optional>
#include <string>
#include <string_view>

#include "addin/frame/host/Value.h"

namespace vorra {

std::optional<std::string> nextBillNumber(const host::Value& previous);

// "00012345" → "00012346", "999" → "1000". The text must be all digits.
std::string incrementDigits(std::string_view digits);

}  // namespace vorra
