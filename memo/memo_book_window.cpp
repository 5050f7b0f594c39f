#include "memo/memo_book_window.h"

#include "common/data_paths.h"
#include "memo/memo_book_screen.h"
#include "ui/clock_change_watch.h"
#include "ui/program.h"
#include "ui/ui_event_label.h"
#include "ui/ui_names.h"
#include "ui/ui_prompts.h"
#include "ui/ui_style.h"
#include "ui/ui_timer.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>

namespace {

const QString kAddCaption = "添加备忘";
const QString kSaveCaption = "保存备忘";
const char* const kMenuItems[4] = {"查  看 ", "更  改 ", "注  销 ", "删  除 "};
const char* const kHeadings[4] = {"顺序号", "备忘时间", "备  忘  内  容  摘  要", "注销"};
const char* const kPickerUnits[4] = {"年", "月", "日", "时"};

static_assert(3 * kMemoRows == 18, "Form6 shows six rows of three cells");
constexpr int kRowTop = 30, kRowHeight = 34;
// Left edge and width of the number, due and text cells, then of the tick column.
constexpr int kCellLeft[4] = {6, 62, 158, 500};
constexpr int kCellWidth[4] = {54, 94, 340, 40};
const QColor kMenuHighlight(255, 230, 150);
constexpr int kFirstYear = 1900, kLastYear = 2049;

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// The picker's lists: only these values reach the file, so a due time is always ten digits.
QStringList pickerEntries(int box) {
    const int first[4] = {kFirstYear, 1, 1, 0}, last[4] = {kLastYear, 12, 31, 24};
    QStringList entries;
    for (int v = first[box]; v <= last[box]; ++v)
        entries << (box == 0 ? QString::number(v) : QString("%1").arg(v, 2, 10, QChar('0')));
    return entries;
}

void trackMouse(QWidget* w, QObject* filter) {
    w->setMouseTracking(true);
    w->installEventFilter(filter);
}

} // namespace

Form6::Form6(ProgramHost& app, QWidget* parent)
    : QWidget(parent), m_app(app), m_screen(std::make_unique<MemoBookScreen>()) {
    setObjectName("Form6");
    setWindowTitle("☆Quillet>>备忘录" + QString(36, ' ') + "Orlin工作室");
    setFixedSize(600, 430);
    setFont(uiFont(10));
    buildEditor();
    buildList();
    buildMenu();
    // The clock fields hold the hour at most: Timer1 is aimed at each turn of the clock's hour.
    m_timer1 = singleShotTimer(this, "Timer1");
    connectControls();
    readOnlyLook();
    loadStep();
}

Form6::~Form6() = default;

void Form6::buildEditor() {
    m_text1 = named(new QPlainTextEdit(this), "Text1");
    m_text1->setGeometry(12, 12, 576, 110);
    m_text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text1->setFont(uiFont(11));
    m_text1->setTabChangesFocus(true); // a tab character would stand in the memo file's line
    m_frame1 = named(new QFrame(this), "Frame1");
    m_frame1->setGeometry(12, 130, 404, 36);
    m_frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    const int widths[4] = {70, 48, 48, 48};
    for (int i = 0, x = 6; i < 4; ++i) {
        m_combo1[i] = named(new QComboBox(m_frame1), "Combo1", i);
        m_combo1[i]->addItems(pickerEntries(i));
        m_combo1[i]->setGeometry(x, 6, widths[i], 24);
        m_label3[i] = named(new QLabel(kPickerUnits[i], m_frame1), "Label3", i);
        m_label3[i]->setGeometry(x + widths[i] + 4, 6, 20, 24);
        x += widths[i] + 30;
    }
    // Shown while the clock stands outside the year list, whose nearest end the picker then offers.
    m_label5 = named(new QLabel(QString("(%1-%2)").arg(kFirstYear).arg(kLastYear), m_frame1), "Label5");
    m_label5->setGeometry(336, 6, 66, 24);
    m_label5->setFont(uiFont(8));
    m_label5->hide();
    m_command1 = named(new QPushButton(kAddCaption, this), "Command1");
    m_command1->setGeometry(428, 130, 160, 36);
}

void Form6::buildList() {
    m_frame2 = named(new QFrame(this), "Frame2");
    m_frame2->setGeometry(12, 176, 576, 240);
    m_frame2->setFrameStyle(QFrame::Box | QFrame::Sunken);
    for (int i = 0; i < 4; ++i) {
        m_label1[i] = named(new QLabel(kHeadings[i], m_frame2), "Label1", i);
        m_label1[i]->setGeometry(kCellLeft[i], 4, kCellWidth[i], 22);
        m_label1[i]->setAlignment(Qt::AlignCenter);
        m_label1[i]->setFont(uiFont(10, true));
    }
    for (int i = 0; i < 3 * kMemoRows; ++i) {
        m_label4[i] = named(new EventLabel(m_frame2), "Label4", i);
        m_label4[i]->setGeometry(kCellLeft[i % 3], kRowTop + (i / 3) * kRowHeight, kCellWidth[i % 3], kRowHeight - 2);
        m_label4[i]->setAlignment(i % 3 == 2 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
        setBackground(m_label4[i], kLightCyan);
    }
    for (int r = 0; r < kMemoRows; ++r) {
        m_check1[r] = named(new QCheckBox(m_frame2), "Check1", r);
        m_check1[r]->setGeometry(kCellLeft[3] + 12, kRowTop + r * kRowHeight + 6, 20, 20);
        m_check1[r]->setAttribute(Qt::WA_TransparentForMouseEvents); // they only display
        m_check1[r]->setFocusPolicy(Qt::NoFocus);
    }
    m_vscroll1 = named(new QScrollBar(Qt::Vertical, m_frame2), "VScroll1");
    m_vscroll1->setGeometry(548, kRowTop, 20, kMemoRows * kRowHeight);
    m_vscroll1->setSingleStep(1);
    m_vscroll1->setPageStep(kMemoRows);
}

void Form6::buildMenu() {
    m_frame3 = named(new QFrame(this), "Frame3");
    m_frame3->setGeometry(0, 0, 78, 96);
    m_frame3->setFrameStyle(QFrame::Box | QFrame::Plain);
    setBackground(m_frame3, Qt::white);
    for (int i = 0; i < 4; ++i) {
        m_label2[i] = named(new EventLabel(kMenuItems[i], m_frame3), "Label2", i);
        m_label2[i]->setGeometry(4, 4 + i * 22, 70, 22);
        m_label2[i]->setAlignment(Qt::AlignCenter);
    }
    highlightMenuItem(-1);
    m_frame3->hide();
}

void Form6::connectControls() {
    connect(m_timer1, &QTimer::timeout, this, &Form6::refreshClock);
    connect(&m_app.clockWatch(), &ClockChangeWatch::clockChanged, this, &Form6::refreshClock);
    connect(m_command1, &QPushButton::clicked, this, &Form6::command1Clicked);
    connect(m_vscroll1, &QScrollBar::valueChanged, this, [this](int value) {
        m_screen->setTop(value);
        showRows();
    });
    for (int i = 0; i < 3 * kMemoRows; ++i) {
        connect(m_label4[i], &EventLabel::pressed, this,
                [this, i](Qt::MouseButton b, QPoint pos) { cellPressed(i, b, pos); });
        connect(m_label4[i], &EventLabel::moved, this, [this, i] { highlightRow(i / 3); });
    }
    for (int i = 0; i < 4; ++i) {
        connect(m_label2[i], &EventLabel::moved, this, [this, i] { highlightMenuItem(i); });
        connect(m_label2[i], &EventLabel::clicked, this, [this, i] { menuItemClicked(i); });
    }
    // Moving over the other parts of the window puts the menu away.
    for (QWidget* w : {static_cast<QWidget*>(m_command1), static_cast<QWidget*>(m_frame1),
                       static_cast<QWidget*>(m_frame2), static_cast<QWidget*>(m_text1), m_text1->viewport()})
        trackMouse(w, this);
    for (int i = 0; i < 4; ++i) {
        trackMouse(m_label1[i], this);
        trackMouse(m_label3[i], this);
    }
    trackMouse(m_frame3, this);
}

bool Form6::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        if (watched == m_frame3)
            highlightMenuItem(-1);
        else
            m_frame3->hide();
    } else if (event->type() == QEvent::Wheel && watched == m_frame2) {
        QApplication::sendEvent(m_vscroll1, event); // the wheel over the list scrolls it
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void Form6::loadStep() {
    refreshClock();
    setPicker(m_screen->pickerNow());
    m_label5->setVisible(m_screen->bwnian() < kFirstYear || m_screen->bwnian() > kLastYear);
    if (std::optional<Notice> notice = m_screen->loadStep(dataPath({"bwl", "bwl.cjf"})))
        Prompts::show(this, *notice);
    {
        QSignalBlocker block(m_vscroll1);
        m_vscroll1->setRange(1, m_screen->book().count()); // an empty book leaves only 1
        m_vscroll1->setValue(1);
    }
    showRows();
}

void Form6::showRows() {
    const std::array<MemoRow, kMemoRows> rows = m_screen->rows();
    for (int r = 0; r < kMemoRows; ++r) {
        const MemoRow& row = rows[static_cast<std::size_t>(r)];
        m_label4[3 * r]->setText(q(row.number));
        m_label4[3 * r + 1]->setText(q(row.due));
        // A text too long for its cell ends in "…" rather than in half a character.
        QLabel* text = m_label4[3 * r + 2];
        text->setText(text->fontMetrics().elidedText(q(row.text), Qt::ElideRight, text->contentsRect().width()));
        m_check1[r]->setChecked(row.ticked);
    }
}

void Form6::refreshClock() {
    const LocalDateTime now = m_app.clock().now();
    m_screen->refreshClock(now);
    m_timer1->start(msecToNextHour(now));
}

void Form6::setPicker(const MemoPicker& values) {
    for (int i = 0; i < 4; ++i) {
        const QString value = q(values[static_cast<std::size_t>(i)]);
        int index = m_combo1[i]->findText(value);
        if (i == 0 && index < 0 && !value.isEmpty()) // a year beyond the list: its nearest end
            index = value.toInt() > kLastYear ? m_combo1[0]->count() - 1 : 0;
        if (index >= 0) // a value that is not in the list leaves the box as it was
            m_combo1[i]->setCurrentIndex(index);
    }
}

QString Form6::pickerDue() const {
    QString due;
    for (QComboBox* box : m_combo1)
        due += box->currentText();
    return due;
}

void Form6::readOnlyLook() {
    m_text1->setReadOnly(true);
    setColors(m_text1, kLightCyan, Qt::red);
    for (QComboBox* box : m_combo1)
        setBackground(box, kLightCyan);
    m_frame1->setEnabled(false);
    m_command1->setText(kAddCaption);
}

void Form6::editableLook() {
    m_text1->setReadOnly(false);
    setColors(m_text1, Qt::white, Qt::red);
    for (QComboBox* box : m_combo1)
        setBackground(box, Qt::white);
    m_frame1->setEnabled(true);
    m_command1->setText(kSaveCaption);
}

QStringList Form6::draft() const {
    if (m_text1->isReadOnly())
        return {};
    QStringList draft{m_text1->toPlainText()};
    for (QComboBox* box : m_combo1)
        draft << box->currentText();
    draft << QString::number(m_screen->editing() ? m_screen->changeTarget() : 0);
    return draft;
}

QStringList Form6::draftForReload() {
    m_draftHandedOver = true;
    return draft();
}

void Form6::startDraft() {
    m_draftStart = draft();
}

// Before the memo being typed is dropped: 是 saves it (going on only when that worked), 否 drops it, 取消
// goes back to it.
bool Form6::offerToSave() {
    const QStringList now = draft();
    if (m_draftHandedOver || now.isEmpty() || now == m_draftStart)
        return true;
    const Notice question{"提醒", "当前备忘已经修改,尚未保存。\n要先保存吗?", NoticeIcon::Question,
                          NoticeButtons::YesNoCancel};
    return Prompts::offerToSave(this, question, [this] { return saveDraft(); });
}

void Form6::closeEvent(QCloseEvent* event) {
    if (!offerToSave())
        return event->ignore();
    QWidget::closeEvent(event);
}

void Form6::restoreDraft(const QStringList& draft) {
    if (draft.size() != 6)
        return;
    editableLook();
    m_text1->setPlainText(draft[0]);
    m_text1->moveCursor(QTextCursor::End);
    setPicker({draft[1].toStdString(), draft[2].toStdString(), draft[3].toStdString(), draft[4].toStdString()});
    if (const int target = draft[5].toInt(); target > 0) {
        m_screen->select(target);
        m_screen->beginChange();
    }
    m_text1->setFocus();
    m_draftStart.clear(); // a draft brought back is unsaved work
}

void Form6::command1Clicked() {
    if (m_command1->text() == kAddCaption) {
        if (std::optional<Notice> full = m_screen->beginAdd()) {
            Prompts::show(this, *full);
            return;
        }
        editableLook();
        m_text1->clear();
        m_text1->setFocus();
        startDraft();
        return;
    }
    saveDraft();
}

// False when the typed memo could not be saved: it stays in the editor.
bool Form6::saveDraft() {
    readOnlyLook();
    std::optional<Notice> failure;
    switch (m_screen->save(pickerDue().toStdString(), m_text1->toPlainText().toStdString(), failure)) {
    case MemoSave::NothingToSave:
        break;
    case MemoSave::Saved:
        m_text1->clear();
        loadStep();
        break;
    case MemoSave::Failed:
        // The typed memo stays in the editor so that nothing is lost; saving again retries.
        Prompts::show(this, *failure);
        editableLook();
        showRows();
        return false;
    }
    return true;
}

void Form6::cellPressed(int index, Qt::MouseButton button, QPoint pos) {
    m_frame3->hide();
    const int number = index / 3 + m_screen->top();
    if (m_label4[index]->text().trimmed().isEmpty())
        return;
    const MemoRecord* memo = m_screen->book().record(number);
    if (!memo)
        return;
    if (button == Qt::LeftButton) {
        if (!offerToSave())
            return;
        memo = m_screen->book().record(number); // a save reloads the book
        if (!memo)
            return;
        m_text1->setPlainText(q(memo->damaged ? memo->line : memo->text));
        if (std::optional<MemoPicker> due = MemoBookScreen::pickerOf(memo->due))
            setPicker(*due);
        m_screen->stopEditing();
        startDraft(); // a memo copied in while adding is the new memo's starting point
    } else if (button == Qt::RightButton) {
        placeMenu(m_label4[index], pos);
        m_screen->select(number);
        m_label2[2]->setText(q(m_screen->toggleCaption()));
    }
}

void Form6::placeMenu(QWidget* cell, QPoint pos) {
    // The menu opens with its bottom-left corner at the pointer.
    const QPoint at = cell->mapTo(this, pos);
    m_frame3->move(at.x(), at.y() - m_frame3->height());
    m_frame3->show();
    m_frame3->raise();
}

void Form6::highlightRow(int row) {
    for (int i = 0; i < 3 * kMemoRows; ++i)
        setBackground(m_label4[i], i / 3 == row ? kLightYellow : kLightCyan);
}

void Form6::highlightMenuItem(int item) {
    for (int i = 0; i < 4; ++i) {
        const bool lit = i == item;
        setBackground(m_label2[i], lit ? kMenuHighlight : Qt::white);
        m_label2[i]->setAutoFillBackground(lit); // plain items are transparent
        m_label2[i]->setFrameStyle(lit ? QFrame::Box | QFrame::Plain : QFrame::NoFrame);
        m_label2[i]->setFont(uiFont(10, lit));
    }
}

void Form6::menuItemClicked(int item) {
    m_frame3->hide();
    if (!offerToSave())
        return;
    m_text1->clear();
    readOnlyLook();
    const MemoRecord* memo = m_screen->book().record(m_screen->selected());
    std::optional<Notice> failure;
    if (item == 0 || item == 1) {
        m_text1->setPlainText(q(m_screen->selectedText()));
        if (item == 1)
            editableLook();
        if (std::optional<MemoPicker> due = MemoBookScreen::pickerOf(memo ? memo->due : std::string()))
            setPicker(*due);
        if (item == 1)
            m_screen->beginChange();
        else
            m_screen->stopEditing();
        startDraft();
    } else {
        failure = item == 2 ? m_screen->toggleSelected() : m_screen->deleteSelected();
        if (failure)
            Prompts::show(this, *failure);
        loadStep();
    }
    m_frame3->hide();
}
