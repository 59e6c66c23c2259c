#pragma once

#include "app/menu_actions.h"
#include "app/menu_builder.h"
#include "base/event_manager.h"
#include "sheet/cell_layout.h"
#include "sheet/sheet.h"
#include "sheet_services.h"

#include <QAbstractScrollArea>
#include <QPointer>

#include <memory>
#include <optional>

class QMenu;

namespace qx {

class InPlaceEditor;
class cuiFlector;
class MaskedEntryPopup;

// The owner-drawn grid of a sheet: paints the cell layout that core computes for what is in
// view, and turns keys, clicks, drags and entries into calls of the core sheet.
class SheetGrid : public QAbstractScrollArea, private EvSubscriber {
    Q_OBJECT
public:
    SheetGrid(cuiSheet& sheet, SheetServices services, QWidget* parent = nullptr);
    ~SheetGrid() override;

    cuiSheet& sheet() { return m_sheet; }
    cmcCellLayout& layout() { return m_layout; }
    SheetLook& look() { return *m_services.look; }
    LayoutState layoutState() const;

    // The sheet was (re)built: scroll bars, popup menu and paint follow it.
    void sheetChanged();
    // Commits a pending entry of the in-place editor; false when none was open.
    bool commitEditor();
    bool editorVisible() const;
    InPlaceEditor* editor() const { return m_editor; }
    // The cell's rectangle in the grid's view coordinates (none when not in view).
    std::optional<QRect> cellRect(int column, int row) const;
    // The popup menu of the current cell, as the last right click showed it (for tests and
    // assistive tools).
    QMenu* popupMenu() const;
    cuiFlector* openFlector() const;
    MaskedEntryPopup* openMaskedEntry() const;

signals:
    // Popup mode: an item was picked (the popup closes) or the list was cancelled.
    void picked();
    void cancelled();
    void currentCellChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool event(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void onMessage(const EvMessage& message, cmcEvMan& bus) override;
    void handle(const cuiSheet::Activation& done);
    void afterMove(int oldColumn, int oldRow);
    void updateScrollBars();
    void refreshPopupMenu();
    void openEditor(const std::string& text, int selectionStart, int selectionLength);
    void cancelEditor();
    void showPopupMenu(const QPoint& at);
    void runMenuItem(const cuiItem& item);
    // A key that is the shortcut of a popup menu item runs that item.
    bool runMenuShortcut(const QKeyEvent& event);
    bool openList(const cmcCellCapsule& request, const std::string& listKey, std::int32_t itemLink,
                  std::int32_t value);
    bool openMasked(const cmcCellCapsule& request, MaskedEntryKind kind, const std::string& text,
                    std::int32_t typedKey);
    ScreenRect cellOnScreen(int column, int row) const;
    ScreenRect workArea() const;
    void closePopups();
    void updateColours();

    cuiSheet& m_sheet;
    SheetServices m_services;
    cmcCellLayout m_layout;
    SheetColours m_colours;
    InPlaceEditor* m_editor = nullptr;
    int m_editorColumn = -1;
    int m_editorRow = -1;
    bool m_committing = false;
    std::unique_ptr<cuiMenu> m_menuModel;
    bool m_menuStale = true; // the sheet was rebuilt: build the menu again
    QPointer<QMenu> m_menu;
    std::vector<MenuAction> m_menuActions;
    QPointer<cuiFlector> m_flector;
    QPointer<MaskedEntryPopup> m_masked;
    int m_dragColumn = -1;
    int m_dragStartX = 0;
    int m_dragStartWidth = 0;
    bool m_subscribed = false;
};

} // namespace qx
