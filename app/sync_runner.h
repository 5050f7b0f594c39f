#pragma once
// "同步" from the launcher and the tray menu, and the background sync at the interval of the sync settings:
// quillet-cli sync runs as a separate process on the program's data folder, so every window keeps working while
// it runs. The program holds no lock meanwhile; quillet-cli takes the data-folder lock for each of its short
// steps. Afterwards an open memo book and address book read the files again, keeping what the user is typing.
#include "app/sync_run.h"

#include <QObject>
#include <QString>

class Form1;
class QProcess;
class QTimer;

class SyncRunner : public QObject {
    Q_OBJECT
public:
    // It runs quillet-cli found beside the program file.
    explicit SyncRunner(Form1& app, QObject* parent = nullptr);
    ~SyncRunner() override;

    // Another quillet-cli (the window tests give a stand-in).
    void setProgram(const QString& program) { m_program = program; }

    // Starts a sync. Asked by the user it ends in a message; `quiet` (the interval) says only a failure, and a
    // failure only once until a sync succeeds again. While one runs, a second request is told so (or, quiet,
    // ignored).
    void start(bool quiet = false);
    bool running() const { return m_process != nullptr; }

signals:
    void finished();

private:
    void ended(const SyncRunEnd& run);
    void reloadBooks();
    void minuteTick();

    Form1& m_app;
    QString m_program;
    QProcess* m_process = nullptr;
    bool m_quiet = false;
    bool m_failureTold = false;
    int m_minutes = 0; // since the last sync, for the interval
    QTimer* m_minuteTimer;
};
