#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace qx {

struct ImageRange {
    std::int32_t start = 0;
    std::int32_t end = -1; // inclusive
};

// Inclusive address ranges of an image, in the order they are transferred. The list ends at
// the first pair whose start exceeds its end, or that leaves the image; later pairs are ignored.
class ImageRangeList {
public:
    ImageRangeList() = default;
    ImageRangeList(std::initializer_list<ImageRange> pairs) : m_pairs(pairs) {}

    void add(std::int32_t start, std::int32_t end) { m_pairs.push_back({start, end}); }
    const std::vector<ImageRange>& pairs() const { return m_pairs; }

    // The ranges in force for an image of imageSize bytes.
    std::vector<ImageRange> ranges(std::int32_t imageSize) const;
    std::int64_t byteCount(std::int32_t imageSize) const;
    bool contains(std::int32_t address, std::int32_t imageSize) const;

    // The transceiver part, 0x0000-0xACBF: what clone files and clone reads cover.
    static ImageRangeList transceiverPart();

private:
    std::vector<ImageRange> m_pairs;
};

} // namespace qx
