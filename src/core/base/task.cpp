#include "base/task.h"

#include <utility>

namespace qx {

cmcTask* cmcTask::create(Scheduler& scheduler) {
    return new cmcTask(scheduler);
}

cmcTask::cmcTask(Scheduler& scheduler) : m_timer(scheduler.createTimer([this] { onTimer(); })) {}

cmcTask::~cmcTask() = default;

void cmcTask::setCallback(Callback callback) {
    m_callback = std::move(callback);
}

void cmcTask::schedule(int ms) {
    m_interval = ms;
    if (ms < 0) {
        m_timer->stop();
        m_idle = true;
        return;
    }
    m_timer->start(ms == 0 ? 1 : ms);
    m_idle = false;
}

void cmcTask::detach() {
    m_callback = nullptr;
    schedule(-1);
}

void cmcTask::release() {
    if (m_busy) {
        // Released from inside our own callback: die on the next tick instead. Outside the
        // callback no timer event can be under way, and dying at once leaves nothing behind
        // when the scheduler goes first.
        m_callback = nullptr;
        m_releasePending = true;
        schedule(1);
        return;
    }
    delete this;
}

void cmcTask::onTimer() {
    if (m_releasePending) {
        delete this;
        return;
    }
    if (m_callback && !m_busy) {
        m_busy = true;
        // A copy keeps the callable alive if the callback replaces itself.
        Callback callback = m_callback;
        callback(*this);
        m_busy = false;
    }
}

} // namespace qx
