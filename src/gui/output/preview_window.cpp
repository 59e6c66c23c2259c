#include "output/preview_window.h"

#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace qx {

void PreviewPageView::setPage(const QPicture* page, bool ownSize) {
    m_page = page;
    m_ownSize = ownSize;
    if (ownSize && page != nullptr) {
        setFixedSize(page->boundingRect().size());
    } else {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    update();
}

void PreviewPageView::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Dark));
    if (m_page == nullptr) {
        return;
    }
    const QRect page = m_page->boundingRect();
    if (page.isEmpty()) {
        return;
    }
    if (!m_ownSize) {
        // Fitted, in proportion, centred.
        const double scale = std::min(static_cast<double>(width()) / page.width(),
                                      static_cast<double>(height()) / page.height());
        p.translate((width() - page.width() * scale) / 2, (height() - page.height() * scale) / 2);
        p.scale(scale, scale);
    }
    p.fillRect(page, Qt::white);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.drawPicture(0, 0, *m_page);
}

PreviewWindow::PreviewWindow(QWidget* owner, const UiText& text, std::vector<QPicture> pages,
                             int fontPoints, Rebuild rebuild)
    : QDialog(owner), m_text(text), m_pages(std::move(pages)), m_fontPoints(fontPoints),
      m_rebuild(std::move(rebuild)) {
    setWindowTitle(text("GI_Sys_AppTitle", 0));
    auto* bar = new QHBoxLayout;
    for (int i = 0; i < 7; ++i) {
        m_buttons[i] = new QPushButton(text("GI_AppInd_Preview_Caption", i), this);
        m_buttons[i]->setAutoDefault(false);
    }
    zoomButton()->setCheckable(true);
    m_pageBox = new QLineEdit(this);
    m_pageBox->setValidator(new QIntValidator(1, 99999, m_pageBox));
    m_pageBox->setMaximumWidth(m_pageBox->fontMetrics().horizontalAdvance(QStringLiteral("00000")) *
                               2);
    m_pageCount = new QLabel(this);
    for (int i = 0; i < 6; ++i) {
        bar->addWidget(m_buttons[i]);
    }
    bar->addWidget(m_pageBox);
    bar->addWidget(m_pageCount);
    bar->addWidget(zoomButton());
    bar->addStretch();

    m_view = new PreviewPageView;
    m_scroll = new QScrollArea(this);
    m_scroll->setWidget(m_view);
    m_scroll->setWidgetResizable(true);
    m_scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_status = new QLabel(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_scroll, 1);
    layout->addWidget(m_status);

    connect(printButton(), &QPushButton::clicked, this, &QDialog::accept);
    connect(settingButton(), &QPushButton::clicked, this, &PreviewWindow::openSetting);
    connect(topButton(), &QPushButton::clicked, this, [this] { showPage(0); });
    connect(previousButton(), &QPushButton::clicked, this, [this] { showPage(m_current - 1); });
    connect(nextButton(), &QPushButton::clicked, this, [this] { showPage(m_current + 1); });
    connect(lastButton(), &QPushButton::clicked, this, [this] { showPage(pageCount() - 1); });
    connect(zoomButton(), &QPushButton::toggled, this, &PreviewWindow::setZoom);
    connect(m_pageBox, &QLineEdit::returnPressed, this,
            [this] { showPage(m_pageBox->text().toInt() - 1); });
    resize(800, 900);
    showPage(0);
}

void PreviewWindow::showPage(int index) {
    m_current = std::clamp(index, 0, std::max(0, pageCount() - 1));
    const int count = std::max(1, pageCount());
    m_pageBox->setText(QString::number(m_current + 1));
    m_pageCount->setText(QString::asprintf(" / %d", count));
    m_status->setText(QString::asprintf(" %d / %d", m_current + 1, count));
    topButton()->setEnabled(m_current > 0);
    previousButton()->setEnabled(m_current > 0);
    nextButton()->setEnabled(m_current + 1 < pageCount());
    lastButton()->setEnabled(m_current + 1 < pageCount());
    setZoom(zoomButton()->isChecked());
}

void PreviewWindow::setZoom(bool ownSize) {
    m_scroll->setWidgetResizable(!ownSize);
    m_view->setPage(m_pages.empty() ? nullptr : &m_pages[static_cast<std::size_t>(m_current)],
                    ownSize);
    if (!ownSize) {
        m_view->resize(m_scroll->viewport()->size());
    }
}

void PreviewWindow::openSetting() {
    PreviewSettingDialog dialog(this, m_text, m_fontPoints);
    m_setting = &dialog;
    const int result = dialog.exec();
    m_setting = nullptr;
    if (result != QDialog::Accepted) {
        return;
    }
    m_fontPoints = dialog.fontPoints();
    m_view->setPage(nullptr, false);
    m_pages = m_rebuild(m_fontPoints);
    showPage(m_current);
}

} // namespace qx
