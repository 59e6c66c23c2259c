#include "base/hash.h"

namespace qx {

std::uint32_t hashBucket(std::string_view key, std::uint32_t bucketCount) {
    const std::uint32_t half = bucketCount / 2;
    std::uint32_t step = half;
    std::uint32_t h = 0;
    for (char ch : key) {
        const auto c = static_cast<std::int8_t>(ch);
        if ((c & 1) != 0) {
            step /= 2;
        }
        if (step == 0) {
            step = half;
        }
        h = 2 * h + step + static_cast<std::uint32_t>(static_cast<std::int32_t>(c));
    }
    return bucketCount == 0 ? 0 : h % bucketCount;
}

} // namespace qx
