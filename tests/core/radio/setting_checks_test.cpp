#include "radio/bank_link_table.h"
#include "radio/cell_link_dispatch.h"
#include "radio/channel_record.h"
#include "radio/image_map.h"
#include "radio/image_set.h"
#include "radio/setting_checks.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace qx {
namespace {

using namespace imagemap;

constexpr std::uint8_t W = kVerdictWarning;
constexpr std::uint8_t E = kVerdictError;
constexpr std::uint32_t MHz = 1000000;

constexpr int kStep5k = 0;
constexpr int kStep6_25k = 1;
constexpr int kStep10k = 2;
constexpr int kStep12_5k = 3;
constexpr int kStep15k = 4;

// The default image of a destination with every channel, call channel and function memory
// emptied, so that each test sees only what it sets.
class SettingChecksTest : public ::testing::Test {
protected:
    void useDestination(DestinationCode destination) {
        m_images.setDestination(destination);
        m_destination = destination;
        ChannelRecord record(image());
        for (int index = 0; index < kChannelCount; ++index) {
            ASSERT_TRUE(record.load(kKindChannel, index));
            record.used = false;
            ASSERT_TRUE(record.store());
        }
        for (int index = 0; index < kFunctionRecordCount; ++index) {
            setFunctionMode(index, kMemoryModeMemory);
            ASSERT_TRUE(record.load(kKindFunction, index));
            record.used = false;
            ASSERT_TRUE(record.store());
        }
        for (int slot = 0; slot < kGpsMemoryCount; ++slot) {
            image().setByte(kGpsSlotList + slot, kGpsSlotFree);
        }
        banklink::rebuild(image());
    }

    cmcEeprom& image() { return m_images.current(); }

    void setChannel(int kind, int index, std::uint32_t frequency, std::uint32_t offset = 0,
                    int tuningStep = kStep10k, int mode = kModeFm) {
        ChannelRecord record(image());
        ASSERT_TRUE(record.load(kind, index));
        record.used = true;
        record.frequency = frequency;
        record.offset = offset;
        record.tuningStep = tuningStep;
        record.mode = mode;
        ASSERT_TRUE(record.store());
        banklink::rebuild(image());
    }

    void putInBank(int index, int bank, int slot) {
        ChannelRecord record(image());
        ASSERT_TRUE(record.load(kKindChannel, index));
        record.bankGroup = bank;
        record.bankChannel = slot;
        ASSERT_TRUE(record.store());
        banklink::rebuild(image());
    }

    // Memory mode of one band of a function memory (bits 3-2 of its band byte).
    void setFunctionMode(int index, int memoryMode) {
        const std::int32_t at =
            (index < 2 ? kFunctionSettings1 : kFunctionSettings2) + 167 + index % 2;
        const std::uint8_t old = image().getByte(at);
        const auto mode = memoryMode == kMemoryModeVfo ? 0x10 : memoryMode << 2;
        image().setByte(at, static_cast<std::uint8_t>((old & 0x03) | mode));
    }

    std::uint8_t verdict(CellLinkId link, FeatureFlags flags = {}) {
        return SettingChecks(image(), m_destination, flags).verdict(link);
    }

    ImageSet m_images;
    DestinationCode m_destination = kDestinationUnset;
};

TEST_F(SettingChecksTest, OneChannelAgainstDestinationAndVariant) {
    struct Case {
        const char* what;
        DestinationCode destination;
        FeatureFlags flags;
        std::uint32_t frequency;
        std::uint32_t offset;
        int step;
        int mode;
        std::uint8_t expected;
    };
    const FeatureFlags none{};
    const FeatureFlags rxExpansion{.rxExpansion = true};
    const FeatureFlags digital{.digitalUnit = true};
    const FeatureFlags digitalInhibited{.digitalUnit = true, .dvInhibit = true};
    const std::uint32_t f851 = 851012500;
    const Case cases[] = {
        {"146 MHz lies in the transmit range", 2, none, 146 * MHz, 0, kStep10k, kModeFm, 0},
        {"150 MHz needs the receive expansion", 2, none, 150 * MHz, 0, kStep10k, kModeFm, W},
        {"150 MHz with the receive expansion", 2, rxExpansion, 150 * MHz, 0, kStep10k, kModeFm, 0},
        {"outside the coverage", 2, none, 600 * MHz, 0, kStep10k, kModeFm, W},
        {"no destination, no warning", kDestinationUnset, none, 600 * MHz, 0, kStep10k, kModeFm, 0},
        {"band 7 on its grid", 3, none, f851, 45 * MHz, kStep12_5k, kModeFm, 0},
        {"band 7 with a 5k step", 3, none, f851, 45 * MHz, kStep5k, kModeFm, E},
        {"band 7 with a 6.25k step", 3, none, f851, 45 * MHz, kStep6_25k, kModeFm, E},
        {"band 7 with a 15k step", 3, none, f851, 45 * MHz, kStep15k, kModeFm, E},
        {"band 7 offset off both grids", 3, none, f851, 45005000, kStep12_5k, kModeFm, E},
        {"band 7 offset on the 12.5k grid", 3, none, f851, 45012500, kStep12_5k, kModeFm, 0},
        // Not allowed there at all: the grid rules do not apply, only the warning.
        {"band 7 where it needs the expansion", 2, none, f851, 45 * MHz, kStep5k, kModeFm, W},
        {"band 7 with the expansion", 2, rxExpansion, f851, 45 * MHz, kStep5k, kModeFm, E},
        // Past the coverage as well.
        {"no valid frequency", 3, none, 1000 * MHz, 0, kStep10k, kModeFm, W | E},
        {"no valid frequency, no destination", kDestinationUnset, none, 1000 * MHz, 0, kStep10k,
         kModeFm, E},
        {"DV without the digital unit", 3, none, 145 * MHz, 0, kStep10k, kModeDv, E},
        {"DV with the digital unit", 3, digital, 145 * MHz, 0, kStep10k, kModeDv, 0},
        {"DV inhibited", 3, digitalInhibited, 145 * MHz, 0, kStep10k, kModeDv, E},
        {"DV inhibited and a warning", 2, digitalInhibited, 150 * MHz, 0, kStep10k, kModeDv, W | E},
    };
    for (const Case& c : cases) {
        useDestination(c.destination);
        setChannel(kKindChannel, 42, c.frequency, c.offset, c.step, c.mode);
        EXPECT_EQ(verdict(CL_Check_MemoryCH0, c.flags), c.expected) << c.what;
        EXPECT_EQ(verdict(CL_Check_MemoryCH1, c.flags), 0) << c.what;
    }
}

TEST_F(SettingChecksTest, EachLinkCoversItsOwnChannels) {
    useDestination(2);
    struct Case {
        int index;
        CellLinkId link;
    };
    for (const Case c :
         {Case{0, CL_Check_MemoryCH0}, Case{199, CL_Check_MemoryCH1}, Case{200, CL_Check_MemoryCH2},
          Case{399, CL_Check_MemoryCH3}, Case{499, CL_Check_MemoryCH4},
          Case{500, CL_Check_MemoryCHS}, Case{519, CL_Check_MemoryCHS},
          Case{520, CL_Check_MemoryCHC}, Case{521, CL_Check_MemoryCHC}}) {
        setChannel(kKindChannel, c.index, 150 * MHz);
        for (int link = CL_Check_MemoryCH0; link <= CL_Check_Common; ++link) {
            const auto id = static_cast<CellLinkId>(link);
            EXPECT_EQ(verdict(id), id == c.link ? W : 0) << c.index << " " << cellLinkName(id);
        }
        setChannel(kKindChannel, c.index, 146 * MHz);
    }
}

TEST_F(SettingChecksTest, TwoChannelsInOneBankSlotAreErrorsOfTheirSheets) {
    useDestination(2);
    setChannel(kKindChannel, 10, 146 * MHz);
    setChannel(kKindChannel, 150, 146 * MHz);
    setChannel(kKindChannel, 230, 150 * MHz);
    setChannel(kKindChannel, 505, 146 * MHz);
    putInBank(230, 0, 6);
    EXPECT_EQ(verdict(CL_Check_BankCHA), W) << "the bank check tests the channels it names";
    EXPECT_EQ(verdict(CL_Check_MemoryCH1), 0);

    putInBank(230, 1, 6);
    putInBank(10, 0, 5);
    putInBank(150, 0, 5);
    putInBank(505, 2, 0);
    putInBank(504, 2, 0); // empty channels never claim a slot
    EXPECT_EQ(banklink::slot(image(), 0, 5), kBankSlotConflict);
    EXPECT_EQ(verdict(CL_Check_MemoryCH0), E);
    EXPECT_EQ(verdict(CL_Check_MemoryCH1), E);
    EXPECT_EQ(verdict(CL_Check_MemoryCH2), W);
    EXPECT_EQ(verdict(CL_Check_MemoryCHS), 0);
    EXPECT_EQ(verdict(CL_Check_BankCHA), 0) << "the claimed slot names no channel";
    EXPECT_EQ(verdict(CL_Check_BankCHB), W);
    EXPECT_EQ(verdict(CL_Check_BankCHC), 0);

    putInBank(10, 255, 0);
    EXPECT_EQ(verdict(CL_Check_MemoryCH0), 0);
    EXPECT_EQ(verdict(CL_Check_MemoryCH1), 0);
}

TEST_F(SettingChecksTest, WeatherModeEndsTheWarningsOfAUsFunctionMemory) {
    // 600 MHz lies outside the coverage; the weather channels outside the US ranges.
    struct Case {
        DestinationCode destination;
        int weatherIndex;
        std::uint8_t expected;
    };
    for (const Case c : {Case{0, 1, 0}, Case{1, 0, 0}, Case{0, -1, W}, Case{5, 1, W}}) {
        useDestination(c.destination);
        const int warned = c.weatherIndex == 0 ? 1 : 0;
        setChannel(kKindFunction, warned, 600 * MHz);
        if (c.weatherIndex >= 0) {
            setFunctionMode(c.weatherIndex, kMemoryModeWeather);
        }
        EXPECT_EQ(verdict(CL_Check_Func1CH), c.expected) << c.destination << " " << c.weatherIndex;
        EXPECT_EQ(verdict(CL_Check_Func2CH), 0);
    }

    // Errors are still found.
    useDestination(0);
    setChannel(kKindFunction, 3, 600 * MHz, 0, kStep10k, kModeDv);
    setFunctionMode(2, kMemoryModeWeather);
    EXPECT_EQ(verdict(CL_Check_Func2CH), E);
}

TEST_F(SettingChecksTest, AFunctionMemoryInVfoModeKeepsToItsBand) {
    useDestination(3);
    setChannel(kKindFunction, 1, 851012500, 0, kStep12_5k);
    setFunctionMode(1, kMemoryModeVfo);
    EXPECT_EQ(verdict(CL_Check_Func1CH), 0) << "the right band reaches 810 MHz and above";
    setChannel(kKindFunction, 0, 851012500, 0, kStep12_5k);
    setFunctionMode(0, kMemoryModeVfo);
    EXPECT_EQ(verdict(CL_Check_Func1CH), W);
}

TEST_F(SettingChecksTest, GpsAlarmOnReceiveNeedsDv) {
    useDestination(3);
    const FeatureFlags inhibited{.digitalUnit = true, .dvInhibit = true};
    const FeatureFlags usable{.digitalUnit = true};
    const std::int32_t alarm = kMainSettings + 0x128;
    image().setByte(alarm, 1);

    // No GPS memory: only the common settings are marked.
    EXPECT_EQ(verdict(CL_Check_GpsMemory, inhibited), 0);
    EXPECT_EQ(verdict(CL_Check_GpsBankCHC, inhibited), 0);
    EXPECT_EQ(verdict(CL_Check_Common, inhibited), E);

    ChannelRecord memory(image());
    for (int index = 0; index < 2; ++index) {
        ASSERT_TRUE(memory.load(kKindGps, index));
        memory.slot = index;
        memory.gpsBankGroup = index == 1 ? 3 : 0; // OFF, Bank-C
        ASSERT_TRUE(memory.store());
    }
    EXPECT_EQ(verdict(CL_Check_GpsMemory, inhibited), E);
    EXPECT_EQ(verdict(CL_Check_GpsBankCHC, inhibited), E);
    EXPECT_EQ(verdict(CL_Check_GpsBankCHA, inhibited), 0);
    EXPECT_EQ(verdict(CL_Check_GpsBankCHB, inhibited), 0);

    for (const FeatureFlags flags : {usable, FeatureFlags{}}) {
        EXPECT_EQ(verdict(CL_Check_GpsMemory, flags), 0);
        EXPECT_EQ(verdict(CL_Check_Common, flags), 0);
    }
    for (const std::uint8_t setting : {0, 2, 31}) {
        image().setByte(alarm, setting);
        EXPECT_EQ(verdict(CL_Check_GpsMemory, inhibited), 0) << int{setting};
        EXPECT_EQ(verdict(CL_Check_Common, inhibited), 0) << int{setting};
    }
}

TEST_F(SettingChecksTest, ChannelCellsCarryTheirChannelsVerdict) {
    useDestination(2);
    setChannel(kKindChannel, 42, 150 * MHz);
    setChannel(kKindChannel, 43, 146 * MHz, 0, kStep10k, kModeDv);
    LinkEnvironment environment;
    environment.image = &image();
    environment.destination = 2;
    cmcCellLinkDispatch dispatch(environment);
    struct Shown {
        std::string text;
        std::uint8_t marks;
    };
    const auto draw = [&](int link, int index) {
        cmcCellObj cell;
        cell.category = CT_Conv;
        cell.link = link;
        cell.index = index;
        cmcCellCapsule request;
        request.cell = &cell;
        request.drawing = true;
        request.flags = cmcCellCapsule::kFlagCurrent | W | E;
        dispatch.dispatch(request);
        return Shown{request.displayText, request.flags};
    };

    EXPECT_EQ(draw(CL_Mch_Freq, 42).text, "150.000000");
    EXPECT_EQ(draw(CL_Mch_Freq, 42).marks, cmcCellCapsule::kFlagCurrent | W);
    EXPECT_EQ(draw(CL_Mch_Name, 42).marks, cmcCellCapsule::kFlagCurrent | W);
    // A channel in error shows no frequency until it is edited.
    EXPECT_EQ(draw(CL_Mch_Freq, 43).text, "");
    EXPECT_EQ(draw(CL_Mch_Freq, 43).marks, cmcCellCapsule::kFlagCurrent | E);
    EXPECT_EQ(draw(CL_Mch_Offset_Freq, 43).marks, cmcCellCapsule::kFlagCurrent | E);
    cmcCellObj frequency;
    frequency.category = CT_Conv;
    frequency.link = CL_Mch_Freq;
    frequency.index = 43;
    cmcCellCapsule enter;
    enter.cell = &frequency;
    enter.command = 13;
    EXPECT_EQ(dispatch.dispatch(enter), kResultEdit);
    EXPECT_EQ(enter.text, "146.000000");

    dispatch.environment().features.digitalUnit = true;
    EXPECT_EQ(draw(CL_Mch_Freq, 43).text, "146.000000");
    EXPECT_EQ(draw(CL_Mch_Freq, 43).marks, cmcCellCapsule::kFlagCurrent);
}

} // namespace
} // namespace qx
