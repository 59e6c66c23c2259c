#include "output/received_call_export.h"

#include "base/text_lines.h"
#include "clonefile/file_replacement.h"
#include "output/csv_reader.h"
#include "radio/gps_format.h"
#include "radio/received_call_log.h"
#include "radio/row_label.h"
#include "radio/text_format.h"

#include <array>

namespace qx {

namespace {

constexpr int kColumns = 9;

// Received texts come from other stations: quoted when they hold either separator or a quote,
// and kept from running as a formula.
void appendLine(std::string& out, const std::array<std::string, kColumns>& fields, char separator,
                bool received) {
    constexpr std::size_t kTextColumns = 5;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i != 0) {
            out += separator;
        }
        if (!received || i >= kTextColumns) {
            out += csvField(fields[i], separator);
            continue;
        }
        const std::string text = spreadsheetSafe(fields[i]);
        // Either separator quotes the field, whichever the file uses.
        const std::size_t other = text.find_first_of(",;");
        out += csvField(text, other != std::string::npos ? text[other] : separator);
    }
    out += "\r\n";
}

// The field's bytes unchanged, without trailing blanks. Only a line break shows as a space:
// it would split the call's line in two.
std::string field(std::string bytes) {
    for (char& c : bytes) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    while (!bytes.empty() && bytes.back() == ' ') {
        bytes.pop_back();
    }
    return bytes;
}

} // namespace

char ReceivedCallExport::separatorFor(std::string_view systemListSeparator) {
    return systemListSeparator == ";" ? ';' : ',';
}

std::string ReceivedCallExport::csv(char separator, DateOrder order) const {
    std::string out;
    std::array<std::string, kColumns> fields;
    for (int i = 0; i < kColumns; ++i) {
        fields[static_cast<std::size_t>(i)] = m_text.line("GI_Mess_FileExport_Title", i);
    }
    appendLine(out, fields, separator, false);

    const ReceivedCallLog log(m_image);
    for (int row = 0; row < ReceivedCallLog::kRows; ++row) {
        const std::optional<ReceivedCall> call = log.row(row);
        if (!call) {
            break; // the rows after a gap are not shown either
        }
        fields = {field(call->caller),
                  field(call->callerNote),
                  field(call->called),
                  field(call->repeater1),
                  field(call->repeater2),
                  receivedCallStatusText(call->status),
                  formatReceivedDateTime(call->date, call->time, order),
                  receivedCallBreakInText(call->status),
                  receivedCallEmergencyText(call->status)};
        appendLine(out, fields, separator, true);
    }
    return out;
}

FileErrorCode ReceivedCallExport::write(const std::string& path, char separator,
                                        DateOrder order) const {
    return replaceFileContents(path, csv(separator, order));
}

} // namespace qx
