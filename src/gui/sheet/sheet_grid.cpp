#include "sheet_grid.h"

#include "app/code_page_text.h"
#include "base/text_lines.h"
#include "cell_painter.h"
#include "flector.h"
#include "in_place_editor.h"
#include "masked_entry_popup.h"
#include "sheet/cell_editors.h"
#include "sheet_look.h"

#include <QAccessible>
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QThread>

namespace qx {

namespace {

std::optional<cuiSheet::Key> sheetKey(int key) {
    switch (key) {
    case Qt::Key_Left:
        return cuiSheet::Key::Left;
    case Qt::Key_Right:
        return cuiSheet::Key::Right;
    case Qt::Key_Up:
        return cuiSheet::Key::Up;
    case Qt::Key_Down:
        return cuiSheet::Key::Down;
    case Qt::Key_PageUp:
        return cuiSheet::Key::PageUp;
    case Qt::Key_PageDown:
        return cuiSheet::Key::PageDown;
    case Qt::Key_Home:
        return cuiSheet::Key::Home;
    case Qt::Key_End:
        return cuiSheet::Key::End;
    default:
        return std::nullopt;
    }
}

} // namespace

SheetGrid::SheetGrid(cuiSheet& sheet, SheetServices services, QWidget* parent)
    : QAbstractScrollArea(parent), m_sheet(sheet), m_services(std::move(services)),
      m_layout(sheet, *m_services.look) {
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    horizontalScrollBar()->setTracking(true);
    verticalScrollBar()->setTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    if (sheet.popupMode()) {
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    if (!m_sheet.popupMode()) {
        // Cells that need these hooks live in main sheets only: a list picks, it does not edit.
        m_sheet.setListOpener(
            [this](const cmcCellCapsule& request, const std::string& key, std::int32_t itemLink,
                   std::int32_t value) { return openList(request, key, itemLink, value); });
        m_sheet.setMaskedEntryOpener(
            [this](const cmcCellCapsule& request, MaskedEntryKind kind, const std::string& text,
                   std::int32_t typed) { return openMasked(request, kind, text, typed); });
        m_sheet.setReopenEditor([this](const cmcCellCapsule& request) {
            if (request.cell == &m_sheet.currentCell()) {
                openEditor(request.text, request.selectionStart, request.selectionLength);
            }
        });
    }
    m_sheet.setRepaintMatching([this](const cmcCellCapsule& /*request*/, std::uint32_t /*mask*/) {
        viewport()->update();
    });
    m_sheet.setRepeatWait([this](int ms) {
        viewport()->repaint();
        if (ms > 0) {
            QThread::msleep(static_cast<unsigned long>(ms));
        }
    });
    if (!m_sheet.popupMode() && m_services.environment.bus != nullptr) {
        m_services.environment.bus->subscribe(this);
        m_subscribed = true;
    }
    updateColours();
}

SheetGrid::~SheetGrid() {
    if (m_subscribed) {
        m_services.environment.bus->unsubscribe(this);
    }
    closePopups();
}

void SheetGrid::updateColours() {
    const SheetLook& look = *m_services.look;
    m_colours = SheetColours::compute(look.systemValue(0x08), look.systemValue(0x05),
                                      look.systemValue(0x0F));
}

LayoutState SheetGrid::layoutState() const {
    LayoutState state;
    state.viewWidth = viewport()->width();
    state.viewHeight = viewport()->height();
    state.focused = hasFocus() || (m_editor != nullptr && m_editor->hasFocus());
    state.colours = m_colours;
    return state;
}

void SheetGrid::sheetChanged() {
    m_menuStale = true;
    refreshPopupMenu();
    updateScrollBars();
    viewport()->update();
}

std::optional<QRect> SheetGrid::cellRect(int column, int row) const {
    const auto r = m_layout.cellRect(column, row);
    if (!r) {
        return std::nullopt;
    }
    return toQRect(*r);
}

QMenu* SheetGrid::popupMenu() const {
    return m_menu;
}

cuiFlector* SheetGrid::openFlector() const {
    return m_flector;
}

MaskedEntryPopup* SheetGrid::openMaskedEntry() const {
    return m_masked;
}

// ---- painting -------------------------------------------------------------------------------

void SheetGrid::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(viewport());
    const SheetLook& look = *m_services.look;
    p.fillRect(viewport()->rect(), look.colour(m_sheet.basicCell().color));
    if (m_sheet.columnCount() == 0) {
        return;
    }
    const LayoutState state = layoutState();
    for (const DrawnCell& cell : m_layout.visibleCells(state)) {
        const QRect clip = toQRect(cell.clip);
        p.setClipRect(clip);
        paintCellBody(p, look, cell);
        if (cell.mark != 0) {
            const QIcon icon = style()->standardIcon(cell.mark == 5 ? QStyle::SP_MessageBoxCritical
                                                                    : QStyle::SP_MessageBoxWarning);
            icon.paint(&p, toQRect(cell.markRect));
        }
    }
}

void SheetGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void SheetGrid::updateScrollBars() {
    if (m_sheet.columnCount() == 0) {
        return;
    }
    const int w = viewport()->width();
    const int h = viewport()->height();
    const int maxTop = m_layout.maxTopRow(h);
    const int maxLeft = m_layout.maxLeftColumn(w);
    m_sheet.setTopRow(std::min(m_sheet.topRow(), maxTop));
    m_sheet.setLeftColumn(std::min(m_sheet.leftColumn(), maxLeft));
    QScrollBar* v = verticalScrollBar();
    QScrollBar* hz = horizontalScrollBar();
    const QSignalBlocker blockV(v);
    const QSignalBlocker blockH(hz);
    v->setRange(0, maxTop - m_sheet.fixedRows());
    v->setPageStep(m_layout.visibleRows(h));
    v->setValue(m_sheet.topRow() - m_sheet.fixedRows());
    hz->setRange(0, maxLeft - m_sheet.fixedColumns());
    hz->setPageStep(m_layout.visibleColumns(w));
    hz->setValue(m_sheet.leftColumn() - m_sheet.fixedColumns());
}

void SheetGrid::scrollContentsBy(int /*dx*/, int /*dy*/) {
    commitEditor();
    m_sheet.setTopRow(m_sheet.fixedRows() + verticalScrollBar()->value());
    m_sheet.setLeftColumn(m_sheet.fixedColumns() + horizontalScrollBar()->value());
    viewport()->update();
}

// ---- keys -----------------------------------------------------------------------------------

void SheetGrid::keyPressEvent(QKeyEvent* event) {
    const int oldColumn = m_sheet.currentColumn();
    const int oldRow = m_sheet.currentRow();
    const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
    const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
    const int key = event->key();
    if (m_sheet.popupMode() && key == Qt::Key_Escape) {
        emit cancelled();
        return;
    }
    if (runMenuShortcut(*event)) {
        return;
    }
    if (const auto k = sheetKey(key)) {
        handle(m_sheet.key(*k, shift, ctrl));
        afterMove(oldColumn, oldRow);
        return;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) {
        handle(m_sheet.key(cuiSheet::Key::F1, shift, ctrl, key - Qt::Key_F1 + 1));
        afterMove(oldColumn, oldRow);
        return;
    }
    char code = 0;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        code = 13;
    } else if (key == Qt::Key_Backspace) {
        code = 8;
    } else if (key == Qt::Key_Escape) {
        code = 27;
    } else if (!event->text().isEmpty() && event->text().front().isPrint()) {
        const std::string bytes = m_services.look->codec().fromQString(event->text().left(1));
        code = bytes.empty() ? 0 : bytes.front();
    }
    if (code == 0 || ctrl) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    handle(m_sheet.typeChar(code));
    afterMove(oldColumn, oldRow);
}

bool SheetGrid::focusNextPrevChild(bool next) {
    // Tab leaves the grid; the editor keeps its own focus rules.
    return QAbstractScrollArea::focusNextPrevChild(next);
}

void SheetGrid::handle(const cuiSheet::Activation& done) {
    if (done.picked) {
        emit picked();
        return;
    }
    if (done.openEditor) {
        openEditor(done.text, done.selectionStart, done.selectionLength);
    }
    viewport()->update();
}

void SheetGrid::afterMove(int oldColumn, int oldRow) {
    if (m_sheet.columnCount() == 0) {
        return;
    }
    m_layout.scrollToCurrent(viewport()->width(), viewport()->height());
    updateScrollBars();
    if (oldColumn != m_sheet.currentColumn() || oldRow != m_sheet.currentRow()) {
        refreshPopupMenu();
        emit currentCellChanged();
        if (QAccessible::isActive()) {
            QAccessibleEvent focus(this, QAccessible::Focus);
            focus.setChild(m_sheet.currentRow() * m_sheet.columnCount() + m_sheet.currentColumn());
            QAccessible::updateAccessibility(&focus);
        }
    }
    viewport()->update();
}

void SheetGrid::refreshPopupMenu() {
    if (m_sheet.popupMode() || m_sheet.columnCount() == 0) {
        return;
    }
    if (!m_sheet.popupMenuChanged() && !m_menuStale) {
        return;
    }
    m_menuStale = false;
    m_menuActions.clear();
    if (m_menu) {
        // Later: this may run inside a click on one of its items.
        m_menu->deleteLater();
        m_menu = nullptr;
    }
    m_menuModel.reset();
    const std::string& name = m_sheet.popupMenuName();
    if (name.empty()) {
        return;
    }
    const SheetEnvironment& env = m_sheet.environment();
    m_menuModel = std::make_unique<cuiMenu>(
        *env.text, [this](cmcCellCapsule& query) { return m_sheet.queryMenuItem(query); },
        env.shiftJis, env.japaneseSystem);
    m_menuModel->build(name);
    m_menu = new QMenu(this);
    // The shortcuts show beside the items; the grid's keys run them while the menu is closed.
    addMenuActions(
        m_menu, m_menuModel->root(), m_services.look->codec(), Qt::WidgetShortcut,
        [this](cuiItem& item) { runMenuItem(item); }, m_menuActions);
}

void SheetGrid::runMenuItem(const cuiItem& item) {
    const int oldColumn = m_sheet.currentColumn();
    const int oldRow = m_sheet.currentRow();
    handle(m_sheet.activate(0, &item.cell));
    afterMove(oldColumn, oldRow);
}

bool SheetGrid::runMenuShortcut(const QKeyEvent& event) {
    if (m_sheet.popupMode() || event.modifiers() == Qt::NoModifier) {
        return false;
    }
    refreshPopupMenu();
    const QKeySequence pressed(QKeyCombination(event.modifiers() & ~Qt::KeypadModifier,
                                               static_cast<Qt::Key>(event.key())));
    for (const MenuAction& entry : m_menuActions) {
        if (entry.action->isEnabled() && entry.action->shortcuts().contains(pressed)) {
            runMenuItem(*entry.item);
            return true;
        }
    }
    return false;
}

// ---- mouse ----------------------------------------------------------------------------------

void SheetGrid::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const int oldColumn = m_sheet.currentColumn();
    const int oldRow = m_sheet.currentRow();
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::LeftButton) {
        if (m_sheet.columnSizing() && !m_sheet.popupMode()) {
            if (const auto edge = m_layout.columnEdgeAt(pos.x(), pos.y())) {
                commitEditor();
                m_dragColumn = *edge;
                m_dragStartX = pos.x();
                m_dragStartWidth = m_sheet.columnWidth(*edge);
                return;
            }
        }
        if (const auto cell = m_layout.cellAt(pos.x(), pos.y())) {
            commitEditor();
            m_sheet.leftDown(cell->first, cell->second,
                             (event->modifiers() & Qt::ShiftModifier) != 0);
        } else {
            m_sheet.setMouseDown(true);
        }
        afterMove(oldColumn, oldRow);
        return;
    }
    if (event->button() == Qt::RightButton) {
        commitEditor();
        const auto cell = m_layout.cellAt(pos.x(), pos.y());
        const bool open =
            cell ? m_sheet.rightClick(cell->first, cell->second) : m_sheet.rangeActive();
        afterMove(oldColumn, oldRow);
        if (open && !m_sheet.popupMode()) {
            showPopupMenu(event->globalPosition().toPoint());
        }
    }
}

void SheetGrid::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (m_dragColumn >= 0) {
        m_sheet.setColumnWidth(m_dragColumn,
                               std::max(0, m_dragStartWidth + pos.x() - m_dragStartX));
        updateScrollBars();
        viewport()->update();
        return;
    }
    if (m_sheet.columnSizing() && !m_sheet.popupMode()) {
        viewport()->setCursor(m_layout.columnEdgeAt(pos.x(), pos.y()) ? Qt::SplitHCursor
                                                                      : Qt::ArrowCursor);
    }
    const auto cell = m_layout.cellAt(pos.x(), pos.y());
    if (!cell) {
        return;
    }
    const int oldColumn = m_sheet.currentColumn();
    const int oldRow = m_sheet.currentRow();
    if (m_sheet.popupMode()) {
        m_sheet.hover(cell->first, cell->second);
    } else if ((event->buttons() & Qt::LeftButton) != 0 && m_sheet.mouseDown()) {
        // Dragging with the button down extends the selection.
        if (const auto owner = m_sheet.owningCell(cell->first, cell->second)) {
            m_sheet.select(owner->first, owner->second, true);
        }
    }
    if (oldColumn != m_sheet.currentColumn() || oldRow != m_sheet.currentRow()) {
        afterMove(oldColumn, oldRow);
    }
}

void SheetGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (m_dragColumn >= 0) {
        const int column = m_dragColumn;
        m_dragColumn = -1;
        m_sheet.endColumnDrag(column, m_sheet.columnWidth(column));
        updateScrollBars();
        viewport()->update();
        return;
    }
    handle(m_sheet.leftUp());
}

void SheetGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() != Qt::LeftButton) {
        return;
    }
    m_dragColumn = -1;
    if (m_sheet.columnSizing() && !m_sheet.popupMode() && pos.y() < m_layout.fixedHeight()) {
        const auto target =
            m_sheet.autoFitTarget(pos.x(), [this](int c) { return m_layout.columnLeft(c); });
        if (target) {
            m_sheet.autoFitColumn(*target, [this](int c, int r) {
                return m_sheet.appearance(c, r, {}, false, false).text;
            });
            m_sheet.endColumnDrag(*target, m_sheet.columnWidth(*target));
            updateScrollBars();
            viewport()->update();
            return;
        }
    }
    if (const auto cell = m_layout.cellAt(pos.x(), pos.y())) {
        handle(m_sheet.doubleClick(cell->first, cell->second));
    }
}

void SheetGrid::showPopupMenu(const QPoint& at) {
    refreshPopupMenu();
    if (!m_menuModel || !m_menu) {
        return;
    }
    m_menuModel->setContextCell(&m_sheet.cell(m_sheet.currentColumn(), m_sheet.currentRow()));
    m_menuModel->refreshStates();
    showMenuStates(m_menuActions, m_services.look->codec());
    m_menu->popup(at);
}

// ---- focus and events -----------------------------------------------------------------------

void SheetGrid::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    refreshPopupMenu();
    viewport()->update();
}

void SheetGrid::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

bool SheetGrid::event(QEvent* event) {
    if (event->type() == QEvent::PaletteChange ||
        event->type() == QEvent::ApplicationPaletteChange) {
        m_services.look->setPalette(QApplication::palette());
        updateColours();
    }
    return QAbstractScrollArea::event(event);
}

void SheetGrid::onMessage(const EvMessage& message, cmcEvMan& /*bus*/) {
    // An entry still in the editor belongs to the document before any command touches it.
    if (message.id == MessageId::DocumentWillChange) {
        commitEditor();
    }
}

// ---- in-place editor ------------------------------------------------------------------------

bool SheetGrid::editorVisible() const {
    // Open even while the window is not on screen yet: its entry must still be committed.
    return m_editor != nullptr && !m_editor->isHidden();
}

void SheetGrid::openEditor(const std::string& text, int selectionStart, int selectionLength) {
    if (m_editor == nullptr) {
        m_editor = new InPlaceEditor(viewport());
        connect(m_editor, &InPlaceEditor::commitRequested, this, [this] { commitEditor(); });
        connect(m_editor, &InPlaceEditor::cancelRequested, this, [this] { cancelEditor(); });
        connect(m_editor, &InPlaceEditor::focusLost, this, [this] {
            if (!m_committing) {
                commitEditor();
            }
        });
        connect(m_editor, &InPlaceEditor::commitAndKey, this,
                [this](int key, Qt::KeyboardModifiers modifiers) {
                    commitEditor();
                    setFocus();
                    QKeyEvent again(QEvent::KeyPress, key, modifiers);
                    keyPressEvent(&again);
                });
    }
    const int column = m_sheet.currentColumn();
    const int row = m_sheet.currentRow();
    m_layout.scrollToCurrent(viewport()->width(), viewport()->height());
    updateScrollBars();
    const auto rect = m_layout.cellRect(column, row);
    if (!rect) {
        return;
    }
    const cmcCellObj& cell = m_sheet.cell(column, row);
    const cmcFont fallback;
    const cmcFont& cellFont = cell.effectiveFont() != nullptr ? *cell.effectiveFont() : fallback;
    const QFont font = m_services.look->font(cellFont);
    const CodePageText& codec = m_services.look->codec();
    m_editor->setFont(font);
    m_editor->setMultiLine(cell.wrap);
    const int lineHeight = QFontMetrics(font).height();
    const CellRect place = editorRect(cell, *rect, lineHeight);
    m_editor->setGeometry(toQRect(place));
    QString shown = codec.toQString(text);
    int extra = 0;
    if (cell.wrap) {
        const int width = place.right - place.left;
        const SheetLook* look = m_services.look;
        m_editor->rewrap = [look, cellFont, width, &codec](const QString& t) {
            const auto lines = cmcCellLayout::wrapText(*look, cellFont, codec.fromQString(t),
                                                       width - width * 10 / 100);
            QStringList out;
            for (const std::string& l : lines) {
                out << codec.toQString(l);
            }
            return out.join(QLatin1Char('\n'));
        };
        shown = m_editor->rewrap(shown);
        // The selection grows by the line breaks the wrap put in.
        extra = static_cast<int>(shown.count(QLatin1Char('\n')));
    } else {
        m_editor->rewrap = nullptr;
    }
    {
        const QSignalBlocker block(m_editor);
        m_editor->setPlainText(shown.left(InPlaceEditor::kMaxLength));
    }
    QTextCursor cursor = m_editor->textCursor();
    const int length = static_cast<int>(m_editor->toPlainText().size());
    cursor.setPosition(std::clamp(selectionStart, 0, length));
    cursor.setPosition(std::clamp(selectionStart + selectionLength + extra, 0, length),
                       QTextCursor::KeepAnchor);
    m_editor->setTextCursor(cursor);
    m_editorColumn = column;
    m_editorRow = row;
    m_sheet.setEditorOpen(true);
    m_editor->show();
    m_editor->setFocus();
    viewport()->update();
}

void SheetGrid::cancelEditor() {
    if (!editorVisible()) {
        return;
    }
    m_committing = true;
    m_editor->hide();
    m_sheet.setEditorOpen(false);
    m_committing = false;
    setFocus();
    viewport()->update();
}

bool SheetGrid::commitEditor() {
    if (!editorVisible() || m_committing) {
        return false;
    }
    m_committing = true;
    const std::string text =
        joinedEditorText(m_services.look->codec().fromQString(m_editor->toPlainText()));
    const bool focused = m_editor->hasFocus();
    m_editor->hide();
    m_sheet.setEditorOpen(false);
    if (focused) {
        setFocus();
    }
    // The entry belongs to the cell it was opened on.
    if (m_editorColumn != m_sheet.currentColumn() || m_editorRow != m_sheet.currentRow()) {
        m_sheet.select(m_editorColumn, m_editorRow);
    }
    const cuiSheet::Activation done = m_sheet.activate(0, nullptr, kOpCommit, text);
    m_committing = false;
    handle(done);
    return true;
}

// ---- popups ---------------------------------------------------------------------------------

ScreenRect SheetGrid::workArea() const {
    if (m_services.workArea) {
        return m_services.workArea();
    }
    const QScreen* screen =
        this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    const QRect r = screen->availableGeometry();
    return {r.x(), r.y(), r.width(), r.height()};
}

ScreenRect SheetGrid::cellOnScreen(int column, int row) const {
    const auto rect = m_layout.cellRect(column, row);
    if (!rect) {
        return {};
    }
    const QPoint topLeft = viewport()->mapToGlobal(QPoint(rect->left, rect->top));
    return {topLeft.x(), topLeft.y(), rect->right - rect->left, rect->bottom - rect->top};
}

void SheetGrid::closePopups() {
    if (m_flector) {
        m_flector->close();
    }
    if (m_masked) {
        m_masked->close();
    }
}

bool SheetGrid::openList(const cmcCellCapsule& request, const std::string& listKey,
                         std::int32_t itemLink, std::int32_t value) {
    closePopups();
    m_layout.scrollToCurrent(viewport()->width(), viewport()->height());
    updateScrollBars();
    QWidget* owner = m_services.popupOwner != nullptr ? m_services.popupOwner : window();
    m_flector = new cuiFlector(m_services, request, listKey, itemLink, value, owner);
    connect(m_flector, &cuiFlector::closedAfterPick, this, [this] { viewport()->update(); });
    connect(m_flector, &QObject::destroyed, this, [this] {
        if (isVisible()) {
            window()->activateWindow();
            setFocus();
        }
        viewport()->update();
    });
    m_flector->popup(cellOnScreen(m_sheet.currentColumn(), m_sheet.currentRow()), workArea());
    return true;
}

bool SheetGrid::openMasked(const cmcCellCapsule& request, MaskedEntryKind kind,
                           const std::string& text, std::int32_t typedKey) {
    closePopups();
    m_layout.scrollToCurrent(viewport()->width(), viewport()->height());
    updateScrollBars();
    TextLines& lines = *m_sheet.environment().text;
    cmcFont dialogFont;
    dialogFont.face = m_sheet.parser().defaultFace();
    m_sheet.parser().applyFontSpec(dialogFont, lines.line("CellModel_BasicDialog", 0));
    const CodePageText& codec = m_services.look->codec();
    const QString ok = codec.toQString(lines.line("GI_AppInd_Button_OkCancel", 0));
    const QString cancel = codec.toQString(lines.line("GI_AppInd_Button_OkCancel", 1));
    const int buttonWidth = m_services.look->textWidth(
                                dialogFont, lines.line("GI_AppInd_Opt_ComSel_SizeOfButtons", 0)) +
                            16;
    QWidget* owner = m_services.popupOwner != nullptr ? m_services.popupOwner : window();
    m_masked = new MaskedEntryPopup(m_services, request, kind, text, typedKey, dialogFont, ok,
                                    cancel, buttonWidth, owner);
    connect(m_masked, &QObject::destroyed, this, [this] {
        if (isVisible()) {
            window()->activateWindow();
            setFocus();
        }
        viewport()->update();
    });
    m_masked->popup(cellOnScreen(m_sheet.currentColumn(), m_sheet.currentRow()), workArea());
    return true;
}

} // namespace qx
