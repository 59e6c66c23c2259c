#pragma once

#include "clonefile/file_error.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <system_error>

namespace qx {

// The files of the system's file system as clone files and exports need them. This is the one
// unit that speaks to the operating system about files: another platform replaces it alone.

// One state of a file, to tell whether someone changed it since: the file a name leads to
// (device and inode), when it was last written and its size.
struct FileStamp {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t modifiedNs = 0;
    std::uint64_t size = 0;
    bool operator==(const FileStamp&) const = default;
};

// The file `path` leads to now; exists is false when there is none.
FileStamp fileStamp(const std::string& path);
// The file an open stream reads.
FileStamp fileStamp(std::FILE* file);

// Puts `contents` under `path` in one step: the bytes go into a new file in the target's
// folder first, and only a completely written file that reached the disk takes the target's
// name, with the owner, group and mode of the file it replaces. A symbolic link is followed,
// dangling or not; a target that is not a regular file is refused. FileOpen when the target
// cannot be written at all, FileAccess when writing failed; in both cases the target is as it
// was and no temporary file is left. `reason` tells the system's cause of a failure; `written`,
// if given, gets the stamp of the file put in place.
FileErrorCode replaceFileContents(const std::string& path, std::string_view contents,
                                  std::error_code& reason, FileStamp* written = nullptr);
FileErrorCode replaceFileContents(const std::string& path, std::string_view contents);

// Puts `contents` under `path` as a new file, as safely as replaceFileContents, but never in
// place of a file already there: FileOpen with EEXIST then. The folder is created first when
// it is missing.
FileErrorCode createNewFile(const std::string& path, std::string_view contents,
                            std::error_code& reason);

// Whether replaceFileContents could put a file under `path` now, without changing anything:
// Ok, or FileOpen with the reason.
FileErrorCode checkReplaceable(const std::string& path, std::error_code& reason);

// Opens a file for reading; only a regular file is taken (a folder, a device or a pipe that
// nobody writes to is no clone file, and reading it could block forever). Null on failure,
// with the reason.
std::FILE* openRegularFile(const std::string& path, std::error_code& reason);

} // namespace qx
