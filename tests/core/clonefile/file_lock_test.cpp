#include "clonefile/file_lock.h"
#include "clonefile/file_replacement.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace qx {
namespace {

TEST(FileLockTest, NothingIsLockedWhereThereIsNoFile) {
    test::TempFolder folder;
    FileLock lock;
    EXPECT_FALSE(lock.acquire(folder.file("missing.icf")));
    EXPECT_FALSE(lock.held());
    EXPECT_FALSE(lock.acquire(folder.path().string())) << "a folder is no clone file";
}

// Two holders on one file, as two commands would be (a lock belongs to its open file, so a
// second one in the same process waits as another process would).
TEST(FileLockTest, ASecondHolderWaitsAndThenHoldsTheFileThatReplacedTheFirst) {
    test::TempFolder folder;
    const std::string path = folder.write("f.icf", "first");
    FileLock first;
    ASSERT_TRUE(first.acquire(path));
    EXPECT_TRUE(first.covers(path));

    std::atomic<int> waits{0};
    std::atomic<bool> granted{false};
    FileLock second;
    std::thread other([&] {
        second.acquire(path, [&] { ++waits; });
        granted = true;
    });
    while (waits == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(granted) << "the first holder is still at work";

    // The first holder saves: a new file takes the name, then the lock goes.
    ASSERT_EQ(replaceFileContents(path, "second"), FileErrorCode::Ok);
    EXPECT_FALSE(first.covers(path));
    first.release();
    other.join();
    EXPECT_EQ(waits, 1);
    EXPECT_TRUE(second.held());
    EXPECT_TRUE(second.covers(path)) << "a lock on the replaced file would guard nothing";

    // And the one after waits for the second in turn.
    FileLock third;
    std::atomic<bool> thirdGranted{false};
    std::thread last([&] {
        third.acquire(path);
        thirdGranted = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(thirdGranted);
    second = FileLock();
    last.join();
    EXPECT_TRUE(third.covers(path));
}

} // namespace
} // namespace qx
