#pragma once

#include <cstddef>

namespace qx {

// A built-in text table as the build embedded it: its lines, without line ends.
struct TextSource {
    const char* const* lines;
    std::size_t count;
};

extern const TextSource kTextTable_en;
extern const TextSource kTextTable_ja;
extern const TextSource kTextTable_help;

} // namespace qx
