#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace qx {

// The system's millisecond tick count; it wraps after 49.7 days.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::uint32_t tickCount() const = 0;
    // A finer count on a time line of its own, for pacing bytes on a serial line.
    virtual std::uint64_t microseconds() const = 0;
    // Blocks the thread, as a serial write does while its bytes go out; no timer fires
    // meanwhile.
    virtual void pause(std::uint64_t us) = 0;
};

// One periodic timer of the single thread. Destroying it from inside its own callback is allowed.
class TimerHandle {
public:
    virtual ~TimerHandle() = default;
    virtual void start(int intervalMs) = 0; // (re)starts the period from now
    virtual void stop() = 0;
};

class Scheduler {
public:
    virtual ~Scheduler() = default;
    virtual std::unique_ptr<TimerHandle> createTimer(std::function<void()> onTimeout) = 0;
};

} // namespace qx
