#include "termination_signals.h"

#include <QSocketNotifier>

#include <utility>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace qx {

#ifdef Q_OS_UNIX
namespace {

int g_pipe[2] = {-1, -1};

// Only async-signal-safe work here: one byte into the pipe.
extern "C" void onTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
}

} // namespace
#endif

TerminationSignals::TerminationSignals(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), m_onSignal(std::move(onSignal)) {
#ifdef Q_OS_UNIX
    if (::pipe(g_pipe) != 0) {
        return;
    }
    for (const int fd : g_pipe) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, O_NONBLOCK);
    }
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::onReadable);
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
#endif
}

TerminationSignals::~TerminationSignals() {
#ifdef Q_OS_UNIX
    if (m_notifier == nullptr) {
        return;
    }
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    delete m_notifier;
    m_notifier = nullptr;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
#endif
}

void TerminationSignals::onReadable() {
#ifdef Q_OS_UNIX
    char buffer[16];
    while (::read(g_pipe[0], buffer, sizeof buffer) > 0) {
    }
#endif
    if (m_onSignal) {
        m_onSignal();
    }
}

} // namespace qx
