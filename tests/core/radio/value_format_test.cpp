#include "radio/frequency_band.h"
#include "radio/frequency_format.h"
#include "radio/gps_format.h"
#include "radio/text_format.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace qx {
namespace {

// Whatever a user types, an accepted value is one the field can hold, and what is shown for it
// parses back to the same value.
TEST(ValueFormatTest, AcceptedValuesStayInsideTheirFields) {
    std::mt19937 random(5130);
    const std::string alphabet = "0123456789.-+:'/ _*#aEnNsSwW\xB0\xDF\x83\x4B\x82";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 14);
    for (int round = 0; round < 10000; ++round) {
        std::string typed;
        for (int i = length(random); i > 0; --i) {
            typed.push_back(alphabet[pick(random)]);
        }
        SCOPED_TRACE(testing::PrintToString(typed));

        if (const auto hz = parseFrequency(typed)) {
            ASSERT_GE(*hz, 495000u);
            ASSERT_LE(*hz, 999990000u);
            ASSERT_EQ(frequency::snapFrequency(*hz), *hz);
            ASSERT_EQ(*parseFrequency(formatFrequency(*hz)), *hz);
        }
        if (const auto offset = parseOffset(typed, 145000000)) {
            ASSERT_LE(*offset, frequency::kMaxOffset);
        }
        if (const auto minutes = parseUtcOffset(typed)) {
            ASSERT_LE(std::abs(*minutes), 720);
            ASSERT_EQ(*minutes % 5, 0);
            ASSERT_EQ(*parseUtcOffset(formatUtcOffset(*minutes)), *minutes);
        }
        if (const auto area = parsePositionArea(typed)) {
            const int seconds = area->minutes * 60 + area->seconds;
            ASSERT_GE(seconds, 5);
            ASSERT_LT(seconds, 3600);
            ASSERT_EQ(*parsePositionArea(formatPositionArea(*area)), *area);
        }
        if (const auto latitude = parseLatitude(typed)) {
            ASSERT_EQ(*parseLatitude(formatLatitude(*latitude, CodePage::ShiftJis)), *latitude);
        }
        if (const auto longitude = parseLongitude(typed)) {
            ASSERT_EQ(*parseLongitude(formatLongitude(*longitude, CodePage::Windows1252)),
                      *longitude);
        }
        const std::string name = parseTextField(typed, 8, true);
        ASSERT_EQ(name.size(), 8u);
        ASSERT_EQ(formatTextField(name, true),
                  formatTextField(parseTextField(name, 8, true), true));
        const std::string callSign = parseCallSign(typed);
        ASSERT_EQ(callSign.size(), kCallSignWidth);
        ASSERT_EQ(parseCallSign(formatCallSign(callSign)), callSign);
        const DtmfCode dtmf = parseDtmfCode(typed);
        ASSERT_EQ(parseDtmfCode(formatDtmfCode(dtmf)), dtmf);
    }
}

} // namespace
} // namespace qx
