#include "app/recent_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qx {
namespace {

std::vector<std::string> entries(const cmcRecent& r) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < r.count(); ++i) {
        out.push_back(r.entry(i));
    }
    return out;
}

TEST(RecentFiles, PutAtHeadReplacesAnEntryOfTheSameFile) {
    cmcRecent r;
    r.putAtHead("/data/b.icf");
    r.putAtHead("/data/a.icf");
    r.putAtHead("/data/c.icf");
    r.putAtHead("/Data/A.icf");
    r.putAtHead("/data/b.icf");
#ifdef _WIN32
    // One file whatever the letter case.
    EXPECT_EQ(entries(r), (std::vector<std::string>{"/data/b.icf", "/Data/A.icf", "/data/c.icf"}));
#else
    // A.icf and a.icf are two files.
    EXPECT_EQ(entries(r), (std::vector<std::string>{"/data/b.icf", "/Data/A.icf", "/data/c.icf",
                                                    "/data/a.icf"}));
#endif
}

TEST(RecentFiles, KeepsTheTenNewest) {
    cmcRecent head;
    cmcRecent tail;
    for (int i = 0; i < 11; ++i) {
        head.putAtHead("/f" + std::to_string(i) + ".icf");
        tail.addAtEnd("/f" + std::to_string(i) + ".icf");
    }
    ASSERT_EQ(head.count(), 10U);
    EXPECT_EQ(head.entry(0), "/f10.icf");
    EXPECT_EQ(head.entry(9), "/f1.icf");
    ASSERT_EQ(tail.count(), 10U);
    EXPECT_EQ(tail.entry(0), "/f0.icf");
    EXPECT_EQ(tail.entry(9), "/f9.icf");
    EXPECT_EQ(head.entry(10), "");
}

TEST(RecentFiles, AddAtEndMovesADuplicateToTheEndAndSkipsEmptyPaths) {
    cmcRecent r;
    r.addAtEnd("/x/a.icf");
    r.addAtEnd("");
    r.addAtEnd("/x/b.icf");
    r.addAtEnd("/x/a.icf");
    EXPECT_EQ(entries(r), (std::vector<std::string>{"/x/b.icf", "/x/a.icf"}));
    r.putAtHead("");
    EXPECT_EQ(r.count(), 2U);
}

TEST(RecentFiles, DisplayShowsTheFileNameInsideTheCurrentDirectory) {
    cmcRecent r;
    r.addAtEnd("/home/user/radio/A.icf");
    r.addAtEnd("/home/user/other/B&C.icf");
    r.addAtEnd("/home/user/radio/sub/D.icf");
    for (const std::string dir : {"/home/user/radio", "/home/user/radio/"}) {
        EXPECT_EQ(r.displayEntry(0, dir), "A.icf") << dir;
        EXPECT_EQ(r.displayEntry(1, dir), "/home/user/other/B&C.icf");
        EXPECT_EQ(r.displayEntry(2, dir), "/home/user/radio/sub/D.icf");
    }
    // Another folder where the file system tells letter cases apart.
#ifdef _WIN32
    EXPECT_EQ(r.displayEntry(0, "/HOME/User/Radio"), "A.icf");
#else
    EXPECT_EQ(r.displayEntry(0, "/HOME/User/Radio"), "/home/user/radio/A.icf");
#endif
    EXPECT_EQ(r.displayEntry(3, "/home/user/radio"), "");
    EXPECT_EQ(r.displayEntry(0, ""), "/home/user/radio/A.icf");
}

TEST(RecentFiles, PathParts) {
    EXPECT_EQ(cmcRecent::fileNamePart("/a/b/c.icf"), "c.icf");
    EXPECT_EQ(cmcRecent::folderPart("/a/b/c.icf"), "/a/b/");
    EXPECT_EQ(cmcRecent::fileNamePart("c.icf"), "c.icf");
    EXPECT_EQ(cmcRecent::folderPart("c.icf"), "");
    EXPECT_EQ(cmcRecent::fileNamePart("/a/"), "");
}

} // namespace
} // namespace qx
