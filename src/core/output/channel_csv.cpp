#include "output/channel_csv.h"

#include "base/selection_lists.h"
#include "clonefile/file_replacement.h"
#include "output/csv_reader.h"
#include "radio/cell_link_names.h"
#include "radio/channel_record.h"
#include "radio/frequency_band.h"
#include "radio/frequency_format.h"
#include "radio/image_map.h"
#include "radio/text_format.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace qx {

namespace channelcsv {

bool sameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::optional<Column> columnOf(std::string_view header) {
    header = trimmed(header);
    for (int c = 0; c < kColumnCount; ++c) {
        if (sameWord(header, kColumnNames[static_cast<std::size_t>(c)])) {
            return static_cast<Column>(c);
        }
    }
    return std::nullopt;
}

std::string megahertz(std::uint32_t hz) {
    return std::string(trimmed(formatFrequency(hz)));
}

} // namespace channelcsv

namespace {

using namespace channelcsv;

template <std::size_t N> std::string entry(const std::array<std::string_view, N>& table, int code) {
    return code >= 0 && static_cast<std::size_t>(code) < N
               ? std::string(table[static_cast<std::size_t>(code)])
               : std::string();
}

// Half-width katakana bytes as their Unicode forms; the rest is ASCII as the name rule left it.
std::string nameAsUtf8(const std::string& shown) {
    std::string out;
    for (const char c : shown) {
        const auto b = static_cast<unsigned char>(c);
        appendUtf8(out, b >= 0xA1 && b <= 0xDF ? char32_t{0xFF61} + (b - 0xA1) : b);
    }
    return out;
}

std::string stepText(SelectionLists& lists, int tuningStep) {
    const auto label = lists.valueText(kStepList, CL_FlexMarking, tuningStep);
    if (!label) {
        return {};
    }
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%.2f", std::strtod(label->c_str(), nullptr));
    return buffer;
}

} // namespace

std::string ChannelCsvExport::csv() const {
    std::string out;
    const auto line = [&out](const std::array<std::string, kColumnCount>& fields) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i != 0) {
                out += ',';
            }
            out += csvField(fields[i], ',');
        }
        out += "\r\n";
    };
    std::array<std::string, kColumnCount> fields;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        fields[i] = std::string(kColumnNames[i]);
    }
    line(fields);

    ChannelRecord rec(m_image);
    for (int ch = 0; ch < imagemap::kChannelCount; ++ch) {
        if (!rec.load(kKindChannel, ch) || !rec.used) {
            continue;
        }
        const auto listText = [&](std::string_view list, std::int32_t item, int value) {
            return m_lists.valueText(list, item, value).value_or("");
        };
        const bool inBank = rec.bankGroup < imagemap::kBankCount;
        fields[kLocation] = std::to_string(ch);
        fields[kName] = nameAsUtf8(formatTextField(ChannelRecord::fromText8(rec.name), m_kana));
        // A channel placed in a bank before it got a frequency has none to write.
        fields[kFrequency] =
            rec.frequency < frequency::kNoFrequency ? megahertz(rec.frequency) : "";
        fields[kDuplex] = entry(kDuplexValues, rec.duplex);
        fields[kOffset] =
            std::string(trimmed(formatScaledDecimal(rec.offset, offsetFormat(rec.frequency))));
        fields[kTone] = entry(kToneValues, rec.toneMode);
        fields[kRToneFreq] = listText(kToneList, Flex0, rec.toneIndex);
        fields[kCToneFreq] = listText(kToneList, Flex0, rec.tsqlIndex);
        fields[kDtcsCode] = listText(kDtcsList, Flex0, rec.dtcsIndex);
        fields[kDtcsPolarity] = entry(kPolarityValues, rec.dtcsPolarity);
        fields[kMode] = entry(kModeValues, rec.mode);
        fields[kTStep] = stepText(m_lists, rec.tuningStep);
        fields[kSkip] = entry(kSkipValues, rec.skip);
        fields[kComment].clear();
        fields[kUrCall] = formatCallSign(ChannelRecord::fromText8(rec.yourCall));
        fields[kRpt1Call] = formatCallSign(ChannelRecord::fromText8(rec.repeater1Call));
        fields[kRpt2Call] = formatCallSign(ChannelRecord::fromText8(rec.repeater2Call));
        for (const Column c : {kName, kUrCall, kRpt1Call, kRpt2Call}) {
            fields[c] = spreadsheetSafe(fields[c]);
        }
        fields[kBank] = inBank ? std::string(1, static_cast<char>('A' + rec.bankGroup)) : "";
        fields[kBankChannel] = inBank ? std::to_string(rec.bankChannel) : "";
        fields[kDigitalSquelch] = entry(kDigitalSquelchValues, rec.digitalSquelch);
        fields[kDigitalCode] = std::to_string(rec.digitalCode);
        line(fields);
    }
    return out;
}

int ChannelCsvExport::channelCount() const {
    ChannelRecord rec(m_image);
    int count = 0;
    for (int ch = 0; ch < imagemap::kChannelCount; ++ch) {
        if (rec.load(kKindChannel, ch) && rec.used) {
            ++count;
        }
    }
    return count;
}

FileErrorCode ChannelCsvExport::write(const std::string& path) const {
    return replaceFileContents(path, csv());
}

} // namespace qx
