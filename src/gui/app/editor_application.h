#pragma once

#include <QApplication>

#include <string>
#include <vector>

namespace qx {

// The application object. An exception that escapes an event handler is shown in a box, and
// the editor then closes the normal way.
class EditorApplication : public QApplication {
    Q_OBJECT
public:
    EditorApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

// The clone files named on the command line, as full paths: every argument after the
// program's own but "/setup" in any letter case.
std::vector<std::string> filesToOpen(const std::vector<std::string>& arguments);

// The whole run of the editor, from the single-instance check to the last save. Returns the
// process exit code.
int runEditor(int argc, char** argv);

} // namespace qx
