#pragma once

#include "headless_editor.h"
#include "radio/cell_link_dispatch.h"
#include "radio/channel_record.h"
#include "radio/image_set.h"
#include "sheet/sheet_catalogue.h"
#include "sheet/sheet_script.h"
#include "sheet/value_tables.h"

#include <memory>
#include <string>
#include <string_view>

namespace bench {

// Puts channels [first, last) in use, each with a frequency and a name.
inline void fillChannels(qx::cmcEeprom& image, int first, int last) {
    for (int i = first; i < last; ++i) {
        qx::ChannelRecord r(image);
        r.load(qx::kKindChannel, i);
        r.used = true;
        r.frequency = 145000000 + 12500 * static_cast<std::uint32_t>(i);
        r.name = qx::ChannelRecord::toText8("BENCH");
        r.store();
    }
}

// A new document of one destination with the built-in English sheets, on the editor's
// controller as the command line's `sheet` uses it.
struct SheetFixture {
    explicit SheetFixture(int destination)
        : editor(
              [destination](qx::indEnviron& settings) {
                  settings.destination = destination;
                  settings.digitalUnit = true;
                  settings.dvInhibit = false;
              },
              false) {}

    // Opens the sheet and asks every cell for its text; the total length keeps it honest.
    std::size_t printed(std::string_view callString) {
        qx::cuiSheet& sheet = controller.openSheet(callString);
        std::size_t total = 0;
        for (const std::string& line : qx::cmcSheetScript(sheet, *dispatch, tables).lines()) {
            total += line.size();
        }
        return total;
    }

    qx::test::HeadlessEditor editor;
    qx::MainController& controller = *editor.controller;
    qx::cmcValueTables& tables = controller.valueTables();
    qx::ImageSet& images = controller.document().images();
    const qx::SheetEnvironment& env = controller.sheetEnvironment();
    qx::cmcCellLinkDispatch* dispatch = &controller.dispatch();
};

} // namespace bench
