#pragma once

#include "radio/eeprom.h"

#include <optional>
#include <string>

namespace qx {

// The copy of a document with unsaved changes that survives a crash: the image as a clone file
// and, beside it, the path of the file the document belongs to (empty when untitled).
class RecoveryCopy {
public:
    explicit RecoveryCopy(std::string folder) : m_folder(std::move(folder)) {}

    bool available() const { return !m_folder.empty(); }
    std::string imagePath() const;
    // Puts the image and the document's path in place, each with a safe replacement.
    bool write(const cmcEeprom& image, const std::string& documentPath);
    // Whether a copy is there, and the path of the document it belongs to.
    std::optional<std::string> find() const;
    void remove();

private:
    std::string pathFile() const;
    std::string m_folder;
};

} // namespace qx
