#include "launcher/app/QtTimerService.h"

#include <QTimerEvent>

namespace vorra::launcher {

std::int32_t QtTimerService::createTimer(std::int32_t intervalMs, TickCallback onTick) {
    const int id = startTimer(intervalMs);
    if (id != 0) callbacks_[id] = std::move(onTick);
    return id;
}

void QtTimerService::destroyTimer(std::int32_t timerId) {
    if (callbacks_.erase(timerId) != 0) killTimer(timerId);
}

void QtTimerService::timerEvent(QTimerEvent* event) {
    const auto found = callbacks_.find(event->timerId());
    if (found == callbacks_.end()) return;
    // The callback may destroy its own timer, so it runs from a copy.
    const TickCallback callback = found->second;
    callback(event->timerId());
}

}  // namespace vorra::launcher
