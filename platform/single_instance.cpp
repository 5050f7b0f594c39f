#include "platform/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {
QString userName() {
    QString name = qEnvironmentVariable("USER");
    return name.isEmpty() ? qEnvironmentVariable("USERNAME") : name;
}
} // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent) {
    const QByteArray hash = QCryptographicHash::hash((userName() + "|" + key).toUtf8(), QCryptographicHash::Sha1);
    const QString id = "quillet-" + QString::fromLatin1(hash.toHex().left(16));
    m_serverName = id;
    m_lock = std::make_unique<QLockFile>(QDir(QDir::tempPath()).filePath(id + ".lock"));
    m_lock->setStaleLockTime(0); // only a lock whose process is gone counts as stale
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultKey() {
    return "Quillet";
}

bool SingleInstance::acquire() {
    if (!m_lock->tryLock(100))
        return false;
    // A server name left behind by a killed copy would make listen() fail.
    QLocalServer::removeServer(m_serverName);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = m_server->nextPendingConnection()) {
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            emit activationRequested();
        }
    });
    m_server->listen(m_serverName);
    return true;
}

bool SingleInstance::notifyRunning() const {
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(1000))
        return false;
    socket.write("raise\n");
    socket.waitForBytesWritten(500);
    socket.disconnectFromServer();
    return true;
}
