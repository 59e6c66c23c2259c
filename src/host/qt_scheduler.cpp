#include "qt_scheduler.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <thread>
#include <utility>

namespace qx {

namespace {

class QtTimerHandle : public TimerHandle {
public:
    explicit QtTimerHandle(std::function<void()> onTimeout) : m_timer(new QTimer) {
        m_timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(m_timer, &QTimer::timeout, m_timer,
                         [callback = std::move(onTimeout)] { callback(); });
    }
    ~QtTimerHandle() override {
        // We may be inside the timer's own timeout signal: let the event loop delete it.
        m_timer->stop();
        m_timer->disconnect();
        m_timer->deleteLater();
    }
    QtTimerHandle(const QtTimerHandle&) = delete;
    QtTimerHandle& operator=(const QtTimerHandle&) = delete;

    void start(int intervalMs) override { m_timer->start(intervalMs < 1 ? 1 : intervalMs); }
    void stop() override { m_timer->stop(); }

private:
    QTimer* m_timer;
};

} // namespace

std::unique_ptr<TimerHandle> QtScheduler::createTimer(std::function<void()> onTimeout) {
    return std::make_unique<QtTimerHandle>(std::move(onTimeout));
}

std::uint32_t QtScheduler::tickCount() const {
    return static_cast<std::uint32_t>(QDeadlineTimer::current().deadline());
}

std::uint64_t QtScheduler::microseconds() const {
    const auto t = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(t).count());
}

void QtScheduler::pause(std::uint64_t us) {
    std::this_thread::sleep_for(std::chrono::microseconds(us));
}

} // namespace qx
