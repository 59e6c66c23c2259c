#pragma once

#include <QDialog>
#include <QFont>

class QLineEdit;
class QPushButton;

namespace qx {

// The small "COM Port" dialog behind More...: a port number typed into an edit box. What the
// number may be is not its business: it only returns the text confirmed with OK.
class PortNumberDialog : public QDialog {
    Q_OBJECT
public:
    struct Texts {
        QString caption;       // "COM Port"
        QString notice;        // "Specify the COM port number. (1 - 256)"
        QString ok;            // "OK"
        QString cancel;        // "Cancel"
        QString sizeOfButtons; // the text as wide as a button
    };

    PortNumberDialog(const Texts& texts, const QFont& font, const QString& text,
                     QWidget* parent = nullptr);

    QLineEdit* edit() const { return m_edit; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

private:
    QLineEdit* m_edit = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace qx
