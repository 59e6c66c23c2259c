#include "radio/channel_record.h"
#include "radio/default_images.h"
#include "radio/destination.h"
#include "radio/eeprom.h"
#include "radio/feature_flags.h"
#include "radio/frequency_band.h"
#include "radio/image_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace qx {
namespace {

using namespace imagemap;

cmcEeprom imageOf(int block) {
    cmcEeprom image(kImageSize);
    image.writeBlock(0, defaultImageBlock(block), kTransceiverSize);
    return image;
}

bool allBytes(const cmcEeprom& image, std::int32_t address, std::int32_t length,
              std::uint8_t value) {
    return std::all_of(image.data() + address, image.data() + address + length,
                       [value](std::uint8_t b) { return b == value; });
}

TEST(DefaultImagesTest, OnlySixteenBlocksExist) {
    EXPECT_EQ(defaultImageBlock(-1), nullptr);
    EXPECT_EQ(defaultImageBlock(16), nullptr);
    EXPECT_EQ(std::memcmp(defaultImageBlock(0), defaultImageBlock(14), kTransceiverSize), 0);
    EXPECT_EQ(std::memcmp(defaultImageBlock(0), defaultImageBlock(15), kTransceiverSize), 0);
    EXPECT_NE(std::memcmp(defaultImageBlock(0), defaultImageBlock(1), kTransceiverSize), 0);
}

// Decodes every record of every block the way the editor shows it.
TEST(DefaultImagesTest, EveryBlockDecodesToThePresetLayout) {
    const FeatureFlags noExpansion; // the strictest transceiver of the destination
    for (int block = 0; block < kDefaultImageCount; ++block) {
        SCOPED_TRACE("block " + std::to_string(block));
        cmcEeprom image = imageOf(block);
        const FrequencyRangeTable ranges = FrequencyRangeTable::forDestination(block);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.data() + kMapFormatTag),
                              kMapFormatTagSize),
                  kMapFormatTagText);
        EXPECT_TRUE(allBytes(image, kCloneComment, kCloneCommentSize, ' '));
        EXPECT_TRUE(allBytes(image, kOwnPosition, kGpsRecordSize, 0xFF)); // nothing invented

        ChannelRecord record(image);
        for (int index = 0; index < kChannelCount; ++index) {
            ASSERT_TRUE(record.load(kKindChannel, index));
            const bool preset = index < 2 || (index >= 500 && index < 504) || index >= 520;
            EXPECT_EQ(record.used, preset) << index;
            if (!preset) {
                if (index < kFirstScanEdge) {
                    EXPECT_TRUE(
                        allBytes(image, index * kChannelRecordSize, kChannelRecordSize, 0xFF))
                        << index;
                }
                continue;
            }
            EXPECT_EQ(ChannelRecord::fromText8(record.yourCall), "CQCQCQ  ") << index;
            EXPECT_EQ(ChannelRecord::fromText8(record.name), "        ") << index;
            EXPECT_EQ(record.bankGroup, kNoBank);
            EXPECT_EQ(record.skip, 0);
            EXPECT_EQ(record.airFrequency, kDefaultAirFrequency);
            EXPECT_FALSE(
                frequency::isFlagged(record.frequency, frequency::kSideEither, ranges, noExpansion))
                << index << " " << record.frequency;
        }
        ChannelRecord preset(image);
        for (int call = 0; call < 2; ++call) {
            preset.load(kKindChannel, call);
            record.load(kKindChannel, kFirstCallChannel + call);
            EXPECT_EQ(record.frequency, preset.frequency);
        }
        for (int index = 0; index < kFunctionRecordCount; ++index) {
            ASSERT_TRUE(record.load(kKindFunction, index));
            EXPECT_TRUE(record.used);
            EXPECT_EQ(record.memoryMode, kMemoryModeVfo);
            EXPECT_FALSE(frequency::isFlagged(record.frequency, index % 2, ranges, noExpansion))
                << index;
        }
        for (int band = 0; band < kBandCount; ++band) {
            ASSERT_TRUE(record.load(kKindBandDefault, band));
            EXPECT_EQ(frequency::bandOf(record.frequency), band);
        }
        EXPECT_EQ(ChannelRecord::gpsMemoryCount(image), 0);
    }
}

} // namespace
} // namespace qx
