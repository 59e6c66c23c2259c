#include "main_window.h"

#include "app/environ.h"
#include "app/window_bounds.h"

#include <QCloseEvent>

namespace qx {

TForm1::TForm1(indEnviron& settings, const QString& caption, const ScreenRect& workArea,
               QWidget* parent)
    : QMainWindow(parent), m_environ(settings) {
    setWindowTitle(caption);
    const ScreenRect r = reachableWindowBounds(
        {settings.windowLeft, settings.windowTop, settings.windowWidth, settings.windowHeight},
        workArea);
    setGeometry(r.left, r.top, r.width, r.height);
}

void TForm1::closeEvent(QCloseEvent* event) {
    // The document's save-changes question joins here once the controller owns a document.
    storeBounds();
    event->accept();
}

void TForm1::storeBounds() {
    // The restored bounds, so that a maximised window reopens at its normal size.
    const QRect r = normalGeometry();
    if (!r.isValid()) {
        return;
    }
    m_environ.windowLeft = r.x();
    m_environ.windowTop = r.y();
    m_environ.windowWidth = r.width();
    m_environ.windowHeight = r.height();
}

} // namespace qx
