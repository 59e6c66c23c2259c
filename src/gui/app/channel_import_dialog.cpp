#include "channel_import_dialog.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace qx {

ChannelImportDialog::ChannelImportDialog(const Texts& texts, const QFont& font, bool hasLocation,
                                         int from, int lastChannel, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(texts.caption);
    setFont(font);
    m_location = new QRadioButton(texts.atLocation, this);
    m_append = new QRadioButton(texts.append, this);
    m_from = new QSpinBox(this);
    m_from->setRange(0, lastChannel);
    m_from->setValue(std::clamp(from, 0, lastChannel));
    m_location->setEnabled(hasLocation);
    (hasLocation ? m_location : m_append)->setChecked(true);
    m_from->setEnabled(!hasLocation);
    connect(m_append, &QRadioButton::toggled, m_from, &QSpinBox::setEnabled);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(texts.ok, QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(texts.cancel, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* appendRow = new QHBoxLayout;
    appendRow->addWidget(m_append);
    appendRow->addWidget(m_from);
    appendRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_location);
    layout->addLayout(appendRow);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    (hasLocation ? static_cast<QWidget*>(m_location) : m_from)->setFocus();
}

std::optional<int> ChannelImportDialog::appendFrom() const {
    if (m_append->isChecked()) {
        return m_from->value();
    }
    return std::nullopt;
}

} // namespace qx
