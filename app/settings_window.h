#pragma once
// Form9: the settings window. Each opening fills the boxes from memory; "保存" checks them, asks, stores
// them in memory and rewrites "pavosz.cjf"; "取消" and the close box store nothing.
#include <QWidget>

class Form1;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

class Form9 : public QWidget {
    Q_OBJECT
public:
    explicit Form9(Form1& app, QWidget* parent = nullptr);

private:
    void buildControls();
    void loadFromMemory();
    void save();

    Form1& m_app;
    QFrame* m_frame1;
    QLabel* m_label1[6];
    QLineEdit* m_text1[5];
    QPushButton* m_command1[2];
};
