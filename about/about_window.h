#pragma once
// frmAbout: the About box with the title, the logo, the maker's mail and web links, the disclaimer,
// "确  定" and "系统(&S)" (the platform's system-information tool).
#include "about/about_box.h"

#include <QWidget>

class EventLabel;
class ProgramHost;
class QLabel;
class QPushButton;

class frmAbout : public QWidget {
    Q_OBJECT
public:
    explicit frmAbout(ProgramHost& app, QWidget* parent = nullptr);

    // Finds the system-information tool and starts it, or says "此时系统信息不可用".
    void StartSysInfo();

protected:
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    void buildTexts();
    void buildLinks();
    void applyHover();

    AboutHover m_hover;
    EventLabel* m_image1;
    QLabel* m_label1;
    QLabel* m_lblVersion;
    QLabel* m_label3;
    QLabel* m_label4;
    EventLabel* m_label2[2];
    EventLabel* m_lblDisclaimer;
    QPushButton* m_command1;
    QPushButton* m_command2;
};
