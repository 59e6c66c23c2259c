#include "radio/frequency_format.h"

#include "radio/frequency_band.h"

#include <algorithm>

namespace qx {
namespace {

constexpr std::size_t kMaxNumberCharacters = 9;

std::int64_t powerOfTen(std::int32_t exponent) {
    std::int64_t result = 1;
    for (std::int32_t i = 0; i < exponent; ++i) {
        result *= 10;
    }
    return result;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Digits of a whole number (at most nine, so that no value overflows); nothing when the text
// holds anything else.
std::optional<std::int32_t> readDigits(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    if (text.empty() || text.size() > kMaxNumberCharacters ||
        !std::all_of(text.begin(), text.end(), isDigit)) {
        return std::nullopt;
    }
    std::int32_t value = 0;
    for (char c : text) {
        value = value * 10 + (c - '0');
    }
    return value;
}

bool blank(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
}

} // namespace

ScaledDecimalFormat frequencyFormat() {
    return {6, 6, 495000, 999990000, 1};
}

ScaledDecimalFormat offsetFormat(std::uint32_t channelFrequency) {
    return {6, 6, 0, channelFrequency >= frequency::kBand7Start ? 159990000 : frequency::kMaxOffset,
            1};
}

std::string formatScaledDecimal(std::int64_t value, const ScaledDecimalFormat& format) {
    const std::int64_t unit = powerOfTen(format.exponent);
    const bool negative = value < 0;
    const std::int64_t magnitude = negative ? -value : value;
    const std::int64_t whole = magnitude / unit;
    std::int64_t fraction = magnitude % unit;
    if (format.fractionDigits >= format.exponent) {
        fraction *= powerOfTen(format.fractionDigits - format.exponent);
    } else {
        fraction /= powerOfTen(format.exponent - format.fractionDigits);
    }
    // The whole part right-aligned in three places, the fraction zero-padded.
    std::string text = std::to_string(whole);
    if (text.size() < 3) {
        text.insert(0, 3 - text.size(), ' ');
    }
    if (negative) {
        text.insert(0, 1, '-');
    }
    if (format.fractionDigits > 0) {
        const std::string digits = std::to_string(fraction);
        text.push_back('.');
        const auto width = static_cast<std::size_t>(format.fractionDigits);
        if (digits.size() < width) {
            text.append(width - digits.size(), '0');
        }
        text.append(digits);
    }
    return text;
}

ParseResult<std::int64_t> parseScaledDecimal(std::string_view text,
                                             const ScaledDecimalFormat& format) {
    std::string kept;
    for (char c : text) {
        if (isDigit(c) || c == '.' || c == '-') {
            kept.push_back(c);
        }
    }
    if (kept.empty()) {
        return ParseRefusal::Empty;
    }
    kept.resize(std::min(kept.size(), kMaxNumberCharacters));

    // The leading decimal number: an optional sign, digits, a point and more digits.
    std::size_t at = 0;
    const bool negative = kept[at] == '-';
    if (negative) {
        ++at;
    }
    std::int64_t mantissa = 0;
    std::int32_t fractionDigits = 0;
    bool anyDigit = false;
    bool afterPoint = false;
    for (; at < kept.size(); ++at) {
        const char c = kept[at];
        if (isDigit(c)) {
            mantissa = mantissa * 10 + (c - '0');
            fractionDigits += afterPoint ? 1 : 0;
            anyDigit = true;
        } else if (c == '.' && !afterPoint) {
            afterPoint = true;
        } else {
            break;
        }
    }
    if (!anyDigit) {
        return ParseRefusal::BadForm;
    }

    std::int64_t value = 0;
    if (fractionDigits <= format.exponent) {
        value = mantissa * powerOfTen(format.exponent - fractionDigits);
    } else {
        const std::int64_t divisor = powerOfTen(fractionDigits - format.exponent);
        value = (mantissa + divisor / 2) / divisor;
    }
    if (negative) {
        value = -value;
    }
    if (format.step > 1) {
        value -= value % format.step;
    }
    if (value >= format.maximum) {
        value = format.maximum;
    } else if (value <= format.minimum) {
        value = format.minimum;
    }
    return value;
}

std::string formatFrequency(std::uint32_t hz) {
    return formatScaledDecimal(hz, frequencyFormat());
}

ParseResult<std::uint32_t> parseFrequency(std::string_view text) {
    const ScaledDecimalFormat format = frequencyFormat();
    const ParseResult<std::int64_t> parsed = parseScaledDecimal(text, format);
    if (!parsed) {
        return parsed.refusal();
    }
    const auto snapped = frequency::snapFrequency(static_cast<std::uint32_t>(*parsed));
    return std::min<std::uint32_t>(snapped, static_cast<std::uint32_t>(format.maximum));
}

ParseResult<std::uint32_t> parseOffset(std::string_view text, std::uint32_t channelFrequency) {
    const ScaledDecimalFormat format = offsetFormat(channelFrequency);
    const ParseResult<std::int64_t> parsed = parseScaledDecimal(text, format);
    if (!parsed) {
        return parsed.refusal();
    }
    const auto snapped =
        frequency::snapOffset(static_cast<std::uint32_t>(*parsed), channelFrequency);
    return std::min<std::uint32_t>(snapped, static_cast<std::uint32_t>(format.maximum));
}

std::string formatAirFrequency(std::int32_t value) {
    return formatWholeNumber(value);
}

ParseResult<std::int32_t> parseAirFrequency(std::string_view text) {
    if (blank(text)) {
        return ParseRefusal::Empty;
    }
    const std::optional<std::int32_t> value = readDigits(text);
    if (!value) {
        return ParseRefusal::BadForm;
    }
    return std::clamp((*value + 5) / 10 * 10, 300, 3000);
}

std::string formatWholeNumber(std::int32_t value) {
    return std::to_string(value);
}

ParseResult<std::int32_t> parseWholeNumber(std::string_view text, std::int32_t minimum,
                                           std::int32_t maximum) {
    if (blank(text)) {
        return ParseRefusal::Empty;
    }
    const std::optional<std::int32_t> value = readDigits(text);
    if (!value) {
        return ParseRefusal::BadForm;
    }
    if (*value < minimum || *value > maximum) {
        return ParseRefusal::OutOfRange;
    }
    return *value;
}

} // namespace qx
