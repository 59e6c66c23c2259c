#include "stderr_prompt.h"

#include "table_output.h"

namespace qx::cli {

void StderrPrompt::print(const std::string& text) const {
    printInCodePage(stderr, m_codePage, text);
}

PromptAnswer StderrPrompt::ask(const std::string& text, const std::string& /*caption*/,
                               PromptIcon icon, PromptButtons buttons) {
    print(text);
    m_error = m_error || icon == PromptIcon::Error;
    switch (buttons) {
    case PromptButtons::Ok:
        return PromptAnswer::Ok;
    case PromptButtons::OkCancel:
        m_refused = !m_yes;
        return m_yes ? PromptAnswer::Ok : PromptAnswer::Cancel;
    case PromptButtons::YesNo:
        m_refused = !m_yes;
        return m_yes ? PromptAnswer::Yes : PromptAnswer::No;
    case PromptButtons::YesNoCancel:
        m_refused = !m_yes;
        return m_yes ? PromptAnswer::Yes : PromptAnswer::Cancel;
    }
    return PromptAnswer::Cancel;
}

} // namespace qx::cli
