#pragma once

#include <string>

namespace qx {

enum class PromptIcon { None, Information, Warning, Error, Question, Stop };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

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
};

} // namespace qx
