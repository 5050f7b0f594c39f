#include "app/sync_runner.h"

#include "addressbook/address_book_window.h"
#include "app/form1.h"
#include "common/data_paths.h"
#include "reminder/reminder_popup.h"
#include "ui/ui_prompts.h"

#include <QApplication>
#include <QProcess>
#include <QTimer>

#include <filesystem>

SyncRunner::SyncRunner(Form1& app, QObject* parent)
    : QObject(parent), m_app(app),
      m_program(QString::fromStdString(
          pathToUtf8(findCliProgram(pathFromUtf8(QApplication::applicationDirPath().toStdString()))))),
      m_minuteTimer(new QTimer(this)) {
    m_minuteTimer->setInterval(60 * 1000);
    connect(m_minuteTimer, &QTimer::timeout, this, &SyncRunner::minuteTick);
    m_minuteTimer->start();
}

// A run still going at the end of the program gets a moment to finish its step; every file it writes is replaced
// atomically, so stopping it later loses nothing written before.
SyncRunner::~SyncRunner() {
    if (m_process) {
        m_process->disconnect(this);
        m_process->waitForFinished(10000);
    }
}

void SyncRunner::start(bool quiet) {
    if (m_process) {
        if (!quiet)
            Prompts::show(nullptr, syncBusyNotice());
        return;
    }
    m_quiet = quiet;
    m_minutes = 0;
    m_process = new QProcess(this);
    const QString data = QString::fromStdString(pathToUtf8(std::filesystem::current_path()));
    connect(m_process, &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
        ended({true, status == QProcess::CrashExit, code, m_process->readAllStandardOutput().toStdString(),
               m_process->readAllStandardError().toStdString()});
    });
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            ended({false, false, -1, {}, (m_program + ": " + m_process->errorString()).toStdString()});
    });
    m_process->start(m_program, {"--data", data, "sync"});
}

void SyncRunner::ended(const SyncRunEnd& run) {
    m_process->deleteLater();
    m_process = nullptr;
    const SyncOutcome outcome = syncOutcome(run);
    if (outcome.booksChanged)
        reloadBooks();
    const bool tell = !m_quiet || (outcome.failed && !m_failureTold);
    m_failureTold = outcome.failed && (m_failureTold || tell);
    emit finished();
    if (tell)
        Prompts::show(nullptr, outcome.notice);
}

// The memo book is opened anew (as after the reminder's cancellation) with the memo being typed; the address
// book takes the file's cards under its edits.
void SyncRunner::reloadBooks() {
    // A window waiting in a message box must not be closed or changed under it: the books are read again once the
    // box has been answered.
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(200, this, &SyncRunner::reloadBooks);
        return;
    }
    reopenMemoBook(m_app);
    if (Form8* book = m_app.windowAs<Form8>(WindowId::Form8))
        book->takeChangesFromDisk();
}

void SyncRunner::minuteTick() {
    const int interval = syncIntervalMinutes(syncSettingsPath());
    if (interval == 0 || !syncConfigured()) {
        m_minutes = 0;
        return;
    }
    if (++m_minutes >= interval)
        start(true);
}
