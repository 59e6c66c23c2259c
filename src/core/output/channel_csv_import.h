#pragma once

#include "radio/cell_link_dispatch.h"
#include "radio/eeprom.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

class TextLines;

// What the import says about a line; the line number of the block "GI_AppMess_ChannelImport".
enum class ChannelImportMessage : int {
    Taken = 0,
    NoteLine = 1,
    RefusedLine = 2,
    NameCut = 3,
    CallSignCut = 4,
    Snapped = 5,
    NoPlace = 6,
    BadLocation = 7,
    LocationTaken = 8,
    NoEmptyChannel = 9,
    BadValue = 10,
    OutsideBands = 11,
    OutOfRange = 12,
    NotInList = 13,
    NotTaken = 14,
    NoFrequency = 15,
    BankChannelMissing = 16,
    NoHeader = 17,
    NoLocationColumn = 18,
    OverwriteQuestion = 19,
    Summary = 20,
    NothingToImport = 21,
    TakeTheRest = 22,
    ColumnTwice = 23,
    MoreLines = 24,
};

// One remark on a line: a message and the texts it names (column, value, ...).
struct ChannelImportNote {
    ChannelImportMessage message = ChannelImportMessage::BadValue;
    std::vector<std::string> args;
};

struct ChannelImportLine {
    int line = 0;
    int channel = -1;                     // the channel written, -1 when refused
    std::vector<ChannelImportNote> notes; // a refused line has exactly one: the reason
    bool taken() const { return channel >= 0; }
};

struct ChannelImportOptions {
    // Append into the first empty memory channels from this one on, ignoring Location.
    std::optional<int> appendFrom;
};

// A channel CSV file entered line by line into a copy of the image, every field through the
// cell link of its column as if typed into the sheet. The image itself changes only in apply(),
// at once, so the whole import is one step.
class ChannelCsvImport {
public:
    explicit ChannelCsvImport(const LinkEnvironment& environment);
    ChannelCsvImport(const ChannelCsvImport&) = delete;
    ChannelCsvImport& operator=(const ChannelCsvImport&) = delete;

    // Reads the file and enters its lines into the copy. False when the file as a whole cannot
    // be imported (problem() says why); the lines are then empty.
    bool prepare(std::string_view bytes, const ChannelImportOptions& options = {});

    std::optional<ChannelImportMessage> problem() const { return m_problem; }
    const std::vector<ChannelImportLine>& lines() const { return m_lines; }
    int takenCount() const;
    int refusedCount() const;
    // Channels in use that taken lines replace, in channel order.
    const std::vector<int>& overwritten() const { return m_overwritten; }
    const cmcEeprom& result() const { return m_scratch; }

    // The image takes the result; the environment's bank and refresh notifications follow.
    void apply();

    // The report in the active text table: one text per remark, then the summary. With
    // `remarksOnly`, lines taken as they stood are left out.
    std::vector<std::string> reportLines(TextLines& text, bool remarksOnly = false) const;
    // The overwrite question naming the channels.
    std::string overwriteQuestion(TextLines& text) const;
    static std::string messageText(TextLines& text, ChannelImportMessage message,
                                   const std::vector<std::string>& args);

private:
    struct Row;
    void enterRecord(int line, const std::vector<std::string>& fields);
    std::optional<ChannelImportNote> parseRow(Row& row) const;
    std::optional<ChannelImportNote> enterRow(const Row& row,
                                              std::vector<ChannelImportNote>& notes);
    int nextAppendChannel();

    LinkEnvironment m_env;
    cmcEeprom m_scratch;
    std::unique_ptr<cmcCellLinkDispatch> m_dispatch;
    std::optional<ChannelImportMessage> m_problem;
    std::vector<std::string> m_problemArgs;
    std::vector<int> m_columnOf; // field index -> column, -1 for columns we do not know
    std::optional<int> m_appendNext;
    std::vector<int> m_filledBy; // channel -> line that wrote it, 0 for none
    std::vector<ChannelImportLine> m_lines;
    std::vector<int> m_overwritten;
};

} // namespace qx
