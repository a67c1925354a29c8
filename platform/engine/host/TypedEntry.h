#pragma once
// What a text becomes when it is entered into a cell as if typed: a number, boolean,
// error, date or time where the host recognises one, otherwise the text itself. The
// host also gives a recognised entry a number format (percent, thousands, date, time)
// when the cell still has the general format.

#include <optional>
#include <string>
#include <string_view>

#include "addin/frame/host/Value.h"

namespace vorra::engine {

struct TypedEntry {
    host::Value value;
    // The number format the entry implies ("0%", "yyyy/m/d", ...); empty when it
    // implies none. A date or time format is set even on a cell with a number format.
    std::string impliedFormat;
    bool isDateOrTime = false;
};

// Converts a typed text. cellIsText: the cell is formatted as text ("@"), so the entry
// stays text. date1904: the workbook counts dates from 1904. currentYear: the year a
// month and day without a year ("12/7") fall in; 0 leaves such entries text.
TypedEntry parseTypedEntry(std::string_view typed, bool cellIsText, bool date1904 = false,
                           int currentYear = 0);

// Serial number of a calendar date in the host's date system, or nothing when the date
// does not exist (or is before the system's first day). The 1900 system counts
// 1900-01-01 as 1 and keeps the fictitious 1900-02-29 as day 60.
std::optional<double> dateSerial(int year, int month, int day, bool date1904 = false);

}  // namespace vorra::engine
