#pragma once

#include "base/cell_capsule.h"
#include "base/cell_obj.h"
#include "sheet/cell_parser.h"
#include "sheet/sheet_environment.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qx {

// One row of the grid: the definition line it was read from and whether it may join a
// multiple selection.
struct clsSheeRowAtr {
    std::int32_t lineIndex = 0;
    bool lineSelectable = true;
};

// One grid cell: its attributes and its selection marks.
struct clsSheetCellId {
    enum : std::uint8_t { kRowSelectable = 1, kSelected = 2, kLineMarked = 4 };
    cmcCellObj cell;
    std::uint8_t flags = kRowSelectable;

    bool rowSelectable() const { return (flags & kRowSelectable) != 0; }
    bool selected() const { return rowSelectable() && (flags & (kSelected | kLineMarked)) != 0; }
};

enum class MultiSelectMode { None = 0, Cell = 1, Line = 2 };

// A sheet without its window: built from its definition blocks, addressed by position and by
// cell identity, navigated and selected. Drawing and editors belong to the host.
class cuiSheet {
public:
    cuiSheet(const SheetEnvironment& environment, std::string sheetKey);
    virtual ~cuiSheet() = default;
    cuiSheet(const cuiSheet&) = delete;
    cuiSheet& operator=(const cuiSheet&) = delete;

    // Overridable steps, in the order a build uses them.
    virtual void setArguments(std::string arguments) { m_arguments = std::move(arguments); }
    // Builds (or rebuilds) and restores the cursor.
    virtual void show();
    virtual void applyStyleToken(std::string_view token);
    virtual void applyDirective(std::string_view token);
    virtual void loadCells();
    virtual void loadBasicCell();
    virtual void sizingPass(const std::string& cellsKey);
    virtual void fillPass(const std::string& cellsKey);
    virtual void rowHook(int /*row*/) {}
    virtual void cellHook(int /*column*/, int /*row*/) {}
    virtual std::string titleText() const { return m_titleString; }
    virtual bool printable() const { return !m_noPrint; }
    virtual bool includedInPrintAll() const { return printable(); }
    virtual void loadColumnWidths();
    virtual void saveColumnWidths();

    const std::string& sheetKey() const { return m_sheetKey; }
    const std::string& callString() const { return m_callString; }
    void setCallString(std::string callString) { m_callString = std::move(callString); }
    const std::string& arguments() const { return m_arguments; }
    const SheetEnvironment& environment() const { return m_env; }
    const cmcCellParser& parser() const { return m_parser; }
    SheetVariables& variables() { return m_variables; }
    const cmcCellObj& basicCell() const { return m_basicCell; }

    // Grid.
    int columnCount() const { return m_columns; }
    int rowCount() const { return m_rows; }
    clsSheetCellId& cellEntry(int column, int row);
    const clsSheetCellId& cellEntry(int column, int row) const;
    cmcCellObj& cell(int column, int row) { return cellEntry(column, row).cell; }
    const cmcCellObj& cell(int column, int row) const { return cellEntry(column, row).cell; }
    int columnWidth(int column) const { return m_colWidths.at(static_cast<std::size_t>(column)); }
    int rowHeight(int row) const { return m_rowHeights.at(static_cast<std::size_t>(row)); }
    void setColumnWidth(int column, int width);
    void setRowHeight(int row, int height);
    const std::vector<clsSheeRowAtr>& rowList() const { return m_rowList; }
    int contentWidth() const;
    int contentHeight() const;

    // Style.
    const std::string& titleString() const { return m_titleString; }
    std::uint32_t titleColor() const { return m_titleColor; }
    const std::optional<cmcFont>& titleFont() const { return m_titleFont; }
    int fixedColumns() const { return m_fixedCols; }
    int fixedRows() const { return m_fixedRows; }
    int printFontRatio() const { return m_printFontRatio; }
    MultiSelectMode multiSelect() const { return m_multiSelect; }
    bool noPrint() const { return m_noPrint; }
    bool columnSizing() const { return m_colSizing; }
    bool colorSelectLine() const { return m_colorSelectLine; }

    // Index offset, set by sheet kinds before the build. No sheet has anywhere near this many
    // rows; a larger offset from a call string would only overflow the row numbers.
    static constexpr std::int32_t kMaxIndexOffset = 1 << 20;
    std::int32_t indexOffset() const { return m_indexOffset; }
    void setIndexOffset(std::int32_t offset) {
        m_indexOffset = std::clamp(offset, -kMaxIndexOffset, kMaxIndexOffset);
    }

    // Popup mode: the sheet lives in a selection list. Without scroll bars the cursor wraps.
    bool popupMode() const { return m_popupMode; }
    void setPopupMode(bool on, bool scrollBars = false) {
        m_popupMode = on;
        m_popupScrollBars = scrollBars;
    }
    void requestColumnWidthReset() { m_widthResetRequest = true; }

    // Lays the sheet out for a printer before it is shown: `scale` printer pixels to a screen
    // pixel and the font height in printer pixels (negative = character height). Stored column
    // widths then only widen columns and are never written back.
    void setPrinting(double scale, std::int32_t fontHeight);
    bool printing() const { return m_printing; }
    double printScale() const { return m_scale; }
    // Width of a ruling column and height of a ruling row: what no sample text widened.
    int rulingSize() const;

    // Cursor and scrolling.
    int currentColumn() const { return m_curCol; }
    int currentRow() const { return m_curRow; }
    int topRow() const { return m_topRow; }
    int leftColumn() const { return m_leftCol; }
    const cmcCellObj& currentCell() const { return cell(m_curCol, m_curRow); }
    int firstSelectableColumn() const { return m_firstSelCol; }
    int firstSelectableRow() const { return m_firstSelRow; }

    // Makes (column, row) current, updating the selection; extend = Shift held or the mouse
    // button down. Returns false when the cell may not take the cursor.
    bool select(int column, int row, bool extend = false);
    void moveBy(int dx, int dy, bool extend = false);
    // Selects the first selectable cell, in row-major order, with that identity.
    bool findAndSelect(std::int32_t category, std::int32_t link, std::int32_t index);
    std::optional<std::pair<int, int>> findCell(std::int32_t category, std::int32_t link,
                                                std::int32_t index) const;
    // Cursor to restore after the next build; -1 = none.
    void setSavedPosition(int column, int row, int topRow, int leftColumn);
    // Cell to select after the next build when no position was saved (link 0 = none).
    void requestCell(std::int32_t link, std::int32_t index) {
        m_requestLink = link;
        m_requestIndex = index;
    }
    void setMouseDown(bool down) { m_mouseDown = down; }

    bool isSelected(int column, int row) const { return cellEntry(column, row).selected(); }
    bool rangeActive() const { return m_rangeActive; }
    // The (lowest, highest) index pair of the rows from the anchor to the cursor, taken in the
    // first non-fixed column; none while no multiple selection is active.
    std::optional<std::pair<std::int32_t, std::int32_t>> selectedRange() const;
    void clearSelection();
    // Marks every cell with the current cell's link whose index lies in [low, high], and only
    // those, and sets the anchor to the row holding `anchorIndex`.
    void reselectRange(std::int32_t low, std::int32_t high);

    // Activation: every key, click, menu choice or finished entry on the current cell becomes
    // one request to the cell links.
    using Dispatcher = std::function<std::int32_t(cmcCellCapsule&)>;
    void setDispatcher(Dispatcher dispatcher) { m_dispatcher = std::move(dispatcher); }
    // Opens selection lists for the requests of this sheet (none: lists cannot open).
    void setListOpener(decltype(cmcCellCapsule::openList) opener) {
        m_listOpener = std::move(opener);
    }
    // The request a popup list sheet was opened for; its picks go back through it.
    void setOrigin(const cmcCellCapsule& origin) { m_origin = origin; }
    struct Activation {
        std::int32_t result = kResultNone;
        bool openEditor = false; // the host opens the in-place editor with text and selection
        std::string text;
        int selectionStart = 0;
        int selectionLength = 0;
        bool picked = false; // popup mode: an item was picked, the popup closes
        bool refused = false;
    };
    Activation activate(std::int32_t command, const cmcCellObj* menuItem = nullptr,
                        std::int32_t operation = kOpCommand, std::string text = {},
                        const cmcCellObj* picked = nullptr);

    // Keys on the grid while the editor is closed. Left or Right at the edge and the function
    // keys go to the current cell as commands (key code x 256).
    enum class Key { Left, Right, Up, Down, PageUp, PageDown, Home, End, F1 };
    Activation key(Key key, bool shift = false, bool ctrl = false, int functionKey = 1);

    // A character typed on the grid while the editor is closed; Enter is 13.
    Activation typeChar(char code) { return activate(static_cast<signed char>(code)); }

    // Mouse. A right click selects the cell under the pointer (or the selectable cell its tips
    // belong to) unless a range is active; true when the popup menu should open.
    bool rightClick(int column, int row);
    // Left button: down selects (extending while Shift is held), up ends the drag. In popup
    // mode releasing the button picks the current item.
    void leftDown(int column, int row, bool shift);
    Activation leftUp();
    // A double click activates the current cell with command 256 when the clicked cell is,
    // or belongs to, the current cell.
    Activation doubleClick(int column, int row);
    // Popup mode: the hovered item becomes current (not while the editor is open).
    void hover(int column, int row);
    // The selectable cell a cell belongs to: itself, or the first selectable cell left of a
    // run of tip cells.
    std::optional<std::pair<int, int>> owningCell(int column, int row) const;
    // Whether the cell is drawn as selected: marked, current, or a tip of the current cell.
    bool drawnSelected(int column, int row) const;
    bool mouseDown() const { return m_mouseDown; }

    // The in-place editor is open (drawing and hovering depend on it).
    bool editorOpen() const { return m_editorOpen; }
    void setEditorOpen(bool open) { m_editorOpen = open; }

    // What the cell's link shows while drawing: its text, a text colour (0 = the font's) and
    // the warning or error mark it asks for.
    struct Appearance {
        std::string text;
        std::uint32_t textColor = 0;
        std::uint8_t markFlags = 0; // cmcCellCapsule::kFlagWarning / kFlagError
        std::uint8_t markPosition = 0;
    };
    Appearance appearance(int column, int row, const CellRect& rect, bool selected, bool printing);

    // Scrolling: the first non-fixed row and column shown.
    void setTopRow(int row);
    void setLeftColumn(int column);

    // Repeat commands: the host repaints and waits this many milliseconds between rounds.
    void setRepeatWait(std::function<void(int)> wait) { m_repeatWait = std::move(wait); }
    // Hooks handed to every request: the host repaints cells, reopens its editor, opens masked
    // entries.
    void setRepaintMatching(decltype(cmcCellCapsule::repaintMatching) repaint) {
        m_repaintMatching = std::move(repaint);
    }
    void setReopenEditor(decltype(cmcCellCapsule::reopenEditor) reopen) {
        m_reopenEditor = std::move(reopen);
    }
    void setMaskedEntryOpener(decltype(cmcCellCapsule::openMaskedEntry) opener) {
        m_maskedOpener = std::move(opener);
    }
    // A copy of the request this sheet would send for the current cell.
    cmcCellCapsule currentRequest();
    // The state query of a popup menu item for the current cell and the selection; nothing
    // else follows it.
    std::int32_t queryMenuItem(const cmcCellCapsule& query);

    // The popup menu of the current cell: its effective name, and whether it differs from
    // the one built last (the host rebuilds then; the bus hears 10 and 11).
    bool popupMenuChanged();
    const std::string& popupMenuName() const { return m_popupMenuName; }

    // Widens or narrows a column to its widest text: header texts in the fixed rows, the
    // link's text (`linkText`) elsewhere.
    void autoFitColumn(int column, const std::function<std::string(int, int)>& linkText);
    // The column an auto-fit double click at x within the fixed rows fits: within 4 pixels
    // right of a cell's left edge the nearest wider column to its left, within 4 pixels left
    // of its right edge the cell's own column, right of the last column the last visible
    // one. `columnLeft` gives a column's left edge on screen (none when not shown).
    std::optional<int>
    autoFitTarget(int x, const std::function<std::optional<int>(int)>& columnLeft) const;
    // A dragged column width: taken and saved at once so that it survives a restart.
    void endColumnDrag(int column, int width);

protected:
    // Kinds post-process the grid after the fill pass (cut columns, hidden rows).
    virtual void afterFill() {}
    // True when a change of the image shows or hides rows: the sheet is built again, at the
    // same place, before the cursor moves.
    virtual bool rowsOutdated() const { return false; }
    // Called after each row of the fill pass; copied = a one-line loop row copied from the row
    // above with its indexes already advanced by one.
    virtual void rowFilled(int /*row*/, bool /*copied*/) {}
    void markColumnUnselectable(int column);
    bool mayTakeCursor(int column, int row) const;

    // Sizing-pass state that directives change.
    int m_line = 0;
    int m_loopStart = -1;
    int m_loopEnd = -1;
    int m_loopCount = -1;
    int m_bodyRows = 0;
    int m_skip = 0;
    bool m_selectState = true;

    std::string m_titleString;

private:
    void resetStyle();
    void applyStyleLine();
    void setCurrent(int column, int row, bool extend);
    std::optional<int> nearestSelectable(int line, bool inColumn, int target) const;
    void fillRequest(cmcCellCapsule& request, int column, int row);
    Activation runRequest(cmcCellCapsule& request);
    std::string widthGroup() const;
    int referenceRow() const;
    void measure(int column, int row);

    SheetEnvironment m_env;
    cmcCellParser m_parser;
    std::string m_sheetKey;
    std::string m_callString;
    std::string m_arguments;

    std::int32_t m_indexOffset = 0;
    std::int32_t m_requestLink = 0;
    std::int32_t m_requestIndex = 0;
    bool m_building = false;
    int m_savedCol = -1;
    int m_savedRow = -1;
    int m_savedTop = -1;
    int m_savedLeft = -1;
    bool m_printing = false;
    double m_scale = 1.0;
    int m_explicitFontHeight = 0;
    int m_screenFontHeight = 0;

    std::uint32_t m_titleColor = 0xFF000011;
    std::optional<cmcFont> m_titleFont;
    int m_styleFixedCols = 0;
    int m_styleFixedRows = 0;
    int m_fixedCols = 0;
    int m_fixedRows = 0;
    int m_printFontRatio = 100;
    MultiSelectMode m_multiSelect = MultiSelectMode::None;
    bool m_popupMode = false;
    bool m_popupScrollBars = false;
    bool m_noPrint = false;
    bool m_colSizing = false;
    bool m_colorSelectLine = false;

    SheetVariables m_variables{};
    cmcCellObj m_basicCell;
    int m_columns = 0;
    int m_rows = 0;
    std::vector<clsSheetCellId> m_cells;
    std::vector<clsSheeRowAtr> m_rowList;
    std::vector<int> m_colWidths;
    std::vector<int> m_rowHeights;
    int m_maxCells = 0;
    int m_firstSelCol = 0;
    int m_firstSelRow = 0;

    int m_curCol = 0;
    int m_curRow = 0;
    int m_topRow = 0;
    int m_leftCol = 0;
    int m_anchorCol = -1;
    int m_anchorRow = -1;
    bool m_rangeActive = false;
    bool m_mouseDown = false;
    bool m_lineMarksCleared = false;
    bool m_widthResetRequest = false;

    Dispatcher m_dispatcher;
    decltype(cmcCellCapsule::openList) m_listOpener;
    decltype(cmcCellCapsule::repaintMatching) m_repaintMatching;
    decltype(cmcCellCapsule::reopenEditor) m_reopenEditor;
    decltype(cmcCellCapsule::openMaskedEntry) m_maskedOpener;
    std::function<void(int)> m_repeatWait;
    bool m_editorOpen = false;
    std::string m_popupMenuName;
    bool m_popupMenuBuilt = false;
    std::optional<cmcCellCapsule> m_origin;
};

} // namespace qx
