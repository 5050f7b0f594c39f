#include "ui/ui_prompts.h"

#include <QMessageBox>
#include <cstdio>

bool Prompts::s_capture = false;
bool Prompts::s_echo = false;
std::deque<NoticeAnswer> Prompts::s_answers;
std::vector<Notice> Prompts::s_shown;

namespace {

QMessageBox::Icon qtIcon(NoticeIcon icon) {
    switch (icon) {
    case NoticeIcon::Information:
        return QMessageBox::Information;
    case NoticeIcon::Exclamation:
        return QMessageBox::Warning;
    case NoticeIcon::Question:
        return QMessageBox::Question;
    case NoticeIcon::Critical:
        return QMessageBox::Critical;
    case NoticeIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

NoticeAnswer defaultAnswer(NoticeButtons buttons) {
    return buttons == NoticeButtons::YesNo ? NoticeAnswer::Yes : NoticeAnswer::Ok;
}

} // namespace

NoticeAnswer Prompts::show(QWidget* parent, const Notice& notice) {
    if (s_echo) {
        std::fprintf(stderr, "[%s] %s\n", notice.title.c_str(), notice.text.c_str());
        return defaultAnswer(notice.buttons);
    }
    if (s_capture || !s_answers.empty()) {
        s_shown.push_back(notice);
        if (s_answers.empty())
            return defaultAnswer(notice.buttons);
        NoticeAnswer answer = s_answers.front();
        s_answers.pop_front();
        return answer;
    }
    QMessageBox box(qtIcon(notice.icon), QString::fromStdString(notice.title), QString::fromStdString(notice.text),
                    QMessageBox::NoButton, parent);
    switch (notice.buttons) {
    case NoticeButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case NoticeButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case NoticeButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return NoticeAnswer::Yes;
    case QMessageBox::No:
        return NoticeAnswer::No;
    case QMessageBox::Cancel:
        return NoticeAnswer::Cancel;
    default:
        return NoticeAnswer::Ok;
    }
}

NoticeAnswer Prompts::show(QWidget* parent, const QString& title, const QString& text, NoticeIcon icon,
                           NoticeButtons buttons) {
    return show(parent, Notice{title.toStdString(), text.toStdString(), icon, buttons});
}

void Prompts::setNextAnswer(NoticeAnswer answer) {
    s_answers.push_back(answer);
}
void Prompts::startCapture() {
    s_capture = true;
}
void Prompts::startEcho() {
    s_echo = true;
}
void Prompts::stopCapture() {
    s_capture = false;
    s_answers.clear();
}
const std::vector<Notice>& Prompts::shown() {
    return s_shown;
}
void Prompts::clearShown() {
    s_shown.clear();
}
