#include "link/byte_buffer.h"

#include <gtest/gtest.h>

#include <cstring>

namespace qx {
namespace {

TEST(ByteBuffer, StartsEmptyWithOneByteOfCapacity) {
    cmcBuff b;
    EXPECT_EQ(b.Size(), 0);
    EXPECT_EQ(b.Capacity(), 1);
    EXPECT_EQ(b.PopFront(), -1);
    EXPECT_EQ(b.Size(), 0);
    EXPECT_EQ(b.Capacity(), 1);
}

TEST(ByteBuffer, GrowsByAQuarterOfTheSizeAndFillsNewStorage) {
    cmcBuff b;
    b.SetFill(0xAA);
    b.SetSize(8);
    EXPECT_EQ(b.Capacity(), 8); // 0 / 4 + 8
    b.SetSize(20);
    EXPECT_EQ(b.Capacity(), 22); // 8 / 4 + 20
    EXPECT_EQ(*b.At(19), 0xAA);
    b.SetSize(3); // shrinking keeps the storage
    EXPECT_EQ(b.Capacity(), 22);
}

TEST(ByteBuffer, AppendsAndPopsFromTheFront) {
    cmcBuff b;
    const std::uint8_t bytes[] = {1, 2, 3};
    b.Append(bytes, 3);
    b.AppendByte(4);
    b.AppendFill(9, 2);
    ASSERT_EQ(b.Size(), 6);
    EXPECT_EQ(b.PopFront(), 1);
    EXPECT_EQ(b.PopFront(), 2);
    EXPECT_EQ(b.Size(), 4);
    EXPECT_EQ(b.DeadBytes(), 2);
    EXPECT_EQ(*b.At(0), 3);
    b.Compact();
    EXPECT_EQ(b.DeadBytes(), 0);
    EXPECT_EQ(b.Capacity(), 4);
    EXPECT_EQ(*b.At(3), 9);
    b.Append(b); // appending itself doubles the contents
    EXPECT_EQ(b.Size(), 8);
    EXPECT_EQ(*b.At(4), 3);
}

TEST(ByteBuffer, CompactsOnceManyDeadBytesPileUp) {
    cmcBuff b;
    b.AppendFill(7, 5000);
    for (int i = 0; i < 4096; ++i) {
        b.PopFront();
    }
    EXPECT_EQ(b.DeadBytes(), 4096);
    b.PopFront();
    EXPECT_EQ(b.DeadBytes(), 0);
    EXPECT_EQ(b.Size(), 903);
    EXPECT_EQ(b.Capacity(), 903);
}

TEST(ByteBuffer, ClearReturnsToTheEmptyState) {
    cmcBuff b;
    b.SetFill(5);
    b.AppendFill(1, 100);
    b.Clear();
    EXPECT_EQ(b.Size(), 0);
    EXPECT_EQ(b.Capacity(), 1);
    b.SetSize(2);
    EXPECT_EQ(*b.At(1), 0); // the fill byte went back to 0
}

TEST(ByteBufferDeathTest, IndexPastTheSizeIsADefect) {
    cmcBuff b;
    b.AppendFill(1, 2);
    EXPECT_DEATH(b.At(2), "Out of cmcBuff element !");
}

} // namespace
} // namespace qx
