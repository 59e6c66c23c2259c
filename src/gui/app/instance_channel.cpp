#include "instance_channel.h"

#include <QByteArray>
#include <QLocalServer>
#include <QLocalSocket>

#include <memory>

namespace qx {

namespace {

// Each name ends with a NUL; the message ends when the sender closes.
QByteArray encodeFiles(const std::vector<std::string>& files) {
    QByteArray bytes;
    for (const std::string& file : files) {
        bytes.append(file.data(), static_cast<qsizetype>(file.size()));
        bytes.append('\0');
    }
    return bytes;
}

std::vector<std::string> decodeFiles(const QByteArray& bytes) {
    std::vector<std::string> files;
    qsizetype from = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\0') {
            if (i > from) {
                files.emplace_back(bytes.constData() + from, static_cast<std::size_t>(i - from));
            }
            from = i + 1;
        }
    }
    return files;
}

} // namespace

InstanceChannel::InstanceChannel(QString name, QObject* parent)
    : QObject(parent), m_name(std::move(name)) {}

InstanceChannel::~InstanceChannel() {
    if (m_server != nullptr) {
        m_server->close();
    }
}

QString InstanceChannel::nameForLock(const QString& lockFilePath) {
    QString name = lockFilePath;
    if (name.endsWith(QStringLiteral(".lock"))) {
        name.chop(5);
    }
    return name + QStringLiteral(".socket");
}

bool InstanceChannel::listen(Receiver receiver) {
    m_receiver = std::move(receiver);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        // Left by a copy that died: the lock is ours, so nobody else listens there.
        QLocalServer::removeServer(m_name);
        if (!m_server->listen(m_name)) {
            return false;
        }
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            auto buffer = std::make_shared<QByteArray>();
            connect(socket, &QLocalSocket::readyRead, socket,
                    [socket, buffer] { buffer->append(socket->readAll()); });
            connect(socket, &QLocalSocket::disconnected, this, [this, socket, buffer] {
                buffer->append(socket->readAll());
                socket->deleteLater();
                if (m_receiver) {
                    m_receiver(decodeFiles(*buffer));
                }
            });
        }
    });
    return true;
}

bool InstanceChannel::send(const QString& name, const std::vector<std::string>& files,
                           int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs)) {
        return false;
    }
    const QByteArray bytes = encodeFiles(files);
    if (!bytes.isEmpty()) {
        socket.write(bytes);
        while (socket.bytesToWrite() > 0) {
            if (!socket.waitForBytesWritten(timeoutMs)) {
                return false;
            }
        }
    }
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) {
        socket.waitForDisconnected(timeoutMs);
    }
    return true;
}

} // namespace qx
