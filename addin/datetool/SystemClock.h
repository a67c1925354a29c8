#pragma once
// The computer's clock as the date tool sees it: read the local date and time, set
// the local date (time of day kept) or the local time (date kept). The computer's own
// clock asks the platform to set the system clock; tests use a clock of their own.

#include <string>

#include "addin/frame/dialogs/Toolkit.h"

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

// How a change of the clock ended: done, not permitted (the user may not change the
// clock and the system's time service refused as well), or failed otherwise.
using ClockChange = dialogs::ClockSetting;

class SystemClock {
public:
    virtual ~SystemClock() = default;
    virtual LocalDateTime now() const = 0;
    virtual ClockChange setDate(int year, int month, int day) = 0;
    virtual ClockChange setTime(int hour, int minute, int second) = 0;
};

// The computer's clock: read from the system; set through the platform's clock service
// (Toolkit::setSystemClock), which tries the system clock itself and then the system's
// time service.
class ComputerClock : public SystemClock {
public:
    explicit ComputerClock(dialogs::Toolkit& toolkit) : toolkit_(toolkit) {}
    LocalDateTime now() const override;
    ClockChange setDate(int year, int month, int day) override;
    ClockChange setTime(int hour, int minute, int second) override;

private:
    ClockChange setLocal(const LocalDateTime& local);
    dialogs::Toolkit& toolkit_;
};

}  // namespace vorra
