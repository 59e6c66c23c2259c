// make_defaults OUT.cpp SOURCE...
// Builds the sixteen built-in default images from their readable description and writes OUT, a
// C++ source that defines qx::defaultImageBlock(). Channel records are packed by the editor's
// own channel codec, so the images hold exactly what the editor would store.
//
// Source lines (a '#' starts a comment; numbers are decimal or 0x hexadecimal):
//   [all] / [destination D ...]      the lines that follow apply to all blocks / to these only
//   fill FIRST LAST BYTE             bytes FIRST..LAST (inclusive)
//   bytes ADDRESS BYTE...            consecutive bytes
//   text ADDRESS WIDTH "TEXT"        space padded to WIDTH
//   setting OFFSET BYTE...           in the main settings block and both function memory blocks
//   setting-main OFFSET BYTE...      in the main settings block only
//   setting-function OFFSET BYTE...  in the F-1 and F-2 blocks only
//   empty FIRST LAST                 channels FIRST..LAST (0-521) marked empty
//   channel INDEX FIELD=VALUE...     a used channel (kind 1), stored through the codec
//   function INDEX FIELD=VALUE...    a function memory band record 0-3
//   band-default BAND FIELD=VALUE... a band default record 0-7
// Frequencies and offsets are given in MHz with a decimal point ("145.000000").
#include "radio/channel_record.h"
#include "radio/eeprom.h"
#include "radio/image_map.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace qx;
using namespace qx::imagemap;

constexpr int kBlocks = 16;

struct Line {
    std::string file;
    int number = 0;
    std::set<int> blocks;
    std::vector<std::string> words;
};

[[noreturn]] void fail(const Line& line, const std::string& why) {
    std::cerr << line.file << ":" << line.number << ": " << why << "\n";
    std::exit(1);
}

// Splits at blanks; a double-quoted word keeps its blanks (no escapes needed for our texts).
std::vector<std::string> splitWords(const std::string& text) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ' || text[i] == '\t') {
            ++i;
            continue;
        }
        if (text[i] == '#') {
            break;
        }
        std::string word;
        bool quoted = false;
        while (i < text.size() && (quoted || (text[i] != ' ' && text[i] != '\t'))) {
            if (text[i] == '"') {
                quoted = !quoted;
            }
            word += text[i++];
        }
        words.push_back(word);
    }
    return words;
}

long long number(const Line& line, const std::string& word) {
    try {
        std::size_t used = 0;
        const long long value = std::stoll(word, &used, 0);
        if (used != word.size()) {
            fail(line, "not a number: " + word);
        }
        return value;
    } catch (const std::exception&) {
        fail(line, "not a number: " + word);
    }
}

std::uint8_t byteValue(const Line& line, const std::string& word) {
    const long long value = number(line, word);
    if (value < 0 || value > 255) {
        fail(line, "not a byte: " + word);
    }
    return static_cast<std::uint8_t>(value);
}

std::int32_t address(const Line& line, const std::string& word, std::int32_t length = 1) {
    const long long value = number(line, word);
    if (value < 0 || value + length > kTransceiverSize) {
        fail(line, "address outside the transceiver part: " + word);
    }
    return static_cast<std::int32_t>(value);
}

// "145.006250" MHz -> 145006250 Hz, exactly.
std::uint32_t megahertz(const Line& line, const std::string& word) {
    const auto point = word.find('.');
    if (point == std::string::npos || word.size() - point - 1 > 6) {
        fail(line, "frequency must be MHz with up to six decimals: " + word);
    }
    std::string fraction = word.substr(point + 1);
    fraction.append(6 - fraction.size(), '0');
    const long long hz = number(line, word.substr(0, point)) * 1000000 +
                         (fraction.empty() ? 0 : std::stoll(fraction, nullptr, 10));
    if (hz < 0 || hz > 0xFFFFFFFFLL) {
        fail(line, "frequency out of range: " + word);
    }
    return static_cast<std::uint32_t>(hz);
}

std::string quoted(const Line& line, const std::string& word) {
    if (word.size() < 2 || word.front() != '"' || word.back() != '"') {
        fail(line, "expected a quoted text: " + word);
    }
    return word.substr(1, word.size() - 2);
}

void applyFields(const Line& line, std::size_t first, ChannelRecord& record) {
    for (std::size_t i = first; i < line.words.size(); ++i) {
        const std::string& word = line.words[i];
        const auto eq = word.find('=');
        if (eq == std::string::npos) {
            fail(line, "expected FIELD=VALUE: " + word);
        }
        const std::string key = word.substr(0, eq);
        const std::string value = word.substr(eq + 1);
        const std::map<std::string, int*> integers = {
            {"duplex", &record.duplex},
            {"tone-mode", &record.toneMode},
            {"decode-rx", &record.decodeRx},
            {"tone", &record.toneIndex},
            {"tsql", &record.tsqlIndex},
            {"dtcs", &record.dtcsIndex},
            {"polarity", &record.dtcsPolarity},
            {"step", &record.tuningStep},
            {"mode", &record.mode},
            {"air", &record.airFrequency},
            {"dsql", &record.digitalSquelch},
            {"dcode", &record.digitalCode},
            {"skip", &record.skip},
            {"bank-group", &record.bankGroup},
            {"bank-channel", &record.bankChannel},
        };
        const std::map<std::string, ChannelRecord::Text8*> texts = {
            {"name", &record.name},
            {"your", &record.yourCall},
            {"rpt1", &record.repeater1Call},
            {"rpt2", &record.repeater2Call},
        };
        if (key == "freq") {
            record.frequency = megahertz(line, value);
        } else if (key == "offset") {
            record.offset = megahertz(line, value);
        } else if (auto it = integers.find(key); it != integers.end()) {
            *it->second = static_cast<int>(number(line, value));
        } else if (auto text = texts.find(key); text != texts.end()) {
            const std::string content = quoted(line, value);
            if (content.size() > 8) {
                fail(line, "text longer than 8 characters: " + value);
            }
            *text->second = ChannelRecord::toText8(content);
        } else {
            fail(line, "unknown field: " + key);
        }
    }
}

void storeRecord(const Line& line, cmcEeprom& image, int kind) {
    if (line.words.size() < 2) {
        fail(line, "missing record index");
    }
    const int index = static_cast<int>(number(line, line.words[1]));
    ChannelRecord record(image);
    if (!record.load(kind, index)) {
        fail(line, "no such record: " + line.words[1]);
    }
    // A fresh record: the first entry of every list, blank texts, no bank, then the fields the
    // line gives. The bytes under it are 0xFF and must not leak into fields the line leaves out.
    record.used = true;
    record.duplex = 0;
    record.offset = 0;
    record.toneMode = 0;
    record.decodeRx = 0;
    record.toneIndex = 0;
    record.tsqlIndex = 0;
    record.dtcsIndex = 0;
    record.dtcsPolarity = 0;
    record.tuningStep = 0;
    record.mode = 0;
    record.digitalSquelch = 0;
    record.digitalCode = 0;
    record.name = ChannelRecord::toText8("");
    record.yourCall = ChannelRecord::toText8("");
    record.repeater1Call = ChannelRecord::toText8("");
    record.repeater2Call = ChannelRecord::toText8("");
    record.bankGroup = kNoBank;
    record.bankChannel = 0;
    record.skip = 0;
    applyFields(line, 2, record);
    if (!record.store(kind, index)) {
        fail(line, "cannot store the record");
    }
}

void writeSetting(const Line& line, cmcEeprom& image, bool main, bool function) {
    if (line.words.size() < 3) {
        fail(line, "setting needs an offset and values");
    }
    const long long offset = number(line, line.words[1]);
    const long long count = static_cast<long long>(line.words.size()) - 2;
    if (offset < 0 || offset + count > kSettingsBlockSize) {
        fail(line, "offset outside the settings block");
    }
    std::vector<std::int32_t> bases;
    if (main) {
        bases.push_back(kMainSettings);
    }
    if (function) {
        bases.push_back(kFunctionSettings1);
        bases.push_back(kFunctionSettings2);
    }
    for (std::int32_t base : bases) {
        for (long long i = 0; i < count; ++i) {
            image.setByte(base + static_cast<std::int32_t>(offset + i),
                          byteValue(line, line.words[static_cast<std::size_t>(i + 2)]));
        }
    }
}

void apply(const Line& line, cmcEeprom& image) {
    const std::vector<std::string>& w = line.words;
    const std::string& op = w[0];
    if (op == "fill" && w.size() == 4) {
        const std::int32_t first = address(line, w[1]);
        const std::int32_t last = address(line, w[2]);
        const std::uint8_t value = byteValue(line, w[3]);
        for (std::int32_t a = first; a <= last; ++a) {
            image.setByte(a, value);
        }
    } else if (op == "bytes" && w.size() >= 3) {
        const std::int32_t start = address(line, w[1], static_cast<std::int32_t>(w.size()) - 2);
        for (std::size_t i = 2; i < w.size(); ++i) {
            image.setByte(start + static_cast<std::int32_t>(i - 2), byteValue(line, w[i]));
        }
    } else if (op == "text" && w.size() == 4) {
        const auto width = static_cast<std::int32_t>(number(line, w[2]));
        const std::int32_t start = address(line, w[1], width);
        const std::string content = quoted(line, w[3]);
        if (static_cast<std::int32_t>(content.size()) > width) {
            fail(line, "text longer than its field");
        }
        for (std::int32_t i = 0; i < width; ++i) {
            const auto at = static_cast<std::size_t>(i);
            image.setByte(start + i,
                          static_cast<std::uint8_t>(at < content.size() ? content[at] : ' '));
        }
    } else if (op == "setting") {
        writeSetting(line, image, true, true);
    } else if (op == "setting-main") {
        writeSetting(line, image, true, false);
    } else if (op == "setting-function") {
        writeSetting(line, image, false, true);
    } else if (op == "empty" && w.size() == 3) {
        const long long first = number(line, w[1]);
        const long long last = number(line, w[2]);
        if (first < 0 || last >= kChannelCount || first > last) {
            fail(line, "channel range outside 0-521");
        }
        for (long long index = first; index <= last; ++index) {
            const int bitNumber = static_cast<int>(
                index >= kFirstCallChannel ? index + kCallChannelEmptyBitShift : index);
            const std::int32_t at = kEmptyBitmap + bitNumber / 8;
            image.setByte(at, static_cast<std::uint8_t>(image.getByte(at) | 1u << (bitNumber % 8)));
        }
    } else if (op == "channel") {
        storeRecord(line, image, kKindChannel);
    } else if (op == "function") {
        storeRecord(line, image, kKindFunction);
    } else if (op == "band-default") {
        storeRecord(line, image, kKindBandDefault);
    } else {
        fail(line, "unknown or malformed line");
    }
}

std::vector<Line> readSources(int count, char** paths) {
    std::vector<Line> lines;
    for (int f = 0; f < count; ++f) {
        std::ifstream in(paths[f]);
        if (!in) {
            std::cerr << "make_defaults: cannot read " << paths[f] << "\n";
            std::exit(1);
        }
        std::set<int> blocks;
        for (int b = 0; b < kBlocks; ++b) {
            blocks.insert(b);
        }
        std::string text;
        int lineNumber = 0;
        while (std::getline(in, text)) {
            ++lineNumber;
            Line line{paths[f], lineNumber, blocks, splitWords(text)};
            if (line.words.empty()) {
                continue;
            }
            if (line.words[0] == "[all]") {
                blocks.clear();
                for (int b = 0; b < kBlocks; ++b) {
                    blocks.insert(b);
                }
                continue;
            }
            if (line.words[0] == "[destination") {
                blocks.clear();
                for (std::size_t i = 1; i < line.words.size(); ++i) {
                    std::string word = line.words[i];
                    if (!word.empty() && word.back() == ']') {
                        word.pop_back();
                    }
                    if (word.empty()) {
                        continue;
                    }
                    const long long block = number(line, word);
                    if (block < 0 || block >= kBlocks) {
                        fail(line, "destination outside 0-15");
                    }
                    blocks.insert(static_cast<int>(block));
                }
                continue;
            }
            lines.push_back(line);
        }
    }
    return lines;
}

struct Run {
    std::int32_t start;
    std::int32_t length;
    std::uint8_t value;
};

std::vector<Run> runsOf(const cmcEeprom& image) {
    std::vector<Run> runs;
    std::int32_t start = 0;
    while (start < kTransceiverSize) {
        const std::uint8_t value = image.getByte(start);
        std::int32_t end = start + 1;
        while (end < kTransceiverSize && image.getByte(end) == value) {
            ++end;
        }
        runs.push_back({start, end - start, value});
        start = end;
    }
    return runs;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: make_defaults OUT.cpp SOURCE...\n";
        return 1;
    }
    const std::vector<Line> lines = readSources(argc - 2, argv + 2);

    std::vector<cmcEeprom> images;
    for (int block = 0; block < kBlocks; ++block) {
        cmcEeprom image(kImageSize);
        for (const Line& line : lines) {
            if (line.blocks.count(block) != 0) {
                apply(line, image);
            }
        }
        std::string tag;
        for (std::int32_t i = 0; i < kMapFormatTagSize; ++i) {
            tag += static_cast<char>(image.getByte(kMapFormatTag + i));
        }
        if (tag != kMapFormatTagText) {
            std::cerr << "make_defaults: block " << block << " lacks the map format tag\n";
            return 1;
        }
        images.push_back(image);
    }

    std::ostringstream out;
    out << "// Generated by make_defaults from data/defaults. Do not edit.\n"
           "#include \"radio/default_images.h\"\n"
           "#include \"radio/image_map.h\"\n\n"
           "#include <array>\n#include <cstdint>\n#include <vector>\n\n"
           "namespace qx {\n\nnamespace {\n\n"
           "struct Run {\n    std::uint16_t start;\n    std::uint16_t length;\n"
           "    std::uint8_t value;\n};\n\n";
    std::vector<int> source(kBlocks);
    for (int block = 0; block < kBlocks; ++block) {
        source[static_cast<std::size_t>(block)] = block;
        for (int earlier = 0; earlier < block; ++earlier) {
            if (images[static_cast<std::size_t>(earlier)] ==
                images[static_cast<std::size_t>(block)]) {
                source[static_cast<std::size_t>(block)] = earlier;
                break;
            }
        }
        if (source[static_cast<std::size_t>(block)] != block) {
            continue;
        }
        out << "constexpr Run kBlock" << block << "[] = {\n";
        for (const Run& run : runsOf(images[static_cast<std::size_t>(block)])) {
            char buf[64];
            std::snprintf(buf, sizeof buf, "    {0x%04X, %d, 0x%02X},\n",
                          static_cast<unsigned>(run.start), static_cast<int>(run.length),
                          run.value);
            out << buf;
        }
        out << "};\n\n";
    }
    out << "struct Blocks {\n    std::array<std::vector<std::uint8_t>, " << kBlocks
        << "> bytes;\n\n    template <std::size_t N>\n"
           "    static std::vector<std::uint8_t> expand(const Run (&runs)[N]) {\n"
           "        std::vector<std::uint8_t> out(imagemap::kTransceiverSize);\n"
           "        for (const Run& run : runs) {\n"
           "            for (int i = 0; i < run.length; ++i) {\n"
           "                out[static_cast<std::size_t>(run.start + i)] = run.value;\n"
           "            }\n        }\n        return out;\n    }\n\n"
           "    Blocks() {\n";
    for (int block = 0; block < kBlocks; ++block) {
        out << "        bytes[" << block << "] = expand(kBlock"
            << source[static_cast<std::size_t>(block)] << ");\n";
    }
    out << "    }\n};\n\n} // namespace\n\n"
           "const std::uint8_t* defaultImageBlock(int block) {\n"
           "    static const Blocks blocks;\n"
           "    if (block < 0 || block >= kDefaultImageCount) {\n        return nullptr;\n    }\n"
           "    return blocks.bytes[static_cast<std::size_t>(block)].data();\n}\n\n"
           "} // namespace qx\n";

    std::ofstream file(argv[1], std::ios::binary);
    file << out.str();
    if (!file) {
        std::cerr << "make_defaults: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
