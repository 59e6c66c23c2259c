#include "output/channel_csv_import.h"

#include "base/selection_lists.h"
#include "base/text_lines.h"
#include "output/channel_csv.h"
#include "output/csv_reader.h"
#include "radio/bank_link_table.h"
#include "radio/cell_link_names.h"
#include "radio/channel_record.h"
#include "radio/frequency_band.h"
#include "radio/frequency_format.h"
#include "radio/half_width_kana.h"
#include "radio/image_map.h"
#include "radio/text_format.h"
#include "text/text_table.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace qx {

using namespace channelcsv;
using Message = ChannelImportMessage;

namespace {

constexpr int kNameWidth = 8;

ChannelImportNote note(Message message, std::vector<std::string> args = {}) {
    return ChannelImportNote{message, std::move(args)};
}

std::string column(Column c) {
    return std::string(kColumnNames[static_cast<std::size_t>(c)]);
}

// A decimal number of MHz as Hz: digits with an optional point; none for anything else.
std::optional<std::uint64_t> parseMegahertz(std::string_view text) {
    text = trimmed(text);
    std::uint64_t whole = 0;
    std::uint64_t fraction = 0;
    std::uint64_t scale = 1000000;
    bool digits = false;
    bool point = false;
    bool roundUp = false;
    for (const char c : text) {
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            digits = true;
            if (!point) {
                if (whole > 100000) {
                    return std::nullopt;
                }
                whole = whole * 10 + static_cast<std::uint64_t>(c - '0');
            } else if (scale > 1) {
                scale /= 10;
                fraction += static_cast<std::uint64_t>(c - '0') * scale;
            } else if (scale == 1) {
                roundUp = c >= '5';
                scale = 0; // only the first digit below 1 Hz rounds
            }
        } else {
            return std::nullopt;
        }
    }
    if (!digits) {
        return std::nullopt;
    }
    return whole * 1000000 + fraction + (roundUp ? 1 : 0);
}

std::optional<int> parseCount(std::string_view text, int low, int high) {
    text = trimmed(text);
    if (text.empty() || text.size() > 6 ||
        text.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    const int value = std::atoi(std::string(text).c_str());
    if (value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

// The entry of a list whose label, read as a number, is the typed number.
std::optional<int> listEntryByNumber(SelectionLists& lists, std::string_view list,
                                     std::int32_t itemLink, std::string_view typed,
                                     double tolerance) {
    const std::string text(trimmed(typed));
    char* end = nullptr;
    const double wanted = std::strtod(text.c_str(), &end);
    const std::string_view rest = trimmed(std::string_view(end, text.c_str() + text.size() - end));
    if (text.empty() || end == text.c_str() || !(rest.empty() || rest == "k" || rest == "K")) {
        return std::nullopt;
    }
    for (const SelectionItem& item : lists.items(list, itemLink)) {
        if (std::fabs(std::strtod(item.text.c_str(), nullptr) - wanted) < tolerance) {
            return item.value;
        }
    }
    return std::nullopt;
}

// Shift-JIS of the full-width kana and punctuation that names may hold: the name rule turns
// them into half-width kana.
std::optional<std::uint16_t> shiftJisKana(char32_t c) {
    if (c >= 0x3041 && c <= 0x3093) {
        return static_cast<std::uint16_t>(0x829F + (c - 0x3041));
    }
    if (c >= 0x30A1 && c <= 0x30DE) {
        return static_cast<std::uint16_t>(0x8340 + (c - 0x30A1));
    }
    if (c >= 0x30DF && c <= 0x30F6) {
        return static_cast<std::uint16_t>(0x8380 + (c - 0x30DF));
    }
    switch (c) {
    case 0x3000:
        return 0x8140;
    case 0x3001:
        return 0x8141;
    case 0x3002:
        return 0x8142;
    case 0x30FB:
        return 0x8145;
    case 0x309B:
        return 0x814A;
    case 0x309C:
        return 0x814B;
    case 0x30FC:
        return 0x815B;
    case 0x300C:
        return 0x8175;
    case 0x300D:
        return 0x8176;
    default:
        return std::nullopt;
    }
}

// A field of the file in the code page of the text table, as a user would have typed it.
std::string typedText(std::string_view utf8, CodePage codePage) {
    std::string out;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t c = nextUtf8(utf8, pos);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c >= 0xFF61 && c <= 0xFF9F) {
            out += static_cast<char>(0xA1 + (c - 0xFF61));
        } else if (c >= 0xFF01 && c <= 0xFF5E) {
            out += static_cast<char>(0x21 + (c - 0xFF01));
        } else if (const auto sjis = shiftJisKana(c); sjis && codePage == CodePage::ShiftJis) {
            out += static_cast<char>(*sjis >> 8);
            out += static_cast<char>(*sjis & 0xFF);
        } else if (c >= 0xA0 && c <= 0xFF && codePage == CodePage::Windows1252) {
            out += static_cast<char>(c);
        } else {
            out += '?';
        }
    }
    return out;
}

} // namespace

// A line of the file by column, and what its fields mean.
struct ChannelCsvImport::Row {
    int line = 0;
    std::array<std::optional<std::string>, kColumnCount> field;
    int channel = -1;

    std::optional<std::uint32_t> frequency;
    std::optional<int> duplex;
    std::optional<std::uint32_t> offset;
    std::optional<int> toneMode;
    std::optional<int> toneIndex;
    std::optional<int> tsqlIndex;
    std::optional<int> dtcsIndex;
    std::optional<int> polarity;
    std::optional<int> mode;
    std::optional<int> step;
    std::optional<int> skip;
    std::optional<int> bank; // 255: none
    std::optional<int> bankChannel;
    std::optional<int> digitalSquelch;
    std::optional<int> digitalCode;

    // A field that holds something (blanks around it removed).
    std::optional<std::string_view> given(Column c) const {
        const auto& f = field[static_cast<std::size_t>(c)];
        if (!f || trimmed(*f).empty()) {
            return std::nullopt;
        }
        return trimmed(*f);
    }
    std::string raw(Column c) const { return field[static_cast<std::size_t>(c)].value_or(""); }
};

ChannelCsvImport::ChannelCsvImport(const LinkEnvironment& environment)
    : m_env(environment), m_scratch(*environment.image) {
    LinkEnvironment scratch = environment;
    scratch.image = &m_scratch;
    scratch.restartRefresh = nullptr;
    scratch.channelDataChanged = nullptr;
    scratch.bankNameChanged = nullptr;
    scratch.command = nullptr;
    m_dispatch = std::make_unique<cmcCellLinkDispatch>(scratch);
}

int ChannelCsvImport::takenCount() const {
    return static_cast<int>(
        std::count_if(m_lines.begin(), m_lines.end(), [](const auto& l) { return l.taken(); }));
}

int ChannelCsvImport::refusedCount() const {
    return static_cast<int>(m_lines.size()) - takenCount();
}

bool ChannelCsvImport::prepare(std::string_view bytes, const ChannelImportOptions& options) {
    m_scratch = *m_env.image;
    m_lines.clear();
    m_overwritten.clear();
    m_problem.reset();
    m_problemArgs.clear();
    m_filledBy.assign(imagemap::kChannelCount, 0);
    m_appendNext = options.appendFrom;

    const std::vector<CsvRecord> records = readCsv(bytes);
    m_columnOf.clear();
    bool hasFrequency = false;
    bool hasLocation = false;
    if (!records.empty()) {
        for (const std::string& header : records.front().fields) {
            const auto c = columnOf(header);
            // Which of two places of a column holds its value cannot be told.
            if (c && std::find(m_columnOf.begin(), m_columnOf.end(), static_cast<int>(*c)) !=
                         m_columnOf.end()) {
                m_problem = Message::ColumnTwice;
                m_problemArgs = {std::string(trimmed(header))};
                m_columnOf.clear();
                return false;
            }
            m_columnOf.push_back(c ? static_cast<int>(*c) : -1);
            hasFrequency = hasFrequency || c == kFrequency;
            hasLocation = hasLocation || c == kLocation;
        }
    }
    if (!hasFrequency) {
        m_problem = Message::NoHeader;
        return false;
    }
    if (!hasLocation && !m_appendNext) {
        m_problem = Message::NoLocationColumn;
        return false;
    }
    for (std::size_t i = 1; i < records.size(); ++i) {
        enterRecord(records[i].line, records[i].fields);
    }
    ChannelRecord before(*m_env.image);
    for (int ch = 0; ch < imagemap::kChannelCount; ++ch) {
        if (m_filledBy[static_cast<std::size_t>(ch)] != 0 && before.load(kKindChannel, ch) &&
            before.used) {
            m_overwritten.push_back(ch);
        }
    }
    return true;
}

void ChannelCsvImport::enterRecord(int line, const std::vector<std::string>& fields) {
    Row row;
    row.line = line;
    for (std::size_t i = 0; i < fields.size() && i < m_columnOf.size(); ++i) {
        if (m_columnOf[i] >= 0) {
            row.field[static_cast<std::size_t>(m_columnOf[i])] = fields[i];
        }
    }
    // The texts the export guards against spreadsheet formulas.
    for (const Column c : {kName, kUrCall, kRpt1Call, kRpt2Call}) {
        if (auto& f = row.field[static_cast<std::size_t>(c)]; f) {
            f = fromSpreadsheetSafe(*f);
        }
    }
    ChannelImportLine result;
    result.line = line;
    std::optional<ChannelImportNote> refusal = parseRow(row);
    if (!refusal) {
        if (m_appendNext) {
            row.channel = nextAppendChannel();
            if (row.channel < 0) {
                refusal = note(Message::NoEmptyChannel);
            }
        } else if (const int earlier = m_filledBy[static_cast<std::size_t>(row.channel)];
                   earlier != 0) {
            refusal = note(Message::LocationTaken,
                           {std::to_string(row.channel), std::to_string(earlier)});
        }
    }
    if (!refusal) {
        const cmcEeprom before = m_scratch;
        refusal = enterRow(row, result.notes);
        if (refusal) {
            m_scratch = before; // a line is taken whole or not at all
            banklink::rebuild(m_scratch);
        } else {
            result.channel = row.channel;
            m_filledBy[static_cast<std::size_t>(row.channel)] = line;
        }
    }
    if (refusal) {
        result.notes = {*refusal};
    }
    m_lines.push_back(std::move(result));
}

int ChannelCsvImport::nextAppendChannel() {
    ChannelRecord rec(m_scratch);
    for (int ch = *m_appendNext; ch < imagemap::kMemoryChannelCount; ++ch) {
        if (rec.load(kKindChannel, ch) && !rec.used &&
            m_filledBy[static_cast<std::size_t>(ch)] == 0) {
            m_appendNext = ch + 1;
            return ch;
        }
    }
    m_appendNext = imagemap::kMemoryChannelCount;
    return -1;
}

std::optional<ChannelImportNote> ChannelCsvImport::parseRow(Row& row) const {
    SelectionLists& lists = *m_env.lists;
    const auto bad = [&](Message m, Column c) { return note(m, {column(c), row.raw(c)}); };
    if (!m_appendNext) {
        const auto location = parseCount(row.raw(kLocation), 0, imagemap::kChannelCount - 1);
        if (!location) {
            return note(Message::BadLocation, {row.raw(kLocation)});
        }
        row.channel = *location;
    }
    if (const auto text = row.given(kFrequency)) {
        const auto hz = parseMegahertz(*text);
        if (!hz) {
            return bad(Message::BadValue, kFrequency);
        }
        const std::uint32_t snapped =
            *hz >= frequency::kNoFrequency
                ? frequency::kNoFrequency
                : frequency::snapFrequency(static_cast<std::uint32_t>(*hz));
        if (*hz < 495000 || *hz > 999990000 ||
            frequency::classify(snapped, frequency::kSideEither,
                                FrequencyRangeTable::forDestination(m_env.destination),
                                m_env.features) == frequency::kClassNotAllowed) {
            return note(Message::OutsideBands, {row.raw(kFrequency)});
        }
        row.frequency = static_cast<std::uint32_t>(*hz);
    }
    if (const auto text = row.given(kOffset)) {
        const auto hz = parseMegahertz(*text);
        if (!hz) {
            return bad(Message::BadValue, kOffset);
        }
        if (*hz > static_cast<std::uint64_t>(offsetFormat(row.frequency.value_or(0)).maximum)) {
            return bad(Message::OutOfRange, kOffset);
        }
        row.offset = static_cast<std::uint32_t>(*hz);
    }
    const auto code = [&](const auto& table, Column c,
                          std::optional<int>& out) -> std::optional<ChannelImportNote> {
        if (row.field[static_cast<std::size_t>(c)]) {
            out = codeOf(table, row.raw(c));
            if (!out) {
                return bad(Message::BadValue, c);
            }
        }
        return std::nullopt;
    };
    if (auto refusal = code(kDuplexValues, kDuplex, row.duplex)) {
        return refusal;
    }
    if (auto refusal = code(kToneValues, kTone, row.toneMode)) {
        return refusal;
    }
    if (auto refusal = code(kSkipValues, kSkip, row.skip)) {
        return refusal;
    }
    if (row.given(kMode)) {
        if (auto refusal = code(kModeValues, kMode, row.mode)) {
            return refusal;
        }
    }
    if (row.given(kDtcsPolarity)) {
        if (auto refusal = code(kPolarityValues, kDtcsPolarity, row.polarity)) {
            return refusal;
        }
    }
    if (row.given(kDigitalSquelch)) {
        if (auto refusal = code(kDigitalSquelchValues, kDigitalSquelch, row.digitalSquelch)) {
            return refusal;
        }
    } else if (row.field[kDigitalSquelch]) {
        row.digitalSquelch = 0;
    }
    const auto listed = [&](Column c, std::string_view list, std::int32_t item, double tolerance,
                            std::optional<int>& out) -> std::optional<ChannelImportNote> {
        if (const auto text = row.given(c)) {
            out = listEntryByNumber(lists, list, item, *text, tolerance);
            if (!out) {
                return bad(Message::NotInList, c);
            }
        }
        return std::nullopt;
    };
    if (auto refusal = listed(kRToneFreq, kToneList, Flex0, 0.05, row.toneIndex)) {
        return refusal;
    }
    if (auto refusal = listed(kCToneFreq, kToneList, Flex0, 0.05, row.tsqlIndex)) {
        return refusal;
    }
    if (auto refusal = listed(kDtcsCode, kDtcsList, Flex0, 0.001, row.dtcsIndex)) {
        return refusal;
    }
    if (auto refusal = listed(kTStep, kStepList, CL_FlexMarking, 0.001, row.step)) {
        return refusal;
    }
    if (const auto text = row.given(kDigitalCode)) {
        row.digitalCode = parseCount(*text, 0, 127);
        if (!row.digitalCode) {
            return bad(Message::OutOfRange, kDigitalCode);
        }
    }
    if (const auto text = row.given(kBank)) {
        const char letter =
            static_cast<char>(std::toupper(static_cast<unsigned char>(text->front())));
        if (text->size() == 1 && letter >= 'A' && letter <= 'Z') {
            row.bank = letter - 'A';
        } else if (codeOf(std::array<std::string_view, 1>{"OFF"}, *text)) {
            row.bank = imagemap::kNoBank;
        } else {
            return bad(Message::BadValue, kBank);
        }
    } else if (row.field[kBank]) {
        row.bank = imagemap::kNoBank;
    }
    if (row.bank && *row.bank != imagemap::kNoBank) {
        row.bankChannel = row.given(kBankChannel) ? parseCount(*row.given(kBankChannel), 0,
                                                               imagemap::kBankSlotCount - 1)
                                                  : std::nullopt;
        if (!row.bankChannel) {
            return note(Message::BankChannelMissing, {row.raw(kBank)});
        }
    }
    if (!row.frequency && !(row.bank && *row.bank != imagemap::kNoBank)) {
        return note(Message::NoFrequency);
    }
    return std::nullopt;
}

std::optional<ChannelImportNote> ChannelCsvImport::enterRow(const Row& row,
                                                            std::vector<ChannelImportNote>& notes) {
    cmcCellLinkDispatch& dispatch = *m_dispatch;
    const int ch = row.channel;
    const bool callChannel = ch >= imagemap::kFirstCallChannel;
    const bool kana = halfWidthKanaNamesAllowed(m_env.destination, m_env.japaneseSystem);
    ChannelRecord rec(m_scratch);

    // A line replaces the channel whole: what the file does not say comes from the band
    // default, as for a channel entered anew in the sheet.
    rec.load(kKindChannel, ch);
    if (rec.used) {
        rec.used = false;
        rec.store();
        banklink::rebuild(m_scratch);
    }

    cmcCellObj cell;
    cell.category = CT_Conv;
    cell.index = ch;
    const auto request = [&](std::int32_t link, cmcCellCapsule& req) {
        cell.link = link;
        req.cell = &cell;
    };
    const auto commit = [&](std::int32_t link, const std::string& text) {
        cmcCellCapsule req;
        request(link, req);
        req.operation = kOpCommit;
        req.text = text;
        dispatch.dispatch(req);
        return !req.refused;
    };
    const auto pick = [&](std::int32_t link, int value) {
        cmcCellCapsule req;
        request(link, req);
        const auto list = dispatch.cellList(cell);
        if (!list) {
            return false;
        }
        cmcCellObj item;
        item.link = list->itemLink;
        item.index = value;
        req.operation = kOpPick;
        req.picked = &item;
        dispatch.dispatch(req);
        return !req.refused;
    };
    const auto notTaken = [&](Column c) {
        return note(Message::NotTaken, {column(c), row.raw(c)});
    };
    // Each field is entered, then read back: a value the cell leaves as it was is refused.
    const auto field = [&](Column c, std::int32_t link, const std::optional<int>& value,
                           int ChannelRecord::*member) -> std::optional<ChannelImportNote> {
        if (!value) {
            return std::nullopt;
        }
        if (!pick(link, *value) || !rec.load(kKindChannel, ch) || rec.*member != *value) {
            return notTaken(c);
        }
        return std::nullopt;
    };

    if (row.frequency) {
        if (!commit(CL_Mch_Freq, megahertz(*row.frequency)) || !rec.load(kKindChannel, ch) ||
            !rec.used) {
            return notTaken(kFrequency);
        }
        if (rec.frequency != *row.frequency) {
            notes.push_back(note(Message::Snapped, {column(kFrequency), row.raw(kFrequency),
                                                    megahertz(rec.frequency)}));
        }
    } else {
        // A bank slot held for a channel whose frequency is still to come, as CH Select makes;
        // its other fields start from the band default as for any new channel.
        const bool memory = ch < imagemap::kMemoryChannelCount;
        rec.load(memory ? kKindBandDefault : kKindBandDefaultSkip,
                 frequency::bandOf(frequency::kNoFrequency));
        rec.used = true;
        rec.frequency = frequency::kNoFrequency;
        rec.bankGroup = imagemap::kNoBank;
        rec.bankChannel = 0;
        rec.store(kKindChannel, ch);
    }
    if (auto refusal = field(kDuplex, CL_Mch_Dup, row.duplex, &ChannelRecord::duplex)) {
        return refusal;
    }
    if (row.offset) {
        if (!commit(CL_Mch_Offset_Freq, megahertz(*row.offset)) || !rec.load(kKindChannel, ch)) {
            return notTaken(kOffset);
        }
        if (rec.offset != *row.offset) {
            notes.push_back(
                note(Message::Snapped, {column(kOffset), row.raw(kOffset),
                                        std::string(trimmed(formatScaledDecimal(
                                            rec.offset, offsetFormat(rec.frequency))))}));
        }
    }
    if (auto refusal = field(kMode, CL_Mch_Mode, row.mode, &ChannelRecord::mode)) {
        return refusal;
    }
    if (auto refusal = field(kTone, CL_Mch_Decode, row.toneMode, &ChannelRecord::toneMode)) {
        return refusal;
    }
    if (auto refusal =
            field(kRToneFreq, CL_Mch_TONE_Freq, row.toneIndex, &ChannelRecord::toneIndex)) {
        return refusal;
    }
    if (auto refusal =
            field(kCToneFreq, CL_Mch_TSQL_Freq, row.tsqlIndex, &ChannelRecord::tsqlIndex)) {
        return refusal;
    }
    if (auto refusal = field(kDtcsCode, CL_Mch_DTCS, row.dtcsIndex, &ChannelRecord::dtcsIndex)) {
        return refusal;
    }
    if (auto refusal = field(kDtcsPolarity, CL_Mch_DTCS_Polarity, row.polarity,
                             &ChannelRecord::dtcsPolarity)) {
        return refusal;
    }
    if (auto refusal = field(kTStep, CL_Mch_TS_Pitch, row.step, &ChannelRecord::tuningStep)) {
        return refusal;
    }
    if (callChannel) {
        if (row.skip && *row.skip != 0) {
            notes.push_back(note(Message::NoPlace, {column(kSkip), row.raw(kSkip)}));
        }
    } else if (auto refusal = field(kSkip, CL_Mch_Scan_Skip, row.skip, &ChannelRecord::skip)) {
        return refusal;
    }
    if (row.field[kName]) {
        const std::string typed = typedText(*row.field[kName], m_env.codePage);
        std::string shown = kana ? toHalfWidthKana(typed) : typed;
        shown.erase(shown.find_last_not_of(' ') + 1);
        if (!commit(CL_Mch_Name, typed)) {
            return notTaken(kName);
        }
        if (shown.size() > kNameWidth) {
            rec.load(kKindChannel, ch);
            notes.push_back(note(Message::NameCut,
                                 {std::to_string(kNameWidth),
                                  formatTextField(ChannelRecord::fromText8(rec.name), kana)}));
        }
    }
    const std::array<std::pair<Column, std::int32_t>, 3> calls = {
        {{kUrCall, CL_Mch_DYou_Callsign},
         {kRpt1Call, CL_Mch_DRpt1_Callsign},
         {kRpt2Call, CL_Mch_DRpt2_Callsign}}};
    for (const auto& [c, link] : calls) {
        if (!row.field[static_cast<std::size_t>(c)]) {
            continue;
        }
        const std::string typed = typedText(row.raw(c), m_env.codePage);
        if (!commit(link, typed)) {
            return notTaken(c);
        }
        if (trimmed(typed).size() > kCallSignWidth) {
            notes.push_back(note(Message::CallSignCut,
                                 {column(c), formatCallSign(typed.substr(0, kCallSignWidth))}));
        }
    }
    if (auto refusal = field(kDigitalSquelch, CL_Mch_Digital_Sql, row.digitalSquelch,
                             &ChannelRecord::digitalSquelch)) {
        return refusal;
    }
    if (row.digitalCode) {
        if (!commit(CL_Mch_Digital_Code, std::to_string(*row.digitalCode)) ||
            !rec.load(kKindChannel, ch) || rec.digitalCode != *row.digitalCode) {
            return notTaken(kDigitalCode);
        }
    }
    if (callChannel) {
        if (row.bank && *row.bank != imagemap::kNoBank) {
            notes.push_back(note(Message::NoPlace, {column(kBank), row.raw(kBank)}));
        }
    } else if (row.bank) {
        if (auto refusal = field(kBank, CL_Mch_Bank_Group, row.bank, &ChannelRecord::bankGroup)) {
            return refusal;
        }
        if (row.bankChannel &&
            (!commit(CL_Mch_Bank_ChNo, std::to_string(*row.bankChannel)) ||
             !rec.load(kKindChannel, ch) || rec.bankChannel != *row.bankChannel)) {
            return notTaken(kBankChannel);
        }
    }
    if (row.given(kComment)) {
        notes.push_back(note(Message::NoPlace, {column(kComment), row.raw(kComment)}));
    }
    return std::nullopt;
}

void ChannelCsvImport::apply() {
    m_env.image->writeBlock(0, m_scratch.data(), m_scratch.size());
    if (m_env.channelDataChanged) {
        m_env.channelDataChanged();
    }
    if (m_env.restartRefresh) {
        m_env.restartRefresh();
    }
}

std::string ChannelCsvImport::messageText(TextLines& text, ChannelImportMessage message,
                                          const std::vector<std::string>& args) {
    return replacePlaceholders(text.line("GI_AppMess_ChannelImport", static_cast<int>(message)),
                               args);
}

std::vector<std::string> ChannelCsvImport::reportLines(TextLines& text, bool remarksOnly) const {
    std::vector<std::string> out;
    if (m_problem) {
        out.push_back(messageText(text, *m_problem, m_problemArgs));
        return out;
    }
    // A file of a million bad lines must not give a million lines: the first ones, then a count.
    constexpr std::size_t kShown = 100;
    std::size_t hidden = 0;
    const auto add = [&](const auto& make) {
        if (out.size() < kShown) {
            out.push_back(make());
        } else {
            ++hidden;
        }
    };
    for (const ChannelImportLine& l : m_lines) {
        const std::string line = std::to_string(l.line);
        if (!l.taken()) {
            add([&] {
                return messageText(
                    text, Message::RefusedLine,
                    {line, messageText(text, l.notes.front().message, l.notes.front().args)});
            });
            continue;
        }
        const std::string channel = std::to_string(l.channel);
        if (!remarksOnly) {
            add([&] { return messageText(text, Message::Taken, {line, channel}); });
        }
        for (const ChannelImportNote& n : l.notes) {
            add([&] {
                return messageText(text, Message::NoteLine,
                                   {line, channel, messageText(text, n.message, n.args)});
            });
        }
    }
    if (hidden != 0) {
        out.push_back(messageText(text, Message::MoreLines, {std::to_string(hidden)}));
    }
    if (m_lines.empty()) {
        out.push_back(messageText(text, Message::NothingToImport, {}));
    }
    out.push_back(messageText(text, Message::Summary,
                              {std::to_string(takenCount()), std::to_string(refusedCount())}));
    return out;
}

std::string ChannelCsvImport::overwriteQuestion(TextLines& text) const {
    std::string channels;
    for (const int ch : m_overwritten) {
        if (!channels.empty()) {
            channels += ", ";
        }
        channels += std::to_string(ch);
    }
    return messageText(text, Message::OverwriteQuestion, {channels});
}

} // namespace qx
