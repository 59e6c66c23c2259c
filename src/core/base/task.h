#pragma once

#include "base/scheduler.h"

#include <functional>
#include <memory>

namespace qx {

// A re-schedulable timer task of the single thread. Owners never delete a task: they release
// it, and a task released while its timer runs deletes itself on its next tick, so an owner
// may be destroyed from inside the task's own callback.
class cmcTask {
public:
    using Callback = std::function<void(cmcTask&)>;

    static cmcTask* create(Scheduler& scheduler);

    cmcTask(const cmcTask&) = delete;
    cmcTask& operator=(const cmcTask&) = delete;

    void setCallback(Callback callback);
    // ms < 0 stops the timer; otherwise runs it every ms (0 counts as 1).
    void schedule(int ms);
    // Clears the callback and stops the timer.
    void detach();
    void release();

    int interval() const { return m_interval; }
    bool idle() const { return m_idle; }
    bool busy() const { return m_busy; }

private:
    explicit cmcTask(Scheduler& scheduler);
    ~cmcTask();
    void onTimer();

    std::unique_ptr<TimerHandle> m_timer;
    Callback m_callback;
    int m_interval = -1;
    bool m_busy = false;
    bool m_releasePending = false;
    bool m_idle = true;
};

// Owning handle for a task: releases it when it goes out of scope.
class TaskHolder {
public:
    TaskHolder() = default;
    explicit TaskHolder(Scheduler& scheduler) : m_task(cmcTask::create(scheduler)) {}
    ~TaskHolder() { reset(); }
    TaskHolder(const TaskHolder&) = delete;
    TaskHolder& operator=(const TaskHolder&) = delete;
    TaskHolder(TaskHolder&& other) noexcept : m_task(other.m_task) { other.m_task = nullptr; }
    TaskHolder& operator=(TaskHolder&& other) noexcept {
        if (this != &other) {
            reset();
            m_task = other.m_task;
            other.m_task = nullptr;
        }
        return *this;
    }
    void reset() {
        if (m_task != nullptr) {
            m_task->release();
            m_task = nullptr;
        }
    }
    cmcTask* get() const { return m_task; }
    cmcTask* operator->() const { return m_task; }
    explicit operator bool() const { return m_task != nullptr; }

private:
    cmcTask* m_task = nullptr;
};

} // namespace qx
