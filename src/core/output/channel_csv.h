#pragma once

#include "clonefile/file_error.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace qx {

class SelectionLists;
class cmcEeprom;

// The channel list layout that channel-list tools exchange, with our own columns after it.
namespace channelcsv {

enum Column : int {
    kLocation,
    kName,
    kFrequency,
    kDuplex,
    kOffset,
    kTone,
    kRToneFreq,
    kCToneFreq,
    kDtcsCode,
    kDtcsPolarity,
    kMode,
    kTStep,
    kSkip,
    kComment,
    kUrCall,
    kRpt1Call,
    kRpt2Call,
    kBank,
    kBankChannel,
    kDigitalSquelch,
    kDigitalCode,
    kColumnCount
};

inline constexpr std::array<std::string_view, kColumnCount> kColumnNames = {
    "Location",    "Name",           "Frequency",  "Duplex",       "Offset",   "Tone",
    "rToneFreq",   "cToneFreq",      "DtcsCode",   "DtcsPolarity", "Mode",     "TStep",
    "Skip",        "Comment",        "URCALL",     "RPT1CALL",     "RPT2CALL", "Bank",
    "BankChannel", "DigitalSquelch", "DigitalCode"};

// The text without leading and trailing blanks.
std::string_view trimmed(std::string_view text);
// Equal but for letter case.
bool sameWord(std::string_view a, std::string_view b);

// The column a header names (letter case and surrounding blanks ignored).
std::optional<Column> columnOf(std::string_view header);

// Field values and the channel record's codes. Every table is indexed by the record's value.
inline constexpr std::array<std::string_view, 3> kDuplexValues = {"", "-", "+"};
inline constexpr std::array<std::string_view, 8> kToneValues = {"",       "Tone", "",     "TSQL",
                                                                "TSQL-R", "",     "DTCS", "DTCS-R"};
inline constexpr std::array<std::string_view, 4> kPolarityValues = {"NN", "NR", "RN", "RR"};
inline constexpr std::array<std::string_view, 5> kModeValues = {"FM", "NFM", "AM", "NAM", "DV"};
inline constexpr std::array<std::string_view, 4> kSkipValues = {"", "S", "", "P"};
inline constexpr std::array<std::string_view, 5> kDigitalSquelchValues = {"OFF", "", "DSQL", "",
                                                                          "CSQL"};

// The code of a field value in one of the tables above (letter case and blanks ignored); none
// for a value the table does not hold. An empty text finds the empty entry.
template <std::size_t N>
std::optional<int> codeOf(const std::array<std::string_view, N>& table, std::string_view text) {
    text = trimmed(text);
    for (std::size_t i = 0; i < N; ++i) {
        // An empty entry that merely fills a gap between codes matches nothing but "".
        if (sameWord(text, table[i]) && (!text.empty() || i == 0)) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

// Selection lists of the channel columns that the file's values are taken from.
inline constexpr std::string_view kToneList = "GI_Sheet_Sel_Mch_TFreq";
inline constexpr std::string_view kDtcsList = "GI_Sheet_Sel_Mch_DTCS";
inline constexpr std::string_view kStepList = "GI_Sheet_Sel_Mch_TS_Pitch_Exp";

// The frequency text of the file: MHz with six decimals.
std::string megahertz(std::uint32_t hz);

} // namespace channelcsv

// Memory channels, scan edges and call channels in use as CSV: a header line, then one line per
// channel in channel order (0-499, then 500-519, then 520-521), UTF-8, lines ended by CR LF.
class ChannelCsvExport {
public:
    // `kana`: names may hold half-width katakana (written as their Unicode forms).
    ChannelCsvExport(cmcEeprom& image, SelectionLists& lists, bool kana)
        : m_image(image), m_lists(lists), m_kana(kana) {}

    std::string csv() const;
    // The channels csv() writes: those in use.
    int channelCount() const;
    // The target is replaced only once every byte is written.
    FileErrorCode write(const std::string& path) const;

private:
    cmcEeprom& m_image;
    SelectionLists& m_lists;
    bool m_kana;
};

} // namespace qx
