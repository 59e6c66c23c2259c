#pragma once

#include "base/text_metrics.h"
#include "radio/cell_link_dispatch.h"
#include "radio/image_set.h"
#include "sheet/gtex_lines.h"
#include "sheet/sheet_catalogue.h"
#include "sheet/sheet_script.h"
#include "sheet/value_tables.h"
#include "text/text_source.h"
#include "text/text_table.h"

#include <memory>
#include <string>
#include <string_view>

namespace bench {

// A new document of one destination with the built-in English sheets and the cell link
// dispatch, as the command line's `sheet` builds it.
struct SheetFixture {
    explicit SheetFixture(int destination) {
        table.attachSource(qx::kTextTable_en);
        images.setDestination(destination);
        env.text = &lines;
        env.metrics = &metrics;
        env.image = &images.current();
        env.destination = destination;
        env.digitalUnit = true;
        qx::LinkEnvironment links;
        links.image = &images.current();
        links.destination = destination;
        links.features.digitalUnit = true;
        links.lists = &tables;
        dispatch = std::make_unique<qx::cmcCellLinkDispatch>(links);
    }

    // Opens the sheet and asks every cell for its text; the total length keeps it honest.
    std::size_t printed(std::string_view callString) {
        auto sheet = qx::createSheet(env, callString);
        sheet->show();
        std::size_t total = 0;
        for (const std::string& line : qx::cmcSheetScript(*sheet, *dispatch, tables).lines()) {
            total += line.size();
        }
        return total;
    }

    qx::cmcGTex table;
    qx::GTexLines lines{table};
    qx::FixedTextMetrics metrics;
    qx::cmcValueTables tables{lines};
    qx::ImageSet images;
    qx::SheetEnvironment env;
    std::unique_ptr<qx::cmcCellLinkDispatch> dispatch;
};

} // namespace bench
