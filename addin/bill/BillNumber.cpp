#include "addin/bill/BillNumber.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "addin/frame/TextConversion.h"

namespace vorra {

namespace {

bool allDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(),
                                     [](unsigned char c) { return std::isdigit(c) != 0; });
}

}  // namespace

std::string incrementDigits(std::string_view digits) {
    std::string s(digits);
    for (size_t i = s.size(); i-- > 0;) {
        if (s[i] != '9') {
            ++s[i];
            return s;
        }
        s[i] = '0';
    }
    return "1" + s;
}

std::optional<std::string> nextBillNumber(const host::Value& previous) {
    if (previous.isBlankText()) return "1";
    if (previous.isNumber()) return host::numberToText(previous.asNumber() + 1);
    if (!previous.isText()) return std::nullopt;
    std::string_view text = trimBlanks(previous.asText());
    if (allDigits(text)) return incrementDigits(text);
    double d = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), d);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return host::numberToText(d + 1);
}

}  // namespace vorra
