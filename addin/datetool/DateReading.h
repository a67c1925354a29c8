#pragma once
// Dates and times as the user types them and as the world-clock page writes them,
// read the way the regional settings of a Chinese desktop read them, and the texts the
// date tool shows.
//
// Dates: "2026/12/7", "2026-12-07", "2026.12.7", "2026年12月7日", "12/7/2026" (month
// first when the year comes last), "7 December 2026", "December 7 2026", "Dec 7 2026".
// Times: "14:03", "14:03:05", "2:03:05 pm", "下午2:03:05".

#include <optional>
#include <string>
#include <string_view>

#include "addin/datetool/SystemClock.h"

namespace vorra {

// The day named by a text (time of day 0:00:00), or nothing when it names none.
std::optional<LocalDateTime> readDate(std::string_view text);

// The time of day named by a text (date fields left at their defaults).
std::optional<LocalDateTime> readTime(std::string_view text);

// "2026/12/7": the short date of the regional settings, as the input box shows today.
std::string shortDateText(const LocalDateTime& d);
// "2026/12/7 14:03:05": a date and time value as the system shows it.
std::string dateTimeText(const LocalDateTime& d);

}  // namespace vorra
