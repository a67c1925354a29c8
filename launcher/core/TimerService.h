// The operating system's timer service as the launcher's timers see it: periodic timers
// without a window, each delivering its id to a callback on the program's thread.
#pragma once

#include <cstdint>
#include <functional>

namespace vorra::launcher {

class TimerService {
public:
    using TickCallback = std::function<void(std::int32_t timerId)>;

    virtual ~TimerService() = default;

    // Starts a timer that calls `onTick` every `intervalMs` milliseconds. Returns its id,
    // never 0, or 0 when the service refuses to create the timer.
    virtual std::int32_t createTimer(std::int32_t intervalMs, TickCallback onTick) = 0;

    // Stops the timer with that id; no more ticks arrive for it.
    virtual void destroyTimer(std::int32_t timerId) = 0;
};

}  // namespace vorra::launcher
