#include "clonefile/icf_file.h"
#include "radio/image_map.h"
#include "recording_prompt.h"
#include "temp_folder.h"
#include "text/text_table.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <sys/resource.h>

namespace qx {
namespace {

using imagemap::kImageSize;
using imagemap::kTransceiverEnd;
const ImageRangeList kTransceiverRange = ImageRangeList::transceiverPart();

class IcfFileTest : public ::testing::Test {
protected:
    IcfFileTest() : image(kImageSize), icf(image) {
        texts.attachSource(kTextTable_en);
        icf.setModel(0x2970, 0x0001);
        icf.setReporter(&prompt, &texts);
        // Every byte different from its neighbours, so a misplaced byte shows.
        for (std::int32_t a = 0; a < kImageSize; ++a) {
            image.setByte(a, static_cast<std::uint8_t>(a * 7 + a / 256));
        }
        const char tag[] = "OrsaCloneFormat3";
        image.writeBlock(imagemap::kMapFormatTag, reinterpret_cast<const std::uint8_t*>(tag), 16);
    }

    std::vector<std::string> lines(const std::string& path) {
        std::vector<std::string> out;
        const std::string text = test::TempFolder::read(path);
        std::size_t pos = 0;
        while (pos < text.size()) {
            const std::size_t end = text.find("\r\n", pos);
            EXPECT_NE(end, std::string::npos) << "a line without CR LF";
            if (end == std::string::npos) {
                break;
            }
            out.push_back(text.substr(pos, end - pos));
            pos = end + 2;
        }
        return out;
    }

    test::TempFolder folder;
    test::RecordingPrompt prompt;
    cmcGTex texts;
    cmcEeprom image;
    cmcIcfFile icf;
};

TEST_F(IcfFileTest, WritesHeaderCommentAndSixteenByteRecords) {
    icf.setComment("HELLO");
    const std::string path = folder.file("out.icf");
    ASSERT_EQ(icf.write(path, kTransceiverRange), FileErrorCode::Ok);
    const auto l = lines(path);
    ASSERT_EQ(l.size(), 2766u);
    EXPECT_EQ(l[0], "29700001");
    EXPECT_EQ(l[1], "#HELLO");
    std::string first = "000010";
    for (int a = 0; a < 16; ++a) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", image.getByte(a));
        first += hex;
    }
    EXPECT_EQ(l[2], first);
    EXPECT_EQ(l.back(), "ACB010"
                        "4F727361436C6F6E65466F726D617433");
    EXPECT_TRUE(prompt.asked.empty());
}

TEST_F(IcfFileTest, CutsRecordsAtMultiplesOfSixteen) {
    const std::string path = folder.file("cut.icf");
    ASSERT_EQ(icf.write(path, {{0x0005, 0x0023}, {0x0040, 0x0040}, {5, 4}, {0, 0x1F}}),
              FileErrorCode::Ok);
    const auto l = lines(path);
    ASSERT_EQ(l.size(), 6u); // the pair {5, 4} ends the list
    EXPECT_EQ(l[2].substr(0, 6), "00050B");
    EXPECT_EQ(l[3].substr(0, 6), "001010");
    EXPECT_EQ(l[4].substr(0, 6), "002004");
    EXPECT_EQ(l[5].substr(0, 6), "004001");
    EXPECT_EQ(l[4].size(), 6u + 8u);
}

TEST_F(IcfFileTest, RoundTripRestoresTheTransceiverRangeOnly) {
    const std::string path = folder.file("round.icf");
    ASSERT_EQ(icf.write(path, kTransceiverRange), FileErrorCode::Ok);

    cmcEeprom loaded(kImageSize);
    loaded.fill(0xA5);
    cmcIcfFile reader(loaded);
    reader.setModel(0x2970, 0x0001);
    ASSERT_EQ(reader.read(path, &kTransceiverRange), FileErrorCode::Ok);
    EXPECT_EQ(std::memcmp(loaded.data(), image.data(), kTransceiverEnd + 1), 0);
    for (std::int32_t a = kTransceiverEnd + 1; a < kImageSize; ++a) {
        ASSERT_EQ(loaded.getByte(a), 0xA5) << a;
    }
}

TEST(IcfCommentTest, TakesPrintableCommentBytes) {
    struct Case {
        std::string bytes;
        std::string comment;
    };
    const Case cases[] = {
        {std::string(16, '\0'), ""},
        {std::string(16, ' '), ""},
        {"MY RIG  \x01\x02\xff     ", "MY RIG"},
        {"A\tB\x7f"
         "C~ 0123456789ab",
         "A B C~ 0123456789ab"},
    };
    for (const auto& c : cases) {
        cmcEeprom image(kImageSize);
        image.writeBlock(imagemap::kCloneComment,
                         reinterpret_cast<const std::uint8_t*>(c.bytes.data()),
                         imagemap::kCloneCommentSize);
        EXPECT_EQ(cmcIcfFile::commentFromImage(image), c.comment.substr(0, 16)) << c.comment;
    }
}

// A small image keeps the fixtures readable; the reader works on any target.
class IcfReadTest : public ::testing::Test {
protected:
    IcfReadTest() : image(64), icf(image) {
        texts.attachSource(kTextTable_en);
        icf.setModel(0x2970, 0x0001);
        icf.setReporter(&prompt, &texts);
        image.fill(0xEE);
    }

    FileErrorCode read(const std::string& content, const ImageRangeList* coverage = nullptr) {
        return icf.read(folder.write("in.icf", content), coverage);
    }

    test::TempFolder folder;
    test::RecordingPrompt prompt;
    cmcGTex texts;
    cmcEeprom image;
    cmcIcfFile icf;
};

TEST_F(IcfReadTest, EveryErrorIsReportedOnceAndLeavesTheImageAsItWas) {
    const ImageRangeList first32{{0, 31}};
    const std::string header = "29700001\r\n#\r\n";
    const std::string rec0 = "000010" + std::string(32, '1') + "\r\n";
    const std::string rec1 = "001010" + std::string(32, '2') + "\r\n";
    struct Case {
        const char* what;
        std::string content;
        bool coverage;
        FileErrorCode code;
        const char* message;
    };
    const Case cases[] = {
        {"empty file", "", false, FileErrorCode::Format, "Illegal data."},
        {"short header", "2970001\r\n", false, FileErrorCode::Format, "Illegal data."},
        {"long header", "297000010\r\n", false, FileErrorCode::Format, "Illegal data."},
        {"hex digit in header", "2970000A\r\n", false, FileErrorCode::Format, "Illegal data."},
        {"other model", "29710001\r\n" + rec0, false, FileErrorCode::Model, "Illegal data."},
        {"other sub-code", "29700002\r\n" + rec0, false, FileErrorCode::Extra, "Illegal data."},
        {"blank line", header + rec0 + "\r\n" + rec1, false, FileErrorCode::Format,
         "Illegal data."},
        {"not hexadecimal", header + rec0 + "00101G" + std::string(32, '2'), false,
         FileErrorCode::Format, "Illegal data."},
        {"count 0", header + rec0 + "000000\r\n", false, FileErrorCode::Format, "Illegal data."},
        {"odd length", header + rec0 + "0010011\r\n", false, FileErrorCode::Format,
         "Illegal data."},
        {"count mismatch", header + rec0 + "00100322\r\n", false, FileErrorCode::Format,
         "Illegal data."},
        {"too long", header + "0000FF" + std::string(512, '0') + "\r\n", false,
         FileErrorCode::Format, "Illegal data."},
        {"record past the image", header + rec0 + "003F021111\r\n" + rec1, false,
         FileErrorCode::Data, "Illegal data."},
        {"record outside the range", header + rec0 + rec1 + "00200111\r\n", true,
         FileErrorCode::Data, "Illegal data."},
        {"missing record", header + rec0, true, FileErrorCode::Coverage,
         "There is not enough data."},
    };
    for (const auto& c : cases) {
        prompt.asked.clear();
        cmcEeprom before(image);
        EXPECT_EQ(read(c.content, c.coverage ? &first32 : nullptr), c.code) << c.what;
        EXPECT_TRUE(image == before) << c.what;
        ASSERT_EQ(prompt.asked.size(), 1u) << c.what;
        EXPECT_EQ(prompt.asked[0].text, std::string("File error.\n\n") + c.message) << c.what;
        EXPECT_EQ(prompt.asked[0].caption, "QX-5130");
        EXPECT_EQ(prompt.asked[0].icon, PromptIcon::Warning);
        EXPECT_EQ(prompt.asked[0].buttons, PromptButtons::Ok);
    }
}

TEST_F(IcfReadTest, MissingFileCannotBeOpened) {
    EXPECT_EQ(icf.read(folder.file("absent.icf"), nullptr), FileErrorCode::FileOpen);
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].text, "File error.\n\nCannot open the file.");
}

TEST_F(IcfReadTest, EndsAtTheFirstLineThatCannotBeValid) {
    // 64 GiB of zeros without a line break: the header is wrong after its ninth character, so
    // the reader stops there instead of reading on.
    const std::string huge = folder.write("zeros.icf", "");
    std::filesystem::resize_file(huge, std::uintmax_t{64} << 30);
    EXPECT_EQ(icf.read(huge, nullptr), FileErrorCode::Format);
    EXPECT_EQ(icf.lastDetail().line, 1);

    const std::string header = "29700001\r\n#\r\n";
    struct Case {
        std::string content;
        FileErrorCode code;
        int line;
    };
    const Case cases[] = {
        {header + "000010" + std::string(32, '1') + "\r\n" + std::string(1 << 20, '0'),
         FileErrorCode::Format, 4},
        // The line buffer holds 766 characters; a longer comment goes on as a record.
        {header + "#" + std::string(765, 'c') + "\n000004" + "11223344\n", FileErrorCode::Ok, 0},
        {header + "#" + std::string(766, 'c') + "\n", FileErrorCode::Format, 4},
        {header + "#" + std::string(766, 'c') + "#more\n", FileErrorCode::Ok, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(read(c.content), c.code) << c.content.size();
        EXPECT_EQ(icf.lastDetail().line, c.line) << c.content.size();
        EXPECT_EQ(icf.readText(c.content, nullptr), c.code) << "from memory";
    }
    EXPECT_EQ(icf.read(folder.path().string(), nullptr), FileErrorCode::FileOpen);
    EXPECT_EQ(icf.lastDetail().reason, std::make_error_code(std::errc::is_a_directory));
}

TEST_F(IcfReadTest, AcceptsWhatEditorsAndOtherWritersProduce) {
    const ImageRangeList first16{{0, 15}};
    // LF line ends, lower-case digits, comments anywhere, overlapping records in any order,
    // a one-byte record, and a last line without a line break.
    const std::string content = "29700001\n#comment\n"
                                "000808aabbccddeeff0011\n"
                                "# another comment\n"
                                "000008"
                                "0001020304050607\r\n"
                                "000F0142";
    ASSERT_EQ(read(content, &first16), FileErrorCode::Ok);
    const std::uint8_t expected[] = {0,    1,    2,    3,    4,    5,    6,    7,
                                     0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x00, 0x42};
    EXPECT_EQ(std::memcmp(image.data(), expected, 16), 0);
    EXPECT_EQ(image.getByte(16), 0xEE);
    EXPECT_EQ(image.getByte(0x18), 0xEE);
    EXPECT_TRUE(prompt.asked.empty());
}

TEST_F(IcfReadTest, CoverageIsJudgedAfterAReadWithoutAList) {
    ASSERT_EQ(read("29700001\r\n#\r\n00000400010203\r\n"), FileErrorCode::Ok);
    EXPECT_EQ(icf.checkCoverage({{0, 3}}), FileErrorCode::Ok);
    EXPECT_EQ(icf.checkCoverage({{0, 7}}), FileErrorCode::Coverage);
    EXPECT_EQ(icf.checkCoverage({{0, 2}}), FileErrorCode::Data);
    EXPECT_EQ(icf.checkCoverage({{1, 3}, {0, 0}}), FileErrorCode::Ok);
}

TEST_F(IcfFileTest, FailedOpenForWritingIsReported) {
    EXPECT_EQ(icf.write(folder.file("no/such/folder/x.icf"), kTransceiverRange),
              FileErrorCode::FileOpen);
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].text, "File error.\n\nCannot open the file.");
}

// The file size limit makes the disk refuse bytes the way a full disk does, even for root.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_saved{};
    void (*m_oldHandler)(int);
};

TEST_F(IcfFileTest, FailedWriteKeepsThePreviousFileAndLeavesNoTemporaryFile) {
    const std::string path = folder.write("keep.icf", "the user's previous file\r\n");
    {
        FileSizeLimit limit(4096);
        EXPECT_EQ(icf.write(path, kTransceiverRange), FileErrorCode::FileAccess);
    }
    EXPECT_EQ(test::TempFolder::read(path), "the user's previous file\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].text, "File error.\n\nCannot access the file.");
}

TEST_F(IcfFileTest, SavingThroughALinkReplacesTheLinkedFile) {
    const std::string real = folder.write("real.icf", "old");
    const std::string link = folder.file("link.icf");
    std::filesystem::create_symlink(real, link);
    ASSERT_EQ(icf.write(link, kTransceiverRange), FileErrorCode::Ok);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(test::TempFolder::read(real).substr(0, 10), "29700001\r\n");
}

} // namespace
} // namespace qx
