#include "base/timer_queue.h"

#include <utility>

namespace qx {

class TimerQueue::Handle : public TimerHandle {
public:
    Handle(TimerQueue* queue, std::uint64_t id) : m_queue(queue), m_id(id) {}
    ~Handle() override {
        if (m_queue != nullptr) {
            m_queue->m_entries.erase(m_id);
        }
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    void start(int intervalMs) override {
        auto it = m_queue->m_entries.find(m_id);
        if (it == m_queue->m_entries.end()) {
            return;
        }
        Entry& e = it->second;
        e.interval = intervalMs < 1 ? 1 : intervalMs;
        e.running = true;
        e.due = m_queue->m_now + static_cast<std::uint64_t>(e.interval);
        e.order = m_queue->m_nextOrder++;
    }
    void stop() override {
        auto it = m_queue->m_entries.find(m_id);
        if (it != m_queue->m_entries.end()) {
            it->second.running = false;
        }
    }

private:
    TimerQueue* m_queue;
    std::uint64_t m_id;
};

TimerQueue::~TimerQueue() = default;

std::unique_ptr<TimerHandle> TimerQueue::createTimer(std::function<void()> onTimeout) {
    const std::uint64_t id = m_nextId++;
    m_entries[id].onTimeout = std::move(onTimeout);
    return std::make_unique<Handle>(this, id);
}

bool TimerQueue::nextDue(std::uint64_t& due) const {
    bool found = false;
    for (const auto& [id, e] : m_entries) {
        if (e.running && (!found || e.due < due)) {
            due = e.due;
            found = true;
        }
    }
    return found;
}

int TimerQueue::activeTimers() const {
    int n = 0;
    for (const auto& [id, e] : m_entries) {
        n += e.running ? 1 : 0;
    }
    return n;
}

void TimerQueue::advanceTo(std::uint64_t until) {
    for (;;) {
        std::uint64_t bestId = 0;
        const Entry* best = nullptr;
        for (const auto& [id, e] : m_entries) {
            if (e.running && e.due <= until &&
                (best == nullptr || e.due < best->due ||
                 (e.due == best->due && e.order < best->order))) {
                best = &e;
                bestId = id;
            }
        }
        if (best == nullptr) {
            break;
        }
        if (best->due > m_now) {
            m_now = best->due;
        }
        Entry& e = m_entries[bestId];
        e.due = m_now + static_cast<std::uint64_t>(e.interval);
        e.order = m_nextOrder++;
        // Copy: the callback may destroy its own timer.
        auto callback = e.onTimeout;
        if (callback) {
            callback();
        }
    }
    if (until > m_now) {
        m_now = until;
    }
}

} // namespace qx
