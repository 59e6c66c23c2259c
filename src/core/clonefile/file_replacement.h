#pragma once

#include "clonefile/file_error.h"

#include <string>
#include <string_view>

namespace qx {

// Puts `contents` under `path` in one step: the bytes go into a new file beside the target
// first, and only a completely written and closed file takes the target's name. FileOpen when
// the target cannot be written at all, FileAccess when writing failed; in both cases the
// target is as it was and no temporary file is left.
FileErrorCode replaceFileContents(const std::string& path, std::string_view contents);

} // namespace qx
