#pragma once

#include <cstdint>

namespace qx {

inline constexpr int kDefaultImageCount = 16;

// The built-in image of destination block 0-15: the whole transceiver part (44224 bytes), map
// format tag included. nullptr for any other block. Generated at build time from
// data/defaults/.
const std::uint8_t* defaultImageBlock(int block);

} // namespace qx
