#include "qt_settings_store.h"

#include "qt_instance_lock.h"
#include "qt_system_info.h"

#include "app/environ.h"
#include "fake_instance_lock.h"
#include "fixed_system_info.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <memory>
#include <set>
#include <string>

namespace qx {
namespace {

const std::string kRoot = indEnviron::kRegistryRoot;
const std::string kGlobal = kRoot + "\\Global";

QString userFile() {
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Orsa/QX-5130.conf");
}

void writeFile(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}

class QtSettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        QFile::remove(userFile());
        QFile::remove(qEnvironmentVariable("XDG_CONFIG_DIRS") +
                      QStringLiteral("/Orsa/QX-5130.conf"));
    }
};

TEST_F(QtSettingsStoreTest, KeepsTheUserSettingsBelowXdgConfigHome) {
    {
        QtSettingsStore store;
        EXPECT_EQ(store.fileNameFor(kGlobal), userFile());
        store.writeNumber(kGlobal, "ComPort", 7);
        store.writeNumber(kRoot + "\\Window Position", "Left", -784);
        store.writeText(kGlobal, "Current Directory", "/home/user/Funk, Daten/\xc3\xa4");
        store.writeText(kRoot + "\\Recent File List", "Recent0", std::string("/x/\xff\xfe.icf"));
        EXPECT_TRUE(store.flush());
    }
    ASSERT_TRUE(QFileInfo::exists(userFile()));
    QtSettingsStore again;
    EXPECT_EQ(again.readNumber(kGlobal, "ComPort"), 7);
    EXPECT_EQ(again.readNumber(kRoot + "\\Window Position", "Left"), -784);
    EXPECT_EQ(again.readText(kGlobal, "Current Directory"), "/home/user/Funk, Daten/\xc3\xa4");
    EXPECT_EQ(again.readText(kRoot + "\\Recent File List", "Recent0"),
              std::string("/x/\xff\xfe.icf"));
    EXPECT_EQ(again.readText(kGlobal, "ComPort"), "7");
}

TEST_F(QtSettingsStoreTest, MissingAndNonNumericValuesReadAsMissing) {
    writeFile(userFile(), "[Global]\n"
                          "BBT=753951\n"
                          "ComPort=abc\n"
                          "ComSpeedHigh=\n"
                          "TransType=4294967295\n"
                          "Big=4294967296\n"
                          "Spaced= 12 \n"
                          "List=1, 2\n");
    QtSettingsStore store;
    EXPECT_EQ(store.readNumber(kGlobal, "BBT"), 753951);
    EXPECT_EQ(store.readNumber(kGlobal, "ComPort"), std::nullopt);
    EXPECT_EQ(store.readNumber(kGlobal, "ComSpeedHigh"), std::nullopt);
    EXPECT_EQ(store.readNumber(kGlobal, "TransType"), -1) << "a DWORD of all ones";
    EXPECT_EQ(store.readNumber(kGlobal, "Big"), std::nullopt);
    EXPECT_EQ(store.readNumber(kGlobal, "Spaced"), 12);
    EXPECT_EQ(store.readNumber(kGlobal, "List"), std::nullopt);
    EXPECT_EQ(store.readNumber(kGlobal, "Nothing"), std::nullopt);
    EXPECT_EQ(store.readNumber(kRoot + "\\Nowhere", "BBT"), std::nullopt);
    EXPECT_EQ(store.readText(kGlobal, "Nothing"), std::nullopt);
    EXPECT_EQ(store.readText(kGlobal, "ComPort"), "abc");
    EXPECT_EQ(store.readNumber("Elsewhere\\Orsa\\QX-5130\\Global", "BBT"), std::nullopt);
}

TEST_F(QtSettingsStoreTest, DeletesAValueOrAWholeSection) {
    QtSettingsStore store;
    store.writeNumber(kGlobal, "ComPort", 3);
    store.writeNumber(kGlobal, "TransType", 1);
    store.writeNumber(kRoot + "\\Display", "A", 1);
    store.writeNumber(kRoot + "\\Display\\Sheet", "B", 2);
    store.deleteValue(kGlobal, "TransType");
    store.deleteKey(kRoot + "\\Display");
    ASSERT_TRUE(store.flush());
    QtSettingsStore again;
    EXPECT_EQ(again.readNumber(kGlobal, "ComPort"), 3);
    EXPECT_EQ(again.readNumber(kGlobal, "TransType"), std::nullopt);
    EXPECT_EQ(again.readNumber(kRoot + "\\Display", "A"), std::nullopt);
    EXPECT_EQ(again.readNumber(kRoot + "\\Display\\Sheet", "B"), std::nullopt);
}

TEST_F(QtSettingsStoreTest, LanguageComesFromTheSystemScopeOnly) {
    const QString system =
        qEnvironmentVariable("XDG_CONFIG_DIRS") + QStringLiteral("/Orsa/QX-5130.conf");
    writeFile(system, "[General]\nLanguage=1\n[Global]\nComPort=9\n");
    writeFile(userFile(), "[General]\nLanguage=0\n");
    QtSettingsStore store;
    EXPECT_EQ(store.readMachineNumber(kRoot, "Language"), 1);
    EXPECT_EQ(store.readNumber(kGlobal, "ComPort"), std::nullopt)
        << "a user value that is missing must not come from the system file";
}

TEST_F(QtSettingsStoreTest, TheSettingsRecordRoundTripsThroughTheFile) {
    test::FixedSystemInfo system;
    std::set<std::string> taken;
    {
        QtSettingsStore store;
        test::FakeInstanceLock lock(taken);
        indEnviron env(indEnviron::kMutexName, kRoot, kRoot, store, lock, system, {"qx5130"});
        env.comPort = 12;
        env.currentDirectory = "/home/user/radio";
        env.recent.putAtHead("/home/user/radio/a.icf");
        env.destination = 3;
        env.digitalUnit = true;
        env.dvInhibit = false;
        env.pagerInhibit = false;
    }
    QFile f(userFile());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    for (const char* section : {"[Global]", "[Recent%20File%20List]", "[View%20Option]",
                                "[Window%20Position]", "[Setup]"}) {
        EXPECT_TRUE(text.contains(section)) << section;
    }
    EXPECT_TRUE(text.contains("Etc%20Data=6433"));
    EXPECT_FALSE(text.contains("Language"));

    QtSettingsStore store;
    test::FakeInstanceLock lock(taken);
    indEnviron env(indEnviron::kMutexName, kRoot, kRoot, store, lock, system, {"qx5130"});
    EXPECT_EQ(env.comPort, 12);
    EXPECT_EQ(env.currentDirectory, "/home/user/radio");
    EXPECT_EQ(env.recent.entry(0), "/home/user/radio/a.icf");
    EXPECT_EQ(env.destination, 3);
    EXPECT_TRUE(env.setupDone);
}

// What a tool that only reads the editor's settings does (the command line editor).
struct ReadOnlySettings {
    ReadOnlySettings() : env(indEnviron::ReadOnly{}, kRoot, kRoot, store, system, {"qx5130-cli"}) {}
    QtSettingsStore store;
    QtSystemInfo system;
    indEnviron env;
};

TEST_F(QtSettingsStoreTest, ReadOnlySettingsTakeNoLockAndWriteNothing) {
    auto readOnly = [] { return std::make_unique<ReadOnlySettings>(); };
    EXPECT_EQ(readOnly()->env.comPort, 1);
    EXPECT_EQ(readOnly()->env.destination, 16);
    EXPECT_FALSE(QFileInfo::exists(userFile())) << "reading created the file";

    writeFile(userFile(), "[Global]\nBBT=753951\nComPort=4\nComSpeedHigh=1\nTransType=1\n"
                          "[View%20Option]\nFontSize%20Percentage=100\nToolbar%20Visible=1\n"
                          "FontSize%20Printer=10\n"
                          "[Window%20Position]\nLeft=0\nTop=0\nWidth=800\nHeight=600\n"
                          "SplitterV=200\n"
                          "[Setup]\nModelType=0\nEtc%20Data=6433\n");
    QFile f(userFile());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();

    QtInstanceLock editor; // the editor runs meanwhile
    ASSERT_TRUE(editor.tryLock(indEnviron::kMutexName));
    {
        const auto saved = readOnly();
        EXPECT_EQ(saved->env.comPort, 4);
        EXPECT_EQ(saved->env.comSpeedHigh, 1);
        EXPECT_EQ(saved->env.transType, 1);
        EXPECT_EQ(saved->env.destination, 3);
        EXPECT_TRUE(saved->env.digitalUnit);
    }
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}

TEST_F(QtSettingsStoreTest, ASettingsFileThatIsNoRegularFileReadsAsAbsent) {
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    const QString system = qEnvironmentVariable("XDG_CONFIG_DIRS");
    struct Case {
        QString path;
        bool fifo; // otherwise a folder
    };
    const Case cases[] = {
        {userFile(), true},
        {userFile(), false},
        {config + QStringLiteral("/Orsa.conf"), true},
        {system + QStringLiteral("/Orsa/QX-5130.conf"), true},
    };
    for (const Case& c : cases) {
        QDir().mkpath(QFileInfo(c.path).path());
        if (c.fifo) {
            ASSERT_EQ(::mkfifo(c.path.toLocal8Bit().constData(), 0600), 0);
        } else {
            ASSERT_TRUE(QDir().mkpath(c.path));
        }
        testing::internal::CaptureStderr();
        {
            QtSettingsStore store;
            EXPECT_EQ(store.readNumber(kGlobal, "BBT"), std::nullopt);
            EXPECT_EQ(store.readMachineNumber(kRoot, "Language"), std::nullopt);
            store.writeNumber(kGlobal, "BBT", 753951);
            store.flush();
        }
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find(c.path.toStdString() + " is not a regular file"), std::string::npos)
            << err;
        const QFileInfo after(c.path);
        EXPECT_FALSE(after.isFile()) << "nothing is written over it";
        if (c.fifo) {
            QFile::remove(c.path);
        } else {
            QDir().rmdir(c.path);
        }
    }
}

} // namespace
} // namespace qx
