#include "clonefile/file_replacement.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qx {
namespace {

namespace fs = std::filesystem;

struct stat statusOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
}

// Everything in the folder but the given names: a left temporary file shows here.
std::vector<std::string> othersIn(const test::TempFolder& folder,
                                  const std::vector<std::string>& expected) {
    std::vector<std::string> others;
    for (const auto& entry : fs::directory_iterator(folder.path())) {
        const std::string name = entry.path().filename().string();
        if (std::find(expected.begin(), expected.end(), name) == expected.end()) {
            others.push_back(name);
        }
    }
    return others;
}

// Runs `body` in a child process as an unprivileged user where the test runs as root, so that
// permissions apply. The child's exit status is the result.
int asUnprivileged(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            std::_Exit(100);
        }
        std::_Exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(FileReplacementTest, ReplacesARegularFileKeepingItsModeAndOwner) {
    test::TempFolder folder;
    const std::string path = folder.write("private.icf", "old");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(path.c_str(), 1234, 4321), 0);
    }
    std::error_code reason;
    ASSERT_EQ(replaceFileContents(path, "new contents", reason), FileErrorCode::Ok) << reason;
    EXPECT_EQ(test::TempFolder::read(path), "new contents");
    const struct stat st = statusOf(path);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, 1234u);
        EXPECT_EQ(st.st_gid, 4321u);
    }
    EXPECT_TRUE(othersIn(folder, {"private.icf"}).empty());

    // A new file gets the mode any new file gets.
    const mode_t mask = ::umask(022);
    ASSERT_EQ(replaceFileContents(folder.file("fresh.icf"), "x", reason), FileErrorCode::Ok);
    ::umask(mask);
    EXPECT_EQ(statusOf(folder.file("fresh.icf")).st_mode & 07777, 0644u);
}

TEST(FileReplacementTest, FollowsLinksDanglingOrNotAndRefusesWhatIsNoRegularFile) {
    test::TempFolder folder;
    fs::create_directory(folder.path() / "sub");
    fs::create_symlink("sub/target.icf", folder.path() / "dangling.icf");
    std::error_code reason;
    ASSERT_EQ(replaceFileContents(folder.file("dangling.icf"), "made", reason), FileErrorCode::Ok);
    EXPECT_TRUE(fs::is_symlink(folder.path() / "dangling.icf"));
    EXPECT_EQ(test::TempFolder::read(folder.file("sub/target.icf")), "made");
    ASSERT_EQ(replaceFileContents(folder.file("dangling.icf"), "again", reason), FileErrorCode::Ok);
    EXPECT_EQ(test::TempFolder::read(folder.file("sub/target.icf")), "again");

    ASSERT_EQ(::mkfifo(folder.file("pipe").c_str(), 0600), 0);
    fs::create_symlink("pipe", folder.path() / "to-pipe");
    fs::create_symlink("/dev/null", folder.path() / "to-null");
    struct Case {
        const char* name;
        std::error_code reason;
    };
    for (const Case& c :
         {Case{"pipe", make_error_code(FileReason::NotRegularFile)},
          Case{"to-pipe", make_error_code(FileReason::NotRegularFile)},
          Case{"to-null", make_error_code(FileReason::NotRegularFile)},
          Case{"sub", std::make_error_code(std::errc::is_a_directory)},
          Case{"none/x.icf", std::make_error_code(std::errc::no_such_file_or_directory)}}) {
        EXPECT_EQ(replaceFileContents(folder.file(c.name), "x", reason), FileErrorCode::FileOpen)
            << c.name;
        EXPECT_EQ(reason, c.reason) << c.name;
        EXPECT_EQ(checkReplaceable(folder.file(c.name), reason), FileErrorCode::FileOpen) << c.name;
    }
    EXPECT_TRUE(fs::is_fifo(folder.file("pipe")));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_TRUE(othersIn(folder, {"sub", "dangling.icf", "pipe", "to-pipe", "to-null"}).empty());
}

TEST(FileReplacementTest, NamesUpToTheSystemLimitFit) {
    test::TempFolder folder;
    const std::string name(255, 'n');
    std::error_code reason;
    EXPECT_EQ(replaceFileContents(folder.file(name), "long", reason), FileErrorCode::Ok) << reason;
    EXPECT_EQ(replaceFileContents(folder.file(name), "longer", reason), FileErrorCode::Ok);
    EXPECT_EQ(test::TempFolder::read(folder.file(name)), "longer");
    EXPECT_EQ(replaceFileContents(folder.file(name + "n"), "x", reason), FileErrorCode::FileOpen);
    EXPECT_EQ(reason, std::make_error_code(std::errc::filename_too_long));
}

TEST(FileReplacementTest, AFolderThatRefusesNewFilesStillTakesItsWritableFile) {
    test::TempFolder folder;
    const fs::path locked = folder.path() / "locked";
    fs::create_directory(locked);
    const std::string file = (locked / "open.icf").string();
    const std::string absent = (locked / "new.icf").string();
    folder.write("locked/open.icf", "old old old");
    ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(locked.c_str(), 0555), 0);
    EXPECT_EQ(asUnprivileged([&] {
                  std::error_code reason;
                  return replaceFileContents(file, "new", reason) == FileErrorCode::Ok &&
                                 checkReplaceable(absent, reason) == FileErrorCode::FileOpen &&
                                 reason == std::make_error_code(std::errc::permission_denied) &&
                                 replaceFileContents(absent, "x", reason) == FileErrorCode::FileOpen
                             ? 0
                             : 1;
              }),
              0);
    ::chmod(locked.c_str(), 0755);
    EXPECT_EQ(test::TempFolder::read(file), "new");
    EXPECT_FALSE(fs::exists(absent));
}

TEST(FileReplacementTest, AnInterruptedSaveLeavesTheOldOrTheNewFileAndNothingElse) {
    test::TempFolder folder;
    const std::string path = folder.write("target.icf", "old");
    const std::string contents(4 << 20, 'n');
    std::mt19937 random(7);
    for (int round = 0; round < 24; ++round) {
        const pid_t child = ::fork();
        if (child == 0) {
            for (;;) {
                replaceFileContents(path, contents);
            }
        }
        ::usleep(static_cast<useconds_t>(2000 + random() % 30000));
        ::kill(child, round % 3 == 0 ? SIGKILL : (round % 3 == 1 ? SIGINT : SIGTERM));
        ::waitpid(child, nullptr, 0);
        const std::string now = test::TempFolder::read(path);
        EXPECT_TRUE(now == "old" || now == contents) << "round " << round;
        std::vector<std::string> left = othersIn(folder, {"target.icf"});
        // SIGKILL between naming the finished file and moving it over the target cannot be
        // caught: the complete copy keeps its temporary name, and nothing else may be left.
        if (round % 3 == 0 && left.size() == 1) {
            EXPECT_EQ(test::TempFolder::read(folder.file(left.front())), contents) << round;
            fs::remove(folder.file(left.front()));
            left.clear();
        }
        EXPECT_EQ(left, std::vector<std::string>{}) << round;
    }
}

// What a save killed between naming and moving its file leaves: removed at the next save into
// the folder when it is ours and old; anything else stays.
TEST(FileReplacementTest, TheNextSaveRemovesOurOldLeftoversOnly) {
    test::TempFolder folder;
    struct Case {
        const char* name;
        int ageSeconds;
        bool removed;
    };
    const Case cases[] = {
        {".qx0a1b2c.tmp", 3600, true},
        {".qx0a1b2d.tmp", 0, false}, // another save may be writing it
        {".qxABCDEF.tmp", 3600, false},
        {".qx0a1b2.tmp", 3600, false},
        {"qx0a1b2c.tmp", 3600, false},
        {".qx0a1b2c.tmp.x", 3600, false},
    };
    for (const Case& c : cases) {
        const std::string path = folder.write(c.name, "complete new file");
        const struct timespec times[2] = {{std::time(nullptr) - c.ageSeconds, 0},
                                          {std::time(nullptr) - c.ageSeconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    }
    ASSERT_EQ(replaceFileContents(folder.file("a.icf"), "new"), FileErrorCode::Ok);
    for (const Case& c : cases) {
        EXPECT_EQ(fs::exists(folder.file(c.name)), !c.removed) << c.name;
    }
    EXPECT_EQ(test::TempFolder::read(folder.file("a.icf")), "new");
}

TEST(FileReplacementTest, OnlyRegularFilesAreOpenedForReading) {
    test::TempFolder folder;
    folder.write("plain.icf", "data");
    ASSERT_EQ(::mkfifo(folder.file("pipe").c_str(), 0600), 0);
    std::error_code reason;
    std::FILE* file = openRegularFile(folder.file("plain.icf"), reason);
    ASSERT_NE(file, nullptr);
    char buffer[8] = {};
    EXPECT_EQ(std::fread(buffer, 1, sizeof buffer, file), 4u);
    std::fclose(file);
    // A pipe nobody writes to is refused at once instead of waiting forever.
    EXPECT_EQ(openRegularFile(folder.file("pipe"), reason), nullptr);
    EXPECT_EQ(reason, make_error_code(FileReason::NotRegularFile));
    EXPECT_EQ(openRegularFile(folder.path().string(), reason), nullptr);
    EXPECT_EQ(reason, std::make_error_code(std::errc::is_a_directory));
    EXPECT_EQ(openRegularFile("/dev/zero", reason), nullptr);
    EXPECT_EQ(reason, make_error_code(FileReason::NotRegularFile));
}

} // namespace
} // namespace qx
