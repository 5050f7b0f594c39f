#pragma once
// One running copy per user: a lock file in the user's private runtime folder marks the running copy (a lock left by a
// killed process is taken over), and a local socket lets a second copy ask the first to raise its calendar window.
// On Unix the socket is the system's own (AF_UNIX), so the program does not load Qt's network library at start.
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QSocketNotifier;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `key` names the instance; tests use a unique one.
    explicit SingleInstance(const QString& key, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the only copy (or no private folder holds a lock: see guarded()); it then
    // listens for activation requests.
    bool acquire();
    // False when there is no private runtime folder for the lock, so that a second copy cannot be told apart.
    bool guarded() const { return !m_folder.isEmpty(); }
    // From a second copy: asks the running one to come to the front. False when nobody answered.
    bool notifyRunning() const;

    static QString defaultKey();
    // Where the lock and the socket live: $XDG_RUNTIME_DIR, else a 0700 folder of this user under the
    // temporary folder; empty when neither is private to this user.
    static QString runtimeFolder();
    // The folder tried when $XDG_RUNTIME_DIR is not private: quillet-<uid> in the temporary folder.
    static QString fallbackFolder();
    QString lockPath() const;

signals:
    void activationRequested();

private:
    QString m_folder;
    QString m_serverName;
    std::unique_ptr<QLockFile> m_lock;
#ifdef _WIN32
    std::unique_ptr<QLocalServer> m_server;
#else
    int m_listening = -1; // the socket's descriptor while this copy listens
    std::unique_ptr<QSocketNotifier> m_notifier;
#endif
};
