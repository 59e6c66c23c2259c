#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qx {

// One record of a CSV file: the line it starts on (1-based) and its fields in UTF-8.
struct CsvRecord {
    int line = 0;
    std::vector<std::string> fields;
};

// What spreadsheets save as CSV: "," or ";" between fields (whichever the first record uses
// more), fields in double quotes with doubled quotes inside and line breaks allowed, CR LF, LF
// or CR line ends. The bytes are UTF-8 with or without a byte order mark, or Windows-1252 when
// they are not valid UTF-8. Records whose fields are all blank are left out.
std::vector<CsvRecord> readCsv(std::string_view bytes);

// The text as UTF-8: unchanged when it is valid UTF-8 (a byte order mark removed), otherwise
// read as Windows-1252.
std::string csvTextAsUtf8(std::string_view bytes);

// A field as a CSV writer puts it: quoted when it holds the separator, a quote or a line break.
std::string csvField(std::string_view text, char separator);

// A text field that a spreadsheet would run as a formula (it begins with = + - @, a tab or a
// carriage return) gets a leading ', and so does one that would read as such a field after its
// own leading 's; fromSpreadsheetSafe() takes exactly that ' away again.
std::string spreadsheetSafe(std::string_view text);
std::string fromSpreadsheetSafe(std::string_view text);

// Decodes one UTF-8 character at `pos` (advanced past it). Invalid input gives U+FFFD and
// advances one byte.
char32_t nextUtf8(std::string_view text, std::size_t& pos);
void appendUtf8(std::string& out, char32_t c);

} // namespace qx
