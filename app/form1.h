#pragma once
// The start-up window: never shown, alive for the whole run. It owns the program-wide state, the clock and
// the music, and it opens and closes every other window.
#include "app/program_state.h"
#include "common/clock.h"

#include <QPointer>
#include <QWidget>
#include <array>
#include <memory>

class Music;
class MciDevice;
class Form2;
class Form3;
class Form7;
struct AnnouncedMemo;

enum class WindowId { Form2, Form3, Form4, Form5, Form6, Form7, Form8, Form9, Form10, Form11, FrmAbout, Count };

class Form1 : public QWidget {
    Q_OBJECT
public:
    Form1(const Clock& clock, std::unique_ptr<MciDevice> mci, QWidget* parent = nullptr);
    ~Form1() override;

    Form1State& state() { return m_state; }
    Form3State& desk() { return m_desk; }
    const Clock& clock() const { return m_clock; }
    Music& music() { return *m_music; }

    // The open window with that id, or nullptr.
    QWidget* window(WindowId id) const { return m_windows[static_cast<int>(id)].data(); }
    template <class W> W* windowAs(WindowId id) const { return qobject_cast<W*>(window(id)); }

    // Shows the desk calendar (creating it when closed); at `pos` when given.
    Form3* showDeskCalendar(const QPoint* pos = nullptr);
    // The launcher, created when missing (not shown).
    Form2* launcher();
    void closeLauncher();

    // The tools of the launcher.
    void openSettings();
    void openAbout();
    void openEncryptor();
    void openAddressBook();
    void openDiary(int year, int month, int day);
    void openMemoBook();
    // The memo check's pop-up (Form7), shown with a due memo; one pop-up at a time.
    Form7* showReminder(const AnnouncedMemo& memo);
    // The wall calendar takes the desk calendar's place at `pos`.
    void openWallCalendar(const QPoint& pos);
    // Raises the window that stands for the program (the wall calendar while it is shown, else the desk calendar).
    void raiseCalendar();

    // The launcher's exit: stop the music, close every window in order, end the event loop.
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
    Form1State m_state;
    Form3State m_desk;
    std::array<QPointer<QWidget>, static_cast<int>(WindowId::Count)> m_windows;
    bool m_deskPlaced = false;
};
