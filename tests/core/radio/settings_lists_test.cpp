#include "radio/settings_table.h"

#include "sheet/gtex_lines.h"
#include "sheet/value_tables.h"
#include "text/text_source.h"
#include "text/text_table.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace qx {
namespace {

bool tableHasBlock(const TextSource& source, std::string_view key) {
    for (std::size_t i = 0; i < source.count; ++i) {
        if (source.lines[i][0] == '#' && std::string_view(source.lines[i] + 1) == key) {
            return true;
        }
    }
    return false;
}

// The values a setting may hold are exactly the values its built-in selection list offers, in
// both languages. Lists that do not enumerate their values (the "S" mark of selection rows, the
// GPS alarm's one entry for all memories) are left out, and so are lists not yet written.
TEST(SettingsListsTest, EveryWrittenListOffersExactlyTheAllowedValues) {
    for (const auto& [source, shiftJis] :
         {std::pair{&kTextTable_en, false}, std::pair{&kTextTable_ja, true}}) {
        cmcGTex store;
        ASSERT_TRUE(store.attachSource(*source));
        GTexLines lines(store);
        cmcValueTables tables(lines, shiftJis);
        std::size_t compared = 0;
        for (const SettingEntry& setting : settingsTable()) {
            if (setting.listKey.empty() || setting.selectionRows > 0 ||
                setting.linkId == CL_Common_Gps_Alarm || setting.linkId == CL_Gps_Alarm) {
                continue;
            }
            if (!tableHasBlock(*source, std::string(setting.listKey) + "_Cells")) {
                continue;
            }
            SCOPED_TRACE(std::string(setting.linkName()) + " " + std::string(setting.listKey) +
                         (shiftJis ? " (ja)" : " (en)"));
            std::set<std::int32_t> offered;
            for (const SelectionItem& item : tables.items(setting.listKey, Flex0)) {
                offered.insert(item.value);
            }
            std::set<std::int32_t> allowed;
            for (std::size_t i = 0; i < setting.values.count(); ++i) {
                allowed.insert(setting.values.at(i));
            }
            EXPECT_EQ(offered, allowed);
            ++compared;
        }
        // The shared on/off list is written, so at least those settings were compared.
        EXPECT_GT(compared, 0u);
    }
}

} // namespace
} // namespace qx
