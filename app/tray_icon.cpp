#include "app/tray_icon.h"

#include "app/form1.h"
#include "app/launcher_model.h"
#include "app/launcher_window.h"
#include "app/sync_runner.h"
#include "desktop/autostart.h"
#include "ui/ui_prompts.h"

#include <QApplication>
#include <QCursor>
#include <QIcon>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <algorithm>

QIcon programIcon() {
    // The pictures are compiled into this static library: without a reference from code the linker would
    // leave them out of the program, and the tray would show an empty slot.
    Q_INIT_RESOURCE(icons);
    QIcon icon;
    // Up to 64 pixels: every size is decoded and handed to the window system when a window is first shown;
    // docks and menus take the larger ones from the installed icon theme.
    for (int side : {16, 22, 24, 32, 48, 64})
        icon.addFile(QString(":/icons/%1.png").arg(side), QSize(side, side));
    return icon;
}

TrayIcon::TrayIcon(Form1& app, std::filesystem::path autostartFile, std::filesystem::path program,
                   std::filesystem::path dataFolder, QObject* parent)
    : QObject(parent), m_app(app), m_autostartFile(std::move(autostartFile)), m_program(std::move(program)),
      m_dataFolder(std::move(dataFolder)), m_menu(new QMenu), m_icon(new QSystemTrayIcon(programIcon(), this)) {
    m_menu->setObjectName("TrayMenu");
    auto add = [this](const char* text, auto slot) {
        QAction* action = m_menu->addAction(QString::fromUtf8(text));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    add("显示日历", [this] { m_app.raiseCalendar(); });
    m_menu->addSeparator();
    add("备忘录", [this] { openThroughLauncher(ItemMemoBook); });
    add("日记簿", [this] { openThroughLauncher(ItemDiary); });
    add("通讯录", [this] { openThroughLauncher(ItemAddressBook); });
    add("加解密", [this] { m_app.openEncryptor(); });
    add("设置", [this] { openThroughLauncher(ItemSettings); });
    add("关于", [this] { m_app.openAbout(); });
    m_sync = add("同步", [this] { m_app.syncRunner().start(); });
    m_sync->setVisible(syncConfigured());
    m_menu->addSeparator();
    m_autostart = add("开机启动", [this](bool on) { toggleAutostart(on); });
    m_autostart->setCheckable(true);
    m_autostart->setChecked(autostartEnabled(m_autostartFile));
    m_menu->addSeparator();
    add("退出", [this] { m_app.exitProgram(); });
    // The file may have changed behind the program's back (quillet --autostart, the session's settings).
    connect(m_menu, &QMenu::aboutToShow, this, [this] {
        m_autostart->setChecked(autostartEnabled(m_autostartFile));
        m_sync->setVisible(syncConfigured()); // quillet-cli sync setup may have run meanwhile
    });

    m_icon->setToolTip("Quillet");
    m_icon->setContextMenu(m_menu);
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            m_app.raiseCalendar();
    });
    m_icon->show();
}

TrayIcon::~TrayIcon() {
    delete m_icon; // before the menu it points at
    delete m_menu;
}

bool TrayIcon::shown() const {
    return m_icon->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

// The guarded tools ask for the access password in the launcher, as they do from the calendar.
void TrayIcon::openThroughLauncher(int item) {
    Form2* launcher = m_app.launcher();
    QPoint at = QCursor::pos() - QPoint(launcher->width(), 0);
    if (QScreen* s = QGuiApplication::screenAt(QCursor::pos())) {
        const QRect area = s->availableGeometry();
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - launcher->width())));
        at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - launcher->height() - 200)));
    }
    launcher->move(at);
    launcher->show();
    launcher->raise();
    launcher->activateWindow();
    launcher->clickItem(item);
}

void TrayIcon::toggleAutostart(bool on) {
    if (auto problem = setAutostart(m_autostartFile, on, m_program, m_dataFolder)) {
        Prompts::show(nullptr, Notice{"警告", *problem, NoticeIcon::Critical, NoticeButtons::Ok});
        m_autostart->setChecked(autostartEnabled(m_autostartFile));
    }
}
