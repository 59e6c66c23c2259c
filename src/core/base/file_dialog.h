#pragma once

#include <optional>
#include <string>

namespace qx {

// What a file dialog starts with. Texts are byte strings in the code page of the active text
// table; paths are the platform's own.
struct FileDialogRequest {
    std::string defaultExtension; // added when the typed name has none, e.g. "icf"
    // Pairs of label and pattern separated by '|': "Data files (*.icf)|*.icf|All files (*.*)|*.*"
    std::string filter;
    std::string fileName; // proposed name, may be empty
    std::string folder;   // where the dialog starts
};

// The standard file dialogs. An empty answer means the user cancelled.
class FileDialog {
public:
    virtual ~FileDialog() = default;
    // Only an existing file can be chosen; there is no read-only check box.
    virtual std::optional<std::string> askOpen(const FileDialogRequest& request) = 0;
    // Asks before overwriting, refuses read-only files; there is no read-only check box.
    virtual std::optional<std::string> askSave(const FileDialogRequest& request) = 0;
};

} // namespace qx
