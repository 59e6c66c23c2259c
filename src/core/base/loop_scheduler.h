#pragma once

#include "base/timer_queue.h"

#include <chrono>
#include <functional>

namespace qx {

// The command line's message loop: runs timers when they fall due on the real clock and sleeps
// until the next one.
class LoopScheduler : public TimerQueue {
public:
    LoopScheduler();

    // Runs until `done` answers true (checked after every timer) or no timer is left running.
    void runUntil(const std::function<bool()>& done);

    // The real clock, also while a timer's callback runs: a countdown started at the end of a
    // callback that blocked for a while must not count the blocked time as already gone.
    std::uint32_t tickCount() const override { return static_cast<std::uint32_t>(elapsedMs()); }
    std::uint64_t microseconds() const override;
    void pause(std::uint64_t us) override;

private:
    std::uint64_t elapsedMs() const;

    std::chrono::steady_clock::time_point m_epoch;
};

} // namespace qx
