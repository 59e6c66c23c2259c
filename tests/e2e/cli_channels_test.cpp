#include "cli_run.h"
#include "clonefile/icf_file.h"
#include "radio/bank_link_table.h"
#include "radio/channel_record.h"
#include "radio/default_images.h"
#include "radio/image_map.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qx {
namespace {

using namespace imagemap;
using test::shellQuoted;

// The default image of destination 0; with `channels`, a few memory channels and a call
// channel are filled, otherwise no channel is in use.
std::string writeImage(const test::TempFolder& folder, const std::string& name, bool channels) {
    cmcEeprom image(kImageSize);
    image.writeBlock(0, defaultImageBlock(0), kTransceiverSize);
    ChannelRecord rec(image);
    for (int ch = 0; ch < kChannelCount; ++ch) {
        rec.load(kKindChannel, ch);
        rec.used = false;
        rec.store();
    }
    if (channels) {
        const char* names[] = {"Repeat,A", "Simplex", "\"Q\""};
        for (int i = 0; i < 3; ++i) {
            rec.load(kKindChannel, 10 + i * 7);
            rec.used = true;
            rec.frequency = 145000000 + static_cast<std::uint32_t>(i) * 6250U;
            rec.duplex = i % 3;
            rec.offset = 600000;
            rec.toneMode = i == 0 ? 1 : i == 1 ? 6 : 4;
            rec.decodeRx = 0;
            rec.airFrequency = 2280;
            rec.toneIndex = 8 + i;
            rec.tsqlIndex = 12;
            rec.dtcsIndex = 20 + i;
            rec.tuningStep = 3;
            rec.digitalSquelch = 0;
            rec.digitalCode = 0;
            rec.yourCall = rec.repeater1Call = rec.repeater2Call = ChannelRecord::toText8("");
            rec.dtcsPolarity = i;
            rec.mode = i;
            rec.skip = i == 2 ? 3 : i;
            rec.name = ChannelRecord::toText8(names[i]);
            rec.bankGroup = i == 1 ? 3 : kNoBank;
            rec.bankChannel = i == 1 ? 42 : 0;
            rec.store();
        }
        rec.load(kKindChannel, 520);
        rec.used = true;
        rec.frequency = 433500000;
        rec.store();
    }
    banklink::rebuild(image);
    cmcIcfFile file(image);
    file.setModel(kModelCode, kModelSubCode);
    const std::string path = folder.file(name);
    EXPECT_EQ(file.write(path, ImageRangeList::transceiverPart()), FileErrorCode::Ok);
    return path;
}

// The CSV as a spreadsheet saves it: ";" between quoted fields, a byte order mark, CR LF,
// the columns turned around and a column of its own.
std::string asSpreadsheet(const std::string& csv) {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < csv.size(); ++i) {
        const char c = csv[i];
        if (c == '"') {
            if (quoted && i + 1 < csv.size() && csv[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else if (c == '\r' && !quoted) {
            rows.push_back(fields);
            fields.assign(1, "");
            ++i; // the LF
        } else {
            fields.back() += c;
        }
    }
    std::string out = "\xEF\xBB\xBF";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        std::vector<std::string> f(rows[r].rbegin(), rows[r].rend());
        f.insert(f.begin() + 2, r == 0 ? "Remarks" : "club; net");
        for (std::size_t i = 0; i < f.size(); ++i) {
            std::string q;
            for (const char c : f[i]) {
                q += c == '"' ? "\"\"" : std::string(1, c);
            }
            out += (i == 0 ? "\"" : ";\"") + q + "\"";
        }
        out += "\r\n";
    }
    return out;
}

class CliChannelsTest : public ::testing::Test {
protected:
    test::CliResult cli(const std::string& arguments) {
        return test::runCli(folder, "--destination 0 " + arguments);
    }
    test::TempFolder folder;
};

TEST_F(CliChannelsTest, SpreadsheetFileImportsTheSameChannelsAsThePlainExport) {
    writeImage(folder, "filled.icf", true);
    writeImage(folder, "empty.icf", false);
    ASSERT_EQ(cli("export-channels filled.icf -o plain.csv").status, 0);
    const std::string plain = test::TempFolder::read(folder.file("plain.csv"));
    EXPECT_NE(plain.find("\r\n10,\"Repeat,A\",145.000000,,0.600000,Tone,88.5,100.0,125,NN,FM,"
                         "12.50,,,,,,,,OFF,0\r\n"),
              std::string::npos)
        << plain;
    EXPECT_NE(plain.find("\r\n17,Simplex,145.006250,-,0.600000,DTCS,"), std::string::npos);
    EXPECT_NE(plain.find(",D,42,"), std::string::npos);
    EXPECT_NE(plain.find("\r\n520,,433.500000,"), std::string::npos);

    folder.write("sheet.csv", asSpreadsheet(plain));
    const test::CliResult imported = cli("import-channels empty.icf sheet.csv -o fromsheet.icf");
    ASSERT_EQ(imported.status, 0) << imported.out << imported.err;
    EXPECT_NE(imported.out.find("Line 2: channel 10 taken."), std::string::npos) << imported.out;
    EXPECT_NE(imported.out.find("4 lines taken, 0 refused."), std::string::npos);
    ASSERT_EQ(cli("import-channels empty.icf plain.csv -o fromplain.icf").status, 0);
    EXPECT_EQ(test::TempFolder::read(folder.file("fromsheet.icf")),
              test::TempFolder::read(folder.file("fromplain.icf")));
    ASSERT_EQ(cli("export-channels fromsheet.icf -o again.csv").status, 0);
    EXPECT_EQ(test::TempFolder::read(folder.file("again.csv")), plain);
}

TEST_F(CliChannelsTest, RefusedLinesChangeNothingUnlessAccepted) {
    const std::string path = writeImage(folder, "empty.icf", false);
    const std::string before = test::TempFolder::read(path);
    folder.write("bad.csv", "Location,Frequency,Tone,rToneFreq,DtcsCode,Name\n"
                            "1,146.520000,,,,\n"
                            "2,12.000000,,,,\n"
                            "3,146.540000,Tone,88.6,,\n"
                            "4,146.560000,DTCS,,024,\n"
                            "5,146.580000,,,,Much too long\n");
    const test::CliResult refused = cli("import-channels empty.icf bad.csv");
    EXPECT_EQ(refused.status, 4);
    for (const char* line :
         {"Line 3: refused: Frequency \"12.000000\" lies outside every band of the transceiver.",
          "Line 4: refused: rToneFreq \"88.6\" is not in the transceiver's list.",
          "Line 5: refused: DtcsCode \"024\" is not in the transceiver's list.",
          "Line 6: channel 5: Name cut to 8 characters: \"Much too\".",
          "2 lines taken, 3 refused."}) {
        EXPECT_NE(refused.out.find(line), std::string::npos) << line << "\n" << refused.out;
    }
    EXPECT_EQ(test::TempFolder::read(path), before);

    const test::CliResult accepted = cli("import-channels empty.icf bad.csv --yes");
    EXPECT_EQ(accepted.status, 4) << "refused lines still say so";
    const test::CliResult csv = cli("export-channels empty.icf -o -");
    EXPECT_NE(csv.out.find("\r\n1,,146.520000,"), std::string::npos) << csv.out;
    EXPECT_NE(csv.out.find("\r\n5,Much too,146.580000,"), std::string::npos);
    EXPECT_EQ(csv.out.find("\r\n2,"), std::string::npos);
}

TEST_F(CliChannelsTest, OverwritingAsksAndAppendingDoesNot) {
    const std::string path = writeImage(folder, "filled.icf", true);
    const std::string before = test::TempFolder::read(path);
    folder.write("new.csv", "Location;Frequency\n10;146.52\n11;146.54\n");
    const test::CliResult asked = cli("import-channels filled.icf new.csv");
    EXPECT_EQ(asked.status, 4);
    EXPECT_NE(
        asked.err.find("These channels hold data and will be overwritten: 10. Import anyway?"),
        std::string::npos)
        << asked.err;
    EXPECT_EQ(test::TempFolder::read(path), before);

    const test::CliResult appended = cli("import-channels filled.icf new.csv --append-from 10");
    EXPECT_EQ(appended.status, 0) << appended.out << appended.err;
    EXPECT_NE(appended.out.find("Line 2: channel 11 taken."), std::string::npos);
    EXPECT_NE(appended.out.find("Line 3: channel 12 taken."), std::string::npos);
    EXPECT_EQ(cli("import-channels filled.icf new.csv --yes").status, 0);
    const test::CliResult csv = cli("export-channels filled.icf -o -");
    EXPECT_NE(csv.out.find("\r\n10,,146.520000,"), std::string::npos) << csv.out;

    EXPECT_EQ(cli("import-channels filled.icf missing.csv").status, 2);
    EXPECT_EQ(cli("import-channels filled.icf").status, 1);
    EXPECT_EQ(cli("import-channels filled.icf new.csv --append-from 500").status, 1);
}

} // namespace
} // namespace qx
