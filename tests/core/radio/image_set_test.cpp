#include "radio/bank_link_table.h"
#include "radio/channel_record.h"
#include "radio/default_images.h"
#include "radio/destination.h"
#include "radio/image_map.h"
#include "radio/image_range_list.h"
#include "radio/image_set.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace qx {
namespace {

using namespace imagemap;

bool holdsBlock(const cmcEeprom& image, int block) {
    return std::memcmp(image.data(), defaultImageBlock(block), kTransceiverSize) == 0;
}

TEST(ImageSetTest, StartsZeroFilledAtTheDocumentSize) {
    ImageSet set;
    EXPECT_EQ(set.current().size(), kImageSize);
    EXPECT_EQ(set.defaults().size(), kImageSize);
    EXPECT_TRUE(set.current().equals(set.saved()));
    EXPECT_EQ(set.current().getByte(kMapFormatTag), 0);
    EXPECT_FALSE(set.isModified());
}

TEST(ImageSetTest, DestinationPicksItsDefaultBlock) {
    struct Case {
        DestinationCode code;
        int block;
    };
    for (const Case c :
         {Case{0, 0}, Case{7, 7}, Case{15, 15}, Case{16, 13}, Case{200, 13}, Case{-1, 13}}) {
        ImageSet set;
        set.setDestination(c.code);
        EXPECT_TRUE(holdsBlock(set.defaults(), c.block)) << c.code;
        EXPECT_TRUE(holdsBlock(set.current(), c.block)) << c.code;
        EXPECT_FALSE(set.isModified());
        for (int bank = 0; bank < kBankCount; ++bank) {
            EXPECT_EQ(banklink::slot(set.defaults(), bank, 0), kBankSlotEmpty);
        }
    }
}

TEST(ImageSetTest, ModifiedFlagFollowsTheSavedStateAndRefreshesTheTitle) {
    ImageSet set;
    int refreshes = 0;
    set.setTitleRefresh([&refreshes] { ++refreshes; });
    set.setDestination(2);
    EXPECT_EQ(refreshes, 1);

    set.checkModified(); // nothing changed
    EXPECT_FALSE(set.isModified());
    EXPECT_EQ(refreshes, 1);

    set.current().setByte(kCloneComment, 'X');
    set.checkModified();
    EXPECT_TRUE(set.isModified());
    EXPECT_EQ(refreshes, 2);

    // Editing back does not clear the flag; only marking the state saved does.
    set.current().setByte(kCloneComment, ' ');
    set.checkModified();
    EXPECT_TRUE(set.isModified());
    set.markUnmodified();
    EXPECT_FALSE(set.isModified());
    EXPECT_TRUE(set.saved().equals(set.current()));

    set.current().setByte(kCloneComment, 'Y');
    set.resetToDefaults();
    EXPECT_FALSE(set.isModified());
    EXPECT_TRUE(holdsBlock(set.current(), 2));
}

TEST(ImageSetTest, DestinationNamesAndRanges) {
    EXPECT_STREQ(destinationName(0), "USA_0000");
    EXPECT_STREQ(destinationName(10), "KOR_1010");
    EXPECT_STREQ(destinationName(15), "JPN_1111");
    EXPECT_STREQ(destinationName(16), "Unknown");
    EXPECT_STREQ(destinationName(-3), "Unknown");

    ImageSet set;
    set.setDestination(12);
    EXPECT_TRUE(set.frequencyRanges().contains(434500000));
    EXPECT_FALSE(set.frequencyRanges().contains(435000000));
    EXPECT_FALSE(set.frequencyRanges().contains(434000000));
    set.setDestination(8);
    EXPECT_FALSE(set.frequencyRanges().contains(150000000));
    set.setDestination(16); // any unknown code takes the JPN ranges
    EXPECT_TRUE(set.frequencyRanges().contains(960099999));
    EXPECT_FALSE(set.frequencyRanges().contains(960100000));
}

TEST(ImageSetTest, RangeListStopsAtTheFirstReversedOrOutsidePair) {
    struct Case {
        ImageRangeList list;
        std::int64_t bytes;
    };
    const Case cases[] = {
        {ImageRangeList::transceiverPart(), kTransceiverSize},
        {{{0, 9}, {20, 29}, {5, 4}, {40, 49}}, 20},
        {{{0, 0}, {10, kImageSize}}, 1}, // end outside the image
        {{{-1, 3}}, 0},
        {{{kImageSize - 1, kImageSize - 1}}, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.list.byteCount(kImageSize), c.bytes);
    }
    const ImageRangeList list{{0, 9}, {20, 29}, {5, 4}, {40, 49}};
    EXPECT_TRUE(list.contains(25, kImageSize));
    EXPECT_FALSE(list.contains(45, kImageSize));
}

TEST(ImageSetTest, ReadImageIsAdjustedCorrectedAndModified) {
    ImageSet set;
    set.setDestination(4);
    cmcEeprom received(set.defaults());
    received.setByte(kGpsSlotList + 99, 99); // one GPS memory, kept by the transceiver at the end
    received.setByte(kMapFormatTag, 'X');
    received.setByte(kFixedByte, 0x3C); // the transceiver's own, where our defaults hold 0x00
    ChannelRecord dv(received);
    dv.load(kKindChannel, 0);
    dv.mode = kModeDv;
    dv.bankGroup = 2;
    dv.bankChannel = 9;
    dv.store();

    EXPECT_FALSE(set.takeReadImage(cmcEeprom(kTransceiverSize), FeatureFlags{}));
    EXPECT_FALSE(set.isModified());

    ASSERT_TRUE(set.takeReadImage(received, FeatureFlags{}));
    EXPECT_TRUE(set.isModified());
    EXPECT_EQ(ChannelRecord::gpsMemoryCount(set.current()), 1);
    EXPECT_EQ(set.current().getByte(kMapFormatTag), 'O');
    EXPECT_EQ(set.current().getByte(kFixedByte), 0x3C);
    ChannelRecord r(set.current());
    r.load(kKindChannel, 0);
    EXPECT_EQ(r.mode, kModeFm);
    EXPECT_EQ(banklink::slot(set.current(), 2, 9), 0);
    EXPECT_TRUE(r.loadBankSlot(2, 9));
    EXPECT_EQ(r.index, 0);
    EXPECT_FALSE(r.loadBankSlot(2, 10));
    EXPECT_FALSE(r.used);
    EXPECT_FALSE(r.store());

    // What is sent keeps the GPS memory at the end; the document keeps it at the front.
    const cmcEeprom sent = set.imageForWrite(FeatureFlags{});
    EXPECT_EQ(sent.getByte(kGpsSlotList + 99), 99);
    EXPECT_EQ(set.current().getByte(kGpsSlotList), 0);
    EXPECT_EQ(sent.getByte(kFixedByte), 0x3C);

    // After New the defaults are the origin again.
    set.resetToDefaults();
    set.current().setByte(kFixedByte, 0x3C);
    set.correct(FeatureFlags{});
    EXPECT_EQ(set.current().getByte(kFixedByte), set.defaults().getByte(kFixedByte));
}

} // namespace
} // namespace qx
