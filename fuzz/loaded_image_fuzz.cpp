// Image bytes as a clone file or a clone read brings them: a default image with patches from
// the input goes through the document's path (adjustments after a read, the correction pass),
// the setting checks and one sheet of the navigation tree drawn as text. Any bytes a file or
// the transceiver can hold must be shown and checked without harm.
#include "fuzz_support.h"
#include "headless_editor.h"
#include "radio/image_map.h"
#include "radio/image_set.h"
#include "sheet/sheet_catalogue.h"
#include "sheet/sheet_script.h"
#include "text/text_source.h"

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

// The call strings of the navigation tree's nodes whose sheets the table defines.
const std::vector<std::string>& treeCallStrings() {
    static const std::vector<std::string> calls = [] {
        std::set<std::string> headers;
        for (std::size_t i = 0; i < qx::kTextTable_en.count; ++i) {
            headers.insert(qx::kTextTable_en.lines[i]);
        }
        std::vector<std::string> found;
        const std::string_view marker = "CallSheet:";
        for (std::size_t i = 0; i < qx::kTextTable_en.count; ++i) {
            const std::string_view line = qx::kTextTable_en.lines[i];
            const std::size_t at = line.find(marker);
            if (at == std::string_view::npos) {
                continue;
            }
            const std::size_t start = at + marker.size();
            const std::size_t end = line.find(')', start);
            const std::string call(line.substr(start, end - start));
            if (end != std::string_view::npos &&
                headers.contains("#" + qx::decodeCallString(call).sheetKey + "_Cells")) {
                found.push_back(call);
            }
        }
        return found;
    }();
    return calls;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qx;
    fuzz::installDefectTrap(false);
    fuzz::ByteReader in(data, size);
    const std::uint8_t setup = in.byte();
    const std::uint8_t which = in.byte();
    FeatureFlags flags;
    flags.rxExpansion = (setup & 0x10) != 0;
    flags.fccInhibit = (setup & 0x20) != 0;
    flags.digitalUnit = (setup & 0x40) == 0;
    flags.dvInhibit = (setup & 0x80) != 0;
    test::HeadlessEditor editor(
        [&](indEnviron& settings) {
            settings.destination = setup % kDestinationCount;
            settings.fccInhibit = flags.fccInhibit;
            settings.rxExpansion = flags.rxExpansion;
            settings.digitalUnit = flags.digitalUnit;
            settings.dvInhibit = flags.dvInhibit;
            settings.pagerInhibit = flags.pagerInhibit;
        },
        false);
    MainController& controller = *editor.controller;
    ImageSet& images = controller.document().images();
    // Patches: address (2 bytes), length (1 byte), bytes; the map format tag stays, as Open and
    // a read refuse images without it.
    cmcEeprom received(images.current());
    while (in.remaining() >= 3) {
        const std::int32_t address = (in.byte() << 8 | in.byte()) % imagemap::kMapFormatTag;
        const std::int32_t length = in.byte();
        for (std::int32_t i = 0; i < length && in.remaining() > 0; ++i) {
            const std::uint8_t b = in.byte();
            if (address + i < imagemap::kMapFormatTag) {
                received.setByte(address + i, b);
            }
        }
    }
    FUZZ_CHECK(images.takeReadImage(received, flags));
    cmcEeprom& image = images.current();
    FUZZ_CHECK(std::memcmp(image.data() + imagemap::kMapFormatTag,
                           imagemap::kMapFormatTagText.data(), imagemap::kMapFormatTagSize) == 0);
    // What the correction pass leaves needs no further correction.
    const cmcEeprom corrected(image);
    FUZZ_CHECK(images.correct(flags));
    FUZZ_CHECK(std::memcmp(image.data(), corrected.data(),
                           static_cast<std::size_t>(imagemap::kTransceiverSize)) == 0);

    controller.runChecks();

    const std::vector<std::string>& calls = treeCallStrings();
    FUZZ_CHECK(!calls.empty());
    cuiSheet& sheet = controller.openSheet(calls[which % calls.size()]);
    cmcSheetScript script(sheet, controller.dispatch(), controller.valueTables());
    script.lines();
    return 0;
}
