#include "base/hash.h"

#include <gtest/gtest.h>

namespace qx {
namespace {

// Worked by hand from the rule: step 515 at start, halved before odd characters.
TEST(HashTest, BucketFollowsTheRule) {
    EXPECT_EQ(hashBucket("", 1031), 0u);
    // 'A' = 65 is odd: step 257, h = 0 + 257 + 65 = 322.
    EXPECT_EQ(hashBucket("A", 1031), 322u);
    // 'B' = 66 even: h = 515 + 66 = 581; 'A' odd: step 257, h = 1162 + 257 + 65 = 1484 -> 453.
    EXPECT_EQ(hashBucket("BA", 1031), 453u);
    // Bytes above 0x7F count as negative: 0xFF = -1 is odd, step 257, h = 256.
    EXPECT_EQ(hashBucket("\xFF", 1031), 256u);
    // Step resets to half the count when halving reaches 0 (bucket count 4: 2, 1, 0 -> 2).
    // 'a'=97 odd: step 1, h=98; 'a': step 0 -> 2, h=196+2+97=295; 'a': step 1, h=590+1+97=688.
    EXPECT_EQ(hashBucket("aaa", 4), 688u % 4);
}

TEST(HashTest, FindsWhatWasInserted) {
    cmcHash table;
    table.insert("CL_Mch_Freq", 7);
    table.insert("CT_Conv", 1);
    ASSERT_NE(table.find("CL_Mch_Freq"), nullptr);
    EXPECT_EQ(*table.find("CL_Mch_Freq"), 7);
    EXPECT_EQ(*table.find("CT_Conv"), 1);
    EXPECT_EQ(table.find("cl_mch_freq"), nullptr);
    EXPECT_EQ(table.size(), 2u);

    // Keys that share a bucket stay apart.
    cmcHash tiny(1);
    tiny.insert("a", 1);
    tiny.insert("b", 2);
    EXPECT_EQ(*tiny.find("a"), 1);
    EXPECT_EQ(*tiny.find("b"), 2);
}

TEST(HashDeathTest, InsertingAKeyTwiceIsADefect) {
    EXPECT_EXIT(
        {
            cmcHash table;
            table.insert("x", 1);
            table.insert("x", 2);
        },
        testing::ExitedWithCode(kDefectExitCode), "Overlapped Hash table\\.");
    EXPECT_EXIT(
        {
            cmcHash2<int> table;
            table.insert("x", std::make_unique<int>(1));
            table.insert("x", std::make_unique<int>(2));
        },
        testing::ExitedWithCode(kDefectExitCode), "Overlapped Hash2 table\\.");
}

} // namespace
} // namespace qx
