#include "radio/gps_format.h"

#include <gtest/gtest.h>

#include <vector>

namespace qx {
namespace {

TEST(GpsFormatTest, UtcOffset) {
    struct Case {
        std::string_view typed;
        std::int32_t stored;
        std::string_view shown;
    };
    const std::vector<Case> cases{
        {"-5:30", -330, "-5:30"},   {"5:07", 305, "+5:05"}, {"5:08", 310, "+5:10"},
        {"+9", 540, "+9:00"},       {"0", 0, "0:00"},       {"12:00", 720, "+12:00"},
        {"-12:00", -720, "-12:00"}, {":45", 45, "+0:45"},   {" -3:30 h", -210, "-3:30"},
        {":", 0, "0:00"},           {"+", 0, "0:00"},       {"-", 0, "0:00"},
        {"3:", 180, "+3:00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed));
        const ParseResult<std::int32_t> parsed = parseUtcOffset(c.typed);
        ASSERT_TRUE(parsed);
        EXPECT_EQ(*parsed, c.stored);
        EXPECT_EQ(formatUtcOffset(*parsed), c.shown);
    }
    EXPECT_EQ(parseUtcOffset("13:00").refusal(), ParseRefusal::OutOfRange);
    EXPECT_EQ(parseUtcOffset("12:05").refusal(), ParseRefusal::OutOfRange);
    // Minutes that round up to 60 are refused rather than carried into the hour.
    EXPECT_EQ(parseUtcOffset("5:58").refusal(), ParseRefusal::OutOfRange);
    EXPECT_EQ(parseUtcOffset("123:45").refusal(), ParseRefusal::BadForm);
    EXPECT_EQ(parseUtcOffset("1:2:3").refusal(), ParseRefusal::BadForm);
    EXPECT_EQ(parseUtcOffset("").refusal(), ParseRefusal::Empty);
    EXPECT_EQ(parseUtcOffset(" h ").refusal(), ParseRefusal::Empty);
}

TEST(GpsFormatTest, PositionArea) {
    EXPECT_EQ(*parsePositionArea("00'05"), (PositionArea{0, 5}));
    EXPECT_EQ(*parsePositionArea("59'59"), (PositionArea{59, 59}));
    EXPECT_EQ(*parsePositionArea("12"), (PositionArea{12, 0}));
    EXPECT_EQ(*parsePositionArea("1'5\""), (PositionArea{1, 5}));
    EXPECT_EQ(parsePositionArea("00'04").refusal(), ParseRefusal::OutOfRange);
    EXPECT_EQ(parsePositionArea("60'00").refusal(), ParseRefusal::OutOfRange);
    EXPECT_EQ(parsePositionArea("1'60").refusal(), ParseRefusal::OutOfRange);
    EXPECT_EQ(parsePositionArea("123'45").refusal(), ParseRefusal::BadForm);
    EXPECT_EQ(parsePositionArea("'").refusal(), ParseRefusal::Empty);
    EXPECT_EQ(formatPositionArea({0, 5}), "00'05\"");
}

TEST(GpsFormatTest, DatesInBothOrders) {
    const BcdDate august{0x15, 0x08, 0x09};
    EXPECT_EQ(formatGpsDate(august, DateOrder::YearMonthDay), "2009/08/15");
    EXPECT_EQ(formatGpsDate(august, DateOrder::MonthDayYear), "08/15/2009");
    EXPECT_EQ(*parseGpsDate("2009/08/15", DateOrder::YearMonthDay), august);
    EXPECT_EQ(*parseGpsDate("08/15/2009", DateOrder::MonthDayYear), august);

    const BcdDate unset{0xFF, 0xFF, 0xFF};
    EXPECT_EQ(formatGpsDate(unset, DateOrder::YearMonthDay), "----/--/--");
    EXPECT_EQ(formatGpsDate(unset, DateOrder::MonthDayYear), "--/--/----");
    EXPECT_EQ(formatGpsDate(BcdDate{0x00, 0x01, 0x09}, DateOrder::YearMonthDay), "----/--/--");

    struct Case {
        std::string_view typed;
        bool accepted;
    };
    const std::vector<Case> cases{
        {"2006/01/01", true}, {"2005/12/31", false}, {"2099/12/30", true},  {"2099/12/31", false},
        {"2008/02/29", true}, {"2009/02/29", false}, {"2009/13/01", false}, {"2009/00/10", false},
        {"2009/8", false},    {"2009//15", false},   {"20x9/08/15", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseGpsDate(c.typed, DateOrder::YearMonthDay).ok(), c.accepted) << c.typed;
    }
    EXPECT_EQ(parseGpsDate("", DateOrder::YearMonthDay).refusal(), ParseRefusal::Empty);
}

TEST(GpsFormatTest, Times) {
    const BcdTime evening{0x23, 0x59, 0x07};
    EXPECT_EQ(formatGpsTime(evening), "23:59:07");
    EXPECT_EQ(*parseGpsTime("23:59:07"), evening);
    EXPECT_EQ(formatGpsTime(BcdTime{0xFF, 0xFF, 0xFF}), "--:--:--");
    EXPECT_EQ(formatGpsTime(BcdTime{0x24, 0x00, 0x00}), "--:--:--");
    EXPECT_EQ(parseGpsTime("24:00:00").refusal(), ParseRefusal::OutOfRange);
    EXPECT_EQ(parseGpsTime("12:60:00").refusal(), ParseRefusal::OutOfRange);
    EXPECT_EQ(parseGpsTime("12:00").refusal(), ParseRefusal::BadForm);
    EXPECT_EQ(formatReceivedDateTime(BcdDate{0x15, 0x08, 0x09}, evening, DateOrder::MonthDayYear),
              "08/15/2009 23:59:07");
}

TEST(GpsFormatTest, LatitudeAndLongitudeRoundTrip) {
    const std::vector<Latitude> latitudes{{0x35, 0x39, 0x29, 'N'},
                                          {0x00, 0x00, 0x00, 'S'},
                                          {0x90, 0x00, 0x00, 'S'},
                                          {0x89, 0x59, 0x59, 'N'}};
    const std::vector<Longitude> longitudes{{0x01, 0x39, 0x45, 0x12, 'E'},
                                            {0x00, 0x00, 0x00, 0x00, 'W'},
                                            {0x01, 0x80, 0x00, 0x00, 'W'},
                                            {0x00, 0x99, 0x59, 0x59, 'E'}};
    for (CodePage codePage : {CodePage::Windows1252, CodePage::ShiftJis}) {
        for (const Latitude& latitude : latitudes) {
            const std::string shown = formatLatitude(latitude, codePage);
            const ParseResult<Latitude> parsed = parseLatitude(shown);
            ASSERT_TRUE(parsed) << shown;
            EXPECT_EQ(*parsed, latitude) << shown;
        }
        for (const Longitude& longitude : longitudes) {
            const std::string shown = formatLongitude(longitude, codePage);
            const ParseResult<Longitude> parsed = parseLongitude(shown);
            ASSERT_TRUE(parsed) << shown;
            EXPECT_EQ(*parsed, longitude) << shown;
        }
    }
    EXPECT_EQ(formatLatitude(latitudes[0], CodePage::Windows1252), " 35\xB0"
                                                                   "39'29\"N");
    EXPECT_EQ(formatLatitude(latitudes[0], CodePage::ShiftJis), " 35\xDF"
                                                                "39'29\"N");
    EXPECT_EQ(formatLongitude(longitudes[0], CodePage::Windows1252), "139\xB0"
                                                                     "45'12\"E");
    EXPECT_EQ(formatLatitude(Latitude{0xFF, 0xFF, 0xFF, 0xFF}, CodePage::Windows1252),
              " --\xB0--'--\"-");
}

TEST(GpsFormatTest, PositionsOutsideTheirRangeAreRefused) {
    EXPECT_EQ(parseLatitude(" 90\xB0"
                            "00'01\"N")
                  .refusal(),
              ParseRefusal::OutOfRange);
    EXPECT_EQ(parseLatitude(" 12\xB0"
                            "60'00\"N")
                  .refusal(),
              ParseRefusal::OutOfRange);
    EXPECT_EQ(parseLatitude(" 12\xB0"
                            "00'60\"S")
                  .refusal(),
              ParseRefusal::OutOfRange);
    EXPECT_EQ(parseLatitude(" 12\xB0"
                            "00'00\"E")
                  .refusal(),
              ParseRefusal::BadForm);
    EXPECT_EQ(parseLatitude(" 12\xB0"
                            "00'00\"")
                  .refusal(),
              ParseRefusal::BadForm);
    EXPECT_EQ(parseLatitude(" 12\xB0"
                            "00'00\"NN")
                  .refusal(),
              ParseRefusal::BadForm);
    EXPECT_EQ(parseLatitude("").refusal(), ParseRefusal::Empty);
    EXPECT_EQ(parseLongitude("180\xB0"
                             "00'01\"W")
                  .refusal(),
              ParseRefusal::OutOfRange);
    EXPECT_EQ(parseLongitude("139\xB0"
                             "45'12\"N")
                  .refusal(),
              ParseRefusal::BadForm);
    // Blanks of the entry mask count as 0; letters may be lower case.
    EXPECT_EQ(*parseLongitude("1_9\xB0"
                              "45'12\"e"),
              (Longitude{0x01, 0x09, 0x45, 0x12, 'E'}));
}

} // namespace
} // namespace qx
