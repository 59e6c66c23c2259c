#pragma once

#include "code_page_text.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace qx {

class indInitialSetup;

// The initial setup dialog: the welcome text, the port of the cloning cable, OK and Cancel. It
// shows without a modal loop; every decision is the setup session's.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    TForm2(indInitialSetup& setup, const CodePageText& codec, const QFont& font,
           QWidget* parent = nullptr);

    // The session has ended: close without telling it again.
    void closeFromSession();

    // The controls, in tab order.
    QPushButton* Button1 = nullptr; // OK
    QPushButton* Button2 = nullptr; // Cancel
    QPlainTextEdit* Memo1 = nullptr;
    QLabel* Image1 = nullptr;
    QRadioButton* COM1 = nullptr;
    QRadioButton* COM2 = nullptr;
    QRadioButton* COM3 = nullptr;
    QRadioButton* COM4 = nullptr;
    QRadioButton* COMMore = nullptr;
    QLineEdit* Edit1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void Button1Click();
    void Button2Click();
    void Edit1Change();

    indInitialSetup& m_setup;
    CodePageText m_codec;
    bool m_sessionClosing = false;
};

} // namespace qx
