#pragma once

#include "base/task.h"

#include <functional>
#include <string>
#include <vector>

namespace qx {

class PageSink;
class cmcPrintJob;

// A print-all job in the background: the print task prints one sheet of the list per tick,
// starting the printer's job before the first and ending it after the last, aborted or not.
class cmcPrintAllRun {
public:
    static constexpr int kTickMs = 50;

    struct Hooks {
        std::function<void()> beginJob;
        std::function<void()> endJob; // also enables the main window and closes the dialog
    };
    cmcPrintAllRun(Scheduler& scheduler, cmcPrintJob& job, PageSink& sink);

    void start(std::vector<std::string> callStrings, Hooks hooks);
    bool running() const { return !m_calls.empty(); }
    // Sheets printed so far.
    std::size_t done() const { return m_next; }

private:
    void tick();

    TaskHolder m_task;
    cmcPrintJob& m_job;
    PageSink& m_sink;
    std::vector<std::string> m_calls;
    std::size_t m_next = 0;
    Hooks m_hooks;
};

} // namespace qx
