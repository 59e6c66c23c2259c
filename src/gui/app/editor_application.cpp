#include "editor_application.h"

#include "app_icons.h"
#include "base/fatal_defect.h"
#include "editor_globals.h"
#include "initial_setup_dialog.h"
#include "instance_channel.h"
#include "main_window.h"
#include "termination_signals.h"

#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QTranslator>

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

std::vector<std::string> filesToOpen(const std::vector<std::string>& arguments) {
    std::vector<std::string> files;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const QString argument = QFile::decodeName(arguments[i].c_str());
        if (argument.toLower() != QStringLiteral("/setup")) {
            // The document keeps the full path: the title, the recent list and the folder of
            // the file dialogs come from it.
            files.push_back(
                QFile::encodeName(QFileInfo(argument).absoluteFilePath()).toStdString());
        }
    }
    return files;
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
    const std::vector<std::string> files = filesToOpen(arguments);
    EditorGlobals globals(std::move(arguments), screenWorkArea);
    const QString channelName =
        InstanceChannel::nameForLock(globals.instanceLock.lockFilePath(indEnviron::kMutexName));
    if (!globals.firstInstance()) {
        // Another copy runs: it takes the files and comes to the front; this one shows nothing
        // and touches no settings.
        InstanceChannel::send(channelName, files);
        return 0;
    }
    InstanceChannel channel(channelName);
    channel.listen([&window](const std::vector<std::string>& handed) {
        // As on the command line, the first file is the one opened.
        if (!window.isNull()) {
            window->openHandedFile(handed.empty() ? std::string() : handed.front());
        }
    });

    // Qt's own buttons and dialogs speak the language of the tables.
    QTranslator qtTexts;
    if (globals.env.language == 1 &&
        qtTexts.load(QStringLiteral("qtbase_ja"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&qtTexts);
    }
    QApplication::setWindowIcon(AppIcons::application());
    QGuiApplication::setDesktopFileName(QStringLiteral("qx5130"));
    // The main window may be hidden while the initial setup runs; only its close ends the run.
    QApplication::setQuitOnLastWindowClosed(false);
    const std::string title = globals.uiText.firstLine("GI_Sys_AppTitle");
    installDefectPrompt(&globals.prompt, title);
    {
        TForm1 mainWindow(*globals.controller, globals.codec, globals.systemInfo.workArea());
        window = &mainWindow;
        globals.prompt.setOwner(&mainWindow);
        globals.fileDialog.setOwner(&mainWindow);
        if (mainWindow.built()) {
            QObject::connect(&mainWindow, &TForm1::closed, &app, &QCoreApplication::quit);
            if (!files.empty()) {
                // Before the loop, so that a close request waits for it; the save-changes
                // question and the error boxes run their own loops.
                globals.controller->openDocument(files.front());
            }
            QApplication::exec();
        }
        globals.fileDialog.setOwner(nullptr);
        globals.prompt.setOwner(nullptr);
    }
    installDefectPrompt(nullptr, title);
    return 0;
}

} // namespace qx
