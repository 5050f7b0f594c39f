#include "reminder/reminder_popup.h"

#include "common/data_paths.h"
#include "common/notice.h"
#include "memo/memo_book.h"
#include "ui/program.h"
#include "ui/twips.h"
#include "ui/ui_event_label.h"
#include "ui/ui_names.h"
#include "ui/ui_prompts.h"
#include "ui/ui_style.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStringList>
#include <functional>

namespace {

constexpr int kWidth = 360, kHeight = 220;
constexpr int64_t kClickGuardMsec = 500;

int64_t msecOf(const LocalDateTime& t) {
    const int64_t days = daysFromCivil(t.year, t.month, t.day);
    return ((days * 24 + t.hour) * 60 + t.minute) * 60000 + t.second * 1000 + t.msec;
}

// The pop-up's pictures, drawn in code: a pale note paper, a binding strip, a bell and a round check button.
QPixmap drawn(QSize size, const std::function<void(QPainter&, qreal w, qreal h)>& draw) {
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p, size.width(), size.height());
    return pm;
}

QPixmap paperPixmap(QSize size) {
    return drawn(size, [](QPainter& p, qreal w, qreal h) {
        QLinearGradient g(0, 0, 0, h);
        g.setColorAt(0, QColor(255, 252, 222));
        g.setColorAt(1, QColor(255, 236, 190));
        p.fillRect(QRectF(0, 0, w, h), g);
        p.setPen(QColor(214, 170, 90));
        p.drawRect(QRectF(0.5, 0.5, w - 1, h - 1));
    });
}

QPixmap stripPixmap(QSize size) {
    return drawn(size, [](QPainter& p, qreal w, qreal h) {
        p.fillRect(QRectF(0, 0, w, h), QColor(196, 32, 38));
        p.setBrush(QColor(250, 240, 220));
        p.setPen(Qt::NoPen);
        for (qreal x = 10; x < w; x += 18)
            p.drawEllipse(QPointF(x, h / 2), 3, 3);
    });
}

QPixmap bellPixmap(int side) {
    return drawn(QSize(side, side), [](QPainter& p, qreal s, qreal) {
        QPainterPath bell;
        bell.moveTo(s * 0.5, s * 0.12);
        bell.cubicTo(s * 0.85, s * 0.12, s * 0.78, s * 0.6, s * 0.92, s * 0.78);
        bell.lineTo(s * 0.08, s * 0.78);
        bell.cubicTo(s * 0.22, s * 0.6, s * 0.15, s * 0.12, s * 0.5, s * 0.12);
        p.setPen(QPen(QColor(150, 100, 20), 1.2));
        p.setBrush(QColor(240, 190, 60));
        p.drawPath(bell);
        p.drawEllipse(QPointF(s * 0.5, s * 0.86), s * 0.09, s * 0.09);
    });
}

QPixmap checkButtonPixmap(int side) {
    return drawn(QSize(side, side), [](QPainter& p, qreal s, qreal) {
        p.setPen(QPen(QColor(30, 110, 50), 1.5));
        p.setBrush(QColor(90, 180, 100));
        p.drawEllipse(QRectF(1, 1, s - 2, s - 2));
        p.setPen(QPen(Qt::white, s / 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(
            QPolygonF({QPointF(s * 0.28, s * 0.52), QPointF(s * 0.44, s * 0.68), QPointF(s * 0.74, s * 0.34)}));
    });
}

template <class L> L* placed(L* label, QRect geometry) {
    label->setGeometry(geometry);
    return label;
}

} // namespace

Form7::Form7(ProgramHost& app, QWidget* parent) : QWidget(parent), m_app(app) {
    setObjectName("Form7");
    setWindowTitle("提醒");
    setWindowFlag(Qt::WindowStaysOnTopHint); // a reminder behind other windows would be missed
    // It must not take the keys from another program: a Space typed there would tick "我知道了!".
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(kWidth, kHeight);
    if (QScreen* screen = QGuiApplication::primaryScreen()) // first shown in the middle of the screen
        move(screen->availableGeometry().center() - rect().center());
    buildControls();
    connect(m_image2, &EventLabel::moved, this,
            [this](Qt::MouseButtons b, QPoint pos) { dragWindowBy(m_image2, b, pos); });
    connect(m_label3, &EventLabel::moved, this,
            [this](Qt::MouseButtons b, QPoint pos) { dragWindowBy(m_label3, b, pos); });
    connect(m_image3, &EventLabel::clicked, this, &QWidget::close);
    connect(m_label2, &EventLabel::doubleClicked, this, &QWidget::close);
    connect(m_check1, &QCheckBox::toggled, this, [this](bool on) { m_tickedFor = on ? m_line : std::string(); });
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

bool Form7::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease || type == QEvent::MouseButtonDblClick) {
        // A clock set back meanwhile lets the clicks through.
        const int64_t shownFor = msecOf(m_app.clock().now()) - msecOf(m_shownAt);
        if (shownFor >= 0 && shownFor < kClickGuardMsec)
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void Form7::buildControls() {
    m_image1 = placed(named(new QLabel(this), "Image1"), rect());
    m_image1->setScaledContents(true);
    m_image1->setPixmap(paperPixmap(size()));
    m_image2 = placed(named(new EventLabel(this), "Image2"), QRect(0, 0, kWidth, 18));
    m_image2->setPixmap(stripPixmap(m_image2->size()));
    m_image2->setCursor(Qt::SizeAllCursor);
    m_image4 = placed(named(new QLabel(this), "Image4"), QRect(16, 26, 26, 26));
    m_image4->setPixmap(bellPixmap(26));
    m_label3 = placed(named(new EventLabel("请注意:你有备忘!", this), "Label3"), QRect(48, 26, 290, 26));
    m_label3->setFont(uiFont(12, true));
    m_label3->setCursor(Qt::SizeAllCursor);
    m_label2 = placed(named(new EventLabel(this), "Label2"), QRect(24, 60, 312, 82));
    m_label2->setFont(uiFont(12));
    m_label2->setWordWrap(true);
    m_label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setColors(m_label2, QColor(255, 255, 240), QColor(180, 20, 20));
    m_check1 = placed(named(new QCheckBox("我知道了!  不用再提醒我了!", this), "Check1"), QRect(24, 150, 300, 24));
    m_check1->setFocusPolicy(Qt::ClickFocus); // never the first to take keys meant for another window
    m_image3 = placed(named(new EventLabel(this), "Image3"), QRect(196, 182, 30, 30));
    m_image3->setPixmap(checkButtonPixmap(30));
    m_image3->setCursor(Qt::PointingHandCursor);
    m_image3->setToolTip("谢谢! 我知道了!");
    m_label1 = placed(named(new QLabel("谢谢! 我知道了!", this), "Label1"), QRect(232, 186, 120, 22));
    m_label1->setFont(uiFont(10, true));
}

void Form7::resizeEvent(QResizeEvent* event) {
    // The paper fills the window but for a margin of 10 twips on each side.
    const int margin = twipsToPx(10), twice = twipsToPx(20);
    m_image1->setGeometry(margin, margin, width() - twice, height() - twice);
    QWidget::resizeEvent(event);
}

void Form7::announce(const AnnouncedMemo& memo) {
    m_shownAt = m_app.clock().now();
    m_line = memo.line;
    bwxh = memo.bwxh;
    m_label2->setText(QString::fromStdString(memo.text + "    "));
    // The tick stays only on the memo it was given for, also when a check shows other memos on its way.
    QSignalBlocker block(m_check1);
    m_check1->setChecked(!m_tickedFor.empty() && m_tickedFor == m_line);
}

void Form7::closeEvent(QCloseEvent* event) {
    writeBack();
    event->accept();
}

void Form7::writeBack() {
    m_app.desk().txyybz = false; // the next Timer2 second stops the tune
    if (!m_check1->isChecked() || m_line.empty())
        return;
    Result<bool> cancelled = cancelAnnouncedMemo(dataPath({"bwl", "bwl.cjf"}), m_line);
    if (!cancelled)
        Prompts::show(this, writeFailureNotice(cancelled.error()));
    reopenMemoBook(m_app);
}

void runDeskMemoCheck(ProgramHost& app) {
    runMemoCheck(app.desk(), app.music(), dataPath({"bwl", "bwl.cjf"}), app.clock().now(),
                 [&app](const AnnouncedMemo& memo) { app.showReminder(memo); });
}

void reopenMemoBook(ProgramHost& app) {
    QWidget* book = app.window(WindowId::Form6);
    if (!book || !book->isVisible())
        return;
    // The inner top-left: a new window's move() before the window manager has framed it would take the
    // frame's corner for the inner one, and the book would climb by its title bar at every reload.
    const QPoint at = book->geometry().topLeft();
    // A memo being typed survives the reload. The memo book's class lies in another library, so it is
    // asked by the names of its two invokable methods.
    QStringList draft;
    QMetaObject::invokeMethod(book, "draftForReload", Q_RETURN_ARG(QStringList, draft));
    book->close();
    delete book; // closing only schedules the deletion; the window table must not hand it out again
    app.openMemoBook();
    if (QWidget* again = app.window(WindowId::Form6))
        again->setGeometry(QRect(at, again->size()));
    if (QWidget* again = app.window(WindowId::Form6); again && !draft.isEmpty())
        QMetaObject::invokeMethod(again, "restoreDraft", Q_ARG(QStringList, draft));
}
