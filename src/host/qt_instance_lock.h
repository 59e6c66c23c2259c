#pragma once

#include "base/instance_lock.h"

#include <QString>

#include <memory>

class QLockFile;

namespace qx {

// The single-instance lock as a lock file in the temporary folder. A lock left behind by a
// process that died is taken over; a live holder keeps it however long it runs.
class QtInstanceLock : public InstanceLock {
public:
    // `folder` defaults to the temporary folder (TMPDIR on Unix).
    explicit QtInstanceLock(QString folder = QString());
    ~QtInstanceLock() override;
    QtInstanceLock(const QtInstanceLock&) = delete;
    QtInstanceLock& operator=(const QtInstanceLock&) = delete;

    bool tryLock(const std::string& name) override;
    void unlock() override;

    // The lock file for a lock name: unsafe characters become '_'; on Unix the user id is
    // added because the temporary folder is shared by every user of the machine.
    QString lockFilePath(const std::string& name) const;

private:
    QString m_folder;
    std::unique_ptr<QLockFile> m_file;
};

} // namespace qx
