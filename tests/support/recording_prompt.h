#pragma once

#include "base/user_prompt.h"

#include <deque>
#include <string>
#include <vector>

namespace qx::test {

// Answers message boxes from a queue (OK, or the first offered button, when it runs dry) and
// records every question.
class RecordingPrompt : public UserPrompt {
public:
    struct Asked {
        std::string text;
        std::string caption;
        PromptIcon icon;
        PromptButtons buttons;
        std::string details = {};
        std::vector<std::string> choices = {}; // the button captions of choose
    };

    PromptAnswer ask(const std::string& text, const std::string& caption, PromptIcon icon,
                     PromptButtons buttons) override {
        return askWithDetails(text, {}, caption, icon, buttons);
    }

    PromptAnswer askWithDetails(const std::string& text, const std::string& details,
                                const std::string& caption, PromptIcon icon,
                                PromptButtons buttons) override {
        asked.push_back({text, caption, icon, buttons, details});
        if (!answers.empty()) {
            const PromptAnswer a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == PromptButtons::YesNo || buttons == PromptButtons::YesNoCancel
                   ? PromptAnswer::Yes
                   : PromptAnswer::Ok;
    }

    // Answered from the queue too; when it runs dry, with the first choice.
    PromptAnswer choose(const std::string& text, const std::string& caption, PromptIcon icon,
                        const std::vector<PromptChoice>& offered) override {
        Asked question{text, caption, icon, PromptButtons::OkCancel};
        for (const PromptChoice& c : offered) {
            question.choices.push_back(c.label);
        }
        asked.push_back(std::move(question));
        if (!answers.empty()) {
            const PromptAnswer a = answers.front();
            answers.pop_front();
            return a;
        }
        return offered.empty() ? PromptAnswer::Cancel : offered.front().answer;
    }

    std::deque<PromptAnswer> answers;
    std::vector<Asked> asked;
};

} // namespace qx::test
