#pragma once
// Form6: the memo book. Six rows of memos with a scroll bar, an editor with its due-time picker, and a small
// right-click menu (Frame3) to view, change, cancel or reactivate, and delete a memo. Every write is followed
// by the load step, so the rows always show what bwl/bwl.cjf holds.
#include <QStringList>
#include <QWidget>
#include <array>
#include <memory>
#include <string>

class EventLabel;
class ProgramHost;
class MemoBookScreen;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;
class QTimer;

class Form6 : public QWidget {
    Q_OBJECT
public:
    explicit Form6(ProgramHost& app, QWidget* parent = nullptr);
    ~Form6() override;

    const MemoBookScreen& screen() const { return *m_screen; }
    // A memo being typed, for the reminder's close-and-reopen: the editor's text, the four picker values
    // and the number of the memo a change goes to ("0" for a new memo); empty when nothing is being typed.
    // The draft is handed over: the close that follows asks nothing about it.
    Q_INVOKABLE QStringList draftForReload();
    // Opens the editor again on such a draft.
    Q_INVOKABLE void restoreDraft(const QStringList& draft);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A memo being typed is offered for saving first (是/否/取消).
    void closeEvent(QCloseEvent* event) override;

private:
    void buildEditor();
    void buildList();
    void buildMenu();
    void connectControls();

    // When the window opens and after every write.
    void loadStep();
    void showRows();
    void refreshClock();
    void setPicker(const std::array<std::string, 4>& values);
    QString pickerDue() const;
    void readOnlyLook();
    void editableLook();

    QStringList draft() const;
    void startDraft();
    bool offerToSave();
    bool saveDraft();
    void command1Clicked();
    void cellPressed(int index, Qt::MouseButton button, QPoint pos);
    void highlightRow(int row);
    void highlightMenuItem(int item);
    void menuItemClicked(int item);
    void placeMenu(QWidget* cell, QPoint pos);

    ProgramHost& m_app;
    std::unique_ptr<MemoBookScreen> m_screen; // held apart: the header stays free of the model's names

    QPlainTextEdit* m_text1;
    QPushButton* m_command1;
    QFrame* m_frame1;
    std::array<QComboBox*, 4> m_combo1;
    std::array<QLabel*, 4> m_label3;
    QLabel* m_label5; // the year list's range
    QFrame* m_frame2;
    std::array<QLabel*, 4> m_label1;
    std::array<EventLabel*, 18> m_label4; // six rows of three cells
    std::array<QCheckBox*, 6> m_check1;
    QScrollBar* m_vscroll1;
    QFrame* m_frame3;
    std::array<EventLabel*, 4> m_label2;
    QTimer* m_timer1;
    QStringList m_draftStart; // the draft as editing began: anything else is unsaved work
    bool m_draftHandedOver = false;
};
