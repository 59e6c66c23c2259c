#include "output/print_all_run.h"

#include "output/print_job.h"

namespace qx {

cmcPrintAllRun::cmcPrintAllRun(Scheduler& scheduler, cmcPrintJob& job, PageSink& sink)
    : m_task(scheduler), m_job(job), m_sink(sink) {
    m_task->setCallback([this](cmcTask&) { tick(); });
}

void cmcPrintAllRun::start(std::vector<std::string> callStrings, Hooks hooks) {
    m_calls = std::move(callStrings);
    m_next = 0;
    m_hooks = std::move(hooks);
    m_job.restart();
    m_task->schedule(kTickMs);
}

void cmcPrintAllRun::tick() {
    if (m_calls.empty()) {
        m_task->schedule(-1);
        return;
    }
    if (m_next == 0 && m_hooks.beginJob) {
        m_hooks.beginJob();
    }
    if (m_next < m_calls.size()) {
        m_job.printSheet(m_calls[m_next], &m_sink, true);
        ++m_next;
    }
    if (m_next >= m_calls.size()) {
        m_task->schedule(-1);
        m_calls.clear();
        // The hook may destroy this run.
        const auto end = std::move(m_hooks.endJob);
        if (end) {
            end();
        }
    }
}

} // namespace qx
