#include "cli_run.h"
#include "clonefile/icf_file.h"
#include "radio/default_images.h"
#include "radio/image_map.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string_view>

namespace qx {
namespace {

using namespace imagemap;

// Destination 14 with two received calls, shown in the order record 3, record 0; with
// `count` above 2, more calls follow on the next rows.
std::string writeLog(const test::TempFolder& folder, const std::string& name, int count = 2) {
    cmcEeprom image(kImageSize);
    image.writeBlock(0, defaultImageBlock(14), kTransceiverSize);
    const auto put = [&](int record, std::int32_t offset, std::string_view bytes) {
        image.writeBlock(kReceivedCalls + record * kReceivedCallSize + offset,
                         reinterpret_cast<const std::uint8_t*>(bytes.data()),
                         static_cast<std::int32_t>(bytes.size()));
    };
    for (int record = 0; record < kReceivedCallCount; ++record) {
        image.setByte(kReceivedCallOrder + record, 0xFF);
    }
    put(3, 0, "JA1ABC  3100JP1YIU BJP1YIU GCQCQCQ  ");
    put(3, 36, "\x24\x12\x09\x21\x05\x59");
    image.setByte(kReceivedCallOrder + 3, 0);
    image.setByte(kReceivedCallStatus + 3, 0x60);
    put(0, 0, "7K1XYZ      JP1YIU AJP1YIU G7K1ABC  ");
    put(0, 36, std::string_view("\x01\x01\x10\x00\x00\x07", 6));
    image.setByte(kReceivedCallOrder + 0, 1);
    image.setByte(kReceivedCallStatus + 0, 0x08);
    for (int record = 1, row = 2; record < kReceivedCallCount && row < count; ++record) {
        if (record != 3) {
            put(record, 0, "JH1QRS  1234JP1YIU AJP1YIU G7K1ABC  ");
            image.setByte(kReceivedCallOrder + record, static_cast<std::uint8_t>(row++));
        }
    }
    cmcIcfFile file(image);
    file.setModel(kModelCode, kModelSubCode);
    const std::string path = folder.file(name);
    EXPECT_EQ(file.write(path, ImageRangeList::transceiverPart()), FileErrorCode::Ok);
    return path;
}

TEST(CliExportCallsTest, WritesTheLogInTheSystemsFormat) {
    test::TempFolder folder;
    writeLog(folder, "log.icf");
    struct Case {
        const char* locale;
        const char* csv;
    };
    const Case cases[] = {
        {"C", "Caller,/,Called,Rx RPT1,Rx RPT2,Status,Received date,BK,EMR\r\n"
              "JA1ABC,3100,CQCQCQ,JP1YIU B,JP1YIU G,RPT UP,12/24/2009 21:05:59,*,\r\n"
              "7K1XYZ,,7K1ABC,JP1YIU A,JP1YIU G,,01/01/2010 00:00:07,,*\r\n"},
        // A decimal comma makes ';' the list separator.
        {"de_DE.UTF-8", "Caller;/;Called;Rx RPT1;Rx RPT2;Status;Received date;BK;EMR\r\n"
                        "JA1ABC;3100;CQCQCQ;JP1YIU B;JP1YIU G;RPT UP;12/24/2009 21:05:59;*;\r\n"
                        "7K1XYZ;;7K1ABC;JP1YIU A;JP1YIU G;;01/01/2010 00:00:07;;*\r\n"},
        // The date order follows --lang, as in `sheet`, not the system's language.
        {"ja_JP.UTF-8", "Caller,/,Called,Rx RPT1,Rx RPT2,Status,Received date,BK,EMR\r\n"
                        "JA1ABC,3100,CQCQCQ,JP1YIU B,JP1YIU G,RPT UP,12/24/2009 21:05:59,*,\r\n"
                        "7K1XYZ,,7K1ABC,JP1YIU A,JP1YIU G,,01/01/2010 00:00:07,,*\r\n"},
    };
    for (const Case& c : cases) {
        const auto run = test::runCli(folder, "--lang en export-calls log.icf -o calls.csv",
                                      std::string("export LC_ALL=") + c.locale + ";");
        ASSERT_EQ(run.status, 0) << c.locale << run.err;
        EXPECT_EQ(run.err, "") << c.locale;
        EXPECT_EQ(test::TempFolder::read(folder.file("calls.csv")), c.csv) << c.locale;
    }

    const auto japanese =
        test::runCli(folder, "--lang ja export-calls log.icf -o ja.csv", "export LC_ALL=C;");
    ASSERT_EQ(japanese.status, 0) << japanese.err;
    EXPECT_NE(test::TempFolder::read(folder.file("ja.csv")).find(",2009/12/24 21:05:59,"),
              std::string::npos);

    // An image without calls gives the header only.
    const auto empty = test::runCli(folder, "--destination 14 new -o empty.icf");
    ASSERT_EQ(empty.status, 0) << empty.err;
    const auto run = test::runCli(folder, "export-calls -o none.csv empty.icf", "export LC_ALL=C;");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(test::TempFolder::read(folder.file("none.csv")),
              "Caller,/,Called,Rx RPT1,Rx RPT2,Status,Received date,BK,EMR\r\n");
}

TEST(CliExportCallsTest, AFailedWriteIsAnErrorAndKeepsTheOldFile) {
    test::TempFolder folder;
    writeLog(folder, "log.icf", 20);
    folder.write("calls.csv", "previous\r\n");
    // The size limit (1 KiB, less than twenty calls need) refuses the bytes as a full disk
    // would, even for root.
    const auto run = test::runCli(folder, "--lang en export-calls log.icf -o calls.csv",
                                  "trap '' XFSZ; ulimit -f 1;");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "File error.\n\nCannot access the file.\ncalls.csv: File too large\n");
    EXPECT_EQ(test::TempFolder::read(folder.file("calls.csv")), "previous\r\n");
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        files += entry.path().filename().string()[0] != '.' || entry.path().extension() == ".tmp";
    }
    EXPECT_EQ(files, 2u) << "no temporary file is left behind";

    const auto folderMissing =
        test::runCli(folder, "--lang en export-calls log.icf -o no/such/calls.csv");
    EXPECT_EQ(folderMissing.status, 2);
    EXPECT_EQ(folderMissing.err, "File error.\n\nCannot open the file.\n"
                                 "no/such/calls.csv: No such file or directory\n");
    const auto inputMissing = test::runCli(folder, "--lang en export-calls none.icf -o x.csv");
    EXPECT_EQ(inputMissing.status, 2);
    EXPECT_EQ(inputMissing.err,
              "File error.\n\nCannot open the file.\nnone.icf: No such file or directory\n");
    EXPECT_FALSE(std::filesystem::exists(folder.file("x.csv")));
    for (const char* args : {"export-calls log.icf", "export-calls -o x.csv",
                             "export-calls log.icf -o", "export-calls a.icf b.icf -o x.csv"}) {
        EXPECT_EQ(test::runCli(folder, args).status, 1) << args;
    }
}

} // namespace
} // namespace qx
