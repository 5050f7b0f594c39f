#include "diary/diary_window.h"

#include "common/numeric_text.h"
#include "common/text_codec.h"
#include "diary/diary_pictures.h"
#include "ui/program.h"
#include "ui/ui_event_label.h"
#include "ui/ui_names.h"
#include "ui/ui_prompts.h"
#include "ui/ui_style.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

namespace {

constexpr int kWidth = 600;
constexpr int kHeight = 470;
const QRect kEntryArea(10, 46, 580, 414);
constexpr int kFirstYear = 1900;
constexpr int kLastYear = 2049;
const char* const kFontSizes[] = {"10", "12", "16", "18", "20", "24", "26", "28", "32", "36", "40"};
const char* const kToolTips[] = {"发布日记文档", "保存日记", "关闭日记簿"};

// Text boxes hold lines joined by LF; the diary's texts use CR LF.
QString shownText(const std::string& crlfText) {
    return QString::fromStdString(crlfText).replace("\r\n", "\n");
}

// The first `count` characters of a box's trimmed text.
std::string firstCharacters(const QComboBox* box, int count) {
    return box->currentText().trimmed().left(count).toStdString();
}

QStringList numberList(int first, int last) {
    QStringList list;
    for (int n = first; n <= last; ++n)
        list << QString::fromStdString(twoDigits(n));
    return list;
}

} // namespace

Form5::Form5(ProgramHost& app, int year, int month, int day, QWidget* parent)
    : QWidget(parent), nownian(fourDigits(year)), nowyue(textOf(month)), nowri(textOf(day)), m_app(app),
      m_book(app.clock()) {
    setObjectName("Form5");
    setWindowTitle("☆Quillet>>日记簿                  Orlin工作室");
    setFixedSize(kWidth, kHeight);
    setMouseTracking(true);
    buildDateRow();

    m_text1 = named(new QPlainTextEdit(this), "Text1");
    m_text1->setGeometry(kEntryArea);
    m_text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text1->setFont(uiFont(16));

    buildButtons();
    buildExportPanel();
}

void Form5::buildDateRow() {
    const char* labels[] = {"年", "月", "日", "字号"};
    const int labelIndex[] = {0, 1, 2, 4};
    const int boxX[] = {10, 104, 176, 286};
    const int boxWidth[] = {72, 50, 50, 56};
    // "年", "月" and "日" follow their boxes; "字号" stands before the font-size box.
    const int labelX[] = {86, 158, 230, 250};
    for (int i = 0; i < 4; ++i) {
        m_combo1[i] = named(new QComboBox(this), "Combo1", i);
        m_combo1[i]->setGeometry(boxX[i], 12, boxWidth[i], 24);
        m_combo1[i]->setEditable(i != 0); // the year is picked only; the others take typing too
        m_combo1[i]->setInsertPolicy(QComboBox::NoInsert);
        if (i != 0) {
            // A typed value is read as typed ("1" is January, not "10") and counts only with Enter: no
            // completion, and leaving the box is no pick.
            m_combo1[i]->setCompleter(nullptr);
            // Qt takes leaving the box with a listed text ("07") for a pick: that reloaded the month over
            // the entry being typed.
            disconnect(m_combo1[i]->lineEdit(), &QLineEdit::editingFinished, m_combo1[i], nullptr);
            // Enter in the box counts as a pick. The box, not its line edit, holds the focus and hands the
            // key on to it, so only the line edit's own signal sees every Enter.
            connect(m_combo1[i]->lineEdit(), &QLineEdit::returnPressed, this, [this, i] { comboPicked(i); });
        }
        m_label3[i] = named(new QLabel(labels[i], this), "Label3", labelIndex[i]);
        m_label3[i]->setGeometry(labelX[i], 12, i == 3 ? 32 : 18, 24);
        connect(m_combo1[i], &QComboBox::activated, this, [this, i] { comboPicked(i); });
    }
    m_combo1[0]->addItems(numberList(kFirstYear, kLastYear));
    m_combo1[1]->addItems(numberList(1, 12));
    m_combo1[2]->addItems(numberList(1, 31));
    for (const char* size : kFontSizes)
        m_combo1[3]->addItem(size);
    m_combo1[3]->setEditText("16");
}

void Form5::buildButtons() {
    const DiaryButton buttons[] = {DiaryButton::Export, DiaryButton::Save, DiaryButton::Close};
    for (int i = 0; i < 3; ++i) {
        const QRect place(470 + i * 40, 6, 34, 34);
        m_image1[i] = named(new EventLabel(this), "Image1", i);
        m_image1[i]->setPixmap(diaryButtonPicture(buttons[i], false, 34));
        m_image1[i]->setGeometry(place);
        m_image2[i] = named(new EventLabel(this), "Image2", i);
        m_image2[i]->setPixmap(diaryButtonPicture(buttons[i], true, 34));
        m_image2[i]->setGeometry(place);
        m_image2[i]->setToolTip(kToolTips[i]);
        m_image2[i]->hide();
        connect(m_image1[i], &EventLabel::moved, this, [this, i] { highlight(i); });
        connect(m_image1[i], &EventLabel::entered, this, [this, i] { highlight(i); });
        connect(m_image2[i], &EventLabel::left, m_image2[i], &QWidget::hide);
    }
    connect(m_image2[0], &EventLabel::clicked, this, &Form5::exportMonth);
    connect(m_image2[1], &EventLabel::clicked, this, &Form5::saveDay);
    connect(m_image2[2], &EventLabel::clicked, this, &QWidget::close);

    m_image3 = named(new QLabel(this), "Image3");
    m_image3->setPixmap(diaryBookPicture(34));
    m_image3->setGeometry(410, 6, 34, 34);
}

void Form5::buildExportPanel() {
    m_frame1 = named(new QFrame(this), "Frame1");
    m_frame1->setGeometry(kEntryArea);
    m_frame1->setFrameShape(QFrame::Panel);
    m_frame1->setFrameShadow(QFrame::Raised);
    setBackground(m_frame1, kLightYellow);
    m_text2 = named(new QPlainTextEdit(m_frame1), "Text2");
    m_text2->setGeometry(6, 6, kEntryArea.width() - 12, kEntryArea.height() - 48);
    m_text2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont kai = uiFont(12);
    kai.setFamilies({"楷体_GB2312", "KaiTi", "AR PL UKai CN", kai.family()});
    m_text2->setFont(kai);
    m_command1 = named(new QPushButton("关闭", m_frame1), "Command1");
    m_command1->setGeometry(kEntryArea.width() - 96, kEntryArea.height() - 36, 84, 28);
    connect(m_command1, &QPushButton::clicked, this, &Form5::closeExportPanel);
    m_frame1->hide();
}

void Form5::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!m_loaded) {
        m_loaded = true;
        formLoad();
    }
}

void Form5::formLoad() {
    highlight(-1);
    nowyue = twoDigitText(nowyue);
    nowri = twoDigitText(nowri);
    // A year outside the list is added to it, so the diary stays usable in any year.
    const QString year = QString::fromStdString(nownian);
    if (m_combo1[0]->findText(year) < 0)
        m_combo1[0]->insertItem(numericValue(nownian) < kFirstYear ? 0 : m_combo1[0]->count(), year);
    m_combo1[0]->setCurrentIndex(m_combo1[0]->findText(year));
    const std::string* texts[] = {nullptr, &nowyue, &nowri};
    for (int i = 1; i <= 2; ++i) {
        const QString text = QString::fromStdString(*texts[i]);
        m_combo1[i]->setCurrentIndex(m_combo1[i]->findText(text));
        m_combo1[i]->setEditText(text);
    }
    loadMonth();
}

void Form5::loadMonth() {
    m_text1->clear();
    const DiaryReply reply = m_book.LoadMonth(nownian, nowyue, nowri, m_app.state().password);
    m_text1->setPlainText(shownText(reply.text));
    m_loadedText = m_text1->toPlainText();
    if (reply.notice)
        tell(*reply.notice);
}

void Form5::showLoadedDate() {
    const std::string* texts[] = {&nownian, &nowyue, &nowri};
    for (int i = 0; i < 3; ++i) {
        const QString text = QString::fromStdString(*texts[i]);
        m_combo1[i]->setCurrentIndex(m_combo1[i]->findText(text));
        if (i != 0)
            m_combo1[i]->setEditText(text);
    }
}

// Before Text1 is loaded again or the window closes: an entry that differs from what was loaded or saved
// is offered for saving under the date it was loaded for. False when the user goes back to the text (取消,
// Esc, the box's close button) or the text could not be saved.
bool Form5::offerToSave() {
    if (m_text1->toPlainText() == m_loadedText)
        return true;
    return Prompts::offerToSave(this, saveBeforeLeavingNotice(), [this] { return saveEntry(); });
}

// Saves Text1 into the day it was loaded for, whatever the date boxes hold.
bool Form5::saveEntry() {
    const std::string& key = m_app.state().password;
    if (auto question = m_book.changedDayQuestion(nownian, nowyue, nowri, key))
        if (Prompts::show(this, *question) != NoticeAnswer::Yes)
            return false;
    const QString entry = m_text1->toPlainText();
    if (auto failure = m_book.SaveDay(nownian, nowyue, nowri, entry.toStdString(), key)) {
        tell(*failure);
        return false;
    }
    m_loadedText = entry;
    return true;
}

void Form5::closeEvent(QCloseEvent* e) {
    if (!offerToSave())
        return e->ignore(); // the text could not be saved: the window stays with it
    QWidget::closeEvent(e);
}

void Form5::comboPicked(int index) {
    QString typed = m_combo1[index]->currentText().trimmed();
    if (index == 1 || index == 2) {
        // A typed date part is read as typed and brought into two-digit form; a bad one changes nothing.
        std::string year = nownian, month = index == 1 ? typed.toStdString() : nowyue;
        std::string day = index == 2 ? typed.toStdString() : nowri;
        if (auto problem = normalizeDiaryDate(year, month, &day)) {
            showLoadedDate();
            return tell(*problem);
        }
        typed = QString::fromStdString(index == 1 ? month : day);
    }
    if (index < 3 && !offerToSave())
        return showLoadedDate();
    const std::string text = typed.toStdString();
    switch (index) {
    case 0:
        nownian = text;
        break;
    case 1:
        nowyue = text;
        break;
    case 2:
        nowri = text;
        break;
    default: {
        // The font size changes the entry box only; nothing is stored.
        const double size = numericValue(text);
        if (size >= 1 && size <= 400) {
            QFont font = m_text1->font();
            font.setPointSizeF(size);
            m_text1->setFont(font);
        }
        return;
    }
    }
    loadMonth();
    showLoadedDate();
}

void Form5::mouseMoveEvent(QMouseEvent* e) {
    highlight(-1);
    QWidget::mouseMoveEvent(e);
}

void Form5::highlight(int index) {
    for (int i = 0; i < 3; ++i)
        m_image2[i]->setVisible(i == index);
    if (index >= 0)
        m_image2[index]->raise();
}

// The export reads the three boxes: the first four characters of the year and two of the month. The loaded
// day stays the one Text1 shows, so a later save still goes there.
void Form5::exportMonth() {
    std::string year = firstCharacters(m_combo1[0], 4);
    std::string month = firstCharacters(m_combo1[1], 2);
    if (auto problem = normalizeDiaryDate(year, month, nullptr))
        return tell(*problem);
    const DiaryReply reply = m_book.ExportMonth(year, month, m_app.state().password);
    if (reply.notice)
        return tell(*reply.notice);
    m_text2->setPlainText(shownText(reply.text));
    m_frame1->show();
    m_frame1->raise();
}

// A save always stores the day Text1 shows; the boxes are put back to name it. A save that would be refused
// says so before the question.
void Form5::saveDay() {
    showLoadedDate();
    if (auto refusal = m_book.saveRefusal(m_text1->toPlainText().toStdString(), m_app.state().password))
        return tell(*refusal);
    if (Prompts::show(this, confirmSaveNotice()) != NoticeAnswer::Yes)
        return;
    saveEntry();
}

void Form5::closeExportPanel() {
    if (Prompts::show(this, keepExportNotice()) == NoticeAnswer::Yes) {
        const DiaryReply kept = m_book.SaveExportText(m_text2->toPlainText().toStdString());
        // A failed write keeps the panel and its text, so nothing is lost and the user can try again.
        if (kept.notice)
            return tell(*kept.notice);
        tell(m_book.exportKeptNotice(kept.text));
    }
    m_text2->clear();
    m_frame1->hide();
}

void Form5::tell(const Notice& notice) {
    Prompts::show(this, notice);
}
