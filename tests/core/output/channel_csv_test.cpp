#include "output/channel_csv.h"
#include "output/channel_csv_import.h"
#include "output/csv_reader.h"

#include "headless_sheets.h"
#include "radio/bank_link_table.h"
#include "radio/channel_record.h"
#include "radio/image_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include <string>
#include <vector>

namespace qx {
namespace {

using namespace imagemap;

constexpr const char* kHeader =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode,"
    "TStep,Skip,Comment,URCALL,RPT1CALL,RPT2CALL,Bank,BankChannel,DigitalSquelch,DigitalCode";

void clearChannels(cmcEeprom& image) {
    ChannelRecord rec(image);
    for (int ch = 0; ch < kChannelCount; ++ch) {
        rec.load(kKindChannel, ch);
        rec.used = false;
        rec.store();
    }
    banklink::rebuild(image);
}

// Channels of every kind with every mode, tone mode, duplex, skip and digital field, on the
// grids the transceiver keeps, with names that need quoting.
void fill(cmcEeprom& image) {
    const int toneModes[] = {0, 1, 3, 4, 6, 7};
    const int skips[] = {0, 1, 3};
    const int squelches[] = {0, 2, 4};
    const std::uint32_t bases[] = {145000000, 433000000, 910000000, 123450000};
    const char* names[] = {"",     "A,B",  "say \"x\"", "12345678", " lead", "CH;7",
                           "=1+1", "+cmd", "-1+1",      "'=q",      "@x"};
    ChannelRecord rec(image);
    int n = 0;
    for (int ch = 0; ch < kChannelCount; ch += ch < 60 || ch >= 495 ? 1 : 37, ++n) {
        rec.load(kKindChannel, ch);
        rec.used = true;
        const std::uint32_t base = bases[n % 4];
        rec.frequency = base + static_cast<std::uint32_t>(n) * (base >= 810000000 ? 12500U : 6250U);
        rec.duplex = n % 3;
        rec.offset = n % 2 == 0 ? 600000 : 5000000 + static_cast<std::uint32_t>(n) * 5000U;
        rec.toneMode = toneModes[n % 6];
        rec.toneIndex = n % 50;
        rec.tsqlIndex = (n * 7) % 50;
        rec.dtcsIndex = (n * 13) % 104;
        rec.dtcsPolarity = n % 4;
        rec.mode = n % 5;
        rec.tuningStep = n % 9;
        rec.skip = skips[n % 3];
        rec.name = ChannelRecord::toText8(names[n % std::size(names)]);
        rec.digitalSquelch = squelches[n % 3];
        rec.digitalCode = (n * 11) % 128;
        rec.yourCall = ChannelRecord::toText8(n % 2 == 0 ? "CQCQCQ" : "JA1ABC");
        rec.repeater1Call = ChannelRecord::toText8(n % 3 == 0 ? "" : "JP1YIU A");
        rec.repeater2Call = ChannelRecord::toText8("JP1YIU G");
        rec.bankGroup = n % 5 == 0 ? kNoBank : n % kBankCount;
        rec.bankChannel = rec.bankGroup == kNoBank ? 0 : n % 100;
        rec.store();
    }
    banklink::rebuild(image);
}

class ChannelCsvTest : public ::testing::Test {
protected:
    std::string exportOf(cmcEeprom& image) {
        return ChannelCsvExport(image, s.tables, false).csv();
    }
    LinkEnvironment environmentFor(cmcEeprom& image) {
        LinkEnvironment env = s.dispatch->environment();
        env.image = &image;
        return env;
    }
    // Exports `image`, imports that into a copy without channels and exports the copy again.
    void expectRoundTrip(cmcEeprom& image, const std::string& what) {
        const std::string first = exportOf(image);
        cmcEeprom target = image;
        clearChannels(target);
        ChannelCsvImport import(environmentFor(target));
        ASSERT_TRUE(import.prepare(first)) << what;
        EXPECT_EQ(import.refusedCount(), 0) << what << "\n" << report(import);
        EXPECT_TRUE(import.overwritten().empty()) << what;
        import.apply();
        EXPECT_EQ(exportOf(target), first) << what;
    }
    std::string report(const ChannelCsvImport& import) {
        std::string out;
        for (const std::string& line : import.reportLines(s.lines)) {
            out += line + "\n";
        }
        return out;
    }

    test::HeadlessSheets s;
};

TEST_F(ChannelCsvTest, ExportWritesTheCommonColumnsThenOurs) {
    cmcEeprom& image = s.images.current();
    clearChannels(image);
    ChannelRecord rec(image);
    rec.load(kKindChannel, 7);
    rec.used = true;
    rec.frequency = 146010000;
    rec.duplex = 1;
    rec.offset = 600000;
    rec.toneMode = 4;
    rec.toneIndex = 8;
    rec.tsqlIndex = 12;
    rec.dtcsIndex = 0;
    rec.dtcsPolarity = 2;
    rec.mode = 1;
    rec.tuningStep = 1;
    rec.skip = 3;
    rec.name = ChannelRecord::toText8("Club, 2");
    rec.bankGroup = 2;
    rec.bankChannel = 14;
    rec.digitalSquelch = 4;
    rec.digitalCode = 99;
    rec.yourCall = ChannelRecord::toText8("CQCQCQ");
    rec.repeater1Call = ChannelRecord::toText8("JP1YIU A");
    rec.repeater2Call = ChannelRecord::toText8("");
    rec.store();
    rec.load(kKindChannel, 521); // call channel C1: no skip, no bank
    rec.used = true;
    rec.frequency = 433500000;
    rec.duplex = 0;
    rec.offset = 0;
    rec.toneMode = 0;
    rec.mode = 4;
    rec.tuningStep = 8;
    rec.name = ChannelRecord::toText8("");
    rec.store();
    banklink::rebuild(image);

    const std::string csv = exportOf(image);
    const std::string expected =
        std::string(kHeader) + "\r\n" +
        "7,\"Club, 2\",146.010000,-,0.600000,TSQL-R,88.5,100.0,023,RN,NFM,6.25,P,,CQCQCQ,"
        "JP1YIU A,,C,14,CSQL,99\r\n"
        "521,,433.500000,,0.000000,,88.5,88.5,023,NN,DV,50.00,,,CQCQCQ,,,,,OFF,0\r\n";
    EXPECT_EQ(csv, expected);
}

TEST_F(ChannelCsvTest, RoundTripIsExactForEveryDefaultImageAndAFilledOne) {
    int channels = 0;
    for (int destination = 0; destination < kDestinationCount; ++destination) {
        s.setDestination(destination, true);
        const std::string csv = exportOf(s.images.current());
        channels += static_cast<int>(std::count(csv.begin(), csv.end(), '\n')) - 1;
        expectRoundTrip(s.images.current(), "destination " + std::to_string(destination));
    }
    s.setDestination(0, true);
    cmcEeprom& image = s.images.current();
    fill(image);
    const std::string csv = exportOf(image);
    for (const char* value : {",FM,", ",NFM,", ",AM,", ",NAM,", ",DV,", ",Tone,", ",TSQL,",
                              ",TSQL-R,", ",DTCS,", ",DTCS-R,", ",+,", ",-,", ",S,", ",P,",
                              ",DSQL,", ",CSQL,", "\"A,B\"", "\"say \"\"x\"\"\"",
                              // Texts a spreadsheet would run as formulas are guarded.
                              ",'=1+1,", ",'+cmd,", ",'-1+1,", ",''=q,", ",'@x,"}) {
        EXPECT_NE(csv.find(value), std::string::npos) << value;
    }
    expectRoundTrip(image, "filled");
    EXPECT_GT(channels, 0) << "the default images hold channels";
}

// The plain export, and the same channels as a spreadsheet saves them: ";" between fields,
// quotes around every field, a byte order mark, CR LF, columns in another order and one more.
TEST_F(ChannelCsvTest, SpreadsheetFileImportsTheSameChannelsAsThePlainExport) {
    cmcEeprom& source = s.images.current();
    fill(source);
    const std::string plain = exportOf(source);

    std::vector<CsvRecord> records = readCsv(plain);
    std::string sheet = "\xEF\xBB\xBF";
    for (const CsvRecord& r : records) {
        std::vector<std::string> f = r.fields;
        std::rotate(f.begin(), f.begin() + 5, f.end());
        f.insert(f.begin() + 3, r.line == 1 ? "Notes" : "anything; really");
        for (std::size_t i = 0; i < f.size(); ++i) {
            std::string quoted = "\"";
            for (const char c : f[i]) {
                quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
            }
            sheet += (i == 0 ? "" : ";") + quoted + "\"";
        }
        sheet += "\r\n\r\n";
    }

    cmcEeprom fromPlain = source;
    cmcEeprom fromSheet = source;
    clearChannels(fromPlain);
    clearChannels(fromSheet);
    ChannelCsvImport plainImport(environmentFor(fromPlain));
    ChannelCsvImport sheetImport(environmentFor(fromSheet));
    ASSERT_TRUE(plainImport.prepare(plain));
    ASSERT_TRUE(sheetImport.prepare(sheet));
    EXPECT_EQ(sheetImport.refusedCount(), 0) << report(sheetImport);
    EXPECT_EQ(sheetImport.takenCount(), plainImport.takenCount());
    plainImport.apply();
    sheetImport.apply();
    EXPECT_TRUE(fromPlain == fromSheet);
    EXPECT_EQ(exportOf(fromSheet), plain);
}

TEST_F(ChannelCsvTest, BadLinesAreRefusedWithTheirLineAndReason) {
    cmcEeprom& image = s.images.current();
    clearChannels(image);
    const cmcEeprom before = image;
    const std::string header =
        "Location,Frequency,Tone,rToneFreq,DtcsCode,Mode,Name,Bank,BankChannel\n";
    struct Case {
        std::string line;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"1,50.000000,,,,,,,", "Line 2: refused: Frequency \"50.000000\" lies outside every band "
                               "of the transceiver."},
        {"2,146.5x,,,,,,,", "Line 3: refused: Frequency \"146.5x\" is not a value of this column."},
        {"3,146.52,Tone,88.6,,,,,",
         "Line 4: refused: rToneFreq \"88.6\" is not in the transceiver's list."},
        {"4,146.52,Bell,,,,,,", "Line 5: refused: Tone \"Bell\" is not a value of this column."},
        {"5,146.52,DTCS,,024,,,,",
         "Line 6: refused: DtcsCode \"024\" is not in the transceiver's list."},
        {"6,146.52,,,,USB,,,", "Line 7: refused: Mode \"USB\" is not a value of this column."},
        {"600,146.52,,,,,,,",
         "Line 8: refused: Location \"600\" is not a channel number from 0 to 521."},
        {"7,146.52,,,,,,Q,", "Line 9: refused: Bank \"Q\" needs a BankChannel from 0 to 99."},
        {"8,,,,,,,,", "Line 10: refused: the line has no Frequency."},
        {"9,146.5231,,,,FM,LongerName,,", "Line 11: channel 9 taken."},
        {"9,147.0,,,,,,,", "Line 12: refused: channel 9 was already filled by line 11."},
    };
    std::string file = header;
    for (const Case& c : cases) {
        file += c.line + "\n";
    }
    ChannelCsvImport import(s.dispatch->environment());
    ASSERT_TRUE(import.prepare(file));
    const std::vector<std::string> lines = import.reportLines(s.lines);
    for (const Case& c : cases) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), c.expected), lines.end())
            << c.expected << "\n"
            << report(import);
    }
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "Line 11: channel 9: Name cut to 8 characters: \"LongerNa\"."),
              lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "Line 11: channel 9: Frequency \"146.5231\" stored as 146.525000."),
              lines.end());
    EXPECT_EQ(lines.back(), "1 lines taken, 10 refused.");
    EXPECT_TRUE(image == before) << "nothing changes before the import is applied";

    import.apply();
    ChannelRecord rec(image);
    rec.load(kKindChannel, 9);
    EXPECT_TRUE(rec.used);
    EXPECT_EQ(rec.frequency, 146525000U);
    EXPECT_EQ(ChannelRecord::fromText8(rec.name), "LongerNa");
    for (const int ch : {1, 2, 3, 4, 5, 6, 7, 8}) {
        rec.load(kKindChannel, ch);
        EXPECT_FALSE(rec.used) << ch;
    }
}

TEST_F(ChannelCsvTest, WholeFileProblemsAndTheOverwriteList) {
    ChannelCsvImport import(s.dispatch->environment());
    EXPECT_FALSE(import.prepare("Name,Location\nx,1\n"));
    EXPECT_EQ(import.problem(), ChannelImportMessage::NoHeader);
    EXPECT_FALSE(import.prepare("Name,Frequency\nx,146.52\n"));
    EXPECT_EQ(import.problem(), ChannelImportMessage::NoLocationColumn);
    // A column named twice, in any spelling the header takes, refuses the file.
    for (const char* header :
         {"Location,Frequency,Name,Frequency", "Location,Name,frequency, NAME"}) {
        EXPECT_FALSE(import.prepare(std::string(header) + "\n1,146.52,a,147.0\n")) << header;
        EXPECT_EQ(import.problem(), ChannelImportMessage::ColumnTwice) << header;
        EXPECT_TRUE(import.lines().empty());
    }
    EXPECT_EQ(report(import), "The header line names the column NAME twice.\n");

    // The report of a long file shows its first 100 lines, then how many more there are.
    std::string many = "Location,Frequency\n";
    for (int i = 0; i < 250; ++i) {
        many += "600,146.52\n";
    }
    ASSERT_TRUE(import.prepare(many));
    const std::vector<std::string> lines = import.reportLines(s.lines);
    ASSERT_EQ(lines.size(), 102U);
    EXPECT_EQ(lines[99].substr(0, 20), "Line 101: refused: L");
    EXPECT_EQ(lines[100], "... and 150 more lines.");
    EXPECT_EQ(lines[101], "0 lines taken, 250 refused.");

    cmcEeprom& image = s.images.current();
    clearChannels(image);
    ChannelRecord rec(image);
    for (const int ch : {3, 10, 11}) {
        rec.load(kKindChannel, ch);
        rec.used = true;
        rec.frequency = 145500000;
        rec.store();
    }
    ASSERT_TRUE(import.prepare("Location,Frequency\n3,146.52\n4,146.54\n11,146.56\n"));
    EXPECT_EQ(import.overwritten(), (std::vector<int>{3, 11}));
    EXPECT_EQ(import.overwriteQuestion(s.lines),
              "These channels hold data and will be overwritten: 3, 11. Import anyway?");

    // Appending skips channels in use and overwrites nothing.
    ASSERT_TRUE(import.prepare("Frequency\n146.52\n146.54\n146.56\n", {.appendFrom = 9}));
    EXPECT_TRUE(import.overwritten().empty());
    std::vector<int> written;
    for (const ChannelImportLine& l : import.lines()) {
        written.push_back(l.channel);
    }
    EXPECT_EQ(written, (std::vector<int>{9, 12, 13}));
    ASSERT_TRUE(import.prepare("Frequency\n146.52\n146.54\n", {.appendFrom = 499}));
    EXPECT_EQ(import.lines().at(1).notes.at(0).message, ChannelImportMessage::NoEmptyChannel);
}

} // namespace
} // namespace qx
