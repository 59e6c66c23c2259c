#include "radio/frequency_format.h"

#include <gtest/gtest.h>

#include <vector>

namespace qx {
namespace {

struct FrequencyCase {
    std::string_view typed;
    std::uint32_t stored;
    std::string_view shown;
};

TEST(FrequencyFormatTest, ParsesClampsSnapsAndShows) {
    const std::vector<FrequencyCase> cases{
        {"146.01", 146010000, "146.010000"},
        {"145.0062", 145006250, "145.006250"},
        {"145.0031", 145005000, "145.005000"},
        {"145.0125", 145012500, "145.012500"},
        // 5.625 kHz is as near to 5 as to 6.25 kHz: the 5 kHz grid wins the tie.
        {"145.005625", 145005000, "145.005000"},
        // Snapping may reach the next 25 kHz boundary.
        {"145.023", 145025000, "145.025000"},
        // At or above 810 MHz the grids are 10 and 12.5 kHz in 50 kHz periods.
        {"851.0125", 851012500, "851.012500"},
        {"851.0081", 851010000, "851.010000"},
        {"851.004", 851000000, "851.000000"},
        {"2000", 999990000, "999.990000"},
        {"0.1", 495000, "  0.495000"},
        {"-5", 495000, "  0.495000"},
        {" 146.01 MHz", 146010000, "146.010000"},
        // Only the first nine kept characters count.
        {"146.0100009", 146010000, "146.010000"},
        {"146.01.5", 146010000, "146.010000"},
    };
    for (const FrequencyCase& c : cases) {
        SCOPED_TRACE(std::string(c.typed));
        const ParseResult<std::uint32_t> parsed = parseFrequency(c.typed);
        ASSERT_TRUE(parsed);
        EXPECT_EQ(*parsed, c.stored);
        EXPECT_EQ(formatFrequency(*parsed), c.shown);
    }
}

TEST(FrequencyFormatTest, TextWithoutANumberChangesNothing) {
    EXPECT_EQ(parseFrequency("").refusal(), ParseRefusal::Empty);
    EXPECT_EQ(parseFrequency("MHz").refusal(), ParseRefusal::Empty);
    EXPECT_EQ(parseFrequency("-").refusal(), ParseRefusal::BadForm);
    EXPECT_EQ(parseFrequency(".").refusal(), ParseRefusal::BadForm);
    EXPECT_FALSE(parseOffset("", 145000000));
}

TEST(FrequencyFormatTest, ScaledDecimalRoundsHalfAwayFromZeroAndDropsTheStepRemainder) {
    const ScaledDecimalFormat wide{6, 6, -10000000, 10000000, 1};
    EXPECT_EQ(*parseScaledDecimal("1.2345675", wide), 1234568);
    // Nine characters at most: the last digit of "-1.2345675" is cut off before rounding.
    EXPECT_EQ(*parseScaledDecimal("-1.2345675", wide), -1234567);
    const ScaledDecimalFormat fiveDigits{5, 5, -1000000, 1000000, 1};
    EXPECT_EQ(*parseScaledDecimal("1.234565", fiveDigits), 123457);
    EXPECT_EQ(*parseScaledDecimal("1.234564", fiveDigits), 123456);
    EXPECT_EQ(*parseScaledDecimal("-1.234565", fiveDigits), -123457);
    EXPECT_EQ(formatScaledDecimal(-123457, fiveDigits), "-  1.23457");

    const ScaledDecimalFormat kilohertz{3, 3, 0, 1000000, 5};
    EXPECT_EQ(*parseScaledDecimal("146.012", kilohertz), 146010);
    EXPECT_EQ(formatScaledDecimal(146010, kilohertz), "146.010");
    // Limits: at or below the minimum gives the minimum, at or above the maximum the maximum.
    EXPECT_EQ(*parseScaledDecimal("1000.1", kilohertz), 1000000);
    EXPECT_EQ(*parseScaledDecimal("0", kilohertz), 0);

    const ScaledDecimalFormat twoDigits{6, 2, 0, 999000000, 1};
    EXPECT_EQ(formatScaledDecimal(146016000, twoDigits), "146.01");
}

TEST(FrequencyFormatTest, OffsetsKeepTheirLimit) {
    EXPECT_EQ(*parseOffset("0.6", 145000000), 600000u);
    EXPECT_EQ(*parseOffset("200", 145000000), 159995000u);
    EXPECT_EQ(*parseOffset("159.999", 145000000), 159995000u);
    EXPECT_EQ(*parseOffset("200", 851000000), 159990000u);
    EXPECT_EQ(*parseOffset("159.994", 145000000), 159993750u);
    // 159.998 MHz would snap to 160 MHz: held at the limit.
    EXPECT_EQ(*parseOffset("159.998", 145000000), 159995000u);
    EXPECT_EQ(*parseOffset("5.0031", 145000000), 5005000u);
    // The offset takes the grid of its channel's band.
    EXPECT_EQ(*parseOffset("0.0081", 145000000), 6250u);
    EXPECT_EQ(*parseOffset("0.0081", 851000000), 10000u);
}

TEST(FrequencyFormatTest, AirFrequencyAndWholeNumbers) {
    EXPECT_EQ(*parseAirFrequency("2283"), 2280);
    EXPECT_EQ(*parseAirFrequency("2285"), 2290);
    EXPECT_EQ(*parseAirFrequency("100"), 300);
    EXPECT_EQ(*parseAirFrequency("5000"), 3000);
    EXPECT_EQ(parseAirFrequency("22a0").refusal(), ParseRefusal::BadForm);
    EXPECT_EQ(parseAirFrequency(" ").refusal(), ParseRefusal::Empty);
    EXPECT_EQ(formatAirFrequency(2280), "2280");

    EXPECT_EQ(*parseWholeNumber(" 127 ", 0, 127), 127);
    EXPECT_EQ(parseWholeNumber("128", 0, 127).refusal(), ParseRefusal::OutOfRange);
    EXPECT_EQ(parseWholeNumber("1a", 0, 127).refusal(), ParseRefusal::BadForm);
    EXPECT_EQ(parseWholeNumber("99999999999999", 0, 127).refusal(), ParseRefusal::BadForm);
    EXPECT_EQ(parseWholeNumber("", 0, 9).refusal(), ParseRefusal::Empty);
}

} // namespace
} // namespace qx
