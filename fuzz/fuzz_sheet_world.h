#pragma once

#include "base/text_metrics.h"
#include "fuzz_support.h"
#include "radio/cell_link_dispatch.h"
#include "radio/feature_flags.h"
#include "sheet/gtex_lines.h"
#include "sheet/sheet_catalogue.h"
#include "sheet/sheet_script.h"
#include "sheet/value_tables.h"

#include <memory>
#include <string_view>

namespace qx::fuzz {

// The built-in table's sheets and cell links on an image, for targets that draw sheets.
class SheetWorld {
    cmcEeprom& m_image;
    int m_destination;
    FeatureFlags m_flags;

public:
    SheetWorld(cmcEeprom& image, int destination, const FeatureFlags& flags)
        : m_image(image), m_destination(destination), m_flags(flags) {
        LinkEnvironment links;
        links.image = &image;
        links.destination = destination;
        links.features = flags;
        links.lists = &lists;
        dispatch = std::make_unique<cmcCellLinkDispatch>(links);
    }

    // Builds the sheet of the call string and draws every cell as text.
    void drawAsText(std::string_view callString) {
        FixedTextMetrics metrics;
        SheetEnvironment environment;
        environment.text = &lines;
        environment.metrics = &metrics;
        environment.image = &m_image;
        environment.destination = m_destination;
        environment.digitalUnit = m_flags.digitalUnit;
        environment.dvInhibit = m_flags.dvInhibit;
        environment.pagerInhibit = m_flags.pagerInhibit;
        std::unique_ptr<cuiSheet> sheet = createSheet(environment, callString);
        sheet->show();
        cmcSheetScript script(*sheet, *dispatch, lists);
        script.lines();
    }

    GTexLines lines{builtInTable()};
    cmcValueTables lists{lines};
    std::unique_ptr<cmcCellLinkDispatch> dispatch;
};

} // namespace qx::fuzz
