#pragma once

#include "app/environ.h"
#include "app/main_window.h"
#include "memory_settings_store.h"
#include "sheet/sheet_grid.h"
#include "sheet/sheet_widget.h"

#include <QApplication>
#include <QProcess>
#include <QStringList>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <QtTest>

#include <functional>
#include <string>

namespace qx::test {

// For the window tests (QtTest programs that link qx5130_gui): the steps a user takes.

// The next modal dialog of type T, when it shows, gets `act`. The watch ends with `owner`.
template <typename T = QWidget> void whenModalOf(QObject* owner, std::function<void(T*)> act) {
    auto* timer = new QTimer(owner);
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, act = std::move(act)] {
        if (auto* modal = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(modal);
        }
    });
    timer->start();
}

inline void whenModal(QObject* owner, std::function<void(QWidget*)> act) {
    whenModalOf<QWidget>(owner, std::move(act));
}

// The tree node whose caption is `caption`, blanks around it aside.
inline QTreeWidgetItem* treeItem(TForm1& window, const QString& caption) {
    for (QTreeWidgetItemIterator it(window.treeView()); *it; ++it) {
        if ((*it)->text(0).trimmed() == caption.trimmed()) {
            return *it;
        }
    }
    return nullptr;
}

// Opens the sheet of a tree node below `folder` with a click, as a user does; `grid` is its
// grid once the sheet shows.
inline void openFromTree(TForm1& window, const QString& folder, const QString& node,
                         const std::string& callString, SheetGrid*& grid) {
    grid = nullptr;
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTreeWidgetItem* parent = treeItem(window, folder);
    QVERIFY(parent != nullptr);
    parent->setExpanded(true);
    QTreeWidgetItem* item = treeItem(window, node);
    QVERIFY(item != nullptr);
    QTreeWidget* tree = window.treeView();
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    const auto shown = [&window] { return qobject_cast<SheetWidget*>(window.sheetWidget()); };
    QTRY_VERIFY(shown() != nullptr && shown()->sheet().callString() == callString);
    grid = &shown()->grid();
}

// trsim on a pseudo-terminal, mapped as COM 1 in the settings unless told otherwise.
class Transceiver {
public:
    Transceiver(MemorySettingsStore& store, const QStringList& arguments, bool asCom1 = true) {
        m_process.start(QStringLiteral(QX5130_TRSIM_PATH), arguments);
        if (m_process.waitForStarted(10000) && m_process.waitForReadyRead(10000)) {
            m_device = QString::fromLocal8Bit(m_process.readLine()).trimmed().toStdString();
            if (asCom1) {
                store.user[{std::string(indEnviron::kRegistryRoot) + "\\Ports", "COM1"}] = m_device;
            }
        }
    }
    ~Transceiver() {
        m_process.kill();
        m_process.waitForFinished(10000);
    }
    Transceiver(const Transceiver&) = delete;
    Transceiver& operator=(const Transceiver&) = delete;

    // The pseudo-terminal it serves on.
    const std::string& device() const { return m_device; }

private:
    QProcess m_process;
    std::string m_device;
};

} // namespace qx::test
