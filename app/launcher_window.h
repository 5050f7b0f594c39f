#pragma once
// Form2: the caption-less launcher menu of ten items, with the access-password panel (Frame1) and the
// alarm panel (Frame2).
#include "app/launcher_model.h"

#include <QWidget>

class EventLabel;
class Form1;
class QCheckBox;
class QComboBox;
class QFrame;
class QLineEdit;
class QPushButton;

class Form2 : public QWidget {
    Q_OBJECT
public:
    explicit Form2(Form1& app, QWidget* parent = nullptr);

    void clickItem(int item);
    // The alarm item's caption follows the alarm ("关定时 " while one is set).
    void refreshAlarmCaption();
    // After a wrong password the window system may hand the focus to a calendar, which would close the launcher:
    // true once after that answer, with the launcher active again and the password box focused.
    bool takeFocusBack();

protected:
    void mouseMoveEvent(QMouseEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    // Esc puts an open panel away, else closes the launcher.
    void keyPressEvent(QKeyEvent* e) override;

private:
    void buildMenu();
    void buildPasswordPanel();
    void buildAlarmPanel();
    void highlight(int item); // -1: all plain
    void showPanel(QFrame* panel, int top);
    void hidePanels();
    void keepOnScreen();
    void passwordOk();
    void passwordCancel();
    void refocusPasswordBox();
    void alarmOk();
    void deskStateChanged();
    void openGuarded();

    Form1& m_app;
    LauncherModel m_model;
    int menuIndex = -1;
    bool m_focusBackPending = false;
    int m_baseHeight = 0;
    EventLabel* m_image1;
    EventLabel* m_items[kLauncherItems];
    EventLabel* m_icons[kLauncherItems];
    QFrame* m_frame1;
    QLineEdit* m_text1;
    QCheckBox* m_check1;
    QPushButton* m_command1[2];
    QFrame* m_frame2;
    QComboBox* m_combo1[2];
    QPushButton* m_command2[2];
};

QPixmap launcherItemIcon(int item, int side);
