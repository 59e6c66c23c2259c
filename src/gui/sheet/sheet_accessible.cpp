#include "sheet_accessible.h"

#include "app/code_page_text.h"
#include "sheet/sheet.h"
#include "sheet_grid.h"
#include "sheet_look.h"

#include <QAccessibleWidget>
#include <QPointer>

namespace qx {

namespace {

class SheetCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    SheetCellAccessible(SheetGrid* grid, int column, int row)
        : m_grid(grid), m_column(column), m_row(row) {}

    bool isValid() const override {
        return !m_grid.isNull() && m_column < m_grid->sheet().columnCount() &&
               m_row < m_grid->sheet().rowCount();
    }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_grid.data());
    }
    QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface* /*child*/) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        if (!isValid() || (t != QAccessible::Name && t != QAccessible::Value)) {
            return {};
        }
        cuiSheet& sheet = m_grid->sheet();
        return m_grid->look().codec().toQString(
            sheet.appearance(m_column, m_row, {}, false, false).text);
    }
    void setText(QAccessible::Text /*t*/, const QString& /*text*/) override {}
    QRect rect() const override {
        if (!isValid()) {
            return {};
        }
        const auto r = m_grid->cellRect(m_column, m_row);
        if (!r) {
            return {};
        }
        return QRect(m_grid->viewport()->mapToGlobal(r->topLeft()), r->size());
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        cuiSheet& sheet = m_grid->sheet();
        s.selectable = sheet.cell(m_column, m_row).selectable;
        s.selected = sheet.drawnSelected(m_column, m_row);
        s.focusable = s.selectable;
        s.focused = sheet.currentColumn() == m_column && sheet.currentRow() == m_row;
        s.invisible = !m_grid->cellRect(m_column, m_row).has_value();
        s.readOnly = !s.selectable;
        return s;
    }
    QAccessibleInterface* childAt(int /*x*/, int /*y*/) const override { return nullptr; }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TableCellInterface
                   ? static_cast<QAccessibleTableCellInterface*>(this)
                   : nullptr;
    }

    // Table cell.
    int columnExtent() const override { return 1; }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_column; }
    int rowExtent() const override { return 1; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int rowIndex() const override { return m_row; }
    bool isSelected() const override { return state().selected; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    QPointer<SheetGrid> m_grid;
    int m_column;
    int m_row;
};

class SheetGridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit SheetGridAccessible(SheetGrid* grid) : QAccessibleWidget(grid, QAccessible::Table) {}

    SheetGrid* grid() const { return static_cast<SheetGrid*>(widget()); }

    int childCount() const override { return cellCount(); }
    QAccessibleInterface* child(int index) const override {
        const int columns = columnCount();
        if (columns == 0 || index < 0 || index >= cellCount()) {
            return nullptr;
        }
        return cellAt(index / columns, index % columns);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* cell = dynamic_cast<const SheetCellAccessible*>(child);
        return cell == nullptr ? -1 : cell->rowIndex() * columnCount() + cell->columnIndex();
    }
    QAccessibleInterface* focusChild() const override {
        const cuiSheet& sheet = grid()->sheet();
        return cellAt(sheet.currentRow(), sheet.currentColumn());
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableInterface) {
            return static_cast<QAccessibleTableInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) {
            return grid()->look().codec().toQString(grid()->sheet().titleText()).trimmed();
        }
        return QAccessibleWidget::text(t);
    }

    // Table.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        const cuiSheet& sheet = grid()->sheet();
        if (row < 0 || column < 0 || row >= sheet.rowCount() || column >= sheet.columnCount()) {
            return nullptr;
        }
        const int id = row * sheet.columnCount() + column;
        auto& cache = m_cells;
        if (auto found = cache.find(id); found != cache.end()) {
            return QAccessible::accessibleInterface(*found);
        }
        auto* cell = new SheetCellAccessible(grid(), column, row);
        const QAccessible::Id key = QAccessible::registerAccessibleInterface(cell);
        cache.insert(id, key);
        return cell;
    }
    QString columnDescription(int /*column*/) const override { return {}; }
    QString rowDescription(int /*row*/) const override { return {}; }
    int columnCount() const override { return grid()->sheet().columnCount(); }
    int rowCount() const override { return grid()->sheet().rowCount(); }
    int selectedCellCount() const override { return static_cast<int>(selectedCells().size()); }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return static_cast<int>(selectedRows().size()); }
    QList<QAccessibleInterface*> selectedCells() const override {
        QList<QAccessibleInterface*> out;
        const cuiSheet& sheet = grid()->sheet();
        for (int r = 0; r < sheet.rowCount(); ++r) {
            for (int c = 0; c < sheet.columnCount(); ++c) {
                if (sheet.cell(c, r).selectable && sheet.drawnSelected(c, r)) {
                    out << cellAt(r, c);
                }
            }
        }
        return out;
    }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override {
        QList<int> out;
        for (QAccessibleInterface* cell : selectedCells()) {
            const int row = cell->tableCellInterface()->rowIndex();
            if (!out.contains(row)) {
                out << row;
            }
        }
        return out;
    }
    bool isColumnSelected(int /*column*/) const override { return false; }
    bool isRowSelected(int row) const override { return selectedRows().contains(row); }
    bool selectRow(int /*row*/) override { return false; }
    bool selectColumn(int /*column*/) override { return false; }
    bool unselectRow(int /*row*/) override { return false; }
    bool unselectColumn(int /*column*/) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* /*event*/) override { clearCells(); }

    ~SheetGridAccessible() override { clearCells(); }

private:
    void clearCells() {
        for (const QAccessible::Id id : std::as_const(m_cells)) {
            QAccessible::deleteAccessibleInterface(id);
        }
        m_cells.clear();
    }
    int cellCount() const { return columnCount() * rowCount(); }
    mutable QHash<int, QAccessible::Id> m_cells;
};

} // namespace

QAccessibleInterface* sheetAccessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("qx::SheetGrid") && object != nullptr &&
        object->isWidgetType()) {
        return new SheetGridAccessible(static_cast<SheetGrid*>(object));
    }
    return nullptr;
}

void installSheetAccessibility() {
    static bool installed = false;
    if (!installed) {
        QAccessible::installFactory(&sheetAccessibleFactory);
        installed = true;
    }
}

} // namespace qx
