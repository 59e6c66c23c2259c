#pragma once

#include "text/text_source.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

// The keyed text table: line n of the block named K. Blocks open with a "#KEY" header and end
// at the next line that starts with '#'. The key index is built lazily, one source line at a
// time, only as far as lookups need, so an early key never pays for the whole table.
// A missing key is a defect of the built-in data and ends the process.
class cmcGTex {
public:
    // Longest line a single read returns; longer lines are cut.
    static constexpr std::size_t kMaxLineChars = 8191;
    // Found entries further down the index than this move to its head.
    static constexpr std::size_t kMoveToFrontDepth = 10;

    cmcGTex() = default;
    cmcGTex(const cmcGTex&) = delete;
    cmcGTex& operator=(const cmcGTex&) = delete;

    // Attaches the line sequence once; a second source is refused, so the language chosen at
    // start stays fixed for the life of the process.
    bool attachSource(const TextSource& source);

    // Line n (0-based) of block key. Reading past the block's last line yields the lines that
    // follow it (the closing "#" or the next header, ...).
    std::string line(std::string_view key, std::int32_t n);
    std::string firstLine(std::string_view key) { return line(key, 0); }
    // The block's lines joined by line feeds, up to the first line that starts with '#' or the
    // end of the source.
    std::string blockText(std::string_view key);

    // Observers of the lazy index (for tests and diagnostics).
    std::size_t linesRead() const { return m_linesRead; }
    std::size_t indexedKeyCount() const { return m_index.size(); }
    bool indexComplete() const { return !m_indexIncomplete; }
    std::vector<std::string> indexOrder() const;

private:
    struct TextTableKey {
        std::string key;
        std::size_t blockStart;  // source position of line 0
        std::int32_t resumeLine; // block-relative number of the line after the last one read
        std::size_t resumePos;   // its source position
    };

    TextTableKey* find(std::string_view key);
    TextTableKey* scanStep();
    // The source line at pos, counted as one read; nullptr at the end of the source.
    const char* readAt(std::size_t pos);
    [[noreturn]] static void missing(std::string_view key);

    const TextSource* m_source = nullptr;
    std::size_t m_scanPos = 0;
    bool m_indexIncomplete = true;
    // A list keeps entry addresses stable while entries move to the front.
    std::list<TextTableKey> m_index;
    std::size_t m_linesRead = 0;
};

// A table text with its "%s" places filled in order; places without an argument stay.
std::string replacePlaceholders(std::string text, const std::vector<std::string>& args);

} // namespace qx
