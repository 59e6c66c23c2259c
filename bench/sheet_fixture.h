#pragma once

#include "headless_editor.h"
#include "radio/cell_link_dispatch.h"
#include "radio/image_set.h"
#include "sheet/sheet_catalogue.h"
#include "sheet/sheet_script.h"
#include "sheet/value_tables.h"

#include <memory>
#include <string>
#include <string_view>

namespace bench {

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
