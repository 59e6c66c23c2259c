#pragma once

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

// The whole path of `qx5130-cli sheet` and `set` without a window: the built-in English table,
// a new document of one destination, the value tables of the lists and the cell link dispatch.
struct HeadlessSheets {
    HeadlessSheets() {
        table.attachSource(kTextTable_en);
        setDestination(0, true);
    }

    void setDestination(int destination, bool digitalUnit, bool dvInhibit = false,
                        bool pagerInhibit = false) {
        images.setDestination(destination);
        env.text = &lines;
        env.metrics = &metrics;
        env.image = &images.current();
        env.destination = destination;
        env.digitalUnit = digitalUnit;
        env.dvInhibit = dvInhibit;
        env.pagerInhibit = pagerInhibit;
        LinkEnvironment links;
        links.image = &images.current();
        links.destination = destination;
        links.features.digitalUnit = digitalUnit;
        links.features.dvInhibit = dvInhibit;
        links.features.pagerInhibit = pagerInhibit;
        links.lists = &tables;
        links.cloneInformation = &information;
        dispatch = std::make_unique<cmcCellLinkDispatch>(links);
    }

    std::unique_ptr<cuiSheet> open(std::string_view callString) {
        auto sheet = createSheet(env, callString);
        sheet->show();
        return sheet;
    }

    cmcGTex table;
    GTexLines lines{table};
    FixedMetrics metrics;
    cmcValueTables tables{lines};
    ImageSet images;
    CloneInformation information;
    SheetEnvironment env;
    std::unique_ptr<cmcCellLinkDispatch> dispatch;
};

} // namespace qx::test
