#include "radio/gps_format.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

namespace qx {
namespace {

constexpr std::int32_t kMaxUtcOffsetMinutes = 720;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::optional<int> fromBcd(std::uint8_t byte) {
    const int high = byte >> 4;
    const int low = byte & 0x0F;
    if (high > 9 || low > 9) {
        return std::nullopt;
    }
    return high * 10 + low;
}

std::uint8_t toBcd(int value) {
    return static_cast<std::uint8_t>((value / 10) << 4 | value % 10);
}

// A field of digits, empty counting as 0; nothing when it holds anything else or too many.
std::optional<int> numberOf(std::string_view digits, std::size_t maxDigits) {
    if (digits.size() > maxDigits || !std::all_of(digits.begin(), digits.end(), isDigit)) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : digits) {
        value = value * 10 + (c - '0');
    }
    return value;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string_view::npos ? at : at - start));
        if (at == std::string_view::npos) {
            return parts;
        }
        start = at + 1;
    }
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

bool leapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leapYear(year) ? 29 : kDays[month - 1];
}

struct Date {
    int year;
    int month;
    int day;
};

std::optional<Date> storedDate(std::span<const std::uint8_t, 3> stored) {
    const std::optional<int> day = fromBcd(stored[0]);
    const std::optional<int> month = fromBcd(stored[1]);
    const std::optional<int> year = fromBcd(stored[2]);
    if (!day || !month || !year || *month < 1 || *month > 12 || *day < 1 || *day > 31) {
        return std::nullopt;
    }
    return Date{2000 + *year, *month, *day};
}

std::string degreeSign(CodePage codePage) {
    return std::string(1, static_cast<char>(codePage == CodePage::ShiftJis ? 0xDF : 0xB0));
}

// The digits of a shown position ('_' counts as 0) and its one trailing hemisphere letter.
struct PositionText {
    std::string digits;
    char letter = 0;
};

std::optional<PositionText> readPosition(std::string_view text) {
    PositionText position;
    for (char c : text) {
        if (position.letter != 0) {
            if (c != ' ') {
                return std::nullopt; // nothing may follow the letter
            }
        } else if (isDigit(c) || c == '_') {
            position.digits.push_back(c == '_' ? '0' : c);
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            position.letter = static_cast<char>(c >= 'a' ? c - 'a' + 'A' : c);
        }
    }
    return position;
}

std::optional<int> digitsValue(std::string_view digits) {
    return numberOf(digits, 9);
}

} // namespace

std::string formatUtcOffset(std::int32_t minutes) {
    const std::int32_t magnitude = minutes < 0 ? -minutes : minutes;
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%s%d:%02d",
                  minutes < 0   ? "-"
                  : minutes > 0 ? "+"
                                : "",
                  static_cast<int>(magnitude / 60), static_cast<int>(magnitude % 60));
    return buffer;
}

ParseResult<std::int32_t> parseUtcOffset(std::string_view text) {
    std::string kept;
    for (char c : text) {
        if (isDigit(c) || c == '+' || c == '-' || c == ':') {
            kept.push_back(c);
        }
    }
    const bool negative = !kept.empty() && kept.front() == '-';
    std::string clock;
    for (char c : kept) {
        if (isDigit(c) || c == ':') {
            clock.push_back(c);
        }
    }
    // Only a text with nothing of an offset in it changes nothing; an empty part counts as 0,
    // so ":" or "+" alone is 0:00.
    if (kept.empty()) {
        return ParseRefusal::Empty;
    }
    if (clock.size() > 5) {
        return ParseRefusal::BadForm;
    }
    const std::vector<std::string_view> parts = split(clock, ':');
    if (parts.size() > 2) {
        return ParseRefusal::BadForm;
    }
    const std::optional<int> hours = numberOf(parts[0], 5);
    const std::optional<int> minutes = numberOf(parts.size() > 1 ? parts[1] : "", 5);
    if (!hours || !minutes) {
        return ParseRefusal::BadForm;
    }
    const int rounded = (*minutes + 2) / 5 * 5;
    const int total = *hours * 60 + rounded;
    if (rounded >= 60 || total > kMaxUtcOffsetMinutes) {
        return ParseRefusal::OutOfRange;
    }
    return negative ? -total : total;
}

std::string formatPositionArea(PositionArea area) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d'%02d\"", area.minutes, area.seconds);
    return buffer;
}

ParseResult<PositionArea> parsePositionArea(std::string_view text) {
    std::string kept;
    for (char c : text) {
        if (isDigit(c) || c == '\'') {
            kept.push_back(c);
        }
    }
    if (std::none_of(kept.begin(), kept.end(), isDigit)) {
        return ParseRefusal::Empty;
    }
    if (kept.size() > 5) {
        return ParseRefusal::BadForm;
    }
    const std::vector<std::string_view> parts = split(kept, '\'');
    if (parts.size() > 2) {
        return ParseRefusal::BadForm;
    }
    const std::optional<int> minutes = numberOf(parts[0], 5);
    const std::optional<int> seconds = numberOf(parts.size() > 1 ? parts[1] : "", 5);
    if (!minutes || !seconds) {
        return ParseRefusal::BadForm;
    }
    const int total = *minutes * 60 + *seconds;
    if (*seconds >= 60 || total < 5 || total >= 3600) {
        return ParseRefusal::OutOfRange;
    }
    return PositionArea{static_cast<std::uint8_t>(*minutes), static_cast<std::uint8_t>(*seconds)};
}

std::string formatGpsDate(std::span<const std::uint8_t, 3> stored, DateOrder order) {
    const std::optional<Date> date = storedDate(stored);
    if (!date) {
        return order == DateOrder::YearMonthDay ? "----/--/--" : "--/--/----";
    }
    char buffer[24];
    if (order == DateOrder::YearMonthDay) {
        std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d", date->year, date->month, date->day);
    } else {
        std::snprintf(buffer, sizeof buffer, "%02d/%02d/%04d", date->month, date->day, date->year);
    }
    return buffer;
}

std::string formatGpsTime(std::span<const std::uint8_t, 3> stored) {
    const std::optional<int> hours = fromBcd(stored[0]);
    const std::optional<int> minutes = fromBcd(stored[1]);
    const std::optional<int> seconds = fromBcd(stored[2]);
    if (!hours || !minutes || !seconds || *hours > 23 || *minutes > 59 || *seconds > 59) {
        return "--:--:--";
    }
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", *hours, *minutes, *seconds);
    return buffer;
}

ParseResult<BcdDate> parseGpsDate(std::string_view text, DateOrder order) {
    text = trimmed(text);
    if (text.empty()) {
        return ParseRefusal::Empty;
    }
    const std::vector<std::string_view> parts = split(text, '/');
    if (parts.size() != 3 ||
        std::any_of(parts.begin(), parts.end(), [](std::string_view p) { return p.empty(); })) {
        return ParseRefusal::BadForm;
    }
    const bool yearFirst = order == DateOrder::YearMonthDay;
    const std::optional<int> year = numberOf(parts[yearFirst ? 0 : 2], 4);
    const std::optional<int> month = numberOf(parts[yearFirst ? 1 : 0], 2);
    const std::optional<int> day = numberOf(parts[yearFirst ? 2 : 1], 2);
    if (!year || !month || !day) {
        return ParseRefusal::BadForm;
    }
    if (*month < 1 || *month > 12 || *day < 1 || *day > daysInMonth(*year, *month)) {
        return ParseRefusal::BadForm;
    }
    const int ordinal = *year * 10000 + *month * 100 + *day;
    if (ordinal < 20060101 || ordinal > 20991230) {
        return ParseRefusal::OutOfRange;
    }
    return BcdDate{toBcd(*day), toBcd(*month), toBcd(*year - 2000)};
}

ParseResult<BcdTime> parseGpsTime(std::string_view text) {
    text = trimmed(text);
    if (text.empty()) {
        return ParseRefusal::Empty;
    }
    const std::vector<std::string_view> parts = split(text, ':');
    if (parts.size() != 3 ||
        std::any_of(parts.begin(), parts.end(), [](std::string_view p) { return p.empty(); })) {
        return ParseRefusal::BadForm;
    }
    const std::optional<int> hours = numberOf(parts[0], 2);
    const std::optional<int> minutes = numberOf(parts[1], 2);
    const std::optional<int> seconds = numberOf(parts[2], 2);
    if (!hours || !minutes || !seconds) {
        return ParseRefusal::BadForm;
    }
    if (*hours > 23 || *minutes > 59 || *seconds > 59) {
        return ParseRefusal::OutOfRange;
    }
    return BcdTime{toBcd(*hours), toBcd(*minutes), toBcd(*seconds)};
}

std::string formatLatitude(std::span<const std::uint8_t, 4> stored, CodePage codePage) {
    const std::optional<int> degrees = fromBcd(stored[0]);
    const std::optional<int> minutes = fromBcd(stored[1]);
    const std::optional<int> seconds = fromBcd(stored[2]);
    const char letter = static_cast<char>(stored[3]);
    const std::string degree = degreeSign(codePage);
    if (!degrees || !minutes || !seconds || (letter != 'N' && letter != 'S')) {
        return " --" + degree + "--'--\"-";
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, " %02d%s%02d'%02d\"%c", *degrees, degree.c_str(), *minutes,
                  *seconds, letter);
    return buffer;
}

std::string formatLongitude(std::span<const std::uint8_t, 5> stored, CodePage codePage) {
    const std::optional<int> hundreds = fromBcd(stored[0]);
    const std::optional<int> degrees = fromBcd(stored[1]);
    const std::optional<int> minutes = fromBcd(stored[2]);
    const std::optional<int> seconds = fromBcd(stored[3]);
    const char letter = static_cast<char>(stored[4]);
    const std::string degree = degreeSign(codePage);
    if (!hundreds || *hundreds > 9 || !degrees || !minutes || !seconds ||
        (letter != 'E' && letter != 'W')) {
        return "---" + degree + "--'--\"-";
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d%02d%s%02d'%02d\"%c", *hundreds, *degrees,
                  degree.c_str(), *minutes, *seconds, letter);
    return buffer;
}

ParseResult<Latitude> parseLatitude(std::string_view text) {
    if (trimmed(text).empty()) {
        return ParseRefusal::Empty;
    }
    const std::optional<PositionText> position = readPosition(text);
    if (!position || position->digits.size() != 6 ||
        (position->letter != 'N' && position->letter != 'S')) {
        return ParseRefusal::BadForm;
    }
    const std::string_view digits = position->digits;
    const int degrees = *digitsValue(digits.substr(0, 2));
    const int minutes = *digitsValue(digits.substr(2, 2));
    const int seconds = *digitsValue(digits.substr(4, 2));
    if (*digitsValue(digits) > 900000 || minutes >= 60 || seconds >= 60) {
        return ParseRefusal::OutOfRange;
    }
    return Latitude{toBcd(degrees), toBcd(minutes), toBcd(seconds),
                    static_cast<std::uint8_t>(position->letter)};
}

ParseResult<Longitude> parseLongitude(std::string_view text) {
    if (trimmed(text).empty()) {
        return ParseRefusal::Empty;
    }
    const std::optional<PositionText> position = readPosition(text);
    if (!position || position->digits.size() != 7 ||
        (position->letter != 'E' && position->letter != 'W')) {
        return ParseRefusal::BadForm;
    }
    const std::string_view digits = position->digits;
    const int degrees = *digitsValue(digits.substr(0, 3));
    const int minutes = *digitsValue(digits.substr(3, 2));
    const int seconds = *digitsValue(digits.substr(5, 2));
    if (*digitsValue(digits) > 1800000 || minutes >= 60 || seconds >= 60) {
        return ParseRefusal::OutOfRange;
    }
    return Longitude{toBcd(degrees / 100), toBcd(degrees % 100), toBcd(minutes), toBcd(seconds),
                     static_cast<std::uint8_t>(position->letter)};
}

std::string formatReceivedDateTime(std::span<const std::uint8_t, 3> date,
                                   std::span<const std::uint8_t, 3> time, DateOrder order) {
    return formatGpsDate(date, order) + " " + formatGpsTime(time);
}

} // namespace qx
