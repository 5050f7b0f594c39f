#include "app/form1.h"

#include "app/show_single.h"
#include "app/sync_runner.h"
#include "desk/desk_calendar_window.h"
#include "reminder/music.h"
#include "ui/clock_change_watch.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

Form1::Form1(const Clock& clock, std::unique_ptr<MciDevice> mci, QWidget* parent)
    : QWidget(parent), m_clock(clock), m_mci(std::move(mci)),
      m_music(std::make_unique<Music>(*m_mci, findTuneFolder(QCoreApplication::applicationDirPath().toStdString()))),
      m_clockWatch(new ClockChangeWatch(this)) {
    setObjectName("Form1");
    setWindowTitle("☆OrlinQuillet☆");
    m_sync = new SyncRunner(*this, this);
}

Form1::~Form1() {
    for (auto& w : m_windows)
        delete w.data();
}

Form3* Form1::showDeskCalendar(const QPoint* pos) {
    auto* desk = windowAs<Form3>(WindowId::Form3);
    const bool fresh = desk == nullptr;
    if (fresh) {
        desk = new Form3(*this);
        desk->setAttribute(Qt::WA_DeleteOnClose);
        remember(WindowId::Form3, desk);
    } else if (!desk->isVisible()) {
        m_desk.txyybz = true; // shown again, as a fresh load would
    }
    if (pos)
        desk->move(*pos);
    else if (fresh && !m_deskPlaced)
        placeAtTopRight(desk);
    m_deskPlaced = true;
    desk->show();
    desk->raise();
    desk->activateWindow();
    return desk;
}

// The first desk calendar of a run stands near the top-right corner of the screen.
void Form1::placeAtTopRight(QWidget* w) {
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect area = s->availableGeometry();
        w->move(area.right() - w->width() - 40, area.top() + 40);
    }
}

Form2* Form1::launcher() {
    auto* launcher = windowAs<Form2>(WindowId::Form2);
    if (!launcher) {
        launcher = new Form2(*this);
        launcher->setAttribute(Qt::WA_DeleteOnClose);
        remember(WindowId::Form2, launcher);
    }
    return launcher;
}

void Form1::closeLauncher() {
    if (QWidget* launcher = window(WindowId::Form2))
        launcher->close();
}

void Form1::clickLauncherItem(int item) {
    launcher()->clickItem(item);
}

void Form1::refreshLauncherAlarmCaption() {
    if (Form2* launcher = windowAs<Form2>(WindowId::Form2))
        launcher->refreshAlarmCaption();
}

void Form1::calendarActivated() {
    Form2* launcher = windowAs<Form2>(WindowId::Form2);
    if (launcher && launcher->takeFocusBack())
        return;
    closeLauncher();
}

void Form1::raiseCalendar() {
    QWidget* target = window(WindowId::Form4);
    if (!target)
        target = showDeskCalendar();
    target->show();
    target->showNormal();
    target->raise();
    target->activateWindow();
}

void Form1::exitProgram() {
    // The tools close first, in a fixed order, each running its own closing. One that keeps unsaved work
    // (the user went back to it, or its save failed) stops the exit, and the program runs on as it was.
    for (WindowId id : {WindowId::Form5, WindowId::Form6, WindowId::Form7, WindowId::Form8, WindowId::Form9,
                        WindowId::Form10, WindowId::Form11, WindowId::FrmAbout})
        if (QWidget* w = window(id); w && !w->close())
            return;
    m_music->stop();
    for (WindowId id : {WindowId::Form2, WindowId::Form3, WindowId::Form4})
        if (QWidget* w = window(id))
            w->close();
    emit exitRequested();
}
