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

private:
    std::uint64_t elapsedMs() const;

    std::chrono::steady_clock::time_point m_epoch;
};

} // namespace qx
