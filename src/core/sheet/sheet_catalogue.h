#pragma once

#include "sheet/sheet.h"

#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

// "[Kind]SheetKey,arguments": the kind between the first '[' and the next ']' of the text
// before the first comma, the key after that ']', the arguments after the first comma.
struct CallString {
    std::string kind;
    std::string sheetKey;
    std::string arguments;
};
CallString decodeCallString(std::string_view callString);

// Creates the sheet class of the call string's kind (a plain sheet for no or an unknown
// kind), stores the call string and hands it its arguments. Not yet shown.
std::unique_ptr<cuiSheet> createSheet(const SheetEnvironment& environment,
                                      std::string_view callString);

// Every call string a user can open, as the tree and the clone information command name them.
std::vector<std::string> catalogueCallStrings();

// The sheet of a selection list in popup mode, built for the request it was opened from, with
// the item (itemLink, value) current when the list has it. The call sign lists are
// `iuiSh_Mch` sheets over the stored call signs.
std::unique_ptr<cuiSheet> createListSheet(const SheetEnvironment& environment,
                                          const std::string& listKey, const cmcCellCapsule& origin,
                                          std::int32_t itemLink, std::int32_t value);

// Print rules of the channel sheets read the channels and banks of this image.
void usePrintRulesOf(SheetEnvironment& environment, cmcEeprom& image);

// Where the cursor was, per call string.
struct SheetPosition {
    std::string callString;
    int column = 0;
    int row = 0;
    int topRow = 0;
    int leftColumn = 0;
};

// Opens and closes the one current sheet, remembering the cursor of each call string.
class cmcSheetRouter {
public:
    explicit cmcSheetRouter(const SheetEnvironment& environment) : m_env(environment) {}

    void setEnvironment(const SheetEnvironment& environment) { m_env = environment; }
    // Closes the current sheet, creates and shows the new one at its remembered position.
    cuiSheet& openSheet(std::string_view callString);
    // Remembers the current sheet's position and destroys it.
    void closeCurrent();
    // Rebuilds the current sheet in place, keeping its cursor.
    void reopen();
    // The CallSheet link of a tree node: opens the sheet of its call string unless that sheet
    // is already shown.
    std::int32_t runCallSheet(const cmcCellCapsule& request);
    cuiSheet* current() { return m_current.get(); }
    void requestColumnWidthReset() { m_widthReset = true; }
    const std::list<SheetPosition>& positions() const { return m_positions; }

private:
    SheetEnvironment m_env;
    std::unique_ptr<cuiSheet> m_current;
    std::list<SheetPosition> m_positions; // newest first, one per call string
    bool m_widthReset = false;
};

} // namespace qx
