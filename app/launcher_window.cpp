#include "app/launcher_window.h"

#include "app/form1.h"
#include "common/data_paths.h"
#include "common/numeric_text.h"
#include "desk/desk_calendar_window.h"
#include "platform/shell_open.h"
#include "ui/twips.h"
#include "ui/ui_event_label.h"
#include "ui/ui_names.h"
#include "ui/ui_prompts.h"
#include "ui/ui_style.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace {
constexpr int kWidth = 132;
constexpr int kBanner = 22;
constexpr int kItemTop = 6;
constexpr int kItemHeight = 22;
constexpr int kItemLeft = 46;
constexpr int kPanelWidth = 124;

QPixmap bannerPixmap(QSize size) {
    QPixmap pm(size);
    QPainter p(&pm);
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, QColor(196, 32, 38));
    g.setColorAt(1, QColor(120, 16, 20));
    p.fillRect(pm.rect(), g);
    p.setPen(QColor(255, 230, 200));
    QFont f = uiFont(9, true);
    p.setFont(f);
    p.translate(size.width() / 2.0 + 5, size.height() - 8);
    p.rotate(-90);
    p.drawText(0, 0, "Quillet 工具");
    return pm;
}
} // namespace

QPixmap launcherItemIcon(int item, int side) {
    static const char* const glyphs[kLauncherItems] = {"退", "帮", "设", "关", "时", "网", "密", "通", "日", "备"};
    static const QColor colours[kLauncherItems] = {{150, 40, 40},  {40, 110, 170}, {90, 90, 90},   {60, 130, 90},
                                                   {200, 120, 20}, {30, 120, 200}, {120, 60, 150}, {30, 140, 140},
                                                   {170, 80, 40},  {200, 40, 90}};
    QPixmap pm(side, side);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colours[item]);
    p.drawRoundedRect(QRectF(0.5, 0.5, side - 1, side - 1), 3, 3);
    p.setPen(Qt::white);
    QFont f = uiFont(7, true);
    f.setPixelSize(side - 5);
    p.setFont(f);
    p.drawText(pm.rect(), Qt::AlignCenter, glyphs[item]);
    return pm;
}

Form2::Form2(Form1& app, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_app(app),
      m_model(app.state(), app.desk()) {
    setObjectName("Form2");
    setWindowTitle("☆Quillet>>菜单");
    setMouseTracking(true);
    setBackground(this, QColor(252, 248, 236));
    buildMenu();
    buildPasswordPanel();
    buildAlarmPanel();
    m_baseHeight = kItemTop * 2 + kItemHeight * kLauncherItems;
    setFixedSize(kWidth, m_baseHeight);
    m_image1->setFixedHeight(m_baseHeight);
    m_image1->setPixmap(bannerPixmap(QSize(kBanner, m_baseHeight)));

    // Load: the remembered choice and the alarm item's caption.
    m_check1->setChecked(m_app.state().mryy);
    refreshAlarmCaption();
}

void Form2::refreshAlarmCaption() {
    m_items[ItemAlarm]->setText(QString::fromStdString(m_model.caption(ItemAlarm)));
}

void Form2::buildMenu() {
    m_image1 = named(new EventLabel(this), "Image1");
    m_image1->setGeometry(0, 0, kBanner, 10);
    connect(m_image1, &EventLabel::clicked, this, &QWidget::close);
    connect(m_image1, &EventLabel::moved, this, [this] { highlight(-1); });
    for (int i = 0; i < kLauncherItems; ++i) {
        const int top = kItemTop + i * kItemHeight;
        m_icons[i] = named(new EventLabel(this), "Image2", i);
        m_icons[i]->setGeometry(kBanner + 4, top + 3, 16, 16);
        m_icons[i]->setPixmap(launcherItemIcon(i, 16));
        m_items[i] = named(new EventLabel(QString::fromStdString(m_model.caption(i)), this), "Label1", i);
        m_items[i]->setGeometry(kItemLeft, top, kWidth - kItemLeft - 4, kItemHeight);
        m_items[i]->setCursor(Qt::PointingHandCursor);
        connect(m_items[i], &EventLabel::entered, this, [this, i] { highlight(i); });
        connect(m_items[i], &EventLabel::moved, this, [this, i] { highlight(i); });
        connect(m_items[i], &EventLabel::clicked, this, [this, i] { clickItem(i); });
    }
    highlight(-1);
}

void Form2::buildPasswordPanel() {
    m_frame1 = named(new QFrame(this), "Frame1");
    m_frame1->setAccessibleName("访问密码");
    m_frame1->setFrameShape(QFrame::Box);
    m_frame1->setGeometry(twipsToPx(60), 0, kPanelWidth, 82);
    setBackground(m_frame1, QColor(255, 250, 220));
    auto* label2 = named(new QLabel("访问密码", m_frame1), "Label2");
    label2->setGeometry(6, 3, 100, 18);
    m_text1 = named(new QLineEdit(m_frame1), "Text1");
    maskWithStars(m_text1);
    m_text1->setGeometry(6, 21, kPanelWidth - 12, 20);
    m_check1 = named(new QCheckBox("默认应用", m_frame1), "Check1");
    m_check1->setGeometry(6, 42, kPanelWidth - 12, 16);
    for (int i = 0; i < 2; ++i) {
        m_command1[i] = named(new QPushButton(i == 0 ? "确定" : "取消", m_frame1), "Command1", i);
        m_command1[i]->setGeometry(6 + i * 58, 59, 54, 20);
    }
    connect(m_command1[0], &QPushButton::clicked, this, &Form2::passwordOk);
    connect(m_command1[1], &QPushButton::clicked, this, &Form2::passwordCancel);
    connect(m_text1, &QLineEdit::returnPressed, this, &Form2::passwordOk);
    cancelOnEscape(m_command1[1], m_frame1);
    m_frame1->hide();
}

void Form2::buildAlarmPanel() {
    m_frame2 = named(new QFrame(this), "Frame2");
    m_frame2->setAccessibleName("Frame2");
    m_frame2->setFrameShape(QFrame::Box);
    m_frame2->setGeometry(twipsToPx(60), 0, kPanelWidth, 52);
    setBackground(m_frame2, QColor(255, 250, 220));
    const std::vector<std::string> entries[2] = {LauncherModel::hourEntries(), LauncherModel::minuteEntries()};
    const char* units[2] = {"时", "分"};
    for (int i = 0; i < 2; ++i) {
        m_combo1[i] = named(new QComboBox(m_frame2), "Combo1", i);
        for (const std::string& e : entries[i])
            m_combo1[i]->addItem(QString::fromStdString(e));
        m_combo1[i]->setGeometry(4 + i * 60, 4, 40, 20);
        auto* unit = named(new QLabel(units[i], m_frame2), "Label3", i + 1);
        unit->setGeometry(46 + i * 60, 4, 14, 20);
        m_command2[i] = named(new QPushButton(i == 0 ? "确定" : "取消", m_frame2), "Command2", i);
        m_command2[i]->setGeometry(6 + i * 58, 28, 54, 20);
    }
    connect(m_command2[0], &QPushButton::clicked, this, &Form2::alarmOk);
    connect(m_command2[1], &QPushButton::clicked, this, [this] { hidePanels(); });
    cancelOnEscape(m_command2[1], m_frame2);
    m_frame2->hide();
}

void Form2::highlight(int item) {
    for (int i = 0; i < kLauncherItems; ++i) {
        const bool on = i == item;
        m_items[i]->setFont(uiFont(9, on));
        m_items[i]->setFrameShape(on ? QFrame::Box : QFrame::NoFrame);
        m_items[i]->setAutoFillBackground(on);
        if (on)
            setBackground(m_items[i], QColor(255, 226, 150));
    }
}

void Form2::mouseMoveEvent(QMouseEvent* e) {
    highlight(-1);
    QWidget::mouseMoveEvent(e);
}

void Form2::showPanel(QFrame* panel, int top) {
    panel->move(panel->x(), top);
    // The launcher grows when a panel under one of the last items would stand below its edge.
    setFixedHeight(qMax(m_baseHeight, top + panel->height() + 2));
    keepOnScreen();
    panel->show();
    panel->raise();
}

// A launcher grown near the bottom of the screen moves up, so its panel is never below the screen's edge.
void Form2::keepOnScreen() {
    const QScreen* s = screen();
    if (!s)
        return;
    const QRect area = s->availableGeometry();
    const QRect frame = frameGeometry();
    QPoint at = pos();
    at.setY(qMax(area.top(), qMin(frame.top(), area.bottom() + 1 - frame.height())) + (at.y() - frame.top()));
    at.setX(qMax(area.left(), qMin(frame.left(), area.right() + 1 - frame.width())) + (at.x() - frame.left()));
    if (at != pos())
        move(at);
}

void Form2::keyPressEvent(QKeyEvent* e) {
    if (e->key() != Qt::Key_Escape)
        return QWidget::keyPressEvent(e);
    if (m_frame1->isVisible() || m_frame2->isVisible())
        hidePanels();
    else
        close();
}

void Form2::hidePanels() {
    m_frame1->hide();
    m_frame2->hide();
    setFixedHeight(m_baseHeight);
}

void Form2::clickItem(int item) {
    m_focusBackPending = false;
    hidePanels();
    menuIndex = item;
    if (LauncherModel::isGuarded(item)) {
        int top = m_items[item]->y() + m_items[item]->height() - (item == ItemSettings ? twipsToPx(160) : 0);
        showPanel(m_frame1, top);
        m_text1->setText(QString::fromStdString(m_model.prefill()));
        m_text1->setFocus();
        return;
    }
    switch (item) {
    case ItemExit:
        m_app.exitProgram();
        return;
    case ItemHelp:
        shellOpenDocument(pathToUtf8(dataPath({"pavo.htm"})));
        break;
    case ItemAbout:
        m_app.openAbout();
        break;
    case ItemAlarm:
        if (m_model.alarmSet()) {
            m_model.alarmOff();
            deskStateChanged();
            refreshAlarmCaption();
            break;
        } else {
            const LocalDateTime now = m_app.clock().now();
            showPanel(m_frame2, m_items[ItemAlarm]->y() + twipsToPx(240));
            m_combo1[0]->setCurrentText(QString::fromStdString(twoDigits(now.hour)));
            m_combo1[1]->setCurrentText(QString::fromStdString(twoDigits(now.minute)));
            m_combo1[0]->setFocus();
            return;
        }
    case ItemBrowser:
        shellOpenDocument(m_app.state().MRURL);
        break;
    case ItemEncryptor:
        m_app.openEncryptor();
        break;
    default:
        return;
    }
    m_app.closeLauncher();
}

void Form2::passwordOk() {
    std::optional<Notice> wrong = m_model.confirm(m_check1->isChecked(), m_text1->text().toStdString());
    m_text1->clear();
    if (wrong) {
        // The panel stays for the next try, the box emptied and focused.
        Prompts::show(this, *wrong);
        refocusPasswordBox();
        m_focusBackPending = true;
        return;
    }
    hidePanels();
    openGuarded();
}

bool Form2::takeFocusBack() {
    if (!m_focusBackPending)
        return false;
    m_focusBackPending = false;
    refocusPasswordBox();
    return true;
}

void Form2::refocusPasswordBox() {
    show();
    raise();
    activateWindow();
    m_text1->setFocus();
}

void Form2::hideEvent(QHideEvent* e) {
    m_focusBackPending = false;
    QWidget::hideEvent(e);
}

void Form2::openGuarded() {
    const LocalDateTime today = m_app.clock().now();
    switch (menuIndex) {
    case ItemSettings:
        m_app.openSettings();
        break;
    case ItemAddressBook:
        m_app.openAddressBook();
        break;
    case ItemDiary:
        m_app.openDiary(today.year, today.month, today.day);
        break;
    case ItemMemoBook:
        m_app.openMemoBook();
        break;
    default:
        return;
    }
    m_app.closeLauncher();
}

void Form2::passwordCancel() {
    m_text1->clear();
    hidePanels();
}

// The desk calendar's alarm timer looks at a changed alarm at once: one set for the current minute rings now.
void Form2::deskStateChanged() {
    if (Form3* desk = m_app.windowAs<Form3>(WindowId::Form3))
        desk->deskStateChanged();
}

void Form2::alarmOk() {
    m_model.setAlarm(m_combo1[0]->currentText().toStdString(), m_combo1[1]->currentText().toStdString(),
                     m_app.clock().now());
    deskStateChanged();
    refreshAlarmCaption(); // the hidden launcher may be shown again without being loaded anew
    hide();
    hidePanels();
}
