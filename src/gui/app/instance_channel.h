#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <string>
#include <vector>

class QLocalServer;

namespace qx {

// The way a second start of the editor hands its files to the copy already running: a local
// socket (a named pipe on Windows) beside the single-instance lock. The running copy listens;
// a later start sends the file names (in the system's encoding) and ends.
class InstanceChannel : public QObject {
    Q_OBJECT
public:
    using Receiver = std::function<void(const std::vector<std::string>& files)>;

    explicit InstanceChannel(QString name, QObject* parent = nullptr);
    ~InstanceChannel() override;

    // Starts listening; a socket left by a copy that died is replaced (the caller holds the
    // lock). False when the socket cannot be made.
    bool listen(Receiver receiver);
    // Hands the files to the running copy, or only asks it to come to the front when there
    // are none; false when no copy listens.
    static bool send(const QString& name, const std::vector<std::string>& files,
                     int timeoutMs = 3000);

    // The channel's name for a lock file path.
    static QString nameForLock(const QString& lockFilePath);

private:
    QString m_name;
    QLocalServer* m_server = nullptr;
    Receiver m_receiver;
};

} // namespace qx
