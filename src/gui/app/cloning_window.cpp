#include "cloning_window.h"

#include "app/views.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
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

CloningWindow::CloningWindow(QWidget* mainWindow, const CodePageText& codec)
    : QDialog(mainWindow,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_mainWindow(mainWindow), m_codec(codec) {
    // Until the table's caption arrives with the first progress.
    setWindowTitle(QStringLiteral("Cloning"));
    m_operation = new QLabel(this);
    auto* frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setLineWidth(1);
    auto* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(1, 1, 1, 1);
    m_bar = new Bar(frame);
    inner->addWidget(m_bar);
    m_amount = new QLabel(this);
    m_timeLeft = new QLabel(this);
    m_cancelButton = new QPushButton(this);
    m_cancelButton->setDefault(true);
    m_cancelButton->setAutoDefault(true);
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { cancel(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cancelButton);
    buttons->addStretch(1);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->addWidget(m_operation);
    outer->addWidget(frame);
    outer->addWidget(m_amount);
    outer->addWidget(m_timeLeft);
    outer->addLayout(buttons);
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
    activateWindow();
    m_cancelButton->setFocus();
}

void CloningWindow::paint(const CloningProgress& progress) {
    m_lit = progress.litSegments;
    m_bar->setLit(progress.litSegments);
    const auto show = [this](QLabel* label, const std::string& text) {
        const QString shown = m_codec.toQString(text);
        if (label->text() != shown) {
            label->setText(shown);
        }
    };
    show(m_operation, progress.operation);
    show(m_amount, progress.amount);
    show(m_timeLeft, progress.timeLeft);
    if (!progress.caption.empty()) {
        setWindowTitle(m_codec.toQString(progress.caption));
    }
    m_cancelButton->setText(m_codec.toQString(progress.cancel));
}

void CloningWindow::finish() {
    m_closing = true;
    hide();
    m_closing = false;
}

void CloningWindow::cancel() {
    if (m_cancel) {
        m_cancel();
    }
}

void CloningWindow::closeEvent(QCloseEvent* event) {
    // The close button stops the transfer; the window goes when the transfer has ended.
    if (!m_closing) {
        event->ignore();
        cancel();
    }
}

void CloningWindow::keyPressEvent(QKeyEvent* event) {
    // Escape would only reject the dialog; it stops the transfer instead.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        cancel();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace qx
