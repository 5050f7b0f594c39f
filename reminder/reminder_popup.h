#pragma once
// Form7: the reminder pop-up. The memo check shows in it each due memo (the last one of a check stays);
// ticking "我知道了!  不用再提醒我了!" and closing cancels that memo in bwl/bwl.cjf. Closing, ticked or
// not, lowers the music flag so the desk calendar's next second stops the tune.
#include "reminder/memo_reminder.h"

#include <QWidget>
#include <string>

class EventLabel;
class ProgramHost;
class QCheckBox;
class QLabel;

class Form7 : public QWidget {
    Q_OBJECT
public:
    explicit Form7(ProgramHost& app, QWidget* parent = nullptr);

    // Shows a due memo: its number, and its text followed by four blanks. The tick is kept only when it was
    // given for this very memo, so a tick never cancels a memo the user has not seen.
    void announce(const AnnouncedMemo& memo);
    const std::string& announcedLine() const { return m_line; }

    // The number of the memo shown (columns 1-4 of its line, blanks kept).
    std::string bwxh;

protected:
    void closeEvent(QCloseEvent* event) override;
    // Clicks in the first half second after a memo is shown are dropped: the pop-up comes up on top of
    // whatever the user was clicking, and such a click must not tick or close it.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildControls();
    void writeBack();

    ProgramHost& m_app;
    std::string m_line;      // the whole line announced
    std::string m_tickedFor; // the line shown when the box was ticked
    LocalDateTime m_shownAt; // when the memo was shown, on the program's clock
    QLabel* m_image1;
    EventLabel* m_image2;
    EventLabel* m_image3;
    QLabel* m_image4;
    EventLabel* m_label3;
    EventLabel* m_label2;
    QLabel* m_label1;
    QCheckBox* m_check1;
};

// The memo check of the desk calendar's Timer2 for the running program: reads the memo file of the working
// directory at the program clock's hour and announces each due memo in Form7.
void runDeskMemoCheck(ProgramHost& app);

// Closes an open memo book and opens it again at the same place, so that it reloads the memo file.
void reopenMemoBook(ProgramHost& app);
