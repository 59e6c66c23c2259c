#include "radio/bank_link_table.h"
#include "radio/channel_record.h"
#include "radio/correction_pass.h"
#include "radio/image_map.h"
#include "radio/image_set.h"

#include <gtest/gtest.h>

#include <string>

namespace qx {
namespace {

using namespace imagemap;

// A document on a destination, its current image edited by the test, then corrected. Its
// origin is the defaults, as after New, unless the test makes another.
class CorrectionPassTest : public ::testing::Test {
protected:
    void open(DestinationCode destination) {
        m_set.setDestination(destination);
        m_origin = m_set.defaults();
    }
    cmcEeprom& image() { return m_set.current(); }
    const cmcEeprom& defaults() { return m_set.defaults(); }
    void correct(const FeatureFlags& flags = {}) {
        ASSERT_TRUE(runCorrectionPass(image(), m_origin, defaults(), m_set.destination(), flags));
    }
    ChannelRecord channel(int index, int kind = kKindChannel) {
        ChannelRecord record(image());
        record.load(kind, index);
        return record;
    }

    ImageSet m_set;
    cmcEeprom m_origin;
};

TEST_F(CorrectionPassTest, ChannelValuesAreNormalised) {
    open(0);
    ChannelRecord r = channel(0);
    r.toneMode = 3; // TSQL
    r.decodeRx = 1; // TRAIN1
    r.frequency = 145006200;
    r.offset = 600100;
    r.name = {'A', 0x7F, 'B', ' ', ' ', ' ', ' ', ' '};
    r.airFrequency = 2500;
    r.store();
    r = channel(1);
    r.toneMode = 3;
    r.decodeRx = 0;
    r.store();
    r = channel(2, kKindFunction); // F-2 left band
    r.toneMode = 6;
    r.decodeRx = 3;
    r.store();

    correct();
    r = channel(0);
    EXPECT_EQ(r.toneMode, 0);
    EXPECT_EQ(r.decodeRx, 1);
    EXPECT_EQ(r.frequency, 145006250u);
    EXPECT_EQ(r.offset, 600000u);
    EXPECT_EQ(ChannelRecord::fromText8(r.name), "A B     ");
    EXPECT_EQ(r.airFrequency, kDefaultAirFrequency);
    EXPECT_EQ(channel(1).toneMode, 3);
    EXPECT_EQ(channel(2, kKindFunction).toneMode, 0);
}

TEST_F(CorrectionPassTest, JapanKeepsNamesAndItsAirFrequency) {
    struct Case {
        int air;
        int expected;
    };
    // The stored field holds tens: what a record can carry is a multiple of 10 up to 5110.
    for (const Case c : {Case{2990, 2990}, Case{100, 300}, Case{5110, 3000}}) {
        open(14);
        ChannelRecord r = channel(0);
        r.name = {'A', 0x7F, static_cast<char>(0xB1), ' ', ' ', ' ', ' ', ' '};
        r.airFrequency = c.air;
        r.store();
        correct();
        r = channel(0);
        EXPECT_EQ(r.airFrequency, c.expected) << c.air;
        EXPECT_EQ(r.name[1], 0x7F);
        EXPECT_EQ(static_cast<std::uint8_t>(r.name[2]), 0xB1);
    }
}

TEST_F(CorrectionPassTest, EmptyChannelsStayEmptyWithoutBank) {
    open(2);
    image().setByte(kBankAssignments + 10 * 2, 4); // leftovers in an empty channel
    image().setByte(kBankAssignments + 10 * 2 + 1, 7);
    correct();
    const ChannelRecord r = channel(10);
    EXPECT_FALSE(r.used);
    EXPECT_EQ(r.bankGroup, kNoBank);
    EXPECT_EQ(banklink::slot(image(), 4, 7), kBankSlotEmpty);
    EXPECT_TRUE(channel(520).used);
}

TEST_F(CorrectionPassTest, BankLinkTableIsRebuilt) {
    open(2);
    ChannelRecord r = channel(0);
    r.bankGroup = 1;
    r.bankChannel = 5;
    r.store();
    correct();
    EXPECT_EQ(banklink::slot(image(), 1, 5), 0);
}

TEST_F(CorrectionPassTest, TextsAreCleanedOutsideJapan) {
    for (DestinationCode destination : {4, 13}) {
        open(destination);
        const bool japan = destination == 13;
        image().setByte(kBankNames + 3, 0x01);
        image().setByte(kScanEdgeNames + 79, 0xFF);
        image().setByte(kTxMessages + 99, 0x80);
        image().setByte(kGpsMessage, 0x00);
        image().setByte(kGpsBankNames + 207, 0x7F);
        image().setByte(kGpsSlotList + 3, 3); // a GPS memory in use
        image().setByte(kGpsMemories + 3 * 24 + 15, 0x05);
        image().setByte(kGpsMemories + 4 * 24 + 15, 0x05); // slot free: not a name
        const std::int32_t unproto = kMainSettings + 0x12E;
        const std::string text = "AB\x01"
                                 "C  ";
        for (std::size_t i = 0; i < text.size(); ++i) {
            image().setByte(unproto + static_cast<std::int32_t>(i),
                            static_cast<std::uint8_t>(text[i]));
        }
        const std::int32_t symbol = kFunctionSettings1 + 0x1B5;
        image().setByte(symbol, '/');
        image().setByte(symbol + 1, 0xFF);
        image().setByte(kFunctionSettings2 + 0x1B5, 'A');
        image().setByte(kFunctionSettings2 + 0x1B6, 'B');
        correct();

        const std::uint8_t space = ' ';
        EXPECT_EQ(image().getByte(kBankNames + 3), japan ? 0x01 : space);
        EXPECT_EQ(image().getByte(kScanEdgeNames + 79), japan ? 0xFF : space);
        EXPECT_EQ(image().getByte(kTxMessages + 99), japan ? 0x80 : space);
        EXPECT_EQ(image().getByte(kGpsMessage), japan ? 0x00 : space);
        EXPECT_EQ(image().getByte(kGpsBankNames + 207), japan ? 0x7F : space);
        EXPECT_EQ(image().getByte(kGpsMemories + 3 * 24 + 15), japan ? 0x05 : space);
        EXPECT_EQ(image().getByte(kGpsMemories + 4 * 24 + 15), 0x05);
        if (!japan) {
            EXPECT_EQ(image().getByte(unproto + 2), space);
            EXPECT_EQ(image().getByte(unproto + 3), 'C');
            EXPECT_EQ(image().getByte(unproto + 4), 0xFF); // trailing blanks dropped
            EXPECT_EQ(image().getByte(symbol), '/');
            EXPECT_EQ(image().getByte(symbol + 1), space);
            EXPECT_EQ(image().getByte(kFunctionSettings2 + 0x1B5), 0xFF);
            EXPECT_EQ(image().getByte(kFunctionSettings2 + 0x1B6), 0xFF);
        } else {
            EXPECT_EQ(image().getByte(unproto + 2), 0x01);
            EXPECT_EQ(image().getByte(kFunctionSettings2 + 0x1B5), 'A');
        }
    }
}

TEST_F(CorrectionPassTest, AreasNoOneEditsComeFromTheOriginAndTheTagFromTheDefaults) {
    open(5);
    // An origin as a transceiver would hold it: its own bytes wherever the user cannot edit.
    const std::int32_t m = kMainSettings;
    const std::int32_t f2 = kFunctionSettings2;
    const std::int32_t kept[] = {kFixedData,
                                 kFixedData + kFixedDataSize - 1,
                                 kFixedByte,
                                 kBandDefaults,
                                 kBandDefaults + kBandDefaultsSize - 1,
                                 m + 0x05,
                                 f2 + 0xB1,
                                 m + 0x121};
    for (std::int32_t address : kept) {
        m_origin.setByte(address, static_cast<std::uint8_t>(defaults().getByte(address) ^ 0x5A));
        image().setByte(address, static_cast<std::uint8_t>(defaults().getByte(address) ^ 0xA5));
    }
    m_origin.setByte(m + 0xA5, static_cast<std::uint8_t>(defaults().getByte(m + 0xA5) ^ 0x53));
    for (std::int32_t a = kMapFormatTag; a < kMapFormatTag + kMapFormatTagSize; ++a) {
        m_origin.setByte(a, '?');
        image().setByte(a, '!');
    }
    correct();
    for (std::int32_t address : kept) {
        EXPECT_EQ(image().getByte(address), m_origin.getByte(address)) << std::hex << address;
    }
    EXPECT_EQ(image().getByte(m + 0xA5) & 0x53, m_origin.getByte(m + 0xA5) & 0x53);
    for (std::int32_t a = kMapFormatTag; a < kMapFormatTag + kMapFormatTagSize; ++a) {
        EXPECT_EQ(image().getByte(a), defaults().getByte(a)) << std::hex << a;
    }
}

TEST_F(CorrectionPassTest, SettingsRestoredByDestinationAndBlock) {
    struct Case {
        DestinationCode destination;
        std::int32_t address;
        bool restored;
    };
    const std::int32_t m = kMainSettings;
    const std::int32_t f1 = kFunctionSettings1;
    const std::int32_t f2 = kFunctionSettings2;
    const Case cases[] = {
        {4, m + 0x05, true},   {4, f2 + 0x11, true},   {4, m + 0x12, false},  {4, m + 0x16, true},
        {10, m + 0x16, false}, {13, f1 + 0x16, false}, {4, m + 0x17, true},   {1, m + 0x17, false},
        {0, f1 + 0x63, false}, {2, f1 + 0x63, true},   {2, m + 0x6E, true},   {15, m + 0x6E, false},
        {2, m + 0x66, false},  {2, f1 + 0x66, true},   {2, f2 + 0x8C, true},  {2, m + 0x8C, false},
        {2, m + 0x128, false}, {2, f1 + 0x128, true},  {2, m + 0xF2, true},   {2, f1 + 0xF2, false},
        {2, m + 0xA3, true},   {2, f1 + 0xA3, false},  {2, m + 0x107, false}, {2, f2 + 0x107, true},
        {2, m + 0x121, true},  {2, f2 + 0xED, false},  {2, m + 0xF3, false},
    };
    for (const Case& c : cases) {
        open(c.destination);
        const std::uint8_t changed = static_cast<std::uint8_t>(defaults().getByte(c.address) ^ 1);
        image().setByte(c.address, changed);
        correct();
        EXPECT_EQ(image().getByte(c.address), c.restored ? defaults().getByte(c.address) : changed)
            << "destination " << c.destination << " address " << std::hex << c.address;
    }
}

TEST_F(CorrectionPassTest, DisplayAndBandModeBits) {
    open(2);
    const std::int32_t m = kMainSettings;
    const std::int32_t f1 = kFunctionSettings1;
    for (std::int32_t b : {m, f1}) {
        image().setByte(b + 0xA5, static_cast<std::uint8_t>(defaults().getByte(b + 0xA5) ^ 0xFF));
        image().setByte(b + 0xA7, static_cast<std::uint8_t>(defaults().getByte(b + 0xA7) ^ 0xE3));
    }
    FeatureFlags expanded;
    expanded.rxExpansion = true;
    correct(expanded);
    const std::uint8_t dm = defaults().getByte(m + 0xA5);
    const std::uint8_t df = defaults().getByte(f1 + 0xA5);
    // Main: only bit 3 kept; bit 5 is the receive expansion.
    EXPECT_EQ(image().getByte(m + 0xA5), (dm & 0xD7) | (~dm & 0x08) | 0x20);
    // Function memories also keep bits 2 and 7.
    EXPECT_EQ(image().getByte(f1 + 0xA5), (df & 0x53) | (~df & 0x8C) | 0x20);
    // RF power (bits 1-0) is the user's; bits 5-7 come back.
    EXPECT_EQ(image().getByte(m + 0xA7) & 0xE0, defaults().getByte(m + 0xA7) & 0xE0);
    EXPECT_EQ(image().getByte(m + 0xA7) & 0x03, (defaults().getByte(m + 0xA7) ^ 0x03) & 0x03);
    EXPECT_EQ(image().getByte(f1 + 0xA7) & 0x03, (defaults().getByte(f1 + 0xA7) ^ 0x03) & 0x03);

    correct(FeatureFlags{});
    EXPECT_EQ(image().getByte(m + 0xA5) & 0x20, 0);
}

TEST_F(CorrectionPassTest, WeatherChannelModeOnlyStaysOnUsaTransceivers) {
    for (DestinationCode destination : {1, 4}) {
        open(destination);
        const std::int32_t band = kFunctionSettings2 + 0xA8; // F-2 right band
        image().setByte(band, 0x0A);                         // weather channel, power 2
        ChannelRecord r(image());
        image().setByte(kFunctionMemory2 + 48, 0x12);      // the band's own record, edited
        image().setByte(kFunctionMemory2 + 48 + 40, 0x7F); // a name no transceiver shows
        correct();
        if (destination == 1) {
            EXPECT_EQ(image().getByte(band), 0x0A);
            EXPECT_EQ(image().getByte(kFunctionMemory2 + 48), 0x12);
            // The record behind the weather channel is cleaned like any other.
            EXPECT_EQ(image().getByte(kFunctionMemory2 + 48 + 40), ' ');
            r.load(kKindFunction, 3);
            EXPECT_EQ(r.memoryMode, kMemoryModeWeather);
        } else {
            EXPECT_EQ(image().getByte(band), (defaults().getByte(band) & 0x1C) | 0x02);
            EXPECT_EQ(image().getByte(kFunctionMemory2 + 48),
                      defaults().getByte(kFunctionMemory2 + 48));
            r.load(kKindFunction, 3);
            EXPECT_EQ(r.memoryMode, kMemoryModeVfo);
        }
    }
}

TEST_F(CorrectionPassTest, SecondPassChangesNothing) {
    for (DestinationCode destination : {0, 4, 13}) {
        open(destination);
        ChannelRecord r = channel(7);
        r.used = true;
        r.frequency = 439012345;
        r.toneMode = 1;
        r.decodeRx = 2;
        r.store();
        correct();
        const cmcEeprom once = image();
        correct();
        EXPECT_TRUE(image().equals(once)) << destination;
    }
}

TEST_F(CorrectionPassTest, RefusesImagesWithoutTheTransceiverPart) {
    open(0);
    cmcEeprom small(100);
    EXPECT_FALSE(runCorrectionPass(small, defaults(), defaults(), 0, {}));
    EXPECT_FALSE(runCorrectionPass(image(), small, defaults(), 0, {}));
    EXPECT_FALSE(runCorrectionPass(image(), defaults(), small, 0, {}));
}

} // namespace
} // namespace qx
