#include "base/task.h"
#include "base/tick.h"
#include "manual_scheduler.h"

#include <gtest/gtest.h>

namespace qx {
namespace {

TEST(TaskTest, RunsPeriodicallyAndReschedulesFromItsCallback) {
    test::ManualScheduler sched;
    TaskHolder task(sched);
    std::vector<std::uint64_t> calls;
    task->setCallback([&](cmcTask& t) {
        calls.push_back(sched.now());
        if (calls.size() == 2) {
            t.schedule(100); // takes effect for the next event
        }
    });
    task->schedule(10);
    EXPECT_FALSE(task->idle());
    sched.advance(230);
    EXPECT_EQ(calls, (std::vector<std::uint64_t>{10, 20, 120, 220}));
    task->schedule(-1);
    EXPECT_TRUE(task->idle());
    sched.advance(1000);
    EXPECT_EQ(calls.size(), 4u);
}

TEST(TaskTest, ZeroIntervalCountsAsOneMillisecond) {
    test::ManualScheduler sched;
    TaskHolder task(sched);
    int n = 0;
    task->setCallback([&](cmcTask&) { ++n; });
    task->schedule(0);
    sched.advance(5);
    EXPECT_EQ(n, 5);
}

TEST(TaskTest, ReleasedFromItsOwnCallbackDiesOnNextTickAndIsNeverCalledAgain) {
    test::ManualScheduler sched;
    struct Owner {
        explicit Owner(test::ManualScheduler& s) : task(s) {}
        TaskHolder task;
    };
    auto* owner = new Owner(sched);
    int calls = 0;
    owner->task->setCallback([&](cmcTask&) {
        ++calls;
        delete owner; // the owner goes away from inside the task's own callback
        owner = nullptr;
    });
    owner->task->schedule(10);
    sched.advance(10);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(sched.activeTimers(), 1); // still pending its own deletion
    sched.advance(50);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(sched.activeTimers(), 0);
}

TEST(TaskTest, ReleasingAStoppedTaskDeletesItAtOnce) {
    test::ManualScheduler sched;
    cmcTask* task = cmcTask::create(sched);
    task->setCallback([](cmcTask&) { FAIL() << "never scheduled"; });
    task->release();
    EXPECT_EQ(sched.activeTimers(), 0);
    sched.advance(100);
}

TEST(TaskTest, DetachStopsAndForgetsTheCallback) {
    test::ManualScheduler sched;
    TaskHolder task(sched);
    int n = 0;
    task->setCallback([&](cmcTask&) { ++n; });
    task->schedule(10);
    sched.advance(10);
    task->detach();
    task->schedule(10);
    sched.advance(100);
    EXPECT_EQ(n, 1);
}

TEST(TickTest, CountsDownAcrossTheTickCounterWrap) {
    // Start 100 ms before the 32-bit tick count wraps.
    test::ManualScheduler sched(0xFFFFFFFFull - 99);
    cmcTick tick(sched);
    EXPECT_EQ(tick.remaining(), 0u);
    tick.start(300);
    sched.advance(150); // tick count has wrapped to 50
    EXPECT_LT(sched.tickCount(), 100u);
    EXPECT_EQ(tick.remaining(), 150u);
    EXPECT_TRUE(tick.running());
    sched.advance(150);
    EXPECT_EQ(tick.remaining(), 0u);
    EXPECT_FALSE(tick.running());
}

} // namespace
} // namespace qx
