// A timer service the test drives by hand: ids count up from 1, ticks happen on tick().
#pragma once

#include <map>

#include "launcher/core/TimerService.h"

namespace vorra::launcher {

class FakeTimerService : public TimerService {
public:
    std::int32_t createTimer(std::int32_t intervalMs, TickCallback onTick) override {
        if (refuse) return 0;
        const std::int32_t id = nextId++;
        running[id] = {intervalMs, std::move(onTick)};
        return id;
    }
    void destroyTimer(std::int32_t timerId) override { running.erase(timerId); }

    // Delivers one tick of the timer with that id, if it still runs.
    void tick(std::int32_t timerId) {
        const auto found = running.find(timerId);
        if (found == running.end()) return;
        const auto callback = found->second.callback;
        callback(timerId);
    }
    std::int32_t intervalOf(std::int32_t timerId) const {
        const auto found = running.find(timerId);
        return found == running.end() ? 0 : found->second.interval;
    }

    struct Running {
        std::int32_t interval;
        TickCallback callback;
    };
    std::map<std::int32_t, Running> running;
    std::int32_t nextId = 1;
    bool refuse = false;
};

}  // namespace vorra::launcher
