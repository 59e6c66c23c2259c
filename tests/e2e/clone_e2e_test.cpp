// qx5130-cli against trsim over real pseudo-terminals.
#include "cli_run.h"
#include "clonefile/icf_file.h"
#include "radio/channel_record.h"
#include "radio/image_map.h"
#include "radio/image_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace qx {
namespace {

// trsim running in the background for one test; its stderr goes to a file of the folder.
class Trsim {
public:
    Trsim(const test::TempFolder& folder, const std::vector<std::string>& arguments)
        : m_log(folder.file("trsim.log")) {
        std::vector<std::string> args = {QX5130_TRSIM_PATH};
        args.insert(args.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (auto& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        int out[2];
        EXPECT_EQ(pipe(out), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addopen(&actions, 2, m_log.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        EXPECT_EQ(posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        char c = 0;
        while (read(out[0], &c, 1) == 1 && c != '\n') {
            m_path += c;
        }
        close(out[0]);
    }
    ~Trsim() {
        kill(m_pid, SIGTERM);
        int status = 0;
        waitpid(m_pid, &status, 0);
    }
    Trsim(const Trsim&) = delete;
    Trsim& operator=(const Trsim&) = delete;

    const std::string& path() const { return m_path; }
    pid_t pid() const { return m_pid; }
    std::string log() const { return test::TempFolder::read(m_log); }

private:
    pid_t m_pid = -1;
    std::string m_path;
    std::string m_log;
};

std::string q(const std::string& s) {
    return test::shellQuoted(s);
}

cmcEeprom loadIcf(const std::string& path) {
    cmcEeprom image(imagemap::kImageSize);
    cmcIcfFile file(image);
    file.setModel(imagemap::kModelCode, imagemap::kModelSubCode);
    const ImageRangeList range = ImageRangeList::transceiverPart();
    EXPECT_EQ(file.read(path, &range), FileErrorCode::Ok) << path;
    return image;
}

void saveIcf(cmcEeprom image, const std::string& path) {
    cmcIcfFile file(image);
    file.setModel(imagemap::kModelCode, imagemap::kModelSubCode);
    file.setComment(cmcIcfFile::commentFromImage(image));
    ASSERT_EQ(file.write(path, ImageRangeList::transceiverPart()), FileErrorCode::Ok);
}

bool sameTransceiverPart(const cmcEeprom& a, const cmcEeprom& b) {
    return std::equal(a.data(), a.data() + imagemap::kTransceiverSize, b.data());
}

// A destination-0 image with a comment and three GPS memories where the transceiver keeps
// them (slots 97-99), so that the adjustments have something to do.
cmcEeprom servedImage() {
    ImageSet set;
    set.setDestination(0);
    cmcEeprom image = set.defaults();
    const char comment[] = "E2E served image";
    image.writeBlock(imagemap::kCloneComment, reinterpret_cast<const std::uint8_t*>(comment), 16);
    for (int slot = 97; slot < 100; ++slot) {
        std::uint8_t record[imagemap::kGpsRecordSize];
        std::fill(std::begin(record), std::end(record), static_cast<std::uint8_t>(0x20));
        record[0] = static_cast<std::uint8_t>('A' + slot - 97);
        image.writeBlock(imagemap::kGpsMemories + slot * imagemap::kGpsRecordSize, record,
                         imagemap::kGpsRecordSize);
        image.setByte(imagemap::kGpsSlotList + slot, static_cast<std::uint8_t>(slot));
    }
    return image;
}

FeatureFlags trsimDefaultFlags() {
    FeatureFlags f;
    f.digitalUnit = true;
    return f;
}

TEST(CloneE2eTest, ReadReturnsTheServedImageAfterTheAdjustments) {
    test::TempFolder folder;
    const cmcEeprom served = servedImage();
    saveIcf(served, folder.file("served.icf"));
    Trsim trsim(folder, {"--icf", folder.file("served.icf"), "--link", folder.file("tr")});
    const auto run = test::runCli(folder, "--device tr --destination 0 read -o backup.icf");
    ASSERT_EQ(run.status, 0) << run.err;

    ImageSet expected;
    expected.setDestination(0);
    ASSERT_TRUE(expected.takeReadImage(served, trsimDefaultFlags()));
    expected.correct(trsimDefaultFlags());
    const cmcEeprom got = loadIcf(folder.file("backup.icf"));
    EXPECT_TRUE(sameTransceiverPart(got, expected.current()));
    // The GPS memories moved to the front.
    EXPECT_EQ(got.getByte(imagemap::kGpsSlotList), 0);
    EXPECT_EQ(got.getByte(imagemap::kGpsMemories), 'A');
    EXPECT_NE(test::TempFolder::read(folder.file("backup.icf")).find("#E2E served image\r\n"),
              std::string::npos);
}

std::vector<std::filesystem::path> backupFiles(const test::TempFolder& folder) {
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& entry :
         std::filesystem::directory_iterator(folder.path() / ".local/share/QX-5130/backups", ec)) {
        files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(CloneE2eTest, EveryReadKeepsTheImageAsReceivedInANewBackup) {
    test::TempFolder folder;
    const cmcEeprom served = servedImage();
    saveIcf(served, folder.file("served.icf"));
    Trsim trsim(folder, {"--icf", folder.file("served.icf"), "--link", folder.file("tr")});
    for (const char* out : {"first.icf", "second.icf"}) {
        const auto run =
            test::runCli(folder, std::string("--device tr --destination 0 read -o ") + out);
        ASSERT_EQ(run.status, 0) << run.err;
    }
    const auto files = backupFiles(folder);
    ASSERT_EQ(files.size(), 2u); // the second read in the same second took a name of its own
    for (const auto& file : files) {
        EXPECT_NE(file.filename().string().find(" USA_0000 E2E served image"), std::string::npos)
            << file;
        const cmcEeprom kept = loadIcf(file.string());
        // Before the adjustments: the GPS memories are still where the transceiver had them.
        EXPECT_TRUE(sameTransceiverPart(kept, served)) << file;
        EXPECT_EQ(kept.getByte(imagemap::kGpsSlotList + 97), 97);
    }

    const auto list = test::runCli(folder, "backups");
    ASSERT_EQ(list.status, 0) << list.err;
    const std::string size = std::to_string(std::filesystem::file_size(files[0]));
    EXPECT_NE(list.out.find("\tE2E served image\tUSA_0000\t" + size + "\n2\t"), std::string::npos)
        << list.out;

    // Newest first: number 1 is the file of the second read.
    const auto newest = std::max_element(files.begin(), files.end(), [](auto& a, auto& b) {
        return std::filesystem::last_write_time(a) < std::filesystem::last_write_time(b);
    });
    const auto open = test::runCli(folder, "backups --open 1 -o restored.icf");
    ASSERT_EQ(open.status, 0) << open.err;
    EXPECT_EQ(test::TempFolder::read(folder.file("restored.icf")),
              test::TempFolder::read(newest->string()));
    for (const char* bad : {"backups --open 3 -o x.icf", "backups --open one -o x.icf",
                            "backups --open 1", "backups -o x.icf"}) {
        const auto refused = test::runCli(folder, bad);
        EXPECT_EQ(refused.status, 1) << bad;
    }
    EXPECT_FALSE(std::filesystem::exists(folder.file("x.icf")));
}

TEST(CloneE2eTest, AReadWhoseBackupCannotBeStoredStillSucceedsAndSaysSo) {
    test::TempFolder folder;
    const cmcEeprom served = servedImage();
    saveIcf(served, folder.file("served.icf"));
    // A file where the backups folder belongs: root ignores permission bits, not this.
    std::filesystem::create_directories(folder.path() / ".local/share/QX-5130");
    folder.write(".local/share/QX-5130/backups", "in the way");
    Trsim trsim(folder, {"--icf", folder.file("served.icf"), "--link", folder.file("tr")});
    const auto run = test::runCli(folder, "--device tr --destination 0 read -o got.icf");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("no backup of it could be kept"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("QX-5130/backups"), std::string::npos) << run.err;
    ImageSet expected;
    expected.setDestination(0);
    ASSERT_TRUE(expected.takeReadImage(served, trsimDefaultFlags()));
    expected.correct(trsimDefaultFlags());
    EXPECT_TRUE(sameTransceiverPart(loadIcf(folder.file("got.icf")), expected.current()));
    EXPECT_EQ(test::TempFolder::read(folder.file(".local/share/QX-5130/backups")), "in the way");
}

struct LineCase {
    const char* name;
    std::vector<std::string> trsim;
    const char* cli;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.name;
}

// trsim with --uart takes the bytes off the terminal only at the line speed, so the computer's
// writes return at once and wait there, as in a serial port's kernel queue that reports nothing.
class CloneWriteOverUartTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(CloneWriteOverUartTest, StoresThePreparedCopy) {
    test::TempFolder folder;
    ImageSet document;
    document.setDestination(0);
    cmcEeprom edited = document.defaults();
    const char comment[] = "written by e2e  ";
    edited.writeBlock(imagemap::kCloneComment, reinterpret_cast<const std::uint8_t*>(comment), 16);
    for (int slot = 0; slot < 2; ++slot) { // the editor keeps GPS memories at the front
        std::uint8_t record[imagemap::kGpsRecordSize];
        std::fill(std::begin(record), std::end(record), static_cast<std::uint8_t>(0x20));
        record[0] = static_cast<std::uint8_t>('X' + slot);
        edited.writeBlock(imagemap::kGpsMemories + slot * imagemap::kGpsRecordSize, record,
                          imagemap::kGpsRecordSize);
        edited.setByte(imagemap::kGpsSlotList + slot, static_cast<std::uint8_t>(slot));
    }
    saveIcf(edited, folder.file("edit.icf"));
    const std::string before = test::TempFolder::read(folder.file("edit.icf"));

    std::vector<std::string> args = GetParam().trsim;
    args.insert(args.end(), {"--uart", "--save", folder.file("stored.icf")});
    Trsim trsim(folder, args);
    const auto run = test::runCli(folder, "--device " + q(trsim.path()) + " " + GetParam().cli +
                                              " --destination 0 write edit.icf --yes");
    ASSERT_EQ(run.status, 0) << run.err << trsim.log();
    EXPECT_NE(run.err.find("Cloning is succeeded."), std::string::npos) << run.err;

    document.current() = loadIcf(folder.file("edit.icf"));
    const cmcEeprom expected = document.imageForWrite(trsimDefaultFlags());
    const cmcEeprom stored = loadIcf(folder.file("stored.icf"));
    EXPECT_TRUE(sameTransceiverPart(stored, expected));
    EXPECT_EQ(stored.getByte(imagemap::kGpsSlotList + 98), 98);
    EXPECT_EQ(stored.getByte(imagemap::kGpsMemories + 98 * imagemap::kGpsRecordSize), 'X');
    // The file written from is not touched.
    EXPECT_EQ(test::TempFolder::read(folder.file("edit.icf")), before);
}

INSTANTIATE_TEST_SUITE_P(Speeds, CloneWriteOverUartTest,
                         ::testing::Values(LineCase{"4800", {"--speed", "4800"}, "--connection 2"},
                                           LineCase{"9600", {}, ""},
                                           LineCase{"38400", {}, "--high-speed"}),
                         [](const auto& p) { return std::string(p.param.name); });

// The bytes no one can edit are the transceiver's: a read, an edit, a save, and a write of the
// file reopened give them back unchanged, though our default image holds others.
TEST(CloneE2eTest, ReadEditSaveWriteKeepsTheTransceiversOwnBytes) {
    test::TempFolder folder;
    cmcEeprom served = servedImage();
    std::vector<std::pair<std::int32_t, std::int32_t>> own = {
        {imagemap::kFixedData, imagemap::kFixedData + imagemap::kFixedDataSize - 1},
        {imagemap::kFixedByte, imagemap::kFixedByte},
        {imagemap::kBandDefaults, imagemap::kBandDefaults + imagemap::kBandDefaultsSize - 1},
        {imagemap::kMainSettings, imagemap::kMainSettings + 0x11},
        {imagemap::kMainSettings + 0xB1, imagemap::kMainSettings + 0xF2},
        {imagemap::kFunctionSettings1 + 0xF5, imagemap::kFunctionSettings1 + 0x128},
    };
    for (const auto& [first, last] : own) {
        for (std::int32_t a = first; a <= last; ++a) {
            served.setByte(a, static_cast<std::uint8_t>(0x21 + a % 89));
        }
    }
    saveIcf(served, folder.file("served.icf"));
    Trsim trsim(folder, {"--icf", folder.file("served.icf"), "--save", folder.file("stored.icf"),
                         "--link", folder.file("tr")});
    const std::string cli = "--device tr --destination 0 --high-speed ";
    auto run = test::runCli(folder, cli + "read -o backup.icf");
    ASSERT_EQ(run.status, 0) << run.err;
    run = test::runCli(folder, "--destination 0 set backup.icf '[St_ColCut]GI_Sheet_MemoryCH,0,0' "
                               "CL_Mch_Freq 7 146.01 -o edited.icf");
    ASSERT_EQ(run.status, 0) << run.err;
    run = test::runCli(folder, cli + "write edited.icf --yes");
    ASSERT_EQ(run.status, 0) << run.err;

    cmcEeprom stored = loadIcf(folder.file("stored.icf"));
    for (const auto& [first, last] : own) {
        for (std::int32_t a = first; a <= last; ++a) {
            ASSERT_EQ(stored.getByte(a), served.getByte(a)) << std::hex << a;
        }
    }
    ChannelRecord channel(stored);
    channel.load(kKindChannel, 7);
    EXPECT_TRUE(channel.used);
    EXPECT_EQ(channel.frequency, 146010000u);
}

// Clear inside the GPS list and Down on its last memory, then a write: the transceiver gets
// every memory, in the edited order.
TEST(CloneE2eTest, GpsListEditsKeepEveryMemoryOnTheWayToTheTransceiver) {
    test::TempFolder folder;
    ImageSet set;
    set.setDestination(0);
    cmcEeprom image = set.defaults();
    for (int i = 0; i < imagemap::kGpsMemoryCount; ++i) {
        image.setByte(imagemap::kGpsSlotList + i, imagemap::kGpsSlotFree);
    }
    ChannelRecord memory(image);
    for (int i = 0; i < 6; ++i) {
        memory.load(kKindGps, i);
        memory.name = ChannelRecord::toText8("P" + std::to_string(i));
        memory.slot = 0; // as Insert leaves it
        memory.store();
    }
    saveIcf(image, folder.file("g.icf"));
    const std::string gps = " '[St_ChGps]GI_Sheet_GPS_Memory,35' ";
    const auto edit = [&](const std::string& operation) {
        return test::runCli(folder, "--destination 0 edit g.icf" + gps + operation);
    };
    auto run = edit("clear 2 --yes");
    ASSERT_EQ(run.status, 0) << run.err;
    run = edit("down 5");
    ASSERT_EQ(run.status, 0) << run.err;
    run = edit("down 3");
    ASSERT_EQ(run.status, 0) << run.err;
    // The GPS sheet selects one row at a time: a range is refused, the file untouched.
    const std::string edited = test::TempFolder::read(folder.file("g.icf"));
    run = edit("clear 0 4 --yes");
    EXPECT_EQ(run.status, 4);
    EXPECT_NE(run.err.find("one row at a time"), std::string::npos) << run.err;
    EXPECT_EQ(test::TempFolder::read(folder.file("g.icf")), edited);

    run = test::runCli(folder, "--destination 0 sheet g.icf" + gps);
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* name : {"P0", "P1", "P3", "P4", "P5"}) {
        EXPECT_NE(run.out.find(name), std::string::npos) << name << " is listed\n" << run.out;
    }

    Trsim trsim(folder, {"--save", folder.file("stored.icf"), "--link", folder.file("tr")});
    run = test::runCli(folder, "--device tr --destination 0 --high-speed write g.icf --yes");
    ASSERT_EQ(run.status, 0) << run.err << trsim.log();
    const cmcEeprom stored = loadIcf(folder.file("stored.icf"));
    const char* expected[] = {"P0", "P1", nullptr, "P4", "P3", "P5"}; // the cleared one blank
    for (int i = 0; i < 6; ++i) {
        const int slot = imagemap::kGpsMemoryCount - 6 + i;
        ASSERT_EQ(stored.getByte(imagemap::kGpsSlotList + slot), slot);
        const std::string name(reinterpret_cast<const char*>(stored.data()) +
                                   imagemap::kGpsMemories + slot * imagemap::kGpsRecordSize + 15,
                               8);
        if (expected[i] != nullptr) {
            EXPECT_EQ(name, std::string(expected[i]) + "      ") << slot;
        } else {
            EXPECT_EQ(name.find('P'), std::string::npos) << slot << ": " << name;
        }
    }
    EXPECT_EQ(stored.getByte(imagemap::kGpsSlotList + imagemap::kGpsMemoryCount - 7),
              imagemap::kGpsSlotFree);
}

TEST(CloneE2eTest, WriteWithoutYesAsksAndSendsNothing) {
    test::TempFolder folder;
    saveIcf(servedImage(), folder.file("edit.icf"));
    Trsim trsim(folder, {"--save", folder.file("stored.icf")});
    const auto run =
        test::runCli(folder, "--device " + q(trsim.path()) + " --destination 0 write edit.icf");
    EXPECT_EQ(run.status, 4) << run.err;
    EXPECT_NE(run.err.find("Write to transceiver. Are you sure?"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(folder.file("stored.icf")));
}

TEST(CloneE2eTest, HighSpeedAndTheEchoingCable) {
    struct Case {
        const char* trsim;
        const char* cli;
        const char* logged;
    };
    const Case cases[] = {
        {"", "--high-speed", "line speed 38400"},
        {"--echo", "--connection 1", "read done"},
        {"--echo", "--connection 1 --high-speed", "line speed 38400"},
    };
    for (const auto& c : cases) {
        test::TempFolder folder;
        std::vector<std::string> args;
        if (*c.trsim != '\0') {
            args.emplace_back(c.trsim);
        }
        Trsim trsim(folder, args);
        const auto run = test::runCli(folder, std::string("--device ") + q(trsim.path()) + " " +
                                                  c.cli + " --destination 0 read -o out.icf");
        EXPECT_EQ(run.status, 0) << c.cli << run.err;
        EXPECT_NE(trsim.log().find(c.logged), std::string::npos) << c.cli << trsim.log();
        EXPECT_TRUE(std::filesystem::exists(folder.file("out.icf"))) << c.cli;
    }
}

TEST(CloneE2eTest, InformationFindsA4800BaudTransceiverAndKeepsConnectionType2) {
    test::TempFolder folder;
    Trsim trsim(folder, {"--speed", "4800", "--comment", "hello", "--destination", "2",
                         "--no-digital-unit", "--pager-inhibit"});
    // The settings are stored under the editor's lock, kept in this folder.
    const std::string tmp = "export TMPDIR=" + q(folder.path().string()) + ";";
    const auto run = test::runCli(folder, "--device " + q(trsim.path()) + " setup", tmp);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Comment:\thello\nDestination:\tAUS_0010\nRx Expansion:\tInhibit\n"
                       "FCC:\tNormal\nDigital Unit:\tInhibit\nDV:\tNormal\nPager:\tInhibit\n");
    const std::string conf = test::TempFolder::read(folder.file(".config/Orsa/QX-5130.conf"));
    EXPECT_NE(conf.find("TransType=2"), std::string::npos) << conf;

    // The stored connection type and destination serve the next command at once.
    const auto info = test::runCli(folder, "--device " + q(trsim.path()) + " info", tmp);
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(info.out, run.out);
}

struct FaultCase {
    std::vector<std::string> trsim;
    const char* command;
    const char* message;
};

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.trsim[0] << ' ' << c.trsim[1] << " / " << c.command;
}

class CloneFaultTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(CloneFaultTest, IsReportedAndLeavesTheOutputUntouched) {
    const FaultCase& c = GetParam();
    test::TempFolder folder;
    saveIcf(servedImage(), folder.file("edit.icf"));
    const std::string old = "previous contents\r\n";
    folder.write("out.icf", old);
    std::vector<std::string> args = c.trsim;
    args.insert(args.end(), {"--save", folder.file("stored.icf")});
    Trsim trsim(folder, args);
    const auto run =
        test::runCli(folder, "--device " + q(trsim.path()) + " --destination 0 " + c.command);
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_NE(run.err.find(std::string(c.message) + "\n\n"), std::string::npos) << run.err;
    // Only a failed write can have left the transceiver with part of the new data.
    const bool write = std::string(c.command).find("write") != std::string::npos;
    EXPECT_EQ(run.err.find("the transceiver may now hold part of the new data. Repeat the write "
                           "before using the radio.\n") != std::string::npos,
              write)
        << run.err;
    EXPECT_EQ(test::TempFolder::read(folder.file("out.icf")), old);
    EXPECT_FALSE(std::filesystem::exists(folder.file("stored.icf")));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, CloneFaultTest,
    ::testing::Values(
        FaultCase{{"--fault", "silent"}, "read -o out.icf", "No answer from transceiver."},
        FaultCase{{"--fault", "checksum@5"}, "read -o out.icf", "Illegal data."},
        FaultCase{{"--fault", "count"}, "read -o out.icf", "Data counter error."},
        FaultCase{{"--fault", "drop@7"}, "read -o out.icf", "There is not enough data."},
        FaultCase{{"--fault", "overflow"}, "read -o out.icf", "Data overflow."},
        FaultCase{{"--fault", "stall@40"}, "read -o out.icf", "No answer from transceiver."},
        FaultCase{{"--fault", "model"},
                  "read -o out.icf",
                  "Connected transceiver is not compatible model."},
        FaultCase{{"--fault", "badinfo"}, "read -o out.icf", "Illegal information."},
        FaultCase{{"--destination", "3"}, "read -o out.icf", "Transceiver version does not match."},
        FaultCase{{"--fault", "nak"},
                  "--high-speed write edit.icf --yes",
                  "Cannot write cloning data."}));

TEST(CloneE2eTest, APortThatCannotOpenIsNamed) {
    test::TempFolder folder;
    // The editor's port map sends COM 5 to a device that is not there.
    std::filesystem::create_directories(folder.path() / ".config/Orsa");
    folder.write(".config/Orsa/QX-5130.conf", "[Ports]\nCOM5=" + folder.file("none") + "\n");
    const auto run = test::runCli(folder, "--port 5 --destination 0 read -o out.icf");
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_EQ(run.err.rfind("Cannot access COM 5 (" + folder.file("none") +
                                "): no such device.\n\nThe cloning cable is not connected, or "
                                "another port is meant.\n",
                            0),
              0u)
        << run.err;
    const std::string named = "\n" + folder.file("none") + ": No such file or directory\n";
    EXPECT_EQ(run.err.substr(run.err.size() - std::min(run.err.size(), named.size())), named);
    EXPECT_FALSE(std::filesystem::exists(folder.file("out.icf")));

    // A device given by path is named by that path, with the system's reason.
    folder.write("plain", "");
    const auto device = test::runCli(folder, "--device plain --destination 0 info");
    EXPECT_EQ(device.status, 3) << device.err;
    EXPECT_EQ(device.err.rfind("Cannot access plain: not a serial device.\n", 0), 0u) << device.err;
    EXPECT_EQ(device.err.find("COM"), std::string::npos) << device.err;
    EXPECT_NE(device.err.find("\nplain: Inappropriate ioctl for device\n"), std::string::npos)
        << device.err;

    // An output that cannot be written is found before the transfer: the port is never opened.
    const auto output = test::runCli(folder, "--device none --destination 0 read -o no/out.icf");
    EXPECT_EQ(output.status, 2) << output.err;
    EXPECT_EQ(output.err,
              "File error.\n\nCannot open the file.\nno/out.icf: No such file or directory\n");
}

// A transfer whose far end goes away (the cable pulled) stops at once: the message, exit 3,
// nothing saved, and no wait for the protocol's time-outs.
TEST(CloneE2eTest, AnUnpluggedCableStopsTheTransferAtOnce) {
    struct Case {
        const char* command;
        bool write;
    };
    for (const Case c : {Case{"read -o out.icf", false}, Case{"write edit.icf --yes", true}}) {
        test::TempFolder folder;
        ASSERT_EQ(test::runCli(folder, "--destination 0 new -o edit.icf").status, 0);
        // Paced at the line speed, a whole transfer takes about a minute.
        Trsim trsim(folder, {"--pace"});
        const auto start = std::chrono::steady_clock::now();
        const auto run =
            test::runCli(folder, "--device " + q(trsim.path()) + " --destination 0 " + c.command,
                         "{ ( sleep 3; kill -9 " + std::to_string(trsim.pid()) + " ) & } ;");
        const auto seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(run.status, 3) << c.command << run.err;
        // A write's confirmation (answered by --yes) comes before it.
        const std::string lost = "The connection to " + trsim.path() +
                                 " was lost during the transfer.\n\nThe cloning cable was "
                                 "unplugged or the port was closed; the transfer was stopped.\n";
        EXPECT_EQ(run.err.find(lost), c.write ? run.err.find('\n') + 1 : 0) << run.err;
        EXPECT_NE(run.err.find(trsim.path() + ": Input/output error\n"), std::string::npos)
            << run.err;
        EXPECT_EQ(run.err.find("COM"), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("may now hold part of the new data") != std::string::npos, c.write)
            << run.err;
        EXPECT_FALSE(std::filesystem::exists(folder.file("out.icf")));
        // Killed after 3 s; the engine's answer time-out alone is 1 s.
        EXPECT_LT(seconds, 3.9) << c.command;
    }
}

// One program a port: a second qx5130-cli is told at once that the port is busy, and the
// running read is not disturbed by it.
TEST(CloneE2eTest, ASecondProgramOnThePortIsToldItIsBusy) {
    test::TempFolder first;
    test::TempFolder second;
    Trsim trsim(first, {"--pace"});
    test::CliResult reading;
    std::thread read([&] {
        reading = test::runCli(first, "--device " + q(trsim.path()) +
                                          " --destination 0 read -o "
                                          "out.icf");
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    const auto busy = test::runCli(second, "--device " + q(trsim.path()) + " --destination 0 info");
    kill(trsim.pid(), SIGKILL);
    read.join();
    EXPECT_EQ(busy.status, 3) << busy.err;
    EXPECT_EQ(busy.err.rfind("Cannot access " + trsim.path() +
                                 ": the port is in use.\n\nAnother program is using the port. "
                                 "Close it, then try again.\n",
                             0),
              0u)
        << busy.err;
    // The first read went on until trsim went away, not until the second one came.
    EXPECT_NE(reading.err.find("was lost during the transfer"), std::string::npos) << reading.err;
}

// A user outside the device's group is told which group to join.
TEST(CloneE2eTest, PermissionDeniedNamesTheGroupToJoin) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to run the command line as another user";
    }
    if (access("/usr/bin/setpriv", X_OK) != 0) {
        GTEST_SKIP() << "setpriv is not installed";
    }
    test::TempFolder folder;
    Trsim trsim(folder, {});
    // The pseudo-terminal belongs to root and the tty group, mode 620: nobody may not open it.
    const std::string dir = folder.path().string();
    const std::string nobody = "/usr/bin/setpriv --reuid=65534 --regid=65534 --clear-groups ";
    if (std::system((nobody + "test -x " + q(QX5130_CLI_PATH)).c_str()) != 0) {
        GTEST_SKIP() << "the unprivileged user cannot run the command line from the build tree";
    }
    const std::string command = "cd " + q(dir) + " && XDG_CONFIG_HOME=" + q(dir + "/.config") +
                                " HOME=" + q(dir) + " " + nobody + q(QX5130_CLI_PATH) +
                                " --device " + q(trsim.path()) + " --destination 0 info >" +
                                q(dir + "/out") + " 2>" + q(dir + "/err");
    const int raw = std::system(command.c_str());
    const std::string err = test::TempFolder::read(dir + "/err");
    ASSERT_TRUE(WIFEXITED(raw)) << err;
    EXPECT_EQ(WEXITSTATUS(raw), 3) << err;
    // The advice names the group that owns the device; root's group is no advice to give.
    struct stat st {};
    ASSERT_EQ(stat(trsim.path().c_str(), &st), 0);
    const group* owner = getgrgid(st.st_gid);
    const std::string name = owner != nullptr ? owner->gr_name : "";
    const std::string advice =
        name.empty() || name == "root"
            ? "This user may not use the port. Ask the administrator of this computer for access.\n"
            : "Only members of the group " + name +
                  " may use this port. To join it, run\n    "
                  "sudo usermod -aG " +
                  name + " $USER\nthen log out and log in again.\n";
    EXPECT_EQ(err.rfind("Cannot access " + trsim.path() + ": permission denied.\n\n" + advice, 0),
              0u)
        << err;
    EXPECT_NE(err.find(trsim.path() + ": Permission denied\n"), std::string::npos) << err;
}

// The ports found, and a setup by device path that the editor then finds under its number.
TEST(CloneE2eTest, PortsAreListedAndSetupRemembersTheDevice) {
    test::TempFolder folder;
    Trsim trsim(folder, {"--destination", "2"});
    std::filesystem::create_directories(folder.path() / "tree/dev/serial/by-id");
    std::filesystem::create_directories(folder.path() / "tree/sys/class/tty");
    std::filesystem::create_symlink(trsim.path(), folder.path() / "tree/dev/ttyUSB0");
    std::filesystem::create_symlink("../../ttyUSB0",
                                    folder.path() / "tree/dev/serial/by-id/usb-Orsa_Cable-if00");
    const std::string root = "QX5130_DEVICE_ROOT=" + q(folder.file("tree")) + " ";

    const auto ports = test::runCli(folder, "ports", "export " + root + ";");
    EXPECT_EQ(ports.status, 0) << ports.err;
    EXPECT_EQ(ports.out, folder.file("tree/dev/ttyUSB0") + "\t" +
                             folder.file("tree/dev/serial/by-id/usb-Orsa_Cable-if00") +
                             "\tttyUSB0\n");
    const auto none = test::runCli(folder, "ports", "export QX5130_DEVICE_ROOT=/nonexistent;");
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "No serial port was found.\n");

    const auto setup = test::runCli(folder, "setup --device " + q(folder.file("tree/dev/ttyUSB0")),
                                    "export " + root + ";");
    ASSERT_EQ(setup.status, 0) << setup.err;
    const std::string conf = test::TempFolder::read(folder.file(".config/Orsa/QX-5130.conf"));
    // The first free number above COM 4 (the tree's ttyUSB0 is not /dev/ttyUSB0, COM 33); the
    // stable name is what is kept for it.
    EXPECT_NE(conf.find("ComPort=5"), std::string::npos) << conf;
    EXPECT_NE(conf.find("COM5=" + folder.file("tree/dev/serial/by-id/usb-Orsa_Cable-if00")),
              std::string::npos)
        << conf;
    // The saved port now reaches the transceiver with no option at all.
    const auto info = test::runCli(folder, "info");
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("Destination:"), std::string::npos);

    // --port takes the number, whose device is named when it fails.
    const auto byNumber = test::runCli(folder, "setup --port 9");
    EXPECT_EQ(byNumber.status, 3) << byNumber.err;
    EXPECT_EQ(byNumber.err.rfind("Cannot access COM 9 (/dev/ttyS8)", 0), 0u) << byNumber.err;
}

} // namespace
} // namespace qx
