#pragma once

#include "clonefile/file_error.h"
#include "radio/value_format.h"

#include <string>
#include <string_view>

namespace qx {

class TextLines;
class cmcEeprom;

// The received-call log of an image as a comma-separated text file: a header line, then one
// line per call in the order the received-call sheet shows them.
class ReceivedCallExport {
public:
    ReceivedCallExport(const cmcEeprom& image, TextLines& text) : m_image(image), m_text(text) {}

    // The file's separator for the system's list separator: "," or ";" as the system has it,
    // otherwise ",".
    static char separatorFor(std::string_view systemListSeparator);

    // The whole file, lines ended by CR LF. Dates and times appear as the received-call sheet
    // shows them in the given order.
    std::string csv(char separator, DateOrder order) const;

    // Writes the file. The target is replaced only once every byte is written, so a failed
    // export never leaves a cut file (FileAccess) and never damages the file it would replace.
    FileErrorCode write(const std::string& path, char separator, DateOrder order) const;

private:
    const cmcEeprom& m_image;
    TextLines& m_text;
};

} // namespace qx
