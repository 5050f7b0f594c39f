#include "platform/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#ifdef _WIN32
#include <QLocalServer>
#include <QLocalSocket>
#else
#include <QSocketNotifier>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
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

SingleInstance::~SingleInstance() {
#ifndef _WIN32
    m_notifier.reset();
    if (m_listening >= 0)
        ::close(m_listening);
#endif
}

QString SingleInstance::defaultKey() {
    return "Quillet";
}

#ifndef _WIN32
namespace {
// The socket's address; false when the path does not fit.
bool socketAddress(const QString& path, sockaddr_un& address) {
    const QByteArray name = QFile::encodeName(path);
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(name.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, name.constData(), static_cast<std::size_t>(name.size()));
    return true;
}
} // namespace
#endif

bool SingleInstance::acquire() {
    // Without a private folder there is no safe place for the lock: run unguarded rather than not at all.
    if (m_folder.isEmpty())
        return true;
    if (!m_lock->tryLock(100))
        return false;
#ifdef _WIN32
    QLocalServer::removeServer(m_serverName); // a name left behind by a killed copy would make listen() fail
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = m_server->nextPendingConnection()) {
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            emit activationRequested();
        }
    });
    m_server->listen(m_serverName);
#else
    sockaddr_un address;
    if (!socketAddress(m_serverName, address))
        return true;            // the lock still guards; only the raising of the running copy is lost
    ::unlink(address.sun_path); // a socket left behind by a killed copy would make bind() fail
    m_listening = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_listening < 0)
        return true;
    if (::bind(m_listening, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listening, 4) != 0) {
        ::close(m_listening);
        m_listening = -1;
        return true;
    }
    m_notifier = std::make_unique<QSocketNotifier>(m_listening, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        for (int client; (client = ::accept4(m_listening, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
            ::close(client);
            emit activationRequested();
        }
    });
#endif
    return true;
}

bool SingleInstance::notifyRunning() const {
    if (m_folder.isEmpty())
        return false;
#ifdef _WIN32
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(1000))
        return false;
    socket.write("raise\n");
    socket.waitForBytesWritten(500);
    socket.disconnectFromServer();
    return true;
#else
    sockaddr_un address;
    if (!socketAddress(m_serverName, address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool reached = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (reached)
        (void)::send(fd, "raise\n", 6, MSG_NOSIGNAL); // the running copy may have closed it already
    ::close(fd);
    return reached;
#endif
}

QString SingleInstance::lockPath() const {
    return m_folder.isEmpty() ? QString() : m_lock->fileName();
}
