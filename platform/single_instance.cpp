#include "platform/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifndef _WIN32
namespace {
// A folder only this user can enter: the session's runtime folder, else a 0700 folder of this user's id in the
// temporary folder. One someone else made (or opened to others) is not used: the lock would not be ours alone.
bool privateFolder(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}
} // namespace
#endif

QString SingleInstance::runtimeFolder() {
#ifdef _WIN32
    return QDir::tempPath(); // per user on Windows already
#else
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.startsWith('/') && privateFolder(runtime.toStdString()))
        return QString::fromLocal8Bit(runtime);
    const QString fallback = fallbackFolder();
    ::mkdir(QFile::encodeName(fallback).constData(), 0700);
    return privateFolder(QFile::encodeName(fallback).toStdString()) ? fallback : QString();
#endif
}

QString SingleInstance::fallbackFolder() {
#ifdef _WIN32
    return QDir::tempPath();
#else
    return QDir(QDir::tempPath()).filePath(QString("quillet-%1").arg(::getuid()));
#endif
}

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent) {
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1);
    const QString id = "quillet-" + QString::fromLatin1(hash.toHex().left(16));
    m_folder = runtimeFolder();
    m_serverName = QDir(m_folder).filePath(id + ".socket");
    m_lock = std::make_unique<QLockFile>(QDir(m_folder).filePath(id + ".lock"));
    m_lock->setStaleLockTime(0); // only a lock whose process is gone counts as stale
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultKey() {
    return "Quillet";
}

bool SingleInstance::acquire() {
    // Without a private folder there is no safe place for the lock: run unguarded rather than not at all.
    if (m_folder.isEmpty())
        return true;
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
    if (m_folder.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(1000))
        return false;
    socket.write("raise\n");
    socket.waitForBytesWritten(500);
    socket.disconnectFromServer();
    return true;
}

QString SingleInstance::lockPath() const {
    return m_folder.isEmpty() ? QString() : m_lock->fileName();
}
