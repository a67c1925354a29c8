#include <gtest/gtest.h>

#include <vector>

#include "FakeTimerService.h"
#include "launcher/core/CTimer.h"

using namespace vorra::launcher;

namespace {

class CTimerTest : public ::testing::Test {
protected:
    FakeTimerService service;
    Module1 module{service, "Quorlaunch"};

    std::shared_ptr<CTimer> started(std::int32_t interval) {
        auto timer = CTimer::create(module);
        timer->setInterval(interval);
        return timer;
    }
};

}  // namespace

TEST_F(CTimerTest, IntervalStartsRestartsAndStopsTheSystemTimer) {
    auto timer = CTimer::create(module);
    EXPECT_EQ(timer->Interval(), 0);
    EXPECT_EQ(timer->TimerId(), 0);

    timer->setInterval(3000);
    const std::int32_t first = timer->TimerId();
    ASSERT_NE(first, 0);
    EXPECT_EQ(service.intervalOf(first), 3000);

    // The same value again leaves the running timer alone.
    timer->setInterval(3000);
    EXPECT_EQ(timer->TimerId(), first);
    EXPECT_EQ(service.running.size(), 1u);

    // A new value replaces the system timer.
    timer->setInterval(500);
    EXPECT_EQ(service.running.count(first), 0u);
    EXPECT_EQ(service.intervalOf(timer->TimerId()), 500);
    EXPECT_EQ(service.running.size(), 1u);

    timer->setInterval(0);
    EXPECT_EQ(timer->Interval(), 0);
    EXPECT_EQ(timer->TimerId(), 0);
    EXPECT_TRUE(service.running.empty());

    // Zero or less on a stopped timer changes nothing.
    timer->setInterval(0);
    timer->setInterval(-5);
    EXPECT_EQ(timer->Interval(), 0);
    EXPECT_TRUE(service.running.empty());

    timer->setInterval(10);
    timer->setInterval(-1);
    EXPECT_EQ(timer->Interval(), 0);
    EXPECT_TRUE(service.running.empty());
}

TEST_F(CTimerTest, TicksReachOnlyTheTimerWithThatId) {
    auto a = started(100);
    auto b = started(200);
    int aTicks = 0, bTicks = 0;
    a->ThatTime = [&] { ++aTicks; };
    b->ThatTime = [&] { ++bTicks; };
    service.tick(b->TimerId());
    service.tick(b->TimerId());
    module.TimerCallback(9999);  // an id no slot holds
    EXPECT_EQ(aTicks, 0);
    EXPECT_EQ(bTicks, 2);
}

TEST_F(CTimerTest, SlotsFillFromTheLowestAndTheHighestNumberIsNeverLowered) {
    EXPECT_EQ(module.HighestSlot(), 0);
    auto a = started(10);
    auto b = started(20);
    auto c = started(30);
    EXPECT_EQ(module.TimerSlots(1), a);
    EXPECT_EQ(module.TimerSlots(2), b);
    EXPECT_EQ(module.TimerSlots(3), c);
    EXPECT_EQ(module.HighestSlot(), 3);

    b->setInterval(0);
    EXPECT_EQ(module.TimerSlots(2), nullptr);
    c->setInterval(0);
    EXPECT_EQ(module.HighestSlot(), 3);

    // The lowest empty slot is taken again; a restarted timer takes the lowest one too.
    auto d = started(40);
    EXPECT_EQ(module.TimerSlots(2), d);
    a->setInterval(15);
    EXPECT_EQ(module.TimerSlots(1), a);
    EXPECT_EQ(module.TimerSlots(3), nullptr);
    EXPECT_EQ(module.HighestSlot(), 3);
}

TEST_F(CTimerTest, ARunningTimerLivesInItsSlotUntilItIsStopped) {
    std::weak_ptr<CTimer> watch;
    int ticks = 0;
    {
        auto timer = started(3000);
        watch = timer;
        // The handler stops its own timer on the first tick, as the welcome window does.
        timer->ThatTime = [&ticks, weak = std::weak_ptr<CTimer>(timer)] {
            ++ticks;
            weak.lock()->setInterval(0);
        };
    }
    ASSERT_FALSE(watch.expired());
    const std::int32_t id = watch.lock()->TimerId();
    service.tick(id);
    service.tick(id);
    EXPECT_EQ(ticks, 1);
    EXPECT_TRUE(watch.expired());
    EXPECT_TRUE(service.running.empty());
}

TEST_F(CTimerTest, RefusedSystemTimerRaises13652AndLeavesTheTimerStopped) {
    service.refuse = true;
    auto timer = CTimer::create(module);
    try {
        timer->setInterval(3000);
        FAIL() << "no error raised";
    } catch (const TimerError& e) {
        EXPECT_EQ(e.code, 13652);
        EXPECT_EQ(static_cast<std::uint32_t>(e.number), 0x80040000u + 13652u);
        EXPECT_EQ(e.source, "Quorlaunch.WindowProc");
        EXPECT_EQ(e.description, "Can't   create   system   timer");
    }
    EXPECT_EQ(timer->Interval(), 0);
    EXPECT_EQ(timer->TimerId(), 0);
    EXPECT_EQ(module.HighestSlot(), 0);

    // Once the service agrees again, the same value starts the timer.
    service.refuse = false;
    timer->setInterval(3000);
    EXPECT_EQ(module.TimerSlots(1), timer);
}

TEST_F(CTimerTest, AHundredAndFirstTimerRaises13651AndDoesNotRun) {
    std::vector<std::shared_ptr<CTimer>> timers;
    for (int i = 0; i < Module1::kSlotCount; ++i) timers.push_back(started(1000 + i));
    EXPECT_EQ(module.HighestSlot(), 100);

    auto extra = CTimer::create(module);
    try {
        extra->setInterval(50);
        FAIL() << "no error raised";
    } catch (const TimerError& e) {
        EXPECT_EQ(e.code, 13651);
        EXPECT_EQ(static_cast<std::uint32_t>(e.number), 0x80040000u + 13651u);
        EXPECT_EQ(e.source, "Quorlaunch.WindowProc");
        EXPECT_EQ(e.description, "No   more   than   10   timers   allowed   per   class");
    }
    EXPECT_EQ(service.running.size(), 100u);
    EXPECT_EQ(extra->Interval(), 0);

    // A freed slot takes the next timer.
    timers[41]->setInterval(0);
    extra->setInterval(50);
    EXPECT_EQ(module.TimerSlots(42), extra);
}

TEST(Module1, StopsEveryRunningTimerWhenItEnds) {
    FakeTimerService service;
    std::weak_ptr<CTimer> watch;
    {
        Module1 module(service, "Quorlaunch");
        auto timer = CTimer::create(module);
        timer->setInterval(100);
        watch = timer;
    }
    EXPECT_TRUE(service.running.empty());
    EXPECT_TRUE(watch.expired());
}
