#include "app/settings_window.h"

#include "app/form1.h"
#include "app/settings_edit.h"
#include "desk/desk_calendar_window.h"
#include "ui/ui_names.h"
#include "ui/ui_prompts.h"
#include "ui/ui_style.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>

namespace {
constexpr int kWidth = 372;
constexpr int kHeight = 214;

struct Place {
    int label;     // index of Label1
    QRect labelAt; // label geometry inside Frame1
    int box;       // index of Text1, -1 for none
    QRect boxAt;
};

// The rows from top to bottom: diary key; access password and its confirmation; web address; interval.
const Place kPlaces[] = {
    {4, {10, 14, 90, 22}, 0, {104, 12, 244, 24}},  {0, {10, 48, 64, 22}, 1, {74, 46, 100, 24}},
    {1, {184, 48, 64, 22}, 2, {248, 46, 100, 24}}, {2, {10, 82, 90, 22}, 3, {104, 80, 244, 24}},
    {3, {10, 116, 90, 22}, 4, {104, 114, 60, 24}}, {5, {170, 116, 100, 22}, -1, {}},
};
// The box texts in the order of Text1(0) .. Text1(4).
std::array<std::string*, 5> boxTexts(SettingsBoxes& b) {
    return {&b.diaryKey, &b.accessKey, &b.accessConfirm, &b.webAddress, &b.interval};
}

const char* const kCaptions[] = {"访问密码",         "密码确认", "默认访问网    址",
                                 "备忘提示间    隔", "日记密钥", "(分钟,整数)"};
} // namespace

Form9::Form9(Form1& app, QWidget* parent) : QWidget(parent, Qt::Window), m_app(app) {
    setObjectName("Form9");
    setWindowTitle("☆Quillet>>设置                  Orlin工作室");
    setFixedSize(kWidth, kHeight);
    buildControls();
    loadFromMemory();
}

void Form9::buildControls() {
    m_frame1 = named(new QFrame(this), "Frame1");
    m_frame1->setGeometry(6, 4, kWidth - 12, 150);
    m_frame1->setFrameShape(QFrame::StyledPanel);
    for (const Place& place : kPlaces) {
        QLabel* label = named(new QLabel(kCaptions[place.label], m_frame1), "Label1", place.label);
        label->setGeometry(place.labelAt);
        m_label1[place.label] = label;
        if (place.box < 0)
            continue;
        QLineEdit* box = named(new QLineEdit(m_frame1), "Text1", place.box);
        box->setGeometry(place.boxAt);
        m_text1[place.box] = box;
    }
    // The access password is masked with "*" in both of its boxes.
    for (int i : {1, 2})
        maskWithStars(m_text1[i]);
    m_text1[0]->setToolTip("日记簿加密所用的密钥(只能用英文字母、数字和半角符号)");
    m_text1[4]->setToolTip("每隔多少分钟检查一次到期的备忘(1 到 546)");

    m_command1[1] = named(new QPushButton("保存", this), "Command1", 1);
    m_command1[1]->setGeometry(96, 166, 80, 30);
    m_command1[0] = named(new QPushButton("取消", this), "Command1", 0);
    m_command1[0]->setGeometry(196, 166, 80, 30);
    connect(m_command1[1], &QPushButton::clicked, this, &Form9::save);
    connect(m_command1[0], &QPushButton::clicked, this, &QWidget::close);
    cancelOnEscape(m_command1[0], this);
}

void Form9::loadFromMemory() {
    SettingsBoxes boxes = settingsBoxesFromMemory(m_app.state(), m_app.desk());
    std::array<std::string*, 5> texts = boxTexts(boxes);
    for (int i = 0; i < 5; ++i)
        m_text1[i]->setText(QString::fromStdString(*texts[i]));
}

void Form9::save() {
    SettingsBoxes boxes;
    std::array<std::string*, 5> texts = boxTexts(boxes);
    for (int i = 0; i < 5; ++i)
        *texts[i] = m_text1[i]->text().toStdString();

    if (std::optional<SettingsRefusal> refused = checkSettingsBoxes(boxes)) {
        Prompts::show(this, refused->notice);
        m_text1[static_cast<int>(refused->focus)]->setFocus();
        return;
    }
    if (Prompts::show(this, saveSettingsQuestion()) != NoticeAnswer::Yes)
        return;
    Result<void> written = saveSettings(boxes, m_app.state(), m_app.desk());
    if (!written) {
        // The old file is whole and memory was put back; the window stays open for another try.
        Prompts::show(this, writeFailureNotice(written.error()));
        return;
    }
    // The memo check comes at the new interval.
    if (Form3* desk = m_app.windowAs<Form3>(WindowId::Form3))
        desk->deskStateChanged();
    close();
}
