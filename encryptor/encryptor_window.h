#pragma once
// Form10: the file encryptor. Drive, folder and file lists bound to each other, a pattern box, two masked
// password boxes, seven buttons and a view box that the window grows to show. The rules live in
// FileEncryptor; this class maps the controls to it and back. While it is open the start-up window is
// disabled.
#include "encryptor/file_encryptor.h"

#include <QWidget>
#include <array>
#include <optional>

class ProgramHost;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;

class Form10 : public QWidget {
    Q_OBJECT
public:
    explicit Form10(ProgramHost& app, QWidget* parent = nullptr);
    ~Form10() override;

    const FileEncryptor& model() const { return m_model; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildLists();
    void buildPasswordPart();
    void buildButtons();
    void connectLists();
    void render();
    void refreshLists();
    void tell(const std::optional<Notice>& notice);
    void fileChosen();
    void paintButtons(int pinkIndex); // -1: all light grey

    ProgramHost& m_app;
    FileEncryptor m_model;
    QComboBox* m_drive1;
    QListWidget* m_dir1;
    QListWidget* m_file1;
    QComboBox* m_combo1;
    std::array<QLabel*, 4> m_label1;
    std::array<QLineEdit*, 2> m_text2;
    QPlainTextEdit* m_text1;
    std::array<QPushButton*, kEncryptorButtonCount> m_command1;
    std::array<QFrame*, 2> m_line1;
    int m_shownListing = -1;
    std::string m_shownView;
    bool m_syncing = false;
    int m_pink = -1; // the button under the pointer
    bool m_mouseDownOnFiles = false;
};
