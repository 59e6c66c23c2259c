#pragma once

#include "base/scheduler.h"

namespace qx {

// Timers of the Qt event loop: a QTimer per task.
class QtScheduler : public Scheduler, public Clock {
public:
    std::unique_ptr<TimerHandle> createTimer(std::function<void()> onTimeout) override;
    std::uint32_t tickCount() const override;
    std::uint64_t microseconds() const override;
    void pause(std::uint64_t us) override;
};

} // namespace qx
