#include "radio/eeprom.h"

#include <gtest/gtest.h>

namespace qx {
namespace {

TEST(EepromTest, ResizeToTheSameSizeStillZeroFills) {
    cmcEeprom image(64);
    image.fill(0xA5);
    image.resize(64);
    for (std::int32_t a = 0; a < image.size(); ++a) {
        ASSERT_EQ(image.getByte(a), 0) << a;
    }
}

TEST(EepromTest, ImagesOfDifferentSizesAreNeverEqual) {
    cmcEeprom shorter(16);
    cmcEeprom longer(17); // shorter is a prefix of it: all zero
    EXPECT_FALSE(shorter.equals(longer));
    EXPECT_TRUE(shorter.notEquals(longer));
    cmcEeprom copy(shorter);
    EXPECT_TRUE(copy.equals(shorter));
    copy.setByte(15, 1);
    EXPECT_TRUE(copy.notEquals(shorter));
}

TEST(EepromTest, BlocksOutsideTheImageDoNothing) {
    cmcEeprom image(8);
    const std::uint8_t source[4] = {1, 2, 3, 4};
    image.writeBlock(6, source, 4); // would pass the end
    image.writeBlock(-1, source, 2);
    image.writeBlock(0, source, 0);
    for (std::int32_t a = 0; a < image.size(); ++a) {
        EXPECT_EQ(image.getByte(a), 0);
    }
    image.writeBlock(4, source, 4); // ends exactly at the end
    EXPECT_EQ(image.getByte(7), 4);
}

} // namespace
} // namespace qx
