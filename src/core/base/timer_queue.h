#pragma once

#include "base/scheduler.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

namespace qx {

// A Scheduler and Clock that keeps its timers in a queue and fires them when told that time
// has moved. The loop scheduler moves time with the real clock, tests move it by hand.
class TimerQueue : public Scheduler, public Clock {
public:
    explicit TimerQueue(std::uint64_t startMs = 0) : m_now(startMs) {}
    ~TimerQueue() override;
    TimerQueue(const TimerQueue&) = delete;
    TimerQueue& operator=(const TimerQueue&) = delete;

    std::unique_ptr<TimerHandle> createTimer(std::function<void()> onTimeout) override;
    std::uint32_t tickCount() const override { return static_cast<std::uint32_t>(m_now); }
    // Time kept by the queue: a pause moves it on without firing timers, so the ones that fell
    // due meanwhile fire once when time is next advanced.
    std::uint64_t microseconds() const override { return m_now * 1000 + m_subMillisecond; }
    void pause(std::uint64_t us) override {
        const std::uint64_t until = microseconds() + us;
        setNow(until / 1000);
        m_subMillisecond = until % 1000;
    }

    // Milliseconds since the queue's epoch (never wraps).
    std::uint64_t now() const { return m_now; }
    // Due time of the earliest running timer, if any.
    bool nextDue(std::uint64_t& due) const;
    // Moves time forward to `until`, firing every timer that falls due on the way, in due order.
    void advanceTo(std::uint64_t until);
    // Number of timers currently running.
    int activeTimers() const;

protected:
    // Moves the clock without firing anything; overdue timers then fire once, not once per
    // missed period.
    void setNow(std::uint64_t t) {
        if (t > m_now) {
            m_now = t;
        }
    }

private:
    class Handle;
    struct Entry {
        std::function<void()> onTimeout;
        int interval = 0;
        bool running = false;
        std::uint64_t due = 0;
        std::uint64_t order = 0; // start order breaks ties between equal due times
        bool alive = true;
    };
    friend class Handle;

    std::map<std::uint64_t, Entry> m_entries;
    std::uint64_t m_nextId = 1;
    std::uint64_t m_nextOrder = 1;
    std::uint64_t m_now;
    std::uint64_t m_subMillisecond = 0; // microseconds past m_now, moved only by a pause
};

} // namespace qx
