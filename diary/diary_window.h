#pragma once
// Form5: the diary window. One day's entry of one month in Text1; year, month and day boxes that reload
// the month when picked; save, export and close buttons drawn as hover pictures; and the export panel
// Frame1 that shows the readable month and offers to keep it as a text file.
#include "diary/diary_book.h"

#include <QWidget>
#include <string>

class EventLabel;
class ProgramHost;
class QComboBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class Form5 : public QWidget {
    Q_OBJECT
public:
    // The launcher opens the diary on a date; the month loads when the window is first shown.
    Form5(ProgramHost& app, int year, int month, int day, QWidget* parent = nullptr);

    // The shown year, month and day as texts; set by the launcher before showing, then by the window.
    std::string nownian;
    std::string nowyue;
    std::string nowri;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    void buildDateRow();
    void buildButtons();
    void buildExportPanel();
    void formLoad();
    void loadMonth();
    void comboPicked(int index);
    void showLoadedDate();
    bool offerToSave();
    bool saveEntry();
    void highlight(int index); // -1: no button highlighted
    void exportMonth();
    void saveDay();
    void closeExportPanel();
    void tell(const Notice& notice);

    ProgramHost& m_app;
    DiaryBook m_book;
    bool m_loaded = false;
    QString m_loadedText; // Text1 as loaded or last saved: anything else is an unsaved change
    QComboBox* m_combo1[4];
    QLabel* m_label3[4]; // Label3(0), (1), (2) and (4)
    QPlainTextEdit* m_text1;
    EventLabel* m_image1[3];
    EventLabel* m_image2[3];
    QLabel* m_image3;
    QFrame* m_frame1;
    QPlainTextEdit* m_text2;
    QPushButton* m_command1;
};
