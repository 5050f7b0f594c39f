#pragma once
// The start-up window: never shown, alive for the whole run. It owns the program-wide state, the clock and
// the music, and it opens and closes every other window.
#include "app/launcher_window.h"
#include "common/clock.h"
#include "common/program_state.h"
#include "desk/desk_calendar_window.h"
#include "reminder/reminder_popup.h"
#include "ui/program.h"

#include <QPointer>
#include <QWidget>
#include <array>
#include <memory>

class ClockChangeWatch;
class Music;
class MciDevice;

class Form1 : public QWidget, public ProgramHost {
    Q_OBJECT
public:
    Form1(const Clock& clock, std::unique_ptr<MciDevice> mci, QWidget* parent = nullptr);
    ~Form1() override;

    Form1State& state() override { return m_state; }
    Form3State& desk() override { return m_desk; }
    const Clock& clock() const override { return m_clock; }
    Music& music() override { return *m_music; }
    ClockChangeWatch& clockWatch() override { return *m_clockWatch; }

    QWidget* window(WindowId id) const override { return m_windows[static_cast<int>(id)].data(); }

    Form3* showDeskCalendar(const QPoint* pos = nullptr) override;
    Form2* launcher() override;
    void closeLauncher() override;
    void clickLauncherItem(int item) override;
    void refreshLauncherAlarmCaption() override;
    void setStartupWindowEnabled(bool enabled) override { setEnabled(enabled); }
    void calendarActivated() override;

    // The tools of the launcher.
    void openSettings();
    void openAbout();
    void openEncryptor();
    void openAddressBook();
    void openDiary(int year, int month, int day);
    void openMemoBook() override;
    Form7* showReminder(const AnnouncedMemo& memo) override;
    void openWallCalendar(const QPoint& pos) override;
    // Raises the window that stands for the program (the wall calendar while it is shown, else the desk calendar).
    void raiseCalendar();

    // The launcher's exit: close every window in order, stop the music, end the event loop; a window that
    // keeps unsaved work refuses its close and the exit stops there.
    void exitProgram();

signals:
    void exitRequested();

private:
    template <class W, class... Args> W* showSingle(WindowId id, Args&&... args);
    void remember(WindowId id, QWidget* w) { m_windows[static_cast<int>(id)] = w; }
    static void placeAtTopRight(QWidget* w);

    const Clock& m_clock;
    std::unique_ptr<MciDevice> m_mci;
    std::unique_ptr<Music> m_music;
    ClockChangeWatch* m_clockWatch;
    Form1State m_state;
    Form3State m_desk;
    std::array<QPointer<QWidget>, static_cast<int>(WindowId::Count)> m_windows;
    bool m_deskPlaced = false;
};
