#pragma once

#include "base/file_dialog.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace qx::test {

// Answers file dialogs from a queue (cancel when it runs dry) and records what was asked.
class ScriptedFileDialog : public FileDialog {
public:
    struct Asked {
        bool save;
        FileDialogRequest request;
    };

    std::optional<std::string> askOpen(const FileDialogRequest& request) override {
        return answer(false, request);
    }
    std::optional<std::string> askSave(const FileDialogRequest& request) override {
        return answer(true, request);
    }

    std::deque<std::optional<std::string>> answers;
    std::vector<Asked> asked;

private:
    std::optional<std::string> answer(bool save, const FileDialogRequest& request) {
        asked.push_back({save, request});
        if (answers.empty()) {
            return std::nullopt;
        }
        auto a = answers.front();
        answers.pop_front();
        return a;
    }
};

} // namespace qx::test
