#include "radio/half_width_kana.h"
#include "radio/row_label.h"
#include "radio/text_format.h"

#include <gtest/gtest.h>

#include <vector>

namespace qx {
namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string text;
    for (int v : values) {
        text.push_back(static_cast<char>(v));
    }
    return text;
}

TEST(TextFormatTest, AsciiNames) {
    EXPECT_EQ(parseTextField("Home", 8, false), "Home    ");
    EXPECT_EQ(parseTextField("Repeater 1", 8, false), "Repeater");
    EXPECT_EQ(parseTextField(bytes({'A', 0x01, 0xE9, 'B'}), 8, false), "A  B    ");
    EXPECT_EQ(parseTextField("", 4, false), "    ");
    EXPECT_EQ(formatTextField(bytes({'A', 'B', 0x00, 'C', 0xB6, ' ', ' '}), false), "AB C");
    EXPECT_EQ(formatTextField(bytes({0xFF, 0xFF}), false), "");
}

struct KanaCase {
    std::string typed; // Shift-JIS
    std::string stored;
};

TEST(TextFormatTest, JapaneseNamesTakeHalfWidthKana) {
    const std::vector<KanaCase> cases{
        {bytes({0x83, 0x4A}), bytes({0xB6})},                       // katakana ka
        {bytes({0x83, 0x4B}), bytes({0xB6, 0xDE})},                 // katakana ga
        {bytes({0x82, 0xAA}), bytes({0xB6, 0xDE})},                 // hiragana ga
        {bytes({0x83, 0x70}), bytes({0xCA, 0xDF})},                 // pa
        {bytes({0x83, 0x7E, 0x83, 0x80}), bytes({0xD0, 0xD1})},     // mi mu around the code gap
        {bytes({0x83, 0x93, 0x82, 0xF1}), bytes({0xDD, 0xDD})},     // n in both scripts
        {bytes({0x83, 0x94}), bytes({0xB3, 0xDE})},                 // vu
        {bytes({0x81, 0x5B, 0x81, 0x42}), bytes({0xB0, 0xA1})},     // prolonged mark, full stop
        {bytes({0x82, 0x60, 0x82, 0x50}), "A1"},                    // full-width letter and digit
        {bytes({0xB1, 'x', 0x8A, 0xBF, 0x01}), bytes({0xB1, 'x'})}, // kanji and control go
        {bytes({'a', 0x83}), "a"},                                  // a cut double-byte char
    };
    for (const KanaCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.typed));
        std::string expected = c.stored;
        expected.resize(8, ' ');
        EXPECT_EQ(parseTextField(c.typed, 8, true), expected);
    }
    // Voiced kana take two characters of the field.
    const std::string ga = bytes({0x83, 0x4B});
    EXPECT_EQ(parseTextField(ga + ga + ga + ga + ga, 8, true),
              bytes({0xB6, 0xDE, 0xB6, 0xDE, 0xB6, 0xDE, 0xB6, 0xDE}));
    EXPECT_EQ(formatTextField(bytes({0xB6, 0xDE, 0x80, ' '}), true), bytes({0xB6, 0xDE}));

    EXPECT_TRUE(halfWidthKanaNamesAllowed(13, true));
    EXPECT_TRUE(halfWidthKanaNamesAllowed(15, true));
    EXPECT_FALSE(halfWidthKanaNamesAllowed(13, false));
    EXPECT_FALSE(halfWidthKanaNamesAllowed(12, true));
}

// Every full-width katakana and hiragana has a half-width form, the two scripts agree, and the
// form is one kana byte optionally followed by a voicing mark.
TEST(TextFormatTest, KanaTableCoversBothScripts) {
    for (int i = 0; i < 83; ++i) {
        const int katakana = 0x8340 + i + (0x8340 + i >= 0x837F ? 1 : 0);
        const int hiragana = 0x829F + i;
        const std::string fromKatakana = toHalfWidthKana(bytes({katakana >> 8, katakana & 0xFF}));
        const std::string fromHiragana = toHalfWidthKana(bytes({hiragana >> 8, hiragana & 0xFF}));
        SCOPED_TRACE(i);
        EXPECT_EQ(fromKatakana, fromHiragana);
        ASSERT_GE(fromKatakana.size(), 1u);
        ASSERT_LE(fromKatakana.size(), 2u);
        EXPECT_TRUE(isHalfWidthKana(static_cast<unsigned char>(fromKatakana[0])));
        if (fromKatakana.size() == 2) {
            const auto mark = static_cast<unsigned char>(fromKatakana[1]);
            EXPECT_TRUE(mark == 0xDE || mark == 0xDF);
        }
    }
    // Characters without a half-width form pass unchanged.
    EXPECT_EQ(toHalfWidthKana(bytes({0x8A, 0xBF, 'A'})), bytes({0x8A, 0xBF, 'A'}));
}

TEST(TextFormatTest, CallSigns) {
    EXPECT_EQ(parseCallSign("ab1cd/p"), "AB1CD/P ");
    EXPECT_EQ(parseCallSign("jq1-yda"), "JQ1 YDA ");
    EXPECT_EQ(parseCallSign("ABCDEFGHIJ"), "ABCDEFGH");
    EXPECT_EQ(parseCallSign(""), "        ");
    EXPECT_EQ(parseCallSign("abcde", kCallSignNoteWidth), "ABCD");
    EXPECT_EQ(formatCallSign(bytes({'c', 'q', 0x00, 'C', 'Q', ' ', ' ', ' '})), "CQ CQ");
    EXPECT_EQ(formatCallSign(kCqCallSign), "CQCQCQ");
    EXPECT_EQ(kCqCallSign.size(), kCallSignWidth);
}

TEST(TextFormatTest, DtmfCodes) {
    const DtmfCode code = parseDtmfCode("12*#e");
    const std::vector<std::uint8_t> expected{1, 2, 14, 15, 14};
    for (std::size_t i = 0; i < kDtmfDigits; ++i) {
        EXPECT_EQ(code[i], i < expected.size() ? expected[i] : 0xFF) << i;
    }
    EXPECT_EQ(formatDtmfCode(code), "12*#*");
    EXPECT_EQ(formatDtmfCode(parseDtmfCode("x9 -aBcD")), "9ABCD");
    EXPECT_EQ(formatDtmfCode(parseDtmfCode(std::string(30, '7'))), std::string(24, '7'));
    EXPECT_EQ(parseDtmfCode("")[0], 0xFF);
    const std::vector<std::uint8_t> all{0, 1,  2,  3,  4,  5,  6,  7,    8,
                                        9, 10, 11, 12, 13, 14, 15, 0xFF, 3};
    EXPECT_EQ(formatDtmfCode(all), "0123456789ABCD*#");
}

TEST(TextFormatTest, PagerCodes) {
    EXPECT_EQ(*parsePagerCode("123"), (PagerCode{1, 2, 3}));
    EXPECT_EQ(*parsePagerCode("1234"), (PagerCode{1, 2, 3}));
    EXPECT_EQ(*parsePagerCode("1a2"), (PagerCode{1, 2, 0xFF}));
    EXPECT_EQ(parsePagerCode("12").refusal(), ParseRefusal::Empty);
    EXPECT_EQ(parsePagerCode("").refusal(), ParseRefusal::Empty);
    const PagerCode stored{0x01, 0xF2, 0x03};
    EXPECT_EQ(formatPagerCode(stored, 0), "123");
    EXPECT_EQ(formatPagerCode(stored, 5), "123");
    EXPECT_EQ(formatPagerCode(stored, 6), "---");
    EXPECT_EQ(formatPagerCode(PagerCode{1, 2, 0xFF}, 1), "12");
    EXPECT_EQ(formatPagerCode(PagerCode{0xFF, 0xFF, 0xFF}, 1), "");
}

TEST(TextFormatTest, RowLabels) {
    EXPECT_EQ(dtmfRowLabel(0), "d0");
    EXPECT_EQ(dtmfRowLabel(13), "dD");
    EXPECT_EQ(dtmfRowLabel(14), "d*");
    EXPECT_EQ(dtmfRowLabel(15), "d#");
    EXPECT_EQ(pagerRowLabel(5), "C5");
    EXPECT_EQ(txMessageRowLabel(4), "04");
    EXPECT_EQ(myCallSignRowLabel(0), "M01");
    EXPECT_EQ(myCallSignRowLabel(5), "M06");
    EXPECT_EQ(yourCallSignRowLabel(0), "U01");
    EXPECT_EQ(yourCallSignRowLabel(59), "U60");
    EXPECT_EQ(yourCallSignRowLabel(255), "U--");
    EXPECT_EQ(repeaterCallSignRowLabel(9), "R10");
    EXPECT_EQ(repeaterCallSignRowLabel(-1), "R--");

    EXPECT_EQ(receivedCallStatusText(0x01), "RPT?");
    EXPECT_EQ(receivedCallStatusText(0x02), "UR?");
    EXPECT_EQ(receivedCallStatusText(0x41), "RPT?");
    EXPECT_EQ(receivedCallStatusText(0x40), "RPT UP");
    EXPECT_EQ(receivedCallStatusText(0x03), "");
    EXPECT_EQ(receivedCallBreakInText(0x20), "*");
    EXPECT_EQ(receivedCallBreakInText(0x08), "");
    EXPECT_EQ(receivedCallEmergencyText(0x08), "*");
}

} // namespace
} // namespace qx
