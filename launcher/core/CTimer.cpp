#include "launcher/core/CTimer.h"

#include <algorithm>
#include <utility>

#include "launcher/core/LauncherTexts.h"

namespace vorra::launcher {

TimerError::TimerError(std::int32_t code_, std::string source_, std::string description_)
    : std::runtime_error(description_),
      code(code_),
      number(static_cast<std::int32_t>(0x80040000u + static_cast<std::uint32_t>(code_))),
      source(std::move(source_)),
      description(std::move(description_)) {}

std::shared_ptr<CTimer> CTimer::create(Module1& module) {
    return std::shared_ptr<CTimer>(new CTimer(module));
}

CTimer::~CTimer() { setInterval(0); }

void CTimer::setInterval(std::int32_t milliseconds) {
    // Stopping empties the slot, which may hold the last reference to this timer.
    const auto keepAlive = weak_from_this().lock();
    if (milliseconds > 0 && milliseconds != interval_) {
        if (interval_ != 0) module_.StopTimer(*this);
        interval_ = milliseconds;
        if (!module_.StartTimer(*this)) module_.RaiseTimerError(kErrCantCreateTimer);
    } else if (milliseconds <= 0 && interval_ > 0) {
        interval_ = 0;
        module_.StopTimer(*this);
    }
}

void CTimer::PulseTimer() {
    if (ThatTime) ThatTime();
}

Module1::Module1(TimerService& service, std::string exeName)
    : service_(service), exeName_(std::move(exeName)) {}

Module1::~Module1() {
    // Stop what still runs; the timers then end without reaching back into this module.
    for (auto& slot : slots_) {
        if (!slot) continue;
        service_.destroyTimer(slot->timerId_);
        slot->timerId_ = 0;
        slot->interval_ = 0;
        slot.reset();
    }
}

bool Module1::StartTimer(CTimer& timer) {
    timer.timerId_ = service_.createTimer(
        timer.interval_, [this](std::int32_t timerId) { TimerCallback(timerId); });
    if (timer.timerId_ == 0) {
        timer.interval_ = 0;
        return false;
    }
    const auto empty = std::find(slots_.begin(), slots_.end(), nullptr);
    if (empty == slots_.end()) {
        // No slot would ever deliver its ticks: stop it rather than leave it running.
        service_.destroyTimer(timer.timerId_);
        timer.timerId_ = 0;
        timer.interval_ = 0;
        RaiseTimerError(kErrNoMoreTimers);
    }
    *empty = timer.shared_from_this();
    highestSlot_ = std::max(highestSlot_, static_cast<int>(empty - slots_.begin()) + 1);
    return true;
}

bool Module1::StopTimer(CTimer& timer) {
    for (int i = 0; i < highestSlot_; ++i) {
        auto& slot = slots_[static_cast<std::size_t>(i)];
        if (slot && slot->timerId_ == timer.timerId_) {
            service_.destroyTimer(timer.timerId_);
            timer.timerId_ = 0;
            slot.reset();
            return true;
        }
    }
    return false;
}

void Module1::TimerCallback(std::int32_t timerId) {
    for (int i = 0; i < highestSlot_; ++i) {
        const auto& slot = slots_[static_cast<std::size_t>(i)];
        if (slot && slot->timerId_ == timerId) {
            // The handler may stop the timer and so empty this slot.
            const auto timer = slot;
            timer->PulseTimer();
            return;
        }
    }
}

void Module1::RaiseTimerError(std::int32_t code) const {
    const std::string_view text =
        code == kErrNoMoreTimers ? kNoMoreTimersText : kCantCreateTimerText;
    throw TimerError(code, exeName_ + std::string(kTimerErrorSourceSuffix), std::string(text));
}

}  // namespace vorra::launcher
