#pragma once
// What a window may ask of the program: the shared state, the clock and its jumps, the music, the launcher, and the
// other windows. The start-up window (Form1, in app/) implements it and hands itself to every window it
// opens, so no window depends on the program that knows them all.
#include "common/clock.h"
#include "common/program_state.h"

#include <QWidget>

class ClockChangeWatch;
class Music;
class QPoint;
struct AnnouncedMemo;

enum class WindowId { Form2, Form3, Form4, Form5, Form6, Form7, Form8, Form9, Form10, Form11, FrmAbout, Count };

class ProgramHost {
public:
    virtual Form1State& state() = 0;
    virtual Form3State& desk() = 0;
    virtual const Clock& clock() const = 0;
    virtual Music& music() = 0;
    // Jumps of the wall clock, for the windows whose timers aim at its seconds, minutes or hours.
    virtual ClockChangeWatch& clockWatch() = 0;

    // The open window with that id, or nullptr.
    virtual QWidget* window(WindowId id) const = 0;
    template <class W> W* windowAs(WindowId id) const { return qobject_cast<W*>(window(id)); }

    // Shows the desk calendar (creating it when closed); at `pos` when given.
    virtual QWidget* showDeskCalendar(const QPoint* pos = nullptr) = 0;
    // The launcher, created when missing (not shown).
    virtual QWidget* launcher() = 0;
    virtual void closeLauncher() = 0;
    // A calendar got the focus: the launcher closes, unless the focus only came back from its own message box.
    virtual void calendarActivated() = 0;
    // Clicks one of the launcher's items (LauncherItem), creating the launcher when missing.
    virtual void clickLauncherItem(int item) = 0;
    // An open launcher's alarm item follows the alarm again.
    virtual void refreshLauncherAlarmCaption() = 0;

    virtual void openMemoBook() = 0;
    // The memo check's pop-up, shown with a due memo; one pop-up at a time.
    virtual QWidget* showReminder(const AnnouncedMemo& memo) = 0;
    // The wall calendar takes the desk calendar's place at `pos`.
    virtual void openWallCalendar(const QPoint& pos) = 0;
    // A modal tool disables the start-up window while it is open.
    virtual void setStartupWindowEnabled(bool enabled) = 0;

protected:
    ~ProgramHost() = default;
};
