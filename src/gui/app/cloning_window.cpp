#include "cloning_window.h"

#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace qx {

// The paint area: 256 x 16 pixels, segments of width / 32 with a gap in the window colour.
class CloningWindow::Bar : public QWidget {
public:
    explicit Bar(QWidget* parent) : QWidget(parent) { setFixedSize(256, 16); }

    void setLit(int lit) {
        if (lit != m_lit) {
            m_lit = lit;
            update();
        }
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QColor window = palette().color(QPalette::Base);
        const QColor lit = palette().color(QPalette::Highlight);
        painter.fillRect(rect(), window);
        const int w = width() / kSegments;
        for (int i = 0; i < kSegments; ++i) {
            painter.fillRect(i * w, 0, w - 1, height(), i < m_lit ? lit : window);
        }
    }

private:
    int m_lit = 0;
};

CloningWindow::CloningWindow(QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_mainWindow(mainWindow) {
    // A caption of the window itself, not a message of the tables.
    setWindowTitle(QStringLiteral("Cloning"));
    auto* frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setLineWidth(1);
    auto* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(1, 1, 1, 1);
    m_bar = new Bar(frame);
    inner->addWidget(m_bar);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->addWidget(frame);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void CloningWindow::start() {
    m_lit = 0;
    m_bar->setLit(0);
    adjustSize();
    if (m_mainWindow) {
        m_mainWindow->setEnabled(false);
        const QRect owner = m_mainWindow->frameGeometry();
        move(owner.center() - QPoint(width() / 2, height() / 2));
    }
    // Disabling the main window disables its children too; this window must stay alive.
    setEnabled(true);
    show();
    raise();
}

void CloningWindow::paint(int litSegments) {
    m_lit = litSegments;
    m_bar->setLit(litSegments);
}

void CloningWindow::finish() {
    m_closing = true;
    hide();
    m_closing = false;
}

void CloningWindow::closeEvent(QCloseEvent* event) {
    // Only the end of the transfer closes it.
    if (!m_closing) {
        event->ignore();
    }
}

void CloningWindow::keyPressEvent(QKeyEvent* event) {
    // Escape would reject the dialog; the transfer decides when it closes.
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace qx
