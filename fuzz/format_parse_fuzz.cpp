// The value formatters' parse functions on typed text. Every accepted entry must lie within
// its field's limits and show as a text that parses back to the same value; a refused entry
// changes nothing, so it only has to come back without harm.
#include "fuzz_support.h"
#include "radio/frequency_band.h"
#include "radio/frequency_format.h"
#include "radio/gps_format.h"
#include "radio/half_width_kana.h"
#include "radio/text_format.h"

#include <string>

namespace {

using namespace qx;

void frequencies(std::string_view text, std::uint32_t channel) {
    if (const auto f = parseFrequency(text)) {
        FUZZ_CHECK(*f >= 495000 && *f <= 999990000);
        const auto again = parseFrequency(formatFrequency(*f));
        FUZZ_CHECK(again && *again == *f);
    }
    if (const auto o = parseOffset(text, channel)) {
        const ScaledDecimalFormat format = offsetFormat(channel);
        FUZZ_CHECK(*o <= format.maximum);
        const auto again = parseOffset(formatScaledDecimal(*o, format), channel);
        FUZZ_CHECK(again && *again == *o);
    }
    ScaledDecimalFormat format = frequencyFormat();
    format.step = 1 + static_cast<std::int32_t>(channel % 100000);
    if (const auto v = parseScaledDecimal(text, format)) {
        FUZZ_CHECK(*v >= format.minimum && *v <= format.maximum);
    }
    if (const auto a = parseAirFrequency(text)) {
        FUZZ_CHECK(*a >= 300 && *a <= 3000 && *a % 10 == 0);
        const auto again = parseAirFrequency(formatAirFrequency(*a));
        FUZZ_CHECK(again && *again == *a);
    }
    if (const auto w = parseWholeNumber(text, 0, 127)) {
        FUZZ_CHECK(*w >= 0 && *w <= 127);
        const auto again = parseWholeNumber(formatWholeNumber(*w), 0, 127);
        FUZZ_CHECK(again && *again == *w);
    }
}

void gps(std::string_view text) {
    if (const auto m = parseUtcOffset(text)) {
        FUZZ_CHECK(*m >= -720 && *m <= 720 && *m % 5 == 0);
        const auto again = parseUtcOffset(formatUtcOffset(*m));
        FUZZ_CHECK(again && *again == *m);
    }
    if (const auto p = parsePositionArea(text)) {
        const int total = p->minutes * 60 + p->seconds;
        FUZZ_CHECK(p->seconds < 60 && total >= 5 && total < 3600);
        const auto again = parsePositionArea(formatPositionArea(*p));
        FUZZ_CHECK(again && *again == *p);
    }
    for (const DateOrder order : {DateOrder::YearMonthDay, DateOrder::MonthDayYear}) {
        if (const auto d = parseGpsDate(text, order)) {
            const std::string shown = formatGpsDate(*d, order);
            FUZZ_CHECK(shown.find('-') == std::string::npos);
            const auto again = parseGpsDate(shown, order);
            FUZZ_CHECK(again && *again == *d);
        }
    }
    if (const auto t = parseGpsTime(text)) {
        const auto again = parseGpsTime(formatGpsTime(*t));
        FUZZ_CHECK(again && *again == *t);
    }
    for (const CodePage page : {CodePage::Windows1252, CodePage::ShiftJis}) {
        if (const auto lat = parseLatitude(text)) {
            const auto again = parseLatitude(formatLatitude(*lat, page));
            FUZZ_CHECK(again && *again == *lat);
        }
        if (const auto lon = parseLongitude(text)) {
            const auto again = parseLongitude(formatLongitude(*lon, page));
            FUZZ_CHECK(again && *again == *lon);
        }
    }
}

void texts(std::string_view text, std::size_t width) {
    for (const bool kana : {false, true}) {
        const std::string stored = parseTextField(text, width, kana);
        FUZZ_CHECK(stored.size() == width);
        for (const char c : stored) {
            const auto u = static_cast<unsigned char>(c);
            FUZZ_CHECK((u >= 0x20 && u <= 0x7E) || (kana && isHalfWidthKana(u)));
        }
        // What is shown and entered again stores the same bytes.
        FUZZ_CHECK(parseTextField(formatTextField(stored, kana), width, kana) == stored);
    }
    const std::string call = parseCallSign(text);
    FUZZ_CHECK(call.size() == kCallSignWidth);
    FUZZ_CHECK(parseCallSign(formatCallSign(call)) == call);
    const DtmfCode dtmf = parseDtmfCode(text);
    FUZZ_CHECK(parseDtmfCode(formatDtmfCode(dtmf)) == dtmf);
    if (const auto pager = parsePagerCode(text)) {
        for (const std::uint8_t b : *pager) {
            FUZZ_CHECK(b <= 9 || b == 0xFF);
        }
    }
    const std::string half = toHalfWidthKana(text);
    FUZZ_CHECK(half.size() <= text.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::installDefectTrap(false);
    fuzz::ByteReader in(data, size);
    const std::uint8_t setup = in.byte();
    const std::uint8_t extra = in.byte();
    const std::string text = in.restText();
    switch (setup % 3) {
    case 0: {
        // The channel the offset belongs to: below or in band 7.
        const std::uint32_t channel = (extra & 1) != 0 ? 850000000u : 145000000u + extra * 1000u;
        frequencies(text, channel);
        break;
    }
    case 1:
        gps(text);
        break;
    default:
        texts(text, 1 + extra % 24);
        break;
    }
    return 0;
}
