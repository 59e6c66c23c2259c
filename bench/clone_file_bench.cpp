// Opening and saving a clone file as the File menu does: reading with every check, the
// correction pass and the bank link table for Open; the correction pass, writing and replacing
// the file for Save.
#include "app/document.h"
#include "app/recent_files.h"
#include "base/file_dialog.h"
#include "base/user_prompt.h"
#include "text/text_table.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

namespace qx {
namespace {

class SilentPrompt : public UserPrompt {
public:
    PromptAnswer ask(const std::string&, const std::string&, PromptIcon, PromptButtons) override {
        ++count;
        return PromptAnswer::No;
    }
    int count = 0;
};

class NoDialog : public FileDialog {
public:
    std::optional<std::string> askOpen(const FileDialogRequest&) override { return {}; }
    std::optional<std::string> askSave(const FileDialogRequest&) override { return {}; }
};

struct Bench {
    Bench()
        : folder(std::filesystem::temp_directory_path() /
                 ("qx5130-bench-" + std::to_string(std::random_device{}()))) {
        std::filesystem::create_directories(folder);
        directory = folder.string();
        texts.attachSource(kTextTable_en);
        document.images().setDestination(0);
        path = (folder / "bench.icf").string();
    }
    ~Bench() { std::filesystem::remove_all(folder); }

    std::filesystem::path folder;
    std::string directory;
    std::string path;
    cmcGTex texts;
    SilentPrompt prompt;
    NoDialog dialog;
    cmcRecent recent;
    indDocument document{texts, prompt, dialog, nullptr, recent, directory, 0};
};

void BM_OpenCloneFile(benchmark::State& state) {
    Bench b;
    if (!b.document.saveFile(b.path)) {
        state.SkipWithError("cannot write the clone file");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(b.document.openFile(b.path));
    }
    if (b.prompt.count != 0) {
        state.SkipWithError("open reported an error");
    }
}
BENCHMARK(BM_OpenCloneFile)->Unit(benchmark::kMillisecond);

void BM_SaveCloneFile(benchmark::State& state) {
    Bench b;
    for (auto _ : state) {
        benchmark::DoNotOptimize(b.document.saveFile(b.path));
    }
    if (b.prompt.count != 0) {
        state.SkipWithError("save reported an error");
    }
}
BENCHMARK(BM_SaveCloneFile)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace qx
