#include "output/image_diff.h"

#include "headless_sheets.h"
#include "radio/bank_link_table.h"
#include "radio/channel_record.h"
#include "radio/image_map.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qx {
namespace {

using namespace imagemap;

class ImageDiffTest : public ::testing::Test {
protected:
    std::vector<std::string> diff(const cmcEeprom& a, const cmcEeprom& b) {
        ImageDiff d(s.env, *s.dispatch, s.tables);
        d.compare(a, b);
        return d.lines();
    }
    test::HeadlessSheets s;
};

TEST_F(ImageDiffTest, ListsTheCellsThatDifferAsTheSheetsShowThem) {
    const cmcEeprom a = s.images.current();
    EXPECT_TRUE(diff(a, a).empty());

    cmcEeprom b = a;
    ChannelRecord rec(b);
    rec.load(kKindChannel, 1);
    ASSERT_TRUE(rec.used);
    rec.name = ChannelRecord::toText8("HOME");
    rec.store();
    EXPECT_EQ(diff(a, b),
              (std::vector<std::string>{"[St_ColCut]GI_Sheet_MemoryCH,0,0\t1\tName\t\tHOME"}));

    // A channel in a bank shows in its bank's list as well; the bank table follows the
    // channels of each image.
    rec.bankGroup = 0;
    rec.bankChannel = 5;
    rec.store();
    banklink::rebuild(b);
    cmcEeprom c = b;
    ChannelRecord moved(c);
    moved.load(kKindChannel, 1);
    moved.frequency = 433025000;
    moved.store();
    EXPECT_EQ(diff(b, c), (std::vector<std::string>{
                              "[St_ColCut]GI_Sheet_MemoryCH,0,0\t1\tOperating Freq\t433.000000"
                              "\t433.025000",
                              "[St_CCBank]GI_Sheet_BankCH,9\t5\tOperating Freq\t433.000000\t"
                              "433.025000"}));
}

TEST_F(ImageDiffTest, SummarisesBytesThatNoCellShowsByAddressRange) {
    s.setDestination(0, false);
    const cmcEeprom a = s.images.current();
    cmcEeprom b = a;
    // The call signs of a channel are hidden without a digital unit.
    ChannelRecord rec(b);
    rec.load(kKindChannel, 0);
    rec.yourCall = ChannelRecord::toText8("JA1ABC");
    rec.store();
    const std::vector<std::string> lines = diff(a, b);
    ASSERT_EQ(lines.size(), 1U);
    EXPECT_EQ(lines[0], "bytes\t0x0008-0x000D\t\t435143514351\t4A4131414243");

    s.setDestination(0, true);
    EXPECT_EQ(diff(a, b), (std::vector<std::string>{"[St_ColCut]GI_Sheet_MemoryCH,0,0\t0\tYour"
                                                    "\tCQCQCQ\tJA1ABC"}));
}

} // namespace
} // namespace qx
