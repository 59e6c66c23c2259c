#pragma once

#include <string>
#include <vector>

namespace qx {

enum class PromptIcon { None, Information, Warning, Error, Question, Stop };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No, Overwrite, SaveAs };

// A button of a question that the standard buttons do not answer: what it stands for and its
// caption from the text table ('&' marks the access key).
struct PromptChoice {
    PromptAnswer answer;
    std::string label;
};

// Message boxes. Texts are byte strings in the code page of the active text table; the
// implementation converts them for display.
class UserPrompt {
public:
    virtual ~UserPrompt() = default;
    virtual PromptAnswer ask(const std::string& text, const std::string& caption, PromptIcon icon,
                             PromptButtons buttons) = 0;
    // A message whose long part (a report line by line) the user may open on request; without
    // such a place it follows the text.
    virtual PromptAnswer askWithDetails(const std::string& text, const std::string& details,
                                        const std::string& caption, PromptIcon icon,
                                        PromptButtons buttons) {
        return ask(details.empty() ? text : text + "\n\n" + details, caption, icon, buttons);
    }
    // A question with a button for each choice, in order: the first is the default, closing
    // the box gives the last. Where buttons cannot be named, OK gives the first choice and
    // Cancel the last.
    virtual PromptAnswer choose(const std::string& text, const std::string& caption,
                                PromptIcon icon, const std::vector<PromptChoice>& choices) {
        if (choices.empty()) {
            return PromptAnswer::Cancel;
        }
        return ask(text, caption, icon, PromptButtons::OkCancel) == PromptAnswer::Ok
                   ? choices.front().answer
                   : choices.back().answer;
    }
};

} // namespace qx
