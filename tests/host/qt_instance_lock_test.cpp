#include "qt_instance_lock.h"

#include "app/environ.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace qx {
namespace {

TEST(QtInstanceLock, OnlyOneHolderAtATime) {
    QtInstanceLock first;
    QtInstanceLock second;
    const std::string name = indEnviron::kMutexName;
    const QString path = first.lockFilePath(name);
    EXPECT_EQ(QFileInfo(path).path(), QDir::tempPath());
    EXPECT_TRUE(
        QFileInfo(path).fileName().startsWith(QStringLiteral("Orsa_QX-5130_APP_Exclusive_Mutex")));

    ASSERT_TRUE(first.tryLock(name));
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_FALSE(second.tryLock(name));
    EXPECT_TRUE(second.tryLock("another name"));
    second.unlock();
    first.unlock();
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_TRUE(second.tryLock(name));
}

} // namespace
} // namespace qx
