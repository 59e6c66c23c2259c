#pragma once

#include "code_page_text.h"

#include <QDialog>

#include <string>
#include <vector>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace qx {

class MainController;
class indInitialSetup;

// The initial setup dialog: the welcome text, the port of the cloning cable, OK and Cancel. It
// shows without a modal loop; every decision is the setup session's.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    TForm2(indInitialSetup& setup, MainController& controller, const CodePageText& codec,
           const QFont& font, QWidget* parent = nullptr);

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
    // The serial ports found, by their descriptions, and the button that looks again.
    std::vector<QRadioButton*> FoundPorts;
    QPushButton* Refresh = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void Button1Click();
    void Button2Click();
    void Edit1Change();
    // Lists the ports found now, keeping the choice made.
    void showFoundPorts();

    indInitialSetup& m_setup;
    MainController& m_controller;
    QButtonGroup* m_group = nullptr;
    QVBoxLayout* m_foundLayout = nullptr;
    std::vector<std::string> m_foundPaths;
    CodePageText m_codec;
    bool m_sessionClosing = false;
};

} // namespace qx
