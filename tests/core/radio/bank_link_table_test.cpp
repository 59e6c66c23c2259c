#include "radio/bank_link_table.h"
#include "radio/eeprom.h"
#include "radio/image_map.h"

#include <gtest/gtest.h>

namespace qx {
namespace {

using namespace imagemap;

// An image whose channels are all used and in no bank.
class BankLinkTableTest : public ::testing::Test {
protected:
    BankLinkTableTest() : m_image(kImageSize) {
        for (int index = 0; index < kBankableChannelCount; ++index) {
            m_image.setByte(kBankAssignments + index * 2, kNoBank);
        }
    }

    void assign(int index, int group, int number) {
        m_image.setByte(kBankAssignments + index * 2, static_cast<std::uint8_t>(group));
        m_image.setByte(kBankAssignments + index * 2 + 1, static_cast<std::uint8_t>(number));
    }

    void markEmpty(int index) {
        const std::int32_t at = kEmptyBitmap + index / 8;
        m_image.setByte(at, static_cast<std::uint8_t>(m_image.getByte(at) | 1 << (index % 8)));
    }

    int claimedSlots() const {
        int count = 0;
        for (int bank = 0; bank < kBankCount; ++bank) {
            for (int s = 0; s < kBankSlotCount; ++s) {
                count += banklink::slot(m_image, bank, s) != kBankSlotEmpty ? 1 : 0;
            }
        }
        return count;
    }

    cmcEeprom m_image;
};

TEST_F(BankLinkTableTest, EntersChannelsBigEndianAndIgnoresWhatHasNoSlot) {
    assign(300, 2, 7);   // C-07
    assign(519, 25, 99); // last scan edge, Z-99
    assign(5, 255, 3);   // no bank
    assign(6, 26, 3);    // group out of range
    assign(7, 0, 100);   // number out of range
    assign(8, 1, 1);
    markEmpty(8); // empty channels never occupy a slot
    banklink::rebuild(m_image);
    EXPECT_EQ(banklink::slot(m_image, 2, 7), 300);
    EXPECT_EQ(m_image.getByte(kBankLinkTable + 2 * 200 + 7 * 2), 0x01);
    EXPECT_EQ(m_image.getByte(kBankLinkTable + 2 * 200 + 7 * 2 + 1), 0x2C);
    EXPECT_EQ(banklink::slot(m_image, 25, 99), 519);
    EXPECT_EQ(claimedSlots(), 2);
}

TEST_F(BankLinkTableTest, SecondClaimMarksTheSlotAndAThirdKeepsTheMark) {
    assign(10, 0, 5);
    assign(20, 0, 5);
    banklink::rebuild(m_image);
    EXPECT_EQ(banklink::slot(m_image, 0, 5), kBankSlotConflict);
    assign(30, 0, 5);
    banklink::rebuild(m_image);
    EXPECT_EQ(banklink::slot(m_image, 0, 5), kBankSlotConflict);
    // The rebuild starts from scratch: once the channels leave, the slot is free again.
    assign(10, 255, 0);
    assign(20, 255, 0);
    banklink::rebuild(m_image);
    EXPECT_EQ(banklink::slot(m_image, 0, 5), 30);
}

} // namespace
} // namespace qx
