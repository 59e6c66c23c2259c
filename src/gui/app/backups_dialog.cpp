#include "backups_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace qx {

BackupsDialog::BackupsDialog(const Texts& texts, const QFont& font,
                             const std::vector<QStringList>& rows, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(texts.caption);
    setFont(font);
    m_list = new QTreeWidget(this);
    m_list->setRootIsDecorated(false);
    m_list->setAllColumnsShowFocus(true);
    m_list->setHeaderLabels(texts.columns);
    for (const QStringList& row : rows) {
        auto* item = new QTreeWidgetItem(m_list, row);
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    }
    if (m_list->topLevelItemCount() > 0) {
        m_list->setCurrentItem(m_list->topLevelItem(0));
    }
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto* buttons = new QDialogButtonBox(this);
    m_open = buttons->addButton(texts.open, QDialogButtonBox::AcceptRole);
    buttons->addButton(texts.cancel, QDialogButtonBox::RejectRole);
    m_open->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QTreeWidget::itemActivated, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(640, 360);
}

int BackupsDialog::chosenRow() const {
    QTreeWidgetItem* item = m_list->currentItem();
    return item != nullptr ? m_list->indexOfTopLevelItem(item) : -1;
}

} // namespace qx
