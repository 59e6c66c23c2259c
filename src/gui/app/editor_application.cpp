#include "editor_application.h"

#include "base/fatal_defect.h"
#include "editor_globals.h"
#include "main_window.h"
#include "qt_user_prompt.h"
#include "termination_signals.h"

#include <QMessageBox>
#include <QPointer>
#include <QScreen>

#include <exception>
#include <string>
#include <vector>

namespace qx {

namespace {

ScreenRect screenWorkArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return {0, 0, 1024, 768};
    }
    const QRect r = screen->availableGeometry();
    return {r.x(), r.y(), r.width(), r.height()};
}

} // namespace

EditorApplication::EditorApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool EditorApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        QMessageBox::critical(activeWindow(), QString(), QString::fromLocal8Bit(e.what()));
    } catch (...) {
        QMessageBox::critical(activeWindow(), QString(), QStringLiteral("Unexpected error."));
    }
    closeAllWindows();
    quit();
    return false;
}

int runEditor(int argc, char** argv) {
    EditorApplication app(argc, argv);
    QPointer<TForm1> window;
    // First of all, so that a signal during the start is not lost but closes the window later.
    TerminationSignals terminationSignals([&] {
        if (window.isNull() || window->close()) {
            QCoreApplication::quit();
        }
    });

    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.emplace_back(argv[i]);
    }
    EditorGlobals globals(std::move(arguments), screenWorkArea);
    if (!globals.firstInstance()) {
        // Another copy runs: show nothing, touch no settings.
        return 0;
    }

    const std::string title = globals.uiText.firstLine("GI_Sys_AppTitle");
    QtUserPrompt prompt(globals.codec);
    installDefectPrompt(&prompt, title);
    {
        TForm1 mainWindow(globals.env, globals.codec.toQString(title),
                          globals.systemInfo.workArea());
        window = &mainWindow;
        prompt.setOwner(&mainWindow);
        // The initial setup dialog will keep the window hidden while the destination is not
        // known; until it exists the window shows at once.
        mainWindow.show();
        QApplication::exec();
        prompt.setOwner(nullptr);
    }
    installDefectPrompt(nullptr, title);
    return 0;
}

} // namespace qx
