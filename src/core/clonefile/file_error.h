#pragma once

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

} // namespace qx
