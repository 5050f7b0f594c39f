#include "wallcal/wall_calendar_window.h"

#include "common/launcher_items.h"
#include "ui/calendar_artwork.h"
#include "ui/clock_change_watch.h"
#include "ui/launcher_placement.h"
#include "ui/program.h"
#include "ui/ui_event_label.h"
#include "ui/ui_names.h"
#include "ui/ui_style.h"
#include "ui/ui_timer.h"
#include "wallcal/wall_calendar_art.h"

#include <QEvent>
#include <QFrame>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

namespace {
constexpr int kWidth = 392;
constexpr int kHeight = 410;
constexpr int kStrip = 22; // the binding strip Image3 above the sheet
constexpr int kBand = 72;  // the red title band (Frame1 coordinates)
constexpr int kGridLeft = 14;
constexpr int kHeadTop = 76;  // weekday headings (Frame1 coordinates)
constexpr int kGridTop = 100; // first week row (Frame1 coordinates)
constexpr int kCellWidth = 52;
constexpr int kCellHeight = 40;

const QColor kTeal(0, 128, 128);
const QColor kWeekend(255, 0, 0);
const QColor kToday(0, 0, 255);
const QColor kHighlight(123, 185, 253);
const QColor kMenuHighlight(255, 236, 200);
const QColor kWorkdayMark(40, 60, 120); // the "班" of a make-up workday

const char* const kWeekdays[] = {"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
const char* const kMenuCaptions[] = {"备忘录 ", "日记簿 ", "定时器 "};

QColor columnColour(int cell) {
    return isWeekendCell(cell) ? kWeekend : kTeal;
}

// A holiday is drawn as a Sunday is, a make-up workday as a weekday, whatever its column.
QColor dayColour(int cell, DayOff kind) {
    return kind == DayOff::Holiday ? kWeekend : kind == DayOff::MakeUpWorkday ? kTeal : columnColour(cell);
}

void setTextColour(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    w->setPalette(p);
}

// A transparent cell or menu item in normal weight, or an opaque bold one.
void setHot(QLabel* label, bool hot, const QColor& background) {
    label->setAutoFillBackground(hot);
    if (hot)
        setBackground(label, background);
    QFont f = label->font();
    f.setBold(hot);
    label->setFont(f);
}

// A list box exactly one entry high; its scroll arrows page through the entries.
QListWidget* oneEntryList(QWidget* parent, const char* name, const std::vector<std::string>& entries, QPoint at,
                          int width) {
    auto* list = named(new QListWidget(parent), name);
    list->setFont(uiFont(10, true));
    for (const std::string& e : entries)
        list->addItem(QString::fromStdString(e));
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    list->setGeometry(at.x(), at.y(), width, list->sizeHintForRow(0) + 2 * list->frameWidth());
    // The one line shown is the value: the arrows and the wheel, which only scroll, choose what they show.
    QObject::connect(list->verticalScrollBar(), &QScrollBar::valueChanged, list, [list](int row) {
        if (row != list->currentRow() && row < list->count())
            list->setCurrentRow(row);
    });
    return list;
}

// Selects the entry with that text (as a click would); a year outside the list selects nothing.
void selectEntry(QListWidget* list, const std::string& text) {
    const QList<QListWidgetItem*> found = list->findItems(QString::fromStdString(text), Qt::MatchExactly);
    if (!found.isEmpty())
        list->setCurrentItem(found.first());
}
} // namespace

Form4::Form4(ProgramHost& app, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_app(app), m_model(app.clock().now()) {
    setObjectName("Form4");
    setWindowTitle("☆Quillet>>挂历");
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(kWidth, kHeight);
    buildPicturesAndHeader();
    buildLists();
    buildGrid();
    buildMenu();

    // Timer1 is aimed at each turn of the clock's second, the only moment Label7 can change.
    m_timer1 = singleShotTimer(this, "Timer1");
    connect(m_timer1, &QTimer::timeout, this, &Form4::refreshClock);
    connect(&m_app.clockWatch(), &ClockChangeWatch::clockChanged, this, &Form4::refreshClock);
    refreshClock();

    // Opening: the lists show the current year and month; the model has shown the month and marked today.
    selectEntry(m_list1, m_model.glnian());
    selectEntry(m_list2, m_model.glyue());
    showCells();
}

void Form4::refreshClock() {
    const LocalDateTime now = m_app.clock().now();
    if (m_face.turn(now).second) {
        m_label7->setText(QString::fromStdString(timeOfDayText(now)));
        m_probe.shown(now);
    }
    m_timer1->start(msecToNextSecond(now));
}

void Form4::buildPicturesAndHeader() {
    m_image3 = named(new EventLabel(this), "Image3");
    m_image3->setGeometry(10, 0, kWidth - 20, kStrip);
    m_image3->setPixmap(bindingStripPixmap(m_image3->size()));
    m_image3->setCursor(Qt::SizeAllCursor);

    m_frame1 = named(new QFrame(this), "Frame1");
    m_frame1->setGeometry(0, kStrip - 6, kWidth, kHeight - kStrip + 6);
    m_image1 = named(new EventLabel(m_frame1), "Image1");
    m_image1->setGeometry(m_frame1->rect());
    m_image1->setPixmap(wallPagePixmap(m_frame1->size(), kBand, kGridTop, kCellHeight));
    m_image1->setMouseTracking(true);

    m_image2 = named(new EventLabel(m_frame1), "Image2");
    m_image2->setGeometry(12, 10, 20, 20);
    m_image2->setPixmap(launcherIconPixmap(20));
    m_image2->setToolTip("菜单");
    m_image2->setCursor(Qt::PointingHandCursor);
    m_label4 = named(new EventLabel("挂历(1900-2049)", m_frame1), "Label4");
    m_label4->setGeometry(40, 8, 150, 24);
    m_label4->setFont(uiFont(12, true));
    setTextColour(m_label4, Qt::white);
    m_label4->setCursor(Qt::SizeAllCursor);
    m_label7 = named(new QLabel(m_frame1), "Label7");
    m_label7->setGeometry(kWidth - 130, 8, 90, 24);
    m_label7->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_label7->setFont(uiFont(11, true));
    setTextColour(m_label7, Qt::white);
    m_image4 = named(new EventLabel(m_frame1), "Image4");
    m_image4->setGeometry(kWidth - 34, 10, 20, 20);
    m_image4->setPixmap(deskCalendarIconPixmap(20));
    m_image4->setToolTip("台历");
    m_image4->setCursor(Qt::PointingHandCursor);

    m_image3->raise(); // the rings overlap the top of the sheet

    for (EventLabel* handle : {m_image3, m_label4})
        connect(handle, &EventLabel::moved, this,
                [handle](Qt::MouseButtons b, QPoint pos) { dragWindowBy(handle, b, pos); });
    connect(m_image1, &EventLabel::moved, this, &Form4::hoverSheet);
    connect(m_image1, &EventLabel::clicked, this, [this] { m_app.closeLauncher(); });
    connect(m_image1, &EventLabel::pressed, this, [this](Qt::MouseButton button, QPoint pos) {
        if (button == Qt::RightButton)
            showMenuAt(m_image1->mapTo(m_frame1, pos));
    });
    connect(m_image2, &EventLabel::clicked, this, &Form4::showLauncher);
    connect(m_image4, &EventLabel::clicked, this, &Form4::backToDeskCalendar);
}

void Form4::buildLists() {
    const int top = 40;
    m_list1 = oneEntryList(m_frame1, "List1", wallYearEntries(), QPoint(kGridLeft, top), 76);
    m_list2 = oneEntryList(m_frame1, "List2", wallMonthEntries(), QPoint(kGridLeft + 104, top), 56);
    const int height = m_list1->height();
    const char* units[] = {"年", "月"};
    const int unitLeft[] = {kGridLeft + 80, kGridLeft + 164};
    for (int i = 0; i < 2; ++i) {
        m_label1[i] = named(new QLabel(units[i], m_frame1), "Label1", i);
        m_label1[i]->setGeometry(unitLeft[i], top, 20, height);
        m_label1[i]->setFont(uiFont(11, true));
        setTextColour(m_label1[i], Qt::white);
    }
    connect(m_list1, &QListWidget::currentTextChanged, this, [this](const QString& text) {
        m_model.chooseYear(text.toStdString());
        showCells();
    });
    connect(m_list2, &QListWidget::currentTextChanged, this, [this](const QString& text) {
        m_model.chooseMonth(text.toStdString());
        showCells();
    });
}

void Form4::buildGrid() {
    for (int c = 0; c < kWallColumns; ++c) {
        m_label2[c] = named(new QLabel(kWeekdays[c], m_frame1), "Label2", c);
        m_label2[c]->setGeometry(kGridLeft + c * kCellWidth, kHeadTop, kCellWidth, 22);
        m_label2[c]->setAlignment(Qt::AlignCenter);
        m_label2[c]->setFont(uiFont(10, true));
        setTextColour(m_label2[c], columnColour(c));
    }
    for (int i = 0; i < kWallCells; ++i) {
        auto* cell = named(new EventLabel(m_frame1), "Label3", i);
        cell->setGeometry(kGridLeft + (i % kWallColumns) * kCellWidth + 2,
                          kGridTop + (i / kWallColumns) * kCellHeight + 2, kCellWidth - 4, kCellHeight - 4);
        cell->setAlignment(Qt::AlignCenter);
        cell->setFont(uiFont(14));
        cell->setMouseTracking(true);
        connect(cell, &EventLabel::moved, this, [this, i] { hoverCell(i); });
        m_label3[i] = cell;
        m_holidayMark[i] = named(new QLabel(cell), "HolidayMark", i);
        m_holidayMark[i]->setGeometry(cell->width() - 16, 0, 15, 16);
        m_holidayMark[i]->setAlignment(Qt::AlignCenter);
        m_holidayMark[i]->setFont(uiFont(8, true));
        m_holidayMark[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    m_label5 = named(new EventLabel(m_frame1), "Label5");
    m_label5->setGeometry(10, kGridTop + 6 * kCellHeight + 4, kWidth - 24, 24);
    m_label5->setFont(uiFont(10));
    setTextColour(m_label5, QColor(80, 40, 20));
    m_label5->setCursor(Qt::SizeAllCursor);
    connect(m_label5, &EventLabel::moved, this,
            [this](Qt::MouseButtons b, QPoint pos) { dragWindowBy(m_label5, b, pos); });
    m_holidayLine = named(new QLabel(m_frame1), "HolidayLine");
    m_holidayLine->setGeometry(10, m_label5->geometry().bottom() + 1, kWidth - 24, 20);
    m_holidayLine->setFont(uiFont(10, true));
    setTextColour(m_holidayLine, kWeekend);
    paintCells();
}

void Form4::buildMenu() {
    m_frame2 = named(new QFrame(m_frame1), "Frame2");
    m_frame2->setFrameShape(QFrame::Box);
    m_frame2->setGeometry(0, 0, 96, 3 * 24 + 6);
    setBackground(m_frame2, QColor(252, 248, 236));
    for (int i = 0; i < 3; ++i) {
        m_image5[i] = named(new QLabel(m_frame2), "Image5", i);
        m_image5[i]->setGeometry(4, 3 + i * 24 + 3, 18, 18);
        m_image5[i]->setPixmap(menuItemIcon(i, 18));
        m_label6[i] = named(new EventLabel(kMenuCaptions[i], m_frame2), "Label6", i);
        m_label6[i]->setGeometry(24, 3 + i * 24, 68, 24);
        m_label6[i]->setMouseTracking(true);
        connect(m_label6[i], &EventLabel::moved, this, [this, i] { highlightMenuItem(i); });
        connect(m_label6[i], &EventLabel::clicked, this, [this, i] { clickMenuItem(i); });
    }
    m_frame2->hide();
}

void Form4::showCells() {
    for (int i = 0; i < kWallCells; ++i) {
        m_label3[i]->setText(QString::fromStdString(m_model.cells()[i]));
        m_label3[i]->setToolTip(QString());
    }
    paintCells();
    m_label5->setText(QString::fromStdString(m_model.rangeNote()));
    showHolidayLine();
}

void Form4::showHolidayLine() {
    const DayMark mark = m_model.cellMark(m_model.highlighted());
    setTextColour(m_holidayLine, mark.kind == DayOff::MakeUpWorkday ? kWorkdayMark : kWeekend);
    m_holidayLine->setText(QString::fromStdString(m_model.holidayLine()));
}

void Form4::paintCells() {
    for (int i = 0; i < kWallCells; ++i) {
        const DayMark mark = m_model.cellMark(i);
        setTextColour(m_label3[i], m_model.isMarked(i) ? kToday : dayColour(i, mark.kind));
        setHot(m_label3[i], i == m_model.highlighted(), kHighlight);
        m_holidayMark[i]->setText(QString::fromUtf8(mark.mark().data(), qsizetype(mark.mark().size())));
        setTextColour(m_holidayMark[i], mark.kind == DayOff::MakeUpWorkday ? kWorkdayMark : kWeekend);
    }
}

void Form4::hoverCell(int cell) {
    if (!m_model.hoverCell(cell)) {
        m_label3[cell]->setCursor(Qt::ArrowCursor);
        return;
    }
    m_label3[cell]->setCursor(dayPointer());
    paintCells();
    const QString details = QString::fromStdString(m_model.details());
    m_label3[cell]->setToolTip(details);
    m_label5->setText(details);
    showHolidayLine();
}

void Form4::hoverSheet() {
    m_model.clearHover();
    paintCells();
    m_frame2->hide();
    m_label5->setText(QString::fromStdString(m_model.rangeNote()));
    showHolidayLine();
}

QPoint Form4::launcherPositionFromIcon(QSize launcherSize, int screenHeight) const {
    const QRect icon(m_image2->mapTo(this, QPoint(0, 0)), m_image2->size());
    return launcherBesideIcon(pos(), icon, launcherSize, screenHeight);
}

void Form4::showLauncher() {
    QWidget* launcher = m_app.launcher();
    QScreen* s = screen();
    launcher->move(launcherPositionFromIcon(launcher->size(), s ? s->geometry().height() : 768));
    launcher->show();
    launcher->raise();
    launcher->activateWindow();
}

void Form4::backToDeskCalendar() {
    const QPoint here = pos();
    m_app.showDeskCalendar(&here);
    close();
}

void Form4::showMenuAt(QPoint pos) {
    // The pointer lands just inside the menu, so reaching an item does not cross the sheet (which hides it).
    QPoint topLeft = pos - QPoint(3, 3);
    topLeft.setX(std::clamp(topLeft.x(), 0, m_frame1->width() - m_frame2->width()));
    topLeft.setY(std::clamp(topLeft.y(), 0, m_frame1->height() - m_frame2->height()));
    m_frame2->move(topLeft);
    highlightMenuItem(-1);
    m_frame2->show();
    m_frame2->raise();
}

void Form4::highlightMenuItem(int item) {
    for (int i = 0; i < 3; ++i) {
        setHot(m_label6[i], i == item, kMenuHighlight);
        m_label6[i]->setFrameShape(i == item ? QFrame::Box : QFrame::NoFrame);
    }
}

void Form4::clickMenuItem(int item) {
    // The memo book and the diary are the launcher's items, behind its password panel; the timer item
    // has no action here.
    static constexpr int kLauncherItem[] = {ItemMemoBook, ItemDiary, -1};
    if (kLauncherItem[item] < 0)
        return;
    m_frame2->hide();
    showLauncher();
    m_app.clickLauncherItem(kLauncherItem[item]);
}

void Form4::changeEvent(QEvent* e) {
    // Clicking the wall calendar dismisses the launcher.
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        m_app.calendarActivated();
    QWidget::changeEvent(e);
}
