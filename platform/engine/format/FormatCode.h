#pragma once
// A number format code parsed into the form that formatting works from: the code's
// sections, and in each section its placeholders, date fields and literal texts in
// order. Parsing does not depend on the value, so a code is parsed once and its
// compiled form formats any number of values (see NumberFormats).

#include <optional>
#include <string>
#include <vector>

#include "platform/engine/format/ChineseNumerals.h"

namespace vorra::engine::format {

enum class ItemKind { Literal, Integer, Fraction, Point, Percent, DatePart, Text, General, AmPm };

// What a date or time code shows, resolved from its letters once.
enum class DateField {
    None,
    YearOfCentury, Year,
    Month, Month2, MonthAbbreviation, MonthInitial, MonthName,
    Day, Day2, WeekdayAbbreviation, WeekdayName,
    ChineseWeekday, ChineseWeekdayWithPrefix,
    Hour, Hour2, Minute, Minute2, Second, Second2,
    ElapsedHours, ElapsedMinutes, ElapsedSeconds
};

struct FormatItem {
    ItemKind kind;
    std::string text;  // literal text, or the date code ("yyyy", "m", "n" for minutes, "[h]")
    DateField field = DateField::None;  // for DatePart
};

struct FormatSection {
    std::vector<FormatItem> items;
    std::optional<NumeralStyle> numerals;  // [DBNumN]
    bool isDate = false;
    bool grouping = false;   // a "," between digit placeholders
    int percent = 0;
    int integerZeros = 0;    // '0' placeholders before the point
    std::string fraction;    // placeholders after the point, in order ("00", "0#")
    bool hasPoint = false;
    bool hasDigits = false;
    bool general = false;       // holds "General"
    bool amPm = false;          // holds AM/PM: hours count to twelve
    bool emptyCode = false;     // the section's code is empty ("0;;" hides negatives and zero)
    bool mentionsText = false;  // the section's code holds an "@", even a quoted one
};

struct FormatCode {
    std::vector<FormatSection> sections;  // at least one
};

// Parses a code; an empty code, or one longer than the host accepts, is "General".
FormatCode parseFormatCode(const std::string& code);

}  // namespace vorra::engine::format
