#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <string_view>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace qx {

// Line n of a block of the active text table, as a widget shows it.
using UiText = std::function<QString(std::string_view key, int line)>;

// Which memory channel sheets a print-all job takes: the blocks of 100 or the bank lists.
class PrintAllDialog : public QDialog {
    Q_OBJECT
public:
    PrintAllDialog(QWidget* owner, const UiText& text, bool bankPreset);

    bool memoryBlocks() const;
    bool banks() const;
    QCheckBox* allBox() const { return m_all; }
    QCheckBox* bankBox() const { return m_bank; }

private:
    QCheckBox* m_all;
    QCheckBox* m_bank;
};

// "Now Printing" with a Cancel that aborts the job.
class PrintingDialog : public QDialog {
    Q_OBJECT
public:
    PrintingDialog(QWidget* owner, const UiText& text, std::function<void()> cancel);
    QPushButton* cancelButton() const { return m_cancel; }

private:
    QPushButton* m_cancel;
};

// The font size of the printed sheets: choices 1 to 5 for 8 to 12 points.
class PreviewSettingDialog : public QDialog {
    Q_OBJECT
public:
    PreviewSettingDialog(QWidget* owner, const UiText& text, int fontPoints);
    int fontPoints() const;
    QComboBox* choices() const { return m_choices; }

private:
    QComboBox* m_choices;
};

} // namespace qx
