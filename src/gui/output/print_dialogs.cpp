#include "output/print_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace qx {

PrintAllDialog::PrintAllDialog(QWidget* owner, const UiText& text, bool bankPreset)
    : QDialog(owner) {
    constexpr std::string_view caption = "GI_AppInd_Print_All_Setting_Caption";
    constexpr std::string_view buttons = "GI_AppInd_Print_All_Setting_Buttons";
    setWindowTitle(text(caption, 0));
    auto* group = new QGroupBox(text(caption, 1), this);
    m_all = new QCheckBox(text(caption, 2), group);
    m_bank = new QCheckBox(text(caption, 3), group);
    m_all->setChecked(!bankPreset);
    m_bank->setChecked(bankPreset);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_all);
    groupLayout->addWidget(m_bank);
    auto* box = new QDialogButtonBox(this);
    QPushButton* ok = box->addButton(text(buttons, 0), QDialogButtonBox::AcceptRole);
    box->addButton(text(buttons, 1), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(box);
}

bool PrintAllDialog::memoryBlocks() const {
    return m_all->isChecked();
}

bool PrintAllDialog::banks() const {
    return m_bank->isChecked();
}

PrintingDialog::PrintingDialog(QWidget* owner, const UiText& text, std::function<void()> cancel)
    : QDialog(owner) {
    constexpr std::string_view key = "GI_Sys_Printer_PrintingDialog";
    setWindowTitle(text(key, 0));
    auto* label = new QLabel(text(key, 1), this);
    m_cancel = new QPushButton(text(key, 2), this);
    connect(m_cancel, &QPushButton::clicked, this, [cancel = std::move(cancel)] { cancel(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label, 0, Qt::AlignCenter);
    layout->addWidget(m_cancel, 0, Qt::AlignCenter);
}

PreviewSettingDialog::PreviewSettingDialog(QWidget* owner, const UiText& text, int fontPoints)
    : QDialog(owner) {
    constexpr std::string_view key = "GI_AppInd_Preview_Setting_Caption";
    setWindowTitle(text(key, 0));
    auto* label = new QLabel(text(key, 1), this);
    m_choices = new QComboBox(this);
    for (int n = 1; n <= 5; ++n) {
        m_choices->addItem(QString::number(n));
    }
    m_choices->setCurrentIndex(std::clamp(fontPoints - 8, 0, 4));
    label->setBuddy(m_choices);
    auto* box = new QDialogButtonBox(this);
    box->addButton(text("GI_AppInd_Button_OkCancel", 0), QDialogButtonBox::AcceptRole)
        ->setDefault(true);
    box->addButton(text("GI_AppInd_Button_OkCancel", 1), QDialogButtonBox::RejectRole);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_choices);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(box);
}

int PreviewSettingDialog::fontPoints() const {
    return 8 + m_choices->currentIndex();
}

} // namespace qx
