#include "radio/text_format.h"

#include "radio/half_width_kana.h"

namespace qx {
namespace {

constexpr std::string_view kDtmfCharacters = "0123456789ABCD*#";

bool printableAscii(unsigned char c) {
    return c >= 0x20 && c <= 0x7E;
}

bool shown(unsigned char c, bool kanaAllowed) {
    return printableAscii(c) || (kanaAllowed && isHalfWidthKana(c));
}

char callSignCharacter(char c) {
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '/') {
        return c;
    }
    if (c >= 'a' && c <= 'z') {
        return static_cast<char>(c - 'a' + 'A');
    }
    return ' ';
}

std::string withoutTrailingBlanks(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

} // namespace

bool halfWidthKanaNamesAllowed(std::int32_t destination, bool japaneseSystem) {
    return japaneseSystem && destination >= 13 && destination <= 15;
}

std::string formatTextField(std::string_view stored, bool kanaAllowed) {
    std::string shownText;
    shownText.reserve(stored.size());
    for (char c : stored) {
        shownText.push_back(shown(static_cast<unsigned char>(c), kanaAllowed) ? c : ' ');
    }
    return withoutTrailingBlanks(std::move(shownText));
}

std::string parseTextField(std::string_view committed, std::size_t width, bool kanaAllowed) {
    std::string stored;
    stored.reserve(width);
    if (kanaAllowed) {
        const std::string halfWidth = toHalfWidthKana(committed);
        for (std::size_t i = 0; i < halfWidth.size() && stored.size() < width; ++i) {
            const auto c = static_cast<unsigned char>(halfWidth[i]);
            if (isShiftJisLeadByte(c)) {
                ++i; // a character without a half-width form: both of its bytes go
            } else if (shown(c, true)) {
                stored.push_back(halfWidth[i]);
            }
        }
    } else {
        for (char c : committed.substr(0, width)) {
            stored.push_back(shown(static_cast<unsigned char>(c), false) ? c : ' ');
        }
    }
    stored.resize(width, ' ');
    return stored;
}

std::string formatCallSign(std::string_view stored) {
    std::string shownText;
    shownText.reserve(stored.size());
    for (char c : stored) {
        shownText.push_back(callSignCharacter(c));
    }
    return withoutTrailingBlanks(std::move(shownText));
}

std::string parseCallSign(std::string_view committed, std::size_t width) {
    std::string stored;
    stored.reserve(width);
    for (char c : committed.substr(0, width)) {
        stored.push_back(callSignCharacter(c));
    }
    stored.resize(width, ' ');
    return stored;
}

std::string formatDtmfCode(std::span<const std::uint8_t> stored) {
    std::string shownText;
    for (std::uint8_t digit : stored) {
        if (digit == 0xFF) {
            break;
        }
        shownText.push_back(kDtmfCharacters[digit & 0x0F]);
    }
    return shownText;
}

DtmfCode parseDtmfCode(std::string_view committed) {
    DtmfCode code;
    code.fill(0xFF);
    std::size_t count = 0;
    for (char c : committed) {
        if (count == kDtmfDigits) {
            break;
        }
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else if (c == '*') {
            digit = 14;
        } else if (c == '#') {
            digit = 15;
        }
        if (digit >= 0) {
            code[count++] = static_cast<std::uint8_t>(digit);
        }
    }
    return code;
}

std::string formatPagerCode(std::span<const std::uint8_t, 3> stored, std::int32_t row) {
    if (row < 0 || row >= kPagerRows) {
        return "---";
    }
    std::string shownText;
    for (std::uint8_t byte : stored) {
        const int digit = byte & 0x0F;
        if (digit <= 9) {
            shownText.push_back(static_cast<char>('0' + digit));
        }
    }
    return shownText;
}

ParseResult<PagerCode> parsePagerCode(std::string_view committed) {
    // A shorter text is no code: it changes nothing.
    if (committed.size() < 3) {
        return ParseRefusal::Empty;
    }
    PagerCode code{0xFF, 0xFF, 0xFF};
    std::size_t count = 0;
    for (char c : committed.substr(0, 3)) {
        if (c >= '0' && c <= '9') {
            code[count++] = static_cast<std::uint8_t>(c - '0');
        }
    }
    return code;
}

} // namespace qx
