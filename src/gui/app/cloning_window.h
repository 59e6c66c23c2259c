#pragma once

#include "code_page_text.h"

#include <QDialog>
#include <QPointer>

#include <functional>

class QLabel;
class QPushButton;

namespace qx {

struct CloningProgress;

// The "Cloning" window: what runs, a bar of 32 segments that lights as the transfer goes on,
// the percentage, the bytes and the time left, and Cancel. Esc and the close button cancel
// too; otherwise it stays until the transfer ends. While it shows, the main window is
// disabled.
class CloningWindow : public QDialog {
    Q_OBJECT
public:
    CloningWindow(QWidget* mainWindow, const CodePageText& codec);

    static constexpr int kSegments = 32;

    // What Cancel, Esc and the close button do.
    void setCancelHandler(std::function<void()> cancel) { m_cancel = std::move(cancel); }

    // Shows the window centred on the main window, all segments dark, and disables the main
    // window.
    void start();
    void paint(const CloningProgress& progress);
    void finish();

    int litSegments() const { return m_lit; }
    QPushButton* cancelButton() const { return m_cancelButton; }
    QLabel* operationLabel() const { return m_operation; }
    QLabel* amountLabel() const { return m_amount; }
    QLabel* timeLeftLabel() const { return m_timeLeft; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    class Bar;
    void cancel();

    QPointer<QWidget> m_mainWindow;
    CodePageText m_codec;
    Bar* m_bar = nullptr;
    QLabel* m_operation = nullptr;
    QLabel* m_amount = nullptr;
    QLabel* m_timeLeft = nullptr;
    QPushButton* m_cancelButton = nullptr;
    std::function<void()> m_cancel;
    int m_lit = 0;
    bool m_closing = false;
};

} // namespace qx
