#pragma once

#include "clonefile/file_error.h"
#include "radio/eeprom.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <system_error>
#include <vector>

namespace qx {

// One image kept in the backups folder.
struct RadioBackup {
    std::string path;
    std::string date;           // "2026-12-11 16:49:23", local time of the read
    std::int64_t sortKey = 0;   // seconds since the epoch, for the order
    std::int64_t writtenNs = 0; // the file's time, for reads within one second
    std::string comment;
    std::string destination;
    std::uint64_t size = 0; // bytes of the file
};

// The images read from transceivers, each kept as a clone file exactly as it was received.
// A file is never replaced and never removed here: the folder only grows.
class RadioBackups {
public:
    explicit RadioBackups(std::string folder) : m_folder(std::move(folder)) {}
    const std::string& folder() const { return m_folder; }

    struct Stored {
        FileErrorCode code = FileErrorCode::Ok;
        std::error_code reason;
        std::string path;
    };
    // Keeps `image` (its transceiver part) as a new file named after the time, the destination
    // and the clone comment.
    Stored store(const cmcEeprom& image, const std::string& destination, std::time_t when) const;

    // The backups, newest first; files that are no clone file are left out.
    std::vector<RadioBackup> list() const;

    // "2026-12-11 16.49.23 USA_0000 My radio.icf"; a count above 1 goes before the extension.
    static std::string fileName(std::time_t when, const std::string& destination,
                                const std::string& comment, int count);
    // The text with every character a file name cannot hold replaced by '_'.
    static std::string safeName(const std::string& text);

private:
    std::string m_folder;
};

} // namespace qx
