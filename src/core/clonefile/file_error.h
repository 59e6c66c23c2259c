#pragma once

#include <string>
#include <system_error>

namespace qx {

// Results of reading and writing clone files. The numbers are shown to nobody, but they are
// the index the user interface turns into a text, so they never change.
enum class FileErrorCode : int {
    Ok = 0,
    FileOpen = 1,   // cannot open the file
    FileAccess = 2, // a read or write failed after opening
    Model = 3,      // another model's file
    Extra = 4,      // another model sub-code
    MapRev = 5,     // kept for the table; no check produces it
    Format = 6,     // header or record syntax
    Coverage = 7,   // the transceiver range is not completely covered
    Data = 8,       // data outside the image or the transceiver range, wrong map format tag
    Newer = 9,      // kept for the table; no check produces it
};

// The text table key of a code's message; nullptr for Ok.
const char* fileErrorKey(FileErrorCode code);

// Reasons of our own for refusing a path, beside the system's errno values.
enum class FileReason : int {
    NotRegularFile = 1, // a device, a pipe or a socket where a file belongs
    TooLarge = 2,       // more input than any clone file holds
};
const std::error_category& fileReasonCategory();
inline std::error_code make_error_code(FileReason reason) {
    return {static_cast<int>(reason), fileReasonCategory()};
}

// What a failed read or write knows beyond its code, for messages that name the cause: the
// system's reason (empty when there is none) and the line of the file at fault (0: none).
struct FileErrorDetail {
    std::error_code reason;
    int line = 0;
};

} // namespace qx

template <> struct std::is_error_code_enum<qx::FileReason> : std::true_type {};
