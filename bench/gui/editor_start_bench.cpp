// The editor's start as a user waits for it: from the settings record to a shown main window
// whose first sheet is built. The application object exists already (the process start of Qt
// itself is not measured).
#include "editor_session.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

void BM_EditorStartToFirstSheet(benchmark::State& state) {
    std::set<std::string> taken;
    qx::test::MemorySettingsStore store;
    qx::test::storeFinishedSetup(store, taken);
    for (auto _ : state) {
        qx::test::EditorSession session(store, taken);
        while (session.window.sheetWidget() == nullptr || !session.window.isVisible()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        QCoreApplication::processEvents();
        state.PauseTiming();
        session.window.close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EditorStartToFirstSheet)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
