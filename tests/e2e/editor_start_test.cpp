// The editor's start and stop as a user meets them: one copy at a time, settings saved when the
// window closes, also on SIGTERM and SIGINT.
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

#ifdef QX5130_PATH

class EditorStart : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        for (const char* sub : {"config", "system", "tmp"}) {
            ASSERT_TRUE(QDir(m_dir.path()).mkpath(QLatin1String(sub)));
        }
        QFile::setPermissions(path("tmp"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ExeOwner);
    }

    QString path(const QString& sub) const { return m_dir.path() + QLatin1Char('/') + sub; }
    QString settingsFile() const { return path("config/Orsa/QX-5130.conf"); }

    void start(QProcess& p, const QStringList& args = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_CONFIG_HOME", path("config"));
        env.insert("XDG_CONFIG_DIRS", path("system"));
        env.insert("XDG_DATA_HOME", path("data"));
        env.insert("XDG_STATE_HOME", path("state"));
        env.insert("XDG_RUNTIME_DIR", path("tmp"));
        env.insert("TMPDIR", path("tmp"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(QX5130_PATH), args);
        ASSERT_TRUE(p.waitForStarted(10000));
    }

    // The lock file shows that the editor got past its start-up checks.
    bool waitForLock(int ms) const {
        QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired()) {
            for (const QString& f : QDir(path("tmp")).entryList(QDir::Files)) {
                if (f.startsWith(QLatin1String("Orsa_QX-5130_APP_Exclusive_Mutex"))) {
                    return true;
                }
            }
            QThread::msleep(20);
        }
        return false;
    }

    static void stopWith(QProcess& p, int signal) {
        ::kill(static_cast<pid_t>(p.processId()), signal);
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    }

    QByteArray settingsHash() const {
        QFile f(settingsFile());
        if (!f.open(QIODevice::ReadOnly)) {
            return {};
        }
        return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
    }

    void expectEverySection() const {
        QSettings s(settingsFile(), QSettings::IniFormat);
        const char* numbers[] = {"Global/BBT",
                                 "Global/ComPort",
                                 "Global/ComSpeedHigh",
                                 "Global/TransType",
                                 "View Option/FontSize Percentage",
                                 "View Option/Toolbar Visible",
                                 "View Option/FontSize Printer",
                                 "Window Position/Left",
                                 "Window Position/Top",
                                 "Window Position/Width",
                                 "Window Position/Height",
                                 "Window Position/SplitterV",
                                 "Setup/ModelType",
                                 "Setup/Etc Data"};
        for (const char* key : numbers) {
            bool ok = false;
            s.value(QLatin1String(key)).toString().toInt(&ok);
            EXPECT_TRUE(ok) << key;
        }
        EXPECT_TRUE(s.contains("Global/Current Directory"));
        for (int i = 0; i < 10; ++i) {
            EXPECT_TRUE(s.contains(QStringLiteral("Recent File List/Recent%1").arg(i)));
        }
        EXPECT_EQ(s.value("Global/BBT").toInt(), 753951);
        EXPECT_FALSE(s.contains("Language"));
    }

    QTemporaryDir m_dir;
};

TEST_F(EditorStart, ASecondCopyExitsAtOnceAndTheFirstSavesOnSigterm) {
    // Settings of an earlier run, with a configured transceiver and a window partly off
    // screen, written by hand: any rewrite by the editor would lose the comment.
    {
        QDir().mkpath(QFileInfo(settingsFile()).path());
        QFile f(settingsFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("; kept by hand\n"
                "[Global]\nBBT=753951\nComPort=7\nComSpeedHigh=1\nTransType=2\n"
                "Current%20Directory=/home/user/radio\n"
                "[Recent%20File%20List]\nRecent0=/home/user/radio/a.icf\n"
                "[View%20Option]\nFontSize%20Percentage=120\nToolbar%20Visible=1\n"
                "FontSize%20Printer=9\n"
                "[Window%20Position]\nLeft=5000\nTop=30\nWidth=500\nHeight=400\nSplitterV=250\n"
                "[Setup]\nModelType=0\nEtc%20Data=6433\n");
    }
    const QByteArray before = settingsHash();
    ASSERT_FALSE(before.isEmpty());

    QProcess first;
    start(first);
    ASSERT_TRUE(waitForLock(60000)) << first.readAllStandardError().toStdString();

    QProcess second;
    QDeadlineTimer quick(30000);
    start(second);
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_FALSE(quick.hasExpired());
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(settingsHash(), before) << "the second copy wrote the settings";
    EXPECT_EQ(first.state(), QProcess::Running);

    stopWith(first, SIGTERM);
    expectEverySection();
    QSettings s(settingsFile(), QSettings::IniFormat);
    EXPECT_EQ(s.value("Global/ComPort").toInt(), 7);
    EXPECT_EQ(s.value("Global/TransType").toInt(), 2);
    EXPECT_EQ(s.value("Global/Current Directory").toString(), "/home/user/radio");
    EXPECT_EQ(s.value("Recent File List/Recent0").toString(), "/home/user/radio/a.icf");
    EXPECT_EQ(s.value("View Option/FontSize Percentage").toInt(), 120);
    EXPECT_EQ(s.value("Setup/Etc Data").toInt(), 6433);
    // The window was brought back so that a corner can be reached, and kept its size.
    EXPECT_LT(s.value("Window Position/Left").toInt(), 5000);
    EXPECT_EQ(s.value("Window Position/Width").toInt(), 500);
    EXPECT_EQ(s.value("Window Position/Height").toInt(), 400);
    EXPECT_EQ(s.value("Window Position/SplitterV").toInt(), 250);
}

TEST_F(EditorStart, AFirstRunWritesEverySectionWhenInterrupted) {
    QProcess editor;
    start(editor);
    ASSERT_TRUE(waitForLock(60000)) << editor.readAllStandardError().toStdString();
    EXPECT_FALSE(QFileInfo::exists(settingsFile())) << "nothing is written while it runs";
    stopWith(editor, SIGINT);
    expectEverySection();
    QSettings s(settingsFile(), QSettings::IniFormat);
    EXPECT_EQ(s.value("Global/ComPort").toInt(), 1);
    EXPECT_EQ(s.value("View Option/FontSize Percentage").toInt(), 100);
    EXPECT_GT(s.value("Window Position/Width").toInt(), 0);

    // The lock went with the first copy: the next start is a first instance again.
    QProcess next;
    start(next);
    ASSERT_TRUE(waitForLock(60000));
    EXPECT_EQ(next.state(), QProcess::Running);
    stopWith(next, SIGTERM);
}

#endif

#ifdef QX5130_CLI_PATH

TEST_F(EditorStart, AFileOnTheCommandLineOpensAndASecondCopyWithAFileStillExits) {
    // A configured transceiver, so that the window opens at once; two clone files.
    {
        QDir().mkpath(QFileInfo(settingsFile()).path());
        QFile f(settingsFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Global]\nBBT=753951\nComPort=1\nComSpeedHigh=0\nTransType=0\n"
                "[View%20Option]\nFontSize%20Percentage=100\nToolbar%20Visible=1\n"
                "FontSize%20Printer=10\n"
                "[Window%20Position]\nLeft=10\nTop=10\nWidth=600\nHeight=400\nSplitterV=200\n"
                "[Setup]\nModelType=0\nEtc%20Data=6433\n");
    }
    const QString a = path("A.icf");
    const QString b = path("B.icf");
    for (const QString& file : {a, b}) {
        QProcess cli;
        cli.start(QStringLiteral(QX5130_CLI_PATH), {"--destination", "3", "new", "-o", file});
        ASSERT_TRUE(cli.waitForFinished(60000));
        ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    }

    QProcess first;
    start(first, {a});
    ASSERT_TRUE(waitForLock(60000)) << first.readAllStandardError().toStdString();
    QProcess second;
    QDeadlineTimer quick(30000);
    start(second, {b});
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_FALSE(quick.hasExpired());
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);

    // Opening A put it at the head of the recent files and made its folder the current one;
    // B was never opened.
    stopWith(first, SIGTERM);
    QSettings s(settingsFile(), QSettings::IniFormat);
    EXPECT_EQ(s.value("Recent File List/Recent0").toString(), a);
    EXPECT_EQ(s.value("Recent File List/Recent1").toString(), QString());
    EXPECT_EQ(s.value("Global/Current Directory").toString(), m_dir.path());
}

#endif

} // namespace
