#pragma once
// Setting the computer's clock for the desktop: the system clock itself where the
// process may (the right to change the time), otherwise the system's time service,
// systemd-timedated, over the system bus (org.freedesktop.timedate1.SetTime), which
// asks the user to authorise the change through the desktop's authorisation agent.

#include <cstdint>
#include <functional>
#include <string>

#include "addin/frame/dialogs/Toolkit.h"

namespace vorra::desktop {

// Sets the system clock to a moment (seconds since 1970-01-01 00:00 UTC); 0 when it was
// set, else the system's error number.
using DirectClockSetter = std::function<int(std::int64_t secondsSinceEpoch)>;

// The system clock itself: clock_settime on CLOCK_REALTIME.
int setRealtimeClock(std::int64_t secondsSinceEpoch);

class SystemClockService {
public:
    // The time service may take this long to answer: its authorisation prompt waits
    // for the user.
    static constexpr int kTimeServiceTimeoutMs = 120000;

    explicit SystemClockService(DirectClockSetter direct = setRealtimeClock,
                                int timeServiceTimeoutMs = kTimeServiceTimeoutMs)
        : direct_(std::move(direct)), timeoutMs_(timeServiceTimeoutMs) {}

    // Done when either way set the clock; NotPermitted when the process may not and the
    // time service refused, is missing or does not answer; Failed when the system clock
    // refused for another reason than the right to change it.
    dialogs::ClockSetting set(std::int64_t secondsSinceEpoch) const;

    // The time service alone: SetTime with the moment in microseconds, absolute, with
    // interactive authorisation allowed.
    dialogs::ClockSetting askTimeService(std::int64_t secondsSinceEpoch) const;

    // Why the time service refused the last time it did (its error name and message),
    // for the desktop's log.
    const std::string& lastRefusal() const { return lastRefusal_; }

private:
    DirectClockSetter direct_;
    int timeoutMs_;
    mutable std::string lastRefusal_;
};

}  // namespace vorra::desktop
