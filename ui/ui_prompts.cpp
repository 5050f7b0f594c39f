#include "ui/ui_prompts.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <cstdio>
#include <memory>

bool Prompts::s_capture = false;
bool Prompts::s_echo = false;
std::deque<NoticeAnswer> Prompts::s_answers;
std::vector<Notice> Prompts::s_shown;

namespace {

constexpr int kTitleBarExtras = 180;

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
    return buttons == NoticeButtons::YesNo || buttons == NoticeButtons::YesNoCancel ? NoticeAnswer::Yes
                                                                                    : NoticeAnswer::Ok;
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
    std::unique_ptr<QMessageBox> box(makeBox(parent, notice));
    switch (box->exec()) {
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

QMessageBox* Prompts::makeBox(QWidget* parent, const Notice& notice) {
    auto* box = new QMessageBox(qtIcon(notice.icon), QString::fromStdString(notice.title),
                                QString::fromStdString(notice.text), QMessageBox::NoButton, parent);
    box->setTextFormat(Qt::PlainText);
    switch (notice.buttons) {
    case NoticeButtons::Ok:
        box->setStandardButtons(QMessageBox::Ok);
        break;
    case NoticeButtons::YesNo:
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setEscapeButton(QMessageBox::No); // Esc declines
        break;
    case NoticeButtons::YesNoCancel:
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box->setEscapeButton(QMessageBox::Cancel); // Esc and the close box go back
        break;
    case NoticeButtons::OkCancel:
        box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box->setEscapeButton(QMessageBox::Cancel);
        break;
    }
    // The program's own button texts, also where Qt's Chinese translation is not installed.
    const std::pair<QMessageBox::StandardButton, const char*> texts[] = {
        {QMessageBox::Ok, "确定"}, {QMessageBox::Yes, "是"}, {QMessageBox::No, "否"}, {QMessageBox::Cancel, "取消"}};
    for (auto [which, text] : texts)
        if (QAbstractButton* b = box->button(which))
            b->setText(QString::fromUtf8(text));
    // A message box sizes itself to its text, and a short text leaves the title cut off by the window frame:
    // make room for the title, the frame's icon and its three window buttons.
    const int titleWidth = QFontMetrics(box->font()).horizontalAdvance(box->windowTitle()) + kTitleBarExtras;
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout()))
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
    return box;
}

bool Prompts::offerToSave(QWidget* parent, const Notice& question, const std::function<bool()>& save) {
    switch (show(parent, question)) {
    case NoticeAnswer::Yes:
        return save();
    case NoticeAnswer::No:
        return true;
    default:
        return false;
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
