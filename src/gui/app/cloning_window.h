#pragma once

#include <QDialog>
#include <QPointer>

namespace qx {

// The "Cloning" window: a bar of 32 segments that lights as the transfer goes on. It stays
// until the transfer ends; the user cannot close it. While it shows, the main window is
// disabled.
class CloningWindow : public QDialog {
    Q_OBJECT
public:
    explicit CloningWindow(QWidget* mainWindow);

    static constexpr int kSegments = 32;

    // Shows the window centred on the main window, all segments dark, and disables the main
    // window.
    void start();
    void paint(int litSegments);
    void finish();

    int litSegments() const { return m_lit; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    class Bar;

    QPointer<QWidget> m_mainWindow;
    Bar* m_bar = nullptr;
    int m_lit = 0;
    bool m_closing = false;
};

} // namespace qx
