#include "radio/channel_record.h"
#include "radio/image_map.h"
#include "radio/image_set.h"
#include "radio/transfer_adjustments.h"

#include <gtest/gtest.h>

#include <vector>

namespace qx {
namespace {

using namespace imagemap;

class TransferAdjustmentsTest : public ::testing::Test {
protected:
    TransferAdjustmentsTest() { m_set.setDestination(2); }

    cmcEeprom& image() { return m_set.current(); }

    void setMode(int kind, int index, int mode) {
        ChannelRecord r(image());
        r.load(kind, index);
        r.used = true;
        r.frequency = 145000000;
        r.mode = mode;
        r.store();
    }
    int modeOf(const cmcEeprom& source, int kind, int index) {
        cmcEeprom copy(source);
        ChannelRecord r(copy);
        r.load(kind, index);
        return r.mode;
    }
    // A GPS memory whose record carries its name letter.
    void putGps(int slot, int slotByte, char letter) {
        image().setByte(kGpsMemories + slot * kGpsRecordSize + 15,
                        static_cast<std::uint8_t>(letter));
        image().setByte(kGpsSlotList + slot, static_cast<std::uint8_t>(slotByte));
    }
    char gpsLetter(const cmcEeprom& source, int slot) {
        return static_cast<char>(source.getByte(kGpsMemories + slot * kGpsRecordSize + 15));
    }

    ImageSet m_set;
};

TEST_F(TransferAdjustmentsTest, WithoutUsableDvDigitalChannelsArriveAsFm) {
    struct Case {
        bool digitalUnit;
        bool dvInhibit;
        bool becomesFm;
    };
    for (const Case c :
         {Case{false, false, true}, Case{true, true, true}, Case{true, false, false}}) {
        m_set.setDestination(2);
        setMode(kKindChannel, 12, kModeDv);
        setMode(kKindChannel, 521, kModeDv);
        setMode(kKindFunction, 1, kModeDv);
        setMode(kKindChannel, 13, 2);              // AM stays AM
        image().setByte(kMainSettings + 0x128, 1); // GPS alarm RX
        FeatureFlags flags;
        flags.digitalUnit = c.digitalUnit;
        flags.dvInhibit = c.dvInhibit;
        ASSERT_TRUE(adjustAfterRead(image(), flags));
        const int expected = c.becomesFm ? kModeFm : kModeDv;
        EXPECT_EQ(modeOf(image(), kKindChannel, 12), expected);
        EXPECT_EQ(modeOf(image(), kKindChannel, 521), expected);
        EXPECT_EQ(modeOf(image(), kKindFunction, 1), expected);
        EXPECT_EQ(modeOf(image(), kKindChannel, 13), 2);
        EXPECT_EQ(image().getByte(kMainSettings + 0x128), c.becomesFm ? 0 : 1);
    }
}

TEST_F(TransferAdjustmentsTest, GpsMemoriesMoveBetweenTheTwoLayouts) {
    // The transceiver keeps three memories in its last slots; slot 96 is free, so the stale
    // entry in slot 20 is not one of them.
    putGps(97, 97, 'A');
    putGps(98, 98, 'B');
    putGps(99, 99, 'C');
    putGps(20, 20, 'Z');
    ASSERT_TRUE(adjustAfterRead(image(), FeatureFlags{}));
    EXPECT_EQ(ChannelRecord::gpsMemoryCount(image()), 3);
    const std::vector<char> letters = {gpsLetter(image(), 0), gpsLetter(image(), 1),
                                       gpsLetter(image(), 2)};
    EXPECT_EQ(letters, (std::vector<char>{'A', 'B', 'C'}));
    for (int slot = 0; slot < 3; ++slot) {
        EXPECT_EQ(image().getByte(kGpsSlotList + slot), slot);
    }
    for (int slot = 3; slot < kGpsMemoryCount; ++slot) {
        ASSERT_EQ(image().getByte(kGpsSlotList + slot), kGpsSlotFree) << slot;
        ASSERT_EQ(image().getByte(kGpsMemories + slot * kGpsRecordSize), 0xFF) << slot;
    }

    cmcEeprom copy(image());
    ASSERT_TRUE(prepareForWrite(copy, m_set.defaults(), 2, m_set.frequencyRanges(), {}));
    for (int slot = 97; slot < 100; ++slot) {
        EXPECT_EQ(copy.getByte(kGpsSlotList + slot), slot);
        EXPECT_EQ(gpsLetter(copy, slot), 'A' + (slot - 97));
    }
    EXPECT_EQ(copy.getByte(kGpsSlotList), kGpsSlotFree);
}

TEST_F(TransferAdjustmentsTest, SlotBytesNameTheRecordsTheyHold) {
    putGps(98, 99, 'B'); // slot 98 holds memory 99 and slot 99 memory 98
    putGps(99, 98, 'A');
    ASSERT_TRUE(adjustAfterRead(image(), FeatureFlags{}));
    EXPECT_EQ(gpsLetter(image(), 0), 'A');
    EXPECT_EQ(gpsLetter(image(), 1), 'B');
}

TEST_F(TransferAdjustmentsTest, ChannelsThatDrawAWarningAreSentAsTheDefaults) {
    struct Case {
        DestinationCode destination;
        bool rxExpansion;
        bool replaced;
    };
    for (const Case c : {Case{2, false, true}, Case{2, true, false}, Case{16, false, false}}) {
        m_set.setDestination(c.destination);
        ChannelRecord r(image());
        for (int index : {0, 5}) {
            r.load(kKindChannel, index);
            r.used = true;
            r.frequency = 150000000; // outside the amateur bands of destination 2
            r.store();
        }
        r.load(kKindFunction, 0);
        r.frequency = 851000000; // band 7 on the left band
        r.store();
        const cmcEeprom edited(image());
        cmcEeprom copy(image());
        FeatureFlags flags;
        flags.rxExpansion = c.rxExpansion;
        ASSERT_TRUE(
            prepareForWrite(copy, m_set.defaults(), c.destination, m_set.frequencyRanges(), flags));
        EXPECT_TRUE(image().equals(edited));

        ChannelRecord sent(copy);
        cmcEeprom defaults(m_set.defaults());
        ChannelRecord original(defaults);
        sent.load(kKindChannel, 0);
        original.load(kKindChannel, 0);
        EXPECT_EQ(sent.frequency, c.replaced ? original.frequency : 150000000u);
        sent.load(kKindChannel, 5);
        EXPECT_EQ(sent.used, !c.replaced); // the default image has no channel 5
        // A VFO band record may not leave its band, whatever the expansion.
        sent.load(kKindFunction, 0);
        original.load(kKindFunction, 0);
        EXPECT_EQ(sent.frequency, c.destination == 16 ? 851000000u : original.frequency);
    }
}

} // namespace
} // namespace qx
