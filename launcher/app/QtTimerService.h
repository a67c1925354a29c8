// The timer service over the Qt event loop: ticks arrive on the program's thread.
#pragma once

#include <QObject>
#include <map>

#include "launcher/core/TimerService.h"

namespace vorra::launcher {

class QtTimerService : public QObject, public TimerService {
public:
    std::int32_t createTimer(std::int32_t intervalMs, TickCallback onTick) override;
    void destroyTimer(std::int32_t timerId) override;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    std::map<std::int32_t, TickCallback> callbacks_;
};

}  // namespace vorra::launcher
