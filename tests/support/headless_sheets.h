#pragma once

#include "app/main_controller.h"
#include "headless_editor.h"
#include "radio/cell_link_dispatch.h"
#include "radio/clone_information.h"
#include "radio/image_set.h"
#include "sheet/gtex_lines.h"
#include "sheet/sheet_catalogue.h"
#include "sheet/value_tables.h"
#include "tab_fields.h"
#include "text/text_source.h"
#include "text/text_table.h"
#include "text_blocks.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qx::test {

// The whole path of `qx5130-cli sheet` and `set` without a window: the editor's controller on
// the built-in English table, with a new document of one destination. `env` is a copy of the
// controller's sheet environment that a test may change; `information` is the clone
// information the cell links show.
struct HeadlessSheets {
    HeadlessSheets() { setDestination(0, true); }

    void setDestination(int destination, bool digitalUnit, bool dvInhibit = false,
                        bool pagerInhibit = false) {
        controller.setDestination(destination);
        FeatureFlags flags;
        flags.digitalUnit = digitalUnit;
        flags.dvInhibit = dvInhibit;
        flags.pagerInhibit = pagerInhibit;
        controller.setFeatures(flags);
        env = controller.sheetEnvironment();
        env.metrics = &metrics;
        dispatch = &controller.dispatch();
        dispatch->environment().cloneInformation = &information;
    }

    std::unique_ptr<cuiSheet> open(std::string_view callString) {
        auto sheet = createSheet(env, callString);
        sheet->show();
        return sheet;
    }

    HeadlessEditor editor{{}, false};
    MainController& controller = *editor.controller;
    cmcGTex& table = editor.texts;
    GTexLines& lines = controller.lines();
    FixedMetrics metrics;
    cmcValueTables& tables = controller.valueTables();
    ImageSet& images = controller.document().images();
    CloneInformation information;
    SheetEnvironment env;
    cmcCellLinkDispatch* dispatch = nullptr;
};

} // namespace qx::test
