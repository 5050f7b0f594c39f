#pragma once
// The one seam through which windows show modal message boxes. Tests queue answers and read what was shown,
// so a window test never blocks on a box.
#include "common/notice.h"

#include <QString>
#include <deque>
#include <functional>
#include <vector>

class QMessageBox;
class QWidget;

class Prompts {
public:
    static NoticeAnswer show(QWidget* parent, const Notice& notice);
    static NoticeAnswer show(QWidget* parent, const QString& title, const QString& text, NoticeIcon icon,
                             NoticeButtons buttons = NoticeButtons::Ok);
    // The box `show` runs: Chinese button texts, wide enough for its title, the text shown as plain text.
    static QMessageBox* makeBox(QWidget* parent, const Notice& notice);
    // The 是/否/取消 question before unsaved work is dropped. True to go on: on 是 once `save` worked, on 否
    // at once; false to go back to the work (取消, Esc, the box's close button).
    static bool offerToSave(QWidget* parent, const Notice& question, const std::function<bool()>& save);

    // Test hooks: while answers are queued (or capture is on), no box is shown; each call takes the next
    // queued answer (Ok/Yes by default) and records the notice.
    static void setNextAnswer(NoticeAnswer answer);
    static void startCapture();
    static void stopCapture();
    // Prints each notice on stderr and answers it with its default instead of showing a box.
    static void startEcho();
    static const std::vector<Notice>& shown();
    static void clearShown();

private:
    static bool s_capture;
    static bool s_echo;
    static std::deque<NoticeAnswer> s_answers;
    static std::vector<Notice> s_shown;
};
