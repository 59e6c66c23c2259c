#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace qx {

// SIGTERM and SIGINT become an ordinary close on the event loop, so the settings are saved as
// after a close by the user. A signal that arrives before the loop runs waits for it.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(std::function<void()> onSignal, QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    void setHandler(std::function<void()> onSignal) { m_onSignal = std::move(onSignal); }

private:
    void onReadable();

    std::function<void()> m_onSignal;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace qx
