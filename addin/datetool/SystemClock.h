#pragma once
// The computer's clock as the date tool sees it: read the local date and time, set
// the local date (time of day kept) or the local time (date kept). The computer's own
// clock sets the system clock; tests use a clock of their own.

#include <string>

namespace vorra {

struct LocalDateTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

// Whether a year, month and day name a day of the calendar (years 100 to 9999).
bool isCalendarDate(int year, int month, int day);

// How a change of the clock ended.
enum class ClockChange {
    Done,
    NotPermitted,  // the system refused: the user may not change the clock
    Failed,        // any other refusal (a date the system cannot represent)
};

class SystemClock {
public:
    virtual ~SystemClock() = default;
    virtual LocalDateTime now() const = 0;
    virtual ClockChange setDate(int year, int month, int day) = 0;
    virtual ClockChange setTime(int hour, int minute, int second) = 0;
};

// The computer's real-time clock, set through the system (which needs the right to
// change the time).
class ComputerClock : public SystemClock {
public:
    LocalDateTime now() const override;
    ClockChange setDate(int year, int month, int day) override;
    ClockChange setTime(int hour, int minute, int second) override;
};

}  // namespace vorra
