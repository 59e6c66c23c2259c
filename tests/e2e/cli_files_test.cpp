// The command line's files and arguments under awkward input: option conventions, standard
// input and output, paths in messages, and targets that are not plain files.
#include "cli_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace qx {
namespace {

namespace fs = std::filesystem;

const std::string kBlock1 = "'[St_ColCut]GI_Sheet_MemoryCH,1,100'";

class CliFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(test::runCli(folder, "--destination 0 new -o new.icf").status, 0);
        ASSERT_EQ(test::runCli(folder,
                               "--destination 0 set new.icf " + kBlock1 + " CL_Mch_Freq 100 145.5")
                      .status,
                  0);
        clone = test::TempFolder::read(folder.file("new.icf"));
    }
    test::TempFolder folder;
    std::string clone;
};

TEST_F(CliFilesTest, OptionsEndAtTheDoubleDashAndTakeNoOptionAsTheirValue) {
    // A forgotten value never turns the next option into a file name.
    const auto swallowed = test::runCli(folder, "--destination 0 set new.icf " + kBlock1 +
                                                    " CL_Mch_Name 100 -o -o named.icf");
    EXPECT_EQ(swallowed.status, 1);
    EXPECT_NE(swallowed.err.find("write a path that starts with - as ./-o"), std::string::npos)
        << swallowed.err;
    EXPECT_FALSE(fs::exists(folder.file("-o")));
    EXPECT_FALSE(fs::exists(folder.file("named.icf")));

    folder.write("-dash.icf", clone);
    const auto dash = test::runCli(folder, "--destination 0 check -dash.icf");
    EXPECT_EQ(dash.status, 1);
    EXPECT_NE(dash.err.find("unknown option -dash.icf (put -- before"), std::string::npos)
        << dash.err;
    EXPECT_EQ(test::runCli(folder, "--destination 0 check -- -dash.icf").status, 0);
    EXPECT_EQ(test::runCli(folder, "--destination 0 check ./-dash.icf").status, 0);

    // Options stand anywhere before "--"; after it a text may start with '-'.
    const auto entered = test::runCli(folder, "--destination 0 set -o out.icf new.icf " + kBlock1 +
                                                  " CL_Mch_Name 100 -- -o");
    ASSERT_EQ(entered.status, 0) << entered.err;
    const auto shown = test::runCli(folder, "--destination 0 sheet out.icf " + kBlock1);
    EXPECT_NE(shown.out.find("\t-o\t"), std::string::npos);
    for (const char* args : {"new -o a.icf -o b.icf", "new --yes -o a.icf", "new -o",
                             "write new.icf --yes=1", "check"}) {
        EXPECT_EQ(test::runCli(folder, args).status, 1) << args;
    }
}

TEST_F(CliFilesTest, DashIsStandardInputAndOutput) {
    const auto written = test::runCli(folder, "--destination 0 new -o -");
    ASSERT_EQ(written.status, 0) << written.err;
    EXPECT_EQ(written.out.substr(0, 13), "29700001\r\n#\r\n");
    EXPECT_EQ(written.out.size(), clone.size());

    const auto checked = test::runCli(folder, "--destination 0 check - <new.icf");
    EXPECT_EQ(checked.status, 0) << checked.err;

    // A filter: the edited file goes to standard output when it came from standard input.
    const auto filtered = test::runCli(folder, "--destination 0 set - " + kBlock1 +
                                                   " CL_Mch_Freq 100 146.01 <new.icf");
    ASSERT_EQ(filtered.status, 0) << filtered.err;
    folder.write("piped.icf", filtered.out);
    const auto sheet = test::runCli(folder, "--destination 0 sheet - " + kBlock1 + " <piped.icf");
    ASSERT_EQ(sheet.status, 0) << sheet.err;
    EXPECT_NE(sheet.out.find("100\t146.010000"), std::string::npos);

    const auto csv = test::runCli(folder, "export-calls - -o - <new.icf", "export LC_ALL=C;");
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.out, "Caller,/,Called,Rx RPT1,Rx RPT2,Status,Received date,BK,EMR\r\n");

    const auto garbage = test::runCli(folder, "check - </dev/zero");
    EXPECT_EQ(garbage.status, 2);
    EXPECT_EQ(garbage.err, "File error.\n\nIllegal data.\n(standard input): File too large\n");
}

TEST_F(CliFilesTest, FailuresNameThePathAndTheReason) {
    const std::string set = "--destination 0 set ";
    const std::string entry = " " + kBlock1 + " CL_Mch_Name 100 x";
    const auto input = test::runCli(folder, set + "none.icf" + entry + " -o out.icf");
    EXPECT_EQ(input.status, 2);
    EXPECT_EQ(input.err,
              "File error.\n\nCannot open the file.\nnone.icf: No such file or directory\n");
    const auto output = test::runCli(folder, set + "new.icf" + entry + " -o no/out.icf");
    EXPECT_EQ(output.status, 2);
    EXPECT_EQ(output.err,
              "File error.\n\nCannot open the file.\nno/out.icf: No such file or directory\n");

    fs::create_directory(folder.file("dir.icf"));
    const auto directory = test::runCli(folder, "check dir.icf");
    EXPECT_EQ(directory.status, 2);
    EXPECT_EQ(directory.err, "File error.\n\nCannot open the file.\ndir.icf: Is a directory\n");

    // Nobody writes to the pipe: reading it would wait forever.
    ASSERT_EQ(::mkfifo(folder.file("pipe.icf").c_str(), 0600), 0);
    for (const std::string& command :
         {std::string("check pipe.icf"), "sheet pipe.icf " + kBlock1}) {
        const auto pipe = test::runCli(folder, command, "ulimit -t 20;");
        EXPECT_EQ(pipe.status, 2) << command;
        EXPECT_EQ(pipe.err, "File error.\n\nCannot open the file.\npipe.icf: Not a regular file\n")
            << command;
    }
}

TEST_F(CliFilesTest, OnlyRegularFilesAreReplaced) {
    ASSERT_EQ(::mkfifo(folder.file("pipe").c_str(), 0600), 0);
    fs::create_symlink("pipe", folder.file("link.icf"));
    for (const char* target : {"pipe", "link.icf"}) {
        const auto run = test::runCli(folder, std::string("--destination 0 new -o ") + target);
        EXPECT_EQ(run.status, 2) << target;
        EXPECT_EQ(run.err, "File error.\n\nCannot open the file.\n" + std::string(target) +
                               ": Not a regular file\n");
        EXPECT_TRUE(fs::is_fifo(folder.file("pipe")));
        EXPECT_TRUE(fs::is_symlink(folder.file("link.icf")));
    }

    // The CSV would replace the clone file it came from.
    const auto same = test::runCli(folder, "export-calls new.icf -o ./new.icf");
    EXPECT_EQ(same.status, 2);
    EXPECT_EQ(same.err, "File error.\n\nCannot open the file.\n"
                        "./new.icf: the output would replace the input file\n");
    EXPECT_EQ(test::TempFolder::read(folder.file("new.icf")), clone);
}

} // namespace
} // namespace qx
