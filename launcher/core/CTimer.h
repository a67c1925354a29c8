// CTimer, a timer object raising ThatTime on every tick, and Module1, which connects
// CTimer objects to the timer service through 100 slots.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "launcher/core/TimerService.h"

namespace vorra::launcher {

inline constexpr std::int32_t kErrNoMoreTimers = 13651;
inline constexpr std::int32_t kErrCantCreateTimer = 13652;

// An object-defined run-time error: number is 0x80040000 plus the code.
class TimerError : public std::runtime_error {
public:
    TimerError(std::int32_t code, std::string source, std::string description);

    std::int32_t code;
    std::int32_t number;
    std::string source;
    std::string description;
};

class Module1;

class CTimer : public std::enable_shared_from_this<CTimer> {
public:
    // CTimer objects are always shared: a running timer's slot holds it alive.
    static std::shared_ptr<CTimer> create(Module1& module);
    ~CTimer();

    CTimer(const CTimer&) = delete;
    CTimer& operator=(const CTimer&) = delete;

    // Milliseconds between ticks; 0 when stopped.
    std::int32_t Interval() const { return interval_; }
    // Starts, restarts or stops the timer. Throws TimerError 13652 when the service refuses
    // the timer and 13651 when every slot is taken.
    void setInterval(std::int32_t milliseconds);

    // The service's id for the running timer; 0 when none.
    std::int32_t TimerId() const { return timerId_; }

    // Raised on every tick.
    std::function<void()> ThatTime;
    void PulseTimer();

private:
    explicit CTimer(Module1& module) : module_(module) {}
    friend class Module1;

    Module1& module_;
    std::int32_t interval_ = 0;
    std::int32_t timerId_ = 0;
};

// Must outlive every CTimer created on it.
class Module1 {
public:
    static constexpr int kSlotCount = 100;

    // `exeName` is the program's file name, the source of the timer errors.
    Module1(TimerService& service, std::string exeName);
    ~Module1();

    Module1(const Module1&) = delete;
    Module1& operator=(const Module1&) = delete;

    // Asks the service for the timer and puts it in the lowest empty slot. Returns false
    // when the service refuses; throws TimerError 13651 when no slot is empty.
    bool StartTimer(CTimer& timer);
    // Kills the system timer of the first slot holding the same timer id and empties that
    // slot. Returns whether a slot was emptied.
    bool StopTimer(CTimer& timer);
    // Called by the service on a tick: pulses the first slotted timer with that id.
    void TimerCallback(std::int32_t timerId);

    [[noreturn]] void RaiseTimerError(std::int32_t code) const;

    // Slots are numbered 1 to kSlotCount.
    const std::shared_ptr<CTimer>& TimerSlots(int number) const { return slots_.at(number - 1); }
    // The highest slot number ever filled; never lowered.
    int HighestSlot() const { return highestSlot_; }

private:
    TimerService& service_;
    std::string exeName_;
    std::array<std::shared_ptr<CTimer>, kSlotCount> slots_;
    int highestSlot_ = 0;
};

}  // namespace vorra::launcher
