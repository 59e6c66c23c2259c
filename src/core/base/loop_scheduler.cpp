#include "base/loop_scheduler.h"

#include <thread>

namespace qx {

LoopScheduler::LoopScheduler() : m_epoch(std::chrono::steady_clock::now()) {}

std::uint64_t LoopScheduler::elapsedMs() const {
    const auto d = std::chrono::steady_clock::now() - m_epoch;
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
}

std::uint64_t LoopScheduler::microseconds() const {
    const auto d = std::chrono::steady_clock::now() - m_epoch;
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(d).count());
}

void LoopScheduler::pause(std::uint64_t us) {
    std::this_thread::sleep_for(std::chrono::microseconds(us));
}

void LoopScheduler::runUntil(const std::function<bool()>& done) {
    while (!done()) {
        std::uint64_t due = 0;
        if (!nextDue(due)) {
            return;
        }
        const std::uint64_t current = elapsedMs();
        if (due > current) {
            std::this_thread::sleep_for(std::chrono::milliseconds(due - current));
        }
        setNow(elapsedMs());
        advanceTo(now());
    }
}

} // namespace qx
