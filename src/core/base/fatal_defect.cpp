#include "base/fatal_defect.h"

#include "base/user_prompt.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace qx {

namespace {
UserPrompt* g_prompt = nullptr;
std::string g_caption = "QX-5130";
} // namespace

void installDefectPrompt(UserPrompt* prompt, std::string caption) {
    g_prompt = prompt;
    g_caption = std::move(caption);
}

void fatalDefect(const std::string& text, int exitCode) {
    if (g_prompt != nullptr) {
        g_prompt->ask(text, g_caption, PromptIcon::Stop, PromptButtons::Ok);
    } else {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    std::fflush(nullptr);
    // Quick exit: no destructor may run, so nothing half-built gets saved.
    std::_Exit(exitCode);
}

} // namespace qx
