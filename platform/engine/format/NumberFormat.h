#pragma once
// Number formats: how a cell value is displayed (Range.Text) and what TEXT() gives.

#include <string>
#include <unordered_map>

#include "addin/frame/host/Value.h"
#include "platform/engine/format/DateSerial.h"
#include "platform/engine/format/FormatCode.h"

namespace vorra::engine {

// The value as the host displays it under the format code ("General", "0.00",
// "yyyy年m月d日", "[DBNum2]…"). Dates are serial numbers of the given date system, the
// workbook's. Parses the code on every call: for callers without a workbook.
std::string formatValue(const host::Value& value, const std::string& format,
                        format::DateSystem dates = format::DateSystem::From1900);
// The same under a code parsed before.
std::string formatValue(const host::Value& value, const format::FormatCode& format, format::DateSystem dates);

// True when the format code shows a date or time (so a typed date keeps its format).
bool isDateFormat(const std::string& format);

// The number formats of one workbook, each code parsed the first time a value is shown
// under it. A workbook's style sheet holds one; like the workbook it is used from one
// thread at a time. A copy starts empty: what it caches is no part of the workbook.
class NumberFormats {
public:
    NumberFormats() = default;
    NumberFormats(const NumberFormats&) {}
    NumberFormats& operator=(const NumberFormats&) {
        codes_.clear();
        return *this;
    }

    // The value under the code, dates counted in the workbook's date system.
    std::string format(const host::Value& value, const std::string& code, format::DateSystem dates) const {
        return formatValue(value, compiled(code), dates);
    }
    bool isDate(const std::string& code) const { return compiled(code).sections.front().isDate; }

private:
    const format::FormatCode& compiled(const std::string& code) const;

    mutable std::unordered_map<std::string, format::FormatCode> codes_;
};

}  // namespace vorra::engine
