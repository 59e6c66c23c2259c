#include "sheet_widget.h"

#include "app/code_page_text.h"
#include "sheet/sheet.h"
#include "sheet_grid.h"
#include "sheet_look.h"

#include <QFontMetrics>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

namespace qx {

SheetWidget::SheetWidget(cuiSheet& sheet, SheetServices services, QWidget* parent)
    : QFrame(parent), m_sheet(sheet), m_services(std::move(services)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    m_captionPanel = new QFrame(this);
    m_captionPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_captionPanel->setLineWidth(2);
    m_captionPanel->setAutoFillBackground(true);
    auto* captionRow = new QVBoxLayout(m_captionPanel);
    captionRow->setContentsMargins(2, 0, 2, 0);
    m_caption = new QLabel(m_captionPanel);
    m_caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    captionRow->addWidget(m_caption);
    column->addWidget(m_captionPanel);

    m_body = new QFrame(this);
    if (sheet.popupMode()) {
        m_body->setFrameStyle(QFrame::Panel | QFrame::Raised);
        m_body->setLineWidth(1);
        m_body->setContentsMargins(2, 2, 2, 2);
    } else {
        m_body->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        m_body->setLineWidth(2);
    }
    auto* bodyLayout = new QVBoxLayout(m_body);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    m_grid = new SheetGrid(sheet, m_services, m_body);
    bodyLayout->addWidget(m_grid);
    column->addWidget(m_body, 1);
    setFocusProxy(m_grid);
    sheetChanged();
}

void SheetWidget::sheetChanged() {
    SheetLook& look = *m_services.look;
    const std::string& title = m_sheet.titleText();
    m_captionPanel->setVisible(!title.empty());
    if (!title.empty()) {
        QFont font = m_sheet.titleFont() ? look.font(*m_sheet.titleFont()) : this->font();
        m_caption->setFont(font);
        m_caption->setText(look.codec().toQString(title));
        QPalette p = m_captionPanel->palette();
        p.setColor(QPalette::Window, look.colour(m_sheet.titleColor()));
        if (m_sheet.titleFont()) {
            p.setColor(QPalette::WindowText, look.colour(m_sheet.titleFont()->color));
        }
        m_captionPanel->setPalette(p);
        m_caption->setPalette(p);
        m_captionPanel->setFixedHeight(QFontMetrics(font).height() +
                                       2 * m_captionPanel->frameWidth() + 8);
    }
    m_grid->sheetChanged();
}

QSize SheetWidget::contentSize() const {
    const int frame = 2 * (m_body->frameWidth() + m_body->contentsMargins().left());
    int height = m_sheet.contentHeight() + frame;
    if (m_captionPanel->isVisibleTo(this)) {
        height += m_captionPanel->height();
    }
    return {m_sheet.contentWidth() + frame, height};
}

} // namespace qx
