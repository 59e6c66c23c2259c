#include "port_number_dialog.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qx {

PortNumberDialog::PortNumberDialog(const Texts& texts, const QFont& font, const QString& text,
                                   QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(texts.caption);
    setFont(font);
    const QFontMetrics metrics(font);

    auto* notice = new QLabel(texts.notice, this);
    m_edit = new QLineEdit(text, this);
    // As high as "255WWWW" in the dialog font, plus the frame; wide enough for a device path.
    const QSize textSize = metrics.size(Qt::TextSingleLine, QStringLiteral("255WWWW"));
    const int pathWidth = metrics.horizontalAdvance(QString(44, QLatin1Char('x')));
    m_edit->setFixedSize(std::max(textSize.width(), pathWidth) + 8,
                         std::max(textSize.height() + 6, m_edit->sizeHint().height()));
    m_ok = new QPushButton(texts.ok, this);
    m_cancel = new QPushButton(texts.cancel, this);
    const QSize buttonSize(metrics.horizontalAdvance(texts.sizeOfButtons), 2 * metrics.height());
    for (QPushButton* button : {m_ok, m_cancel}) {
        button->setFixedSize(buttonSize.expandedTo(QSize(0, button->minimumSizeHint().height())));
    }
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(notice);
    layout->addWidget(m_edit);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_edit->selectAll();
    m_edit->setFocus();
}

} // namespace qx
