#include "radio/channel_record.h"
#include "radio/eeprom.h"
#include "radio/frequency_band.h"
#include "radio/image_map.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qx {
namespace {

using namespace imagemap;

class ChannelRecordTest : public ::testing::Test {
protected:
    ChannelRecordTest() : m_image(kImageSize), m_record(m_image) { m_image.fill(0xFF); }

    bool bitSet(std::int32_t base, int number) const {
        return (m_image.getByte(base + number / 8) >> (number % 8) & 1) != 0;
    }

    cmcEeprom m_image;
    ChannelRecord m_record;
};

TEST_F(ChannelRecordTest, EveryFieldSurvivesAStoreAtItsLimits) {
    struct Case {
        int index;
        std::int32_t recordAddress;
    };
    for (const Case c : {Case{0, 0}, Case{499, 499 * 48}, Case{500, 0x5DC0},
                         Case{519, 0x5DC0 + 19 * 48}, Case{521, 0x6180 + 48}}) {
        ChannelRecord r(m_image);
        r.load(kKindChannel, c.index);
        r.used = true;
        r.frequency = 1299999995;
        r.offset = 159995000;
        r.duplex = 2;
        r.toneMode = 7;
        r.decodeRx = 3;
        r.toneIndex = 49;
        r.tsqlIndex = 33;
        r.dtcsIndex = 103;
        r.dtcsPolarity = 3;
        r.tuningStep = 8;
        r.mode = 4;
        r.airFrequency = 3000;
        r.digitalSquelch = 4;
        r.digitalCode = 127;
        r.skip = c.index < 520 ? 3 : 0;
        r.bankGroup = c.index < 520 ? 25 : 255;
        r.bankChannel = c.index < 520 ? 99 : 0;
        r.name = ChannelRecord::toText8("ABCDEFGHIJ");
        r.yourCall = ChannelRecord::toText8("CQCQCQ");
        r.repeater1Call = ChannelRecord::toText8("JA1YXX B");
        r.repeater2Call = ChannelRecord::toText8("JA1YXX G");
        ASSERT_TRUE(r.store());

        ChannelRecord back(m_image);
        ASSERT_TRUE(back.load(kKindChannel, c.index));
        EXPECT_TRUE(back.used);
        EXPECT_EQ(back.frequency, 1299999995u);
        EXPECT_EQ(back.offset, 159995000u);
        EXPECT_EQ(back.duplex, 2);
        EXPECT_EQ(back.toneMode, 7);
        EXPECT_EQ(back.decodeRx, 3);
        EXPECT_EQ(back.toneIndex, 49);
        EXPECT_EQ(back.tsqlIndex, 33);
        EXPECT_EQ(back.dtcsIndex, 103);
        EXPECT_EQ(back.dtcsPolarity, 3);
        EXPECT_EQ(back.tuningStep, 8);
        EXPECT_EQ(back.mode, 4);
        EXPECT_EQ(back.airFrequency, 3000);
        EXPECT_EQ(back.digitalSquelch, 4);
        EXPECT_EQ(back.digitalCode, 127);
        EXPECT_EQ(back.skip, r.skip);
        EXPECT_EQ(back.bankGroup, r.bankGroup);
        EXPECT_EQ(back.bankChannel, r.bankChannel);
        EXPECT_EQ(ChannelRecord::fromText8(back.name), "ABCDEFGH");
        EXPECT_EQ(ChannelRecord::fromText8(back.repeater2Call), "JA1YXX G");
        // The record sits where the map says, frequency first and big-endian.
        EXPECT_EQ(m_image.getByte(c.recordAddress), 0x4D) << c.index;
        EXPECT_EQ(m_image.getByte(c.recordAddress + 3), 0xFB) << c.index;
        EXPECT_EQ(m_image.getByte(c.recordAddress + 39) & 0x0F, 0) << c.index;
    }
}

TEST_F(ChannelRecordTest, PackingAnUnusedChannelEmptiesIt) {
    ChannelRecord r(m_image);
    r.load(kKindChannel, 42);
    r.used = true;
    r.frequency = 145000000;
    r.bankGroup = 3;
    r.bankChannel = 17;
    r.name = ChannelRecord::toText8("REPEATER");
    r.store();
    EXPECT_FALSE(bitSet(kEmptyBitmap, 42));

    r.used = false;
    r.store();
    EXPECT_TRUE(bitSet(kEmptyBitmap, 42));
    EXPECT_FALSE(r.used);
    EXPECT_EQ(r.bankGroup, kNoBank);
    EXPECT_EQ(r.bankChannel, 0);
    EXPECT_EQ(ChannelRecord::fromText8(r.name), "        ");
    EXPECT_EQ(m_image.getByte(kBankAssignments + 84), 0xFF);
    EXPECT_EQ(m_image.getByte(kBankAssignments + 85), 0x00);
}

TEST_F(ChannelRecordTest, CallChannelsUseTheEmptyBitAfterTheirIndex) {
    m_image.fill(0x00); // every channel used
    ChannelRecord r(m_image);
    r.load(kKindChannel, 520);
    r.used = false;
    r.store();
    EXPECT_TRUE(bitSet(kEmptyBitmap, 521));
    EXPECT_FALSE(bitSet(kEmptyBitmap, 520));
    EXPECT_TRUE(r.load(kKindChannel, 519));
    EXPECT_TRUE(r.used); // scan edge 519 keeps its own bit

    r.load(kKindChannel, 521);
    r.used = false;
    r.store();
    EXPECT_TRUE(bitSet(kEmptyBitmap, 522));
    EXPECT_FALSE(bitSet(kEmptyBitmap, 520));
    // Call channels have no bank and no skip, whatever lies after the bank table.
    EXPECT_EQ(r.bankGroup, kNoBank);
    EXPECT_EQ(r.skip, 0);
}

TEST_F(ChannelRecordTest, SkipAndBankBytes) {
    struct Case {
        bool skipBit;
        bool pSkipBit;
        std::uint8_t group;
        std::uint8_t number;
        int skip;
        int bankGroup;
        int bankChannel;
    };
    const Case cases[] = {
        {false, false, 0, 99, 0, 0, 99},   {true, false, 25, 0, 1, 25, 0},
        {false, true, 26, 5, 3, 255, 0},   {true, true, 255, 255, 3, 255, 0},
        {false, false, 200, 7, 0, 255, 0},
    };
    for (const Case& c : cases) {
        m_image.setByte(kSkipBitmap + 1, c.skipBit ? 0x02 : 0x00);   // channel 9
        m_image.setByte(kPSkipBitmap + 1, c.pSkipBit ? 0x02 : 0x00); // channel 9
        m_image.setByte(kBankAssignments + 18, c.group);
        m_image.setByte(kBankAssignments + 19, c.number);
        ASSERT_TRUE(m_record.load(kKindChannel, 9));
        EXPECT_EQ(m_record.skip, c.skip);
        EXPECT_EQ(m_record.bankGroup, c.bankGroup);
        EXPECT_EQ(m_record.bankChannel, c.bankChannel);
    }
    m_record.used = true;
    m_record.skip = 1;
    m_record.store();
    EXPECT_TRUE(bitSet(kSkipBitmap, 9));
    EXPECT_FALSE(bitSet(kPSkipBitmap, 9));
    m_record.skip = 3;
    m_record.bankGroup = 40; // outside A-Z: no bank, number 0
    m_record.bankChannel = 12;
    m_record.store();
    EXPECT_TRUE(bitSet(kSkipBitmap, 9));
    EXPECT_TRUE(bitSet(kPSkipBitmap, 9));
    EXPECT_EQ(m_image.getByte(kBankAssignments + 19), 0);
    EXPECT_EQ(m_record.bankGroup, kNoBank);
}

TEST_F(ChannelRecordTest, GridsFollowTheSelectionRule) {
    struct Case {
        std::uint32_t frequency;
        std::uint32_t offset;
        int frequencyGrid;
        int offsetGrid;
    };
    const Case cases[] = {
        {145000000, 600000, 0, 0},   {145006250, 600000, 1, 1}, // 600 kHz lies on both grids
        {145006250, 5005000, 1, 0},                             // the offset only on the 5 kHz grid
        {145006250, 5000000, 1, 1},                             // 5 MHz lies on both grids as well
        {145005000, 6250, 0, 1},     {145005000, 0, 0, 0},
        {851012500, 45000000, 1, 1},                              // band 7: 10 and 12.5 kHz
        {851010000, 45000000, 0, 0}, {851005000, 45000000, 0, 0}, // on neither band-7 grid
    };
    for (const Case& c : cases) {
        m_record.load(kKindChannel, 3);
        m_record.used = true;
        m_record.frequency = c.frequency;
        m_record.offset = c.offset;
        m_record.store();
        EXPECT_EQ(m_record.frequencyGrid, c.frequencyGrid) << c.frequency << " " << c.offset;
        EXPECT_EQ(m_record.offsetGrid, c.offsetGrid) << c.frequency << " " << c.offset;
    }
}

TEST_F(ChannelRecordTest, FunctionMemoryExtrasAndWeatherChannel) {
    const std::int32_t settings = kFunctionSettings2;
    m_image.setByte(settings + 0xA5, 0xFF);
    m_image.setByte(settings + 0xA7, 0x12);     // left band: VFO
    m_image.setByte(settings + 0xA8, 0x0A);     // right band: weather channel, power 2
    m_image.setByte(settings + 0xF3 + 1, 1);    // right band weather channel 1
    m_image.setByte(settings + 0xF1 + 1, 1);    // call channel C1
    m_image.setByte(settings + 0xED + 2, 0x01); // channel 0x0123
    m_image.setByte(settings + 0xED + 3, 0x23);

    ASSERT_TRUE(m_record.load(kKindFunction, 2));
    EXPECT_EQ(m_record.memoryMode, kMemoryModeVfo);
    EXPECT_EQ(m_record.bandFlags, 0x84);
    EXPECT_EQ(m_record.frequency, 0xFFFFFFFFu);

    ASSERT_TRUE(m_record.load(kKindFunction, 3));
    EXPECT_EQ(m_record.memoryMode, kMemoryModeWeather);
    EXPECT_EQ(m_record.wxChannel, 1);
    EXPECT_EQ(m_record.channelSelection, 1);
    EXPECT_EQ(m_record.memoryChannel, 0x0123);
    EXPECT_TRUE(m_record.used);
    EXPECT_EQ(m_record.frequency, 162400000u);
    EXPECT_EQ(m_record.tuningStep, 6);
    EXPECT_EQ(m_record.toneIndex, 8);
    EXPECT_EQ(m_record.airFrequency, 2280);
    EXPECT_EQ(m_record.frequencyGrid, 1);
    // The shown weather channel is never written over the band's own record.
    m_record.store();
    EXPECT_TRUE(std::all_of(m_image.data() + kFunctionMemory2 + 48,
                            m_image.data() + kFunctionMemory2 + 96,
                            [](std::uint8_t b) { return b == 0xFF; }));
    m_image.setByte(settings + 0xF3 + 1, 10); // no such weather channel
    m_record.reload();
    EXPECT_EQ(m_record.frequency, 0u);

    // Raw, the band's own record shows and is stored.
    ChannelRecord raw(m_image);
    raw.setRaw(true);
    ASSERT_TRUE(raw.load(kKindFunction, 3));
    EXPECT_EQ(raw.frequency, 0xFFFFFFFFu);
    raw.frequency = 146520000;
    raw.store();
    EXPECT_EQ(raw.frequency, 146520000u);
    m_record.reload();
    EXPECT_EQ(m_record.frequency, 0u); // still shown as the weather channel
}

TEST_F(ChannelRecordTest, UnusedFunctionMemoryStoresFrequencyZero) {
    m_image.setByte(kFunctionSettings1 + 0xA7, 0x10);
    ASSERT_TRUE(m_record.load(kKindFunction, 0));
    m_record.frequency = 145006250; // on the 6.25 kHz grid
    m_record.offset = 600000;
    m_record.used = false;
    m_record.store();
    EXPECT_FALSE(m_record.used);
    EXPECT_EQ(m_record.frequency, 0u);
    EXPECT_EQ(m_image.getByte(kFunctionMemory1), 0);
    // The grids still follow the record's frequency, not 0.
    EXPECT_EQ(m_record.frequencyGrid, 1);
    EXPECT_EQ(m_record.offsetGrid, 1);
}

TEST_F(ChannelRecordTest, BandDefaultsGpsAndOwnPosition) {
    ASSERT_TRUE(m_record.load(kKindBandDefaultSkip, 7));
    m_record.frequency = 851000000;
    m_record.store();
    EXPECT_EQ(m_image.getByte(kBand7Default), 0x32);
    EXPECT_EQ(m_record.skip, 1);
    EXPECT_EQ(ChannelRecord::fromText8(m_record.name), "        ");
    EXPECT_EQ(m_image.getByte(kBand7Default + 40), 0xFF); // 40-byte record: no name written
    m_record.load(kKindBandDefault, 7);
    EXPECT_EQ(m_record.frequency, 851000000u);
    EXPECT_EQ(m_record.skip, 0);

    ASSERT_TRUE(m_record.load(kKindGps, 1));
    EXPECT_FALSE(m_record.used); // slot byte 0xFF
    m_record.latitude = {0x35, 0x40, 0x12, 'N'};
    m_record.longitude = {0x01, 0x39, 0x45, 0x30, 'E'};
    m_record.name = ChannelRecord::toText8("HOME");
    m_record.gpsBankGroup = 3;
    m_record.slot = 1;
    m_record.store();
    EXPECT_TRUE(m_record.used);
    EXPECT_EQ(m_image.getByte(kGpsMemories + 24 + 4), 0x01);
    EXPECT_EQ(m_image.getByte(kGpsMemories + 24 + 15), 'H');
    EXPECT_EQ(m_image.getByte(kGpsMemories + 24 + 23), 3);
    EXPECT_EQ(m_image.getByte(kGpsSlotList + 1), 1);

    EXPECT_EQ(ChannelRecord::gpsMemoryCount(m_image), 0); // slot 0 is free
    m_image.setByte(kGpsSlotList, 0);
    m_image.setByte(kGpsSlotList + 2, 2);
    m_image.setByte(kGpsSlotList + 4, 4); // after a gap: not counted
    EXPECT_EQ(ChannelRecord::gpsMemoryCount(m_image), 3);

    ASSERT_TRUE(m_record.load(kKindOwnPosition, 0));
    EXPECT_EQ(m_record.slot, kGpsSlotFree);
    EXPECT_FALSE(m_record.load(kKindOwnPosition, 1));
}

TEST_F(ChannelRecordTest, RecordsThatDoNotExistAreRefused) {
    struct Case {
        int kind;
        int index;
    };
    for (const Case c : {Case{1, -1}, Case{1, 522}, Case{3, 4}, Case{4, 100}, Case{6, 8},
                         Case{5, 0}, Case{2, 0}}) {
        EXPECT_FALSE(m_record.load(c.kind, c.index)) << c.kind << " " << c.index;
        EXPECT_FALSE(m_record.store(c.kind, c.index)) << c.kind << " " << c.index;
    }
    cmcEeprom tiny(100);
    ChannelRecord r(tiny);
    EXPECT_FALSE(r.load(kKindChannel, 0));
    EXPECT_FALSE(r.store(kKindChannel, 0));
    EXPECT_EQ(ChannelRecord::gpsMemoryCount(tiny), 0);
    ChannelRecord detached;
    EXPECT_FALSE(detached.load(kKindChannel, 0));
}

TEST(FrequencyTest, BandsSnappingAndClassification) {
    struct Snap {
        std::uint32_t in;
        std::uint32_t out;
    };
    const Snap snaps[] = {
        {145006200, 145006250},   {145003100, 145005000},
        {146010000, 146010000},   {145024000, 145025000}, // reaches the next 25 kHz boundary
        {851006000, 851010000},   {851012000, 851012500},
        {0xFFFFFFFF, 0xFFFFFFFF}, // no grid point above: kept
    };
    for (const Snap& s : snaps) {
        EXPECT_EQ(frequency::snapFrequency(s.in), s.out) << s.in;
    }
    EXPECT_EQ(frequency::snapOffset(170000000, 145000000), frequency::kMaxOffset);

    EXPECT_EQ(frequency::bandOf(135999999), 0);
    EXPECT_EQ(frequency::bandOf(136000000), 1);
    EXPECT_EQ(frequency::bandOf(470000000), 6);
    EXPECT_EQ(frequency::bandOf(810000000), 7);

    struct Class {
        std::uint32_t f;
        int side;
        int destination;
        bool fcc;
        int expected;
    };
    const Class classes[] = {
        {117999999, 2, 3, false, 1},  {550000000, 2, 3, false, 1}, {851012500, 0, 3, false, 1},
        {851012500, 2, 3, false, 2},  {200000000, 1, 3, false, 1}, {370000000, 1, 3, false, 1},
        {380000000, 1, 3, false, 2},  {146000000, 2, 2, false, 2}, {150000000, 2, 2, false, 0},
        {830000000, 2, 0, false, 0},  {830000000, 2, 0, true, 1},  {900000000, 2, 0, true, 2},
        {254000000, 2, 16, false, 0},
    };
    for (const Class& c : classes) {
        FeatureFlags flags;
        flags.fccInhibit = c.fcc;
        EXPECT_EQ(frequency::classify(c.f, c.side,
                                      FrequencyRangeTable::forDestination(c.destination), flags),
                  c.expected)
            << c.f << " side " << c.side << " destination " << c.destination;
    }
    FeatureFlags expansion;
    expansion.rxExpansion = true;
    const auto ranges2 = FrequencyRangeTable::forDestination(2);
    EXPECT_TRUE(frequency::isFlagged(150000000, 2, ranges2, FeatureFlags{}));
    EXPECT_FALSE(frequency::isFlagged(150000000, 2, ranges2, expansion));
    EXPECT_TRUE(frequency::isFlagged(100000000, 2, ranges2, expansion));
}

} // namespace
} // namespace qx
