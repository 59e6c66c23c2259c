#pragma once

#include "base/system_info.h"

#include <QMainWindow>
#include <QString>

namespace qx {

class indEnviron;

// The main window. It opens at the stored bounds, moved so that a corner stays on the work
// area, and hands its bounds back to the settings when it closes.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    TForm1(indEnviron& settings, const QString& caption, const ScreenRect& workArea,
           QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void storeBounds();

    indEnviron& m_environ;
};

} // namespace qx
