#include "radio/settings_table.h"

#include "radio/default_images.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace qx {
namespace {

constexpr std::int32_t kImageSize = 70704;

class SettingsTableTest : public ::testing::Test {
protected:
    SettingsTableTest() : m_image(kImageSize) {}

    const SettingEntry& entry(std::string_view name, std::int32_t destination = 13) {
        const SettingEntry* found = findSetting(name, destination);
        EXPECT_NE(found, nullptr) << name;
        return found != nullptr ? *found : settingsTable().front();
    }

    std::uint8_t byteAt(std::int32_t address) const { return m_image.getByte(address); }

    cmcEeprom m_image;
};

// One case per way a value is laid out: where it lands, which bytes change and what reads back.
struct EncodingCase {
    std::string_view link;
    std::int32_t index;
    std::int32_t element;
    std::int32_t value;
    std::int32_t offset;                // first byte, from the main block start
    std::vector<std::uint8_t> preset;   // bytes there before the write
    std::vector<std::uint8_t> expected; // bytes there after it
};

TEST_F(SettingsTableTest, EachEncodingWritesItsBytesAndReadsBack) {
    const std::vector<EncodingCase> cases{
        {"CL_Common_ToT", 0, 0, 3, 0x12, {0}, {3}},
        {"CL_Common_Scan_Edge", 1, 0, 10, 0xB0, {0}, {10}},
        // Right band RF power: bits 1-0 of 0xA8 only, the mode bits above are kept.
        {"CL_Common_RF_Power", 1, 0, 1, 0xA8, {0xFE}, {0xFD}},
        {"CL_Common_GPS_DT", 0, 0, 1, 0xA5, {0x84}, {0x8C}},
        {"CL_Common_GPS_DT", 0, 0, 0, 0xA5, {0xFF}, {0xF7}},
        // Pager row 3 uses bit 2.
        {"CL_PGR_Memory_Skip", 3, 0, 1, 0x107, {0x01}, {0x05}},
        {"CL_PGR_Memory_Skip", 1, 0, 0, 0x107, {0x1F}, {0x1E}},
        // Bank M (third of K-T) on the right band.
        {"CL_Common_BankLink_KT", 1, 2, 1, 0x2E + 2 * 12 + 1, {0}, {1}},
        {"CL_Common_BankLink_UZ", 0, 5, 1, 0x2E + 2 * 25, {0}, {1}},
        {"CL_Common_UTC_Offset", 0, 0, -330, 0x12C, {0, 0}, {0xFE, 0xB6}},
        {"CL_Common_UTC_Offset", 0, 0, 540, 0x12C, {0, 0}, {0x02, 0x1C}},
        {"CL_Common_POS_Area1", 0, 0, 65, 0x12A, {0, 0}, {1, 5}},
        {"CL_Common_GPS_ControlMode", 0, 0, 0xA8, 0x79, {0, 0, 0, 0, 0}, {1, 0, 1, 0, 1}},
        {"CL_Common_Gps_Alarm", 0, 0, 29 + 99, 0x128, {0}, {128}},
    };
    for (const EncodingCase& c : cases) {
        SCOPED_TRACE(std::string(c.link) + " value " + std::to_string(c.value));
        const SettingEntry& setting = entry(c.link);
        const std::int32_t address = kMainSettingsBase + c.offset;
        m_image.writeBlock(address, c.preset.data(), static_cast<std::int32_t>(c.preset.size()));
        ASSERT_EQ(settingAddress(SettingsBlock::Main, setting, c.index, c.element),
                  setting.encoding == SettingEncoding::RowBit ? kMainSettingsBase + 0x107
                                                              : address);
        ASSERT_TRUE(
            writeSetting(m_image, SettingsBlock::Main, setting, c.index, c.value, c.element));
        for (std::size_t i = 0; i < c.expected.size(); ++i) {
            EXPECT_EQ(byteAt(address + static_cast<std::int32_t>(i)), c.expected[i]) << i;
        }
        EXPECT_EQ(readSetting(m_image, SettingsBlock::Main, setting, c.index, c.element), c.value);
    }
}

TEST_F(SettingsTableTest, RefusesValuesAndIndexesOutsideTheRule) {
    const cmcEeprom before = m_image;
    EXPECT_FALSE(writeSetting(m_image, SettingsBlock::Main, entry("CL_Common_ToT"), 0, 5));
    EXPECT_FALSE(writeSetting(m_image, SettingsBlock::Main, entry("CL_Common_RF_Power"), 0, 3));
    EXPECT_FALSE(writeSetting(m_image, SettingsBlock::Main, entry("CL_Common_RF_Power"), 2, 1));
    EXPECT_FALSE(writeSetting(m_image, SettingsBlock::Main, entry("CL_Common_UTC_Offset"), 0, 725));
    EXPECT_FALSE(writeSetting(m_image, SettingsBlock::Main, entry("CL_Common_UTC_Offset"), 0, 7));
    EXPECT_FALSE(writeSetting(m_image, SettingsBlock::Main, entry("CL_Common_POS_Area1"), 0, 4));
    // Pager row 0 has no skip.
    EXPECT_FALSE(writeSetting(m_image, SettingsBlock::Main, entry("CL_PGR_Memory_Skip"), 0, 1));
    EXPECT_FALSE(
        writeSetting(m_image, SettingsBlock::Main, entry("CL_Common_BankLink_UZ"), 0, 1, 6));
    // OFF is no combination a cell can show; a four-sentence mask is none either.
    EXPECT_FALSE(
        writeSetting(m_image, SettingsBlock::Main, entry("CL_Common_GPS_ControlMode"), 0, 0));
    EXPECT_FALSE(
        writeSetting(m_image, SettingsBlock::Main, entry("CL_Common_GPS_ControlMode"), 0, 0xF0));
    EXPECT_FALSE(
        writeSetting(m_image, SettingsBlock::Main, entry("CL_Common_Unproto_Address"), 0, 1));
    EXPECT_TRUE(m_image == before);

    // Reads outside the rule or of a too small image give nothing instead of stopping.
    EXPECT_FALSE(readSetting(m_image, SettingsBlock::Main, entry("CL_Common_Wx_Ch"), 2));
    const cmcEeprom tiny(16);
    EXPECT_FALSE(readSetting(tiny, SettingsBlock::Main, entry("CL_Common_ToT")));
}

TEST_F(SettingsTableTest, FunctionMemoryBlocksAreSeparateCopies) {
    const SettingEntry& power = entry("CL_Common_RF_Power");
    const std::map<SettingsBlock, std::int32_t> bases{
        {SettingsBlock::Main, 0xAA80}, {SettingsBlock::F1, 0xA217}, {SettingsBlock::F2, 0xA42E}};
    for (const auto& [block, base] : bases) {
        cmcEeprom image(kImageSize);
        ASSERT_TRUE(writeSetting(image, block, power, 1, 2));
        cmcEeprom expected(kImageSize);
        expected.setByte(base + 0xA8, 2);
        EXPECT_TRUE(image == expected) << static_cast<int>(block);
        for (const auto& [other, otherBase] : bases) {
            EXPECT_EQ(readSetting(image, other, power, 1), other == block ? 2 : 0);
        }
    }
    EXPECT_EQ(settingsBlockForParameter("1"), SettingsBlock::F1);
    EXPECT_EQ(settingsBlockForParameter("2,A"), SettingsBlock::F2);
    EXPECT_EQ(settingsBlockForParameter("12"), SettingsBlock::Main);
    EXPECT_EQ(settingsBlockForParameter(""), SettingsBlock::Main);
    EXPECT_EQ(settingsBlockForParameter("0"), SettingsBlock::Main);
}

TEST_F(SettingsTableTest, AutoRepeaterDependsOnTheDestination) {
    for (std::int32_t destination = 0; destination <= 16; ++destination) {
        SCOPED_TRACE(destination);
        const SettingEntry* setting = findSetting("CL_Common_Auto_RPT", destination);
        if (destination <= 1) {
            ASSERT_NE(setting, nullptr);
            EXPECT_EQ(setting->offset, 0x17);
            EXPECT_EQ(setting->listKey, "GI_Sheet_Sel_Common_USA_Auto_RPT");
            EXPECT_TRUE(setting->values.allows(2));
        } else if (destination == 10 || (destination >= 13 && destination <= 15)) {
            ASSERT_NE(setting, nullptr);
            EXPECT_EQ(setting->offset, 0x16);
            EXPECT_EQ(setting->listKey, "GI_Sheet_Sel_Misc_OnOff");
            EXPECT_FALSE(setting->values.allows(2));
        } else {
            EXPECT_EQ(setting, nullptr);
        }
    }
    EXPECT_EQ(findSetting(CL_Common_Auto_RPT, 0), findSetting("CL_Common_Auto_RPT", 0));
    EXPECT_EQ(findSetting("CL_Mch_Freq", 0), nullptr);
}

TEST_F(SettingsTableTest, SelectionRowMarksTheStoredRow) {
    const SettingEntry& dtmf = entry("CL_Common_DTMF_CH_NO");
    ASSERT_EQ(dtmf.selectionRows, 16);
    ASSERT_TRUE(writeSetting(m_image, SettingsBlock::Main, dtmf, 3, 3));
    ASSERT_TRUE(writeSetting(m_image, SettingsBlock::Main, dtmf, 7, 7));
    EXPECT_EQ(byteAt(kMainSettingsBase + 0x11D), 7);
    const std::int32_t stored = *readSetting(m_image, SettingsBlock::Main, dtmf, 0);
    for (std::int32_t row = 0; row < 16; ++row) {
        EXPECT_EQ(selectionRowMarked(stored, row), row == 7) << row;
    }
    EXPECT_FALSE(writeSetting(m_image, SettingsBlock::Main, dtmf, 0, 16));
    EXPECT_EQ(entry("CL_PGR_Memory_Ch_No").selectionRows, 6);
    EXPECT_EQ(entry("CL_My_Callsign_Sel").selectionRows, 6);
    EXPECT_EQ(entry("CL_Tx_Message_Ch_No").selectionRows, 5);
}

TEST_F(SettingsTableTest, GpsSentenceCombinations) {
    const auto combinations = gpsSentenceCombinations();
    EXPECT_EQ(combinations[0].label, "OFF");
    for (std::size_t i = 1; i < combinations.size(); ++i) {
        const auto mask = combinations[i].mask;
        EXPECT_EQ(gpsSentenceEntryForMask(mask), static_cast<std::int32_t>(i));
        // One to three sentences, and the label names exactly the sentences of the mask.
        const std::pair<std::uint8_t, std::string_view> sentences[] = {
            {kGpsSentenceMaskRmc, "RMC"},
            {kGpsSentenceMaskGga, "GGA"},
            {kGpsSentenceMaskGll, "GLL"},
            {kGpsSentenceMaskGsa, "GSA"},
            {kGpsSentenceMaskVtg, "VTG"}};
        int count = 0;
        for (const auto& [bit, name] : sentences) {
            const bool named = combinations[i].label.find(name) != std::string_view::npos;
            EXPECT_EQ((mask & bit) != 0, named) << combinations[i].label;
            count += named ? 1 : 0;
        }
        EXPECT_TRUE(count >= 1 && count <= 3) << combinations[i].label;
    }
    // Unknown and OFF patterns show "GLL".
    EXPECT_EQ(gpsSentenceEntryForMask(0x00), 1);
    EXPECT_EQ(gpsSentenceEntryForMask(0xF0), 1);
    EXPECT_EQ(combinations[1].label, "GLL");
    EXPECT_EQ(gpsSentenceStep(25, 1), 1);
    EXPECT_EQ(gpsSentenceStep(1, -1), 25);
    EXPECT_EQ(gpsSentenceStep(24, 1), 25);
    EXPECT_EQ(gpsSentenceStep(0, 1), 2);

    // Bytes other than 0/1 read as no mask at all.
    const SettingEntry& mode = entry("CL_Common_GPS_ControlMode");
    m_image.setByte(kMainSettingsBase + 0x7B, 2);
    EXPECT_EQ(readSetting(m_image, SettingsBlock::Main, mode), -1);
    EXPECT_FALSE(settingHoldsListedValue(m_image, SettingsBlock::Main, mode));
}

TEST_F(SettingsTableTest, TextSettingsArePaddedWithFF) {
    const SettingEntry& unproto = entry("CL_Common_Unproto_Address");
    ASSERT_TRUE(writeSettingText(m_image, SettingsBlock::F1, unproto, "API282,DSTAR*"));
    EXPECT_EQ(readSettingText(m_image, SettingsBlock::F1, unproto), "API282,DSTAR*");
    EXPECT_EQ(byteAt(0xA217 + 0x12E + 13), 0xFF);
    EXPECT_EQ(byteAt(0xA217 + 0x12E + 55), 0xFF);
    EXPECT_EQ(byteAt(0xA217 + 0x12E + 56), 0x00); // the next field is untouched
    EXPECT_TRUE(settingHoldsListedValue(m_image, SettingsBlock::F1, unproto));
    EXPECT_FALSE(writeSettingText(m_image, SettingsBlock::F1, unproto, "bad\x01text"));
    EXPECT_EQ(readSettingText(m_image, SettingsBlock::F1, unproto), "API282,DSTAR*");

    const SettingEntry& comment = entry("CL_Common_APRS_Comment2");
    ASSERT_TRUE(writeSettingText(m_image, SettingsBlock::Main, comment, std::string(50, 'x')));
    EXPECT_EQ(readSettingText(m_image, SettingsBlock::Main, comment), std::string(36, 'x'));
    EXPECT_EQ(byteAt(kMainSettingsBase + 0x1B5), 0x00);

    const SettingEntry& symbol = entry("CL_Common_Other_Symbol");
    EXPECT_TRUE(writeSettingText(m_image, SettingsBlock::Main, symbol, "/>"));
    EXPECT_FALSE(writeSettingText(m_image, SettingsBlock::Main, symbol, "a>"));
    EXPECT_FALSE(writeSettingText(m_image, SettingsBlock::Main, symbol, "/"));
    EXPECT_EQ(readSettingText(m_image, SettingsBlock::Main, symbol), "/>");
    EXPECT_TRUE(writeSettingText(m_image, SettingsBlock::Main, symbol, ""));
    EXPECT_EQ(byteAt(kMainSettingsBase + 0x1B5), 0xFF);
    EXPECT_EQ(byteAt(kMainSettingsBase + 0x1B6), 0xFF);

    // Characters after the padding or control characters are no listed text.
    m_image.setByte(kMainSettingsBase + 0x166 + 40, 'A');
    EXPECT_FALSE(
        settingHoldsListedValue(m_image, SettingsBlock::Main, entry("CL_Common_APRS_Comment1")));
}

// Every entry lies inside the block, and no two settings claim the same bits unless they are
// the documented views of one byte (the GPS alarm).
TEST_F(SettingsTableTest, EntriesFitTheBlockWithoutOverlap) {
    std::map<std::int32_t, std::pair<std::uint8_t, std::string_view>> claimed;
    for (const SettingEntry& setting : settingsTable()) {
        SCOPED_TRACE(setting.linkName());
        EXPECT_FALSE(setting.values.count() == 0);
        for (std::int32_t element = 0; element < setting.elementCount; ++element) {
            for (std::int32_t i = 0; i < setting.indexCount; ++i) {
                const std::int32_t index = setting.firstIndex + i;
                const auto address = settingAddress(SettingsBlock::Main, setting, index, element);
                ASSERT_TRUE(address);
                const std::int32_t offset = *address - kMainSettingsBase;
                ASSERT_GE(offset, 0);
                ASSERT_LE(offset + setting.width, kSettingsBlockSize);
                for (std::int32_t b = 0; b < setting.width; ++b) {
                    std::uint8_t bitsUsed = 0xFF;
                    if (setting.encoding == SettingEncoding::BitField) {
                        bitsUsed = static_cast<std::uint8_t>(((1u << setting.bitWidth) - 1)
                                                             << setting.bitShift);
                    } else if (setting.encoding == SettingEncoding::RowBit) {
                        bitsUsed = static_cast<std::uint8_t>(1u << (index - setting.firstIndex));
                    }
                    auto& [bitsSoFar, owner] = claimed[offset + b];
                    const bool sharedAlarm = offset + b == 0x128;
                    const bool sameSetting = owner == setting.linkName();
                    if (!sharedAlarm && !sameSetting) {
                        EXPECT_EQ(bitsSoFar & bitsUsed, 0)
                            << "offset " << offset + b << " also used by " << owner;
                    }
                    bitsSoFar |= bitsUsed;
                    owner = setting.linkName();
                }
            }
        }
    }
    // The block ends exactly with the other symbol.
    EXPECT_EQ(claimed.rbegin()->first, kSettingsBlockSize - 1);
}

TEST_F(SettingsTableTest, ListedValuesCheckFindsAStrayValue) {
    // A block holding the first listed value everywhere and empty texts is valid throughout.
    for (SettingsBlock block : {SettingsBlock::Main, SettingsBlock::F1, SettingsBlock::F2}) {
        for (const SettingEntry& setting : settingsTable()) {
            if (setting.encoding == SettingEncoding::Text) {
                ASSERT_TRUE(writeSettingText(m_image, block, setting, ""));
                continue;
            }
            for (std::int32_t element = 0; element < setting.elementCount; ++element) {
                for (std::int32_t i = 0; i < setting.indexCount; ++i) {
                    ASSERT_TRUE(writeSetting(m_image, block, setting, setting.firstIndex + i,
                                             setting.values.at(0), element))
                        << setting.linkName();
                }
            }
        }
    }
    for (const SettingEntry& setting : settingsTable()) {
        EXPECT_TRUE(settingHoldsListedValue(m_image, SettingsBlock::F2, setting))
            << setting.linkName();
    }
    m_image.setByte(kF2SettingsBase + 0xB0, 11); // right band scan edge past P9
    EXPECT_FALSE(settingHoldsListedValue(m_image, SettingsBlock::F2, entry("CL_Common_Scan_Edge")));
    EXPECT_TRUE(
        settingHoldsListedValue(m_image, SettingsBlock::Main, entry("CL_Common_Scan_Edge")));
    m_image.setByte(kMainSettingsBase + 0x12B, 60); // position area seconds
    EXPECT_FALSE(
        settingHoldsListedValue(m_image, SettingsBlock::Main, entry("CL_Common_POS_Area1")));
}

// Every setting of every built-in image, in the main block and both function memory copies,
// holds a value of its selection list; both auto repeater bytes are checked on every image.
TEST(DefaultImageSettingsTest, EverySettingHoldsAListedValue) {
    for (int block = 0; block < kDefaultImageCount; ++block) {
        const std::uint8_t* source = defaultImageBlock(block);
        ASSERT_NE(source, nullptr) << block;
        cmcEeprom image(kImageSize);
        image.writeBlock(0, source, imagemap::kTransceiverSize);
        for (SettingsBlock copy : {SettingsBlock::Main, SettingsBlock::F1, SettingsBlock::F2}) {
            for (const SettingEntry& setting : settingsTable()) {
                EXPECT_TRUE(settingHoldsListedValue(image, copy, setting))
                    << "image " << block << ", block " << static_cast<int>(copy) << ", "
                    << setting.linkName() << " at offset " << setting.offset;
            }
        }
    }
}

} // namespace
} // namespace qx
