#include "radio/image_range_list.h"

#include "radio/image_map.h"

namespace qx {

std::vector<ImageRange> ImageRangeList::ranges(std::int32_t imageSize) const {
    std::vector<ImageRange> out;
    for (const ImageRange& pair : m_pairs) {
        const bool inside = pair.start >= 0 && pair.end < imageSize;
        if (pair.start > pair.end || !inside) {
            break;
        }
        out.push_back(pair);
    }
    return out;
}

std::int64_t ImageRangeList::byteCount(std::int32_t imageSize) const {
    std::int64_t total = 0;
    for (const ImageRange& range : ranges(imageSize)) {
        total += static_cast<std::int64_t>(range.end) - range.start + 1;
    }
    return total;
}

bool ImageRangeList::contains(std::int32_t address, std::int32_t imageSize) const {
    for (const ImageRange& range : ranges(imageSize)) {
        if (address >= range.start && address <= range.end) {
            return true;
        }
    }
    return false;
}

ImageRangeList ImageRangeList::transceiverPart() {
    return {{imagemap::kTransceiverStart, imagemap::kTransceiverEnd}};
}

} // namespace qx
