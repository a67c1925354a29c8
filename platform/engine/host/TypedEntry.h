#pragma once
// What a text becomes when it is entered into a cell as if typed: a number, boolean,
// error, date or time where the host recognises one, otherwise the text itself. The
// host also gives a recognised entry a number format (percent, thousands, currency,
// date, time) when the cell still has the general format.
//
// This is the engine's one grammar of numbers written as text: formulas read texts by
// it too (VALUE, DATEVALUE, TIMEVALUE, arithmetic on texts, criteria), so "(100)",
// "¥1,234.50", "50%", "1 1/2", "2026-12-7", "2026年12月7日", "12:30" and "7-Dec-2026"
// mean the same typed into a cell and given to a formula.

#include <optional>
#include <string>
#include <string_view>

#include "addin/frame/host/Value.h"
#include "platform/engine/format/DateSerial.h"

namespace vorra::engine {

struct TypedEntry {
    host::Value value;
    // The number format the entry implies ("0%", "yyyy/m/d", ...); empty when it
    // implies none. A date or time format is set even on a cell with a number format.
    std::string impliedFormat;
    bool isDateOrTime = false;
};

// Converts a typed text. cellIsText: the cell is formatted as text ("@"), so the entry
// stays text. dates: the workbook's date system. currentYear: the year a month and day
// without a year ("12/7") fall in; 0 leaves such entries text.
TypedEntry parseTypedEntry(std::string_view typed, bool cellIsText,
                           format::DateSystem dates = format::DateSystem::From1900, int currentYear = 0);

// A number read from a text by the same grammar, with what it was written as.
struct TextNumber {
    double value = 0;
    bool hasDate = false;  // a calendar date was written
    bool hasTime = false;  // a time of day was written
    std::string impliedFormat;
};

// The number a text stands for (surrounding blanks allowed), or nothing: booleans,
// error texts and other texts are no numbers.
std::optional<TextNumber> readTextNumber(std::string_view text, format::DateSystem dates, int currentYear);

// Serial number of a calendar date in the host's date system, or nothing when the date
// does not exist (or is before the system's first day). The 1900 system counts
// 1900-01-01 as 1 and keeps the fictitious 1900-02-29 as day 60.
std::optional<double> dateSerial(int year, int month, int day,
                                 format::DateSystem dates = format::DateSystem::From1900);

}  // namespace vorra::engine
