#include "flector.h"

#include "sheet/cell_editors.h"
#include "sheet/sheet.h"
#include "sheet/sheet_catalogue.h"
#include "sheet_grid.h"
#include "sheet_widget.h"

#include <QKeyEvent>
#include <QVBoxLayout>

namespace qx {

cuiFlector::cuiFlector(const SheetServices& services, const cmcCellCapsule& origin,
                       const std::string& listKey, std::int32_t itemLink, std::int32_t value,
                       QWidget* owner)
    : QFrame(owner, Qt::Popup | Qt::FramelessWindowHint), m_bus(services.environment.bus),
      m_origin(origin) {
    setAttribute(Qt::WA_DeleteOnClose);
    m_origin.origin = nullptr;
    m_sheet = createListSheet(services.environment, listKey, m_origin, itemLink, value);
    m_sheet->setDispatcher(services.dispatch);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_widget = new SheetWidget(*m_sheet, services, this);
    layout->addWidget(m_widget);
    connect(&m_widget->grid(), &SheetGrid::picked, this, [this] {
        m_picked = true;
        emit closedAfterPick();
        close();
    });
    connect(&m_widget->grid(), &SheetGrid::cancelled, this, &QWidget::close);
    if (m_bus != nullptr) {
        m_bus->subscribe(this);
    }
}

cuiFlector::~cuiFlector() {
    delete m_widget; // the grid goes before the sheet it draws
    if (m_bus != nullptr) {
        m_bus->unsubscribe(this);
    }
}

void cuiFlector::popup(const ScreenRect& cellOnScreen, const ScreenRect& workArea) {
    const QSize size = m_widget->contentSize();
    const PopupPlacement place = placePopup(cellOnScreen, size.width(), size.height(), workArea);
    m_sheet->setPopupMode(true, place.scrollBars);
    m_widget->grid().setHorizontalScrollBarPolicy(place.scrollBars ? Qt::ScrollBarAsNeeded
                                                                   : Qt::ScrollBarAlwaysOff);
    m_widget->grid().setVerticalScrollBarPolicy(place.scrollBars ? Qt::ScrollBarAsNeeded
                                                                 : Qt::ScrollBarAlwaysOff);
    setGeometry(place.bounds.left, place.bounds.top, place.bounds.width, place.bounds.height);
    show();
    m_widget->grid().setFocus();
    m_widget->grid().sheetChanged();
}

void cuiFlector::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QFrame::keyPressEvent(event);
}

void cuiFlector::hideEvent(QHideEvent* event) {
    // Hidden in any way (a pick, Esc, another window activated) is closed.
    QFrame::hideEvent(event);
    close();
}

void cuiFlector::onMessage(const EvMessage& message, cmcEvMan& /*bus*/) {
    if (message.id == MessageId::DocumentWillChange) {
        close();
    }
}

} // namespace qx
