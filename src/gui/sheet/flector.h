#pragma once

#include "base/cell_capsule.h"
#include "base/event_manager.h"
#include "sheet_services.h"

#include <QFrame>

#include <memory>
#include <string>

namespace qx {

class cuiSheet;
class SheetWidget;

// A selection list: a borderless popup under a cell holding the list's sheet in popup mode.
// Hovering selects, Enter or releasing the button picks (the originating cell gets the item),
// Esc or activating another window closes it without a pick.
class cuiFlector : public QFrame, private EvSubscriber {
    Q_OBJECT
public:
    cuiFlector(const SheetServices& services, const cmcCellCapsule& origin,
               const std::string& listKey, std::int32_t itemLink, std::int32_t value,
               QWidget* owner);
    ~cuiFlector() override;

    // Sizes and places the popup under the cell (screen coordinates) and shows it.
    void popup(const ScreenRect& cellOnScreen, const ScreenRect& workArea);
    cuiSheet& sheet() { return *m_sheet; }
    SheetWidget& sheetWidget() { return *m_widget; }
    bool pickedItem() const { return m_picked; }

signals:
    void closedAfterPick();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void onMessage(const EvMessage& message, cmcEvMan& bus) override;

    cmcEvMan* m_bus = nullptr;
    cmcCellCapsule m_origin;
    std::unique_ptr<cuiSheet> m_sheet;
    SheetWidget* m_widget = nullptr;
    bool m_picked = false;
};

} // namespace qx
