#pragma once
// The panel's tray icon, where the desktop offers a tray: a left click raises the calendar, its menu reaches
// every tool (the guarded ones through the launcher's access password panel), syncs with a server when one is
// set up, switches autostart and ends the program as the launcher's exit does.
#include <QObject>
#include <filesystem>

class Form1;
class QIcon;
class QAction;
class QMenu;
class QSystemTrayIcon;

// The program's icon in the sizes the panels and the window manager ask for (16 to 64 pixels).
QIcon programIcon();

class TrayIcon : public QObject {
    Q_OBJECT
public:
    // `autostartFile` is the session's autostart entry, `program` the file it starts and `dataFolder` the folder
    // it names (none: the user data folder).
    TrayIcon(Form1& app, std::filesystem::path autostartFile, std::filesystem::path program,
             std::filesystem::path dataFolder = {}, QObject* parent = nullptr);
    ~TrayIcon() override;

    // Whether the icon stands in a tray (the tray may come and go with the panel).
    bool shown() const;
    QMenu* menu() const { return m_menu; }

private:
    void openThroughLauncher(int item);
    void toggleAutostart(bool on);

    Form1& m_app;
    std::filesystem::path m_autostartFile;
    std::filesystem::path m_program;
    std::filesystem::path m_dataFolder;
    QMenu* m_menu;
    QAction* m_autostart;
    QAction* m_sync; // "同步", while a server sync is set up
    QSystemTrayIcon* m_icon;
};
