#include "base/loop_scheduler.h"
#include "base/tick.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

namespace qx {
namespace {

TEST(LoopSchedulerTest, ACountdownStartedAfterABlockingCallbackCountsFromItsEnd) {
    LoopScheduler loop;
    cmcTick countdown(loop);
    int ticks = 0;
    std::uint32_t leftOnSecondTick = 0;
    auto timer = loop.createTimer([&] {
        if (++ticks == 1) {
            // A write that waited for the line, then the countdown restarts.
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            countdown.start(100);
        } else {
            leftOnSecondTick = countdown.remaining();
        }
    });
    timer->start(10);
    loop.runUntil([&] { return ticks >= 2; });
    EXPECT_GT(leftOnSecondTick, 50u);
}

} // namespace
} // namespace qx
