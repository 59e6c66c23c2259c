#pragma once

#include "base/timer_queue.h"

#include <cstdint>

namespace qx::test {

// Time moves only when the test says so.
class ManualScheduler : public TimerQueue {
public:
    explicit ManualScheduler(std::uint64_t startMs = 0) : TimerQueue(startMs) {}
    void advance(std::uint64_t ms) { advanceTo(now() + ms); }
};

} // namespace qx::test
