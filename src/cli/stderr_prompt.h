#pragma once

#include "base/user_prompt.h"

#include <string>

namespace qx::cli {

// Message boxes of the command line: the text goes to stderr, converted from the code page of
// the text table; a question takes its answer from the command line (--yes), never from a
// keyboard, so scripts cannot hang.
class StderrPrompt : public UserPrompt {
public:
    StderrPrompt(std::string codePage, bool yes) : m_codePage(std::move(codePage)), m_yes(yes) {}

    PromptAnswer ask(const std::string& text, const std::string& caption, PromptIcon icon,
                     PromptButtons buttons) override;

    // Prints a text of the table as it is printed for a box.
    void print(const std::string& text) const;

    // True when a question was answered with No or Cancel for lack of --yes.
    bool refusedQuestion() const { return m_refused; }
    // True once an error box was shown: what was asked for was refused.
    bool showedError() const { return m_error; }

private:
    std::string m_codePage;
    bool m_yes;
    bool m_refused = false;
    bool m_error = false;
};

} // namespace qx::cli
