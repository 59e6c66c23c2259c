#include "app/environ.h"
#include "app/main_window.h"

#include "fake_instance_lock.h"
#include "fixed_system_info.h"
#include "memory_settings_store.h"

#include <QtTest>

#include <set>
#include <string>

using namespace qx;

class MainWindowTest : public QObject {
    Q_OBJECT

    test::MemorySettingsStore m_store;
    test::FixedSystemInfo m_system;
    std::set<std::string> m_taken;
    const ScreenRect m_area{0, 0, 1280, 984};

    // A settings record as the start leaves it, holding the lock.
    struct Settings {
        explicit Settings(MainWindowTest& t)
            : lock(t.m_taken), env(indEnviron::kMutexName, indEnviron::kRegistryRoot,
                                   indEnviron::kRegistryRoot, t.m_store, lock, t.m_system, {}) {}
        test::FakeInstanceLock lock;
        indEnviron env;
    };

private slots:
    void opensAtTheStoredBoundsKeptReachable() {
        Settings s(*this);
        s.env.windowLeft = 5000;
        s.env.windowTop = 30;
        s.env.windowWidth = 500;
        s.env.windowHeight = 400;
        TForm1 window(s.env, QStringLiteral("QX-5130"), m_area);
        QCOMPARE(window.windowTitle(), QStringLiteral("QX-5130"));
        QCOMPARE(window.geometry(), QRect(1264, 30, 500, 400));

        s.env.windowLeft = -900;
        s.env.windowWidth = 800;
        TForm1 left(s.env, QStringLiteral("QX-5130"), m_area);
        QCOMPARE(left.geometry().x(), -784);
    }

    void closingHandsTheBoundsToTheSettings() {
        Settings s(*this);
        TForm1 window(s.env, QStringLiteral("QX-5130"), m_area);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.setGeometry(100, 80, 640, 480);
        QVERIFY(window.close());
        QCOMPARE(s.env.windowLeft, 100);
        QCOMPARE(s.env.windowTop, 80);
        QCOMPARE(s.env.windowWidth, 640);
        QCOMPARE(s.env.windowHeight, 480);
    }

    void aMaximisedWindowKeepsItsNormalBounds() {
        Settings s(*this);
        s.env.windowLeft = 120;
        s.env.windowTop = 60;
        s.env.windowWidth = 600;
        s.env.windowHeight = 450;
        TForm1 window(s.env, QStringLiteral("QX-5130"), m_area);
        window.showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(window.isMaximized());
        QVERIFY(window.close());
        QCOMPARE(s.env.windowLeft, 120);
        QCOMPARE(s.env.windowTop, 60);
        QCOMPARE(s.env.windowWidth, 600);
        QCOMPARE(s.env.windowHeight, 450);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
