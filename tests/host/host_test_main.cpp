// Every host test runs with its configuration and temporary folders in a scratch folder, set
// before Qt computes its standard paths.
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        return 2;
    }
    const QByteArray root = scratch.path().toLocal8Bit();
    for (const char* sub : {"config", "system", "tmp"}) {
        QDir(scratch.path()).mkpath(QLatin1String(sub));
    }
    ::setenv("XDG_CONFIG_HOME", (root + "/config").constData(), 1);
    ::setenv("XDG_CONFIG_DIRS", (root + "/system").constData(), 1);
    ::setenv("TMPDIR", (root + "/tmp").constData(), 1);
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
