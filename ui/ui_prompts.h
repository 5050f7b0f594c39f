#pragma once
// The one seam through which windows show modal message boxes. Tests queue answers and read what was shown,
// so a window test never blocks on a box.
#include "common/notice.h"

#include <QString>
#include <deque>
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
