#include "about/about_window.h"

#include "platform/shell_open.h"
#include "platform/system_info.h"
#include "ui/twips.h"
#include "ui/ui_event_label.h"
#include "ui/ui_names.h"
#include "ui/ui_prompts.h"
#include "ui/ui_style.h"

#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

namespace {
constexpr int kWidth = 430;
constexpr int kHeight = 300;
const QColor kNavy(16, 40, 88);
const QColor kLinkHot(44, 96, 170);
const QColor kLinkText(160, 230, 255);

// A colour given as 0x00BBGGRR.
QColor bgrColour(unsigned bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

void setTextColour(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    w->setPalette(p);
}

// The logo: a calendar sheet with a quill across it, drawn large and scaled down by the label.
QPixmap logoPixmap() {
    QPixmap pm(140, 120);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(190, 180, 160), 2));
    p.setBrush(QColor(253, 250, 240));
    p.drawRoundedRect(QRectF(10, 14, 100, 96), 8, 8);
    p.fillRect(QRectF(11, 15, 98, 26), QColor(196, 32, 38));
    p.setPen(QPen(QColor(150, 150, 160), 4, Qt::SolidLine, Qt::RoundCap));
    for (int x : {32, 60, 88})
        p.drawLine(QPointF(x, 6), QPointF(x, 24));
    QFont f = uiFont(10, true);
    f.setPixelSize(44);
    p.setFont(f);
    p.setPen(QColor(196, 32, 38));
    p.drawText(QRectF(10, 44, 100, 62), Qt::AlignCenter, "Q");
    // The quill.
    QPainterPath quill;
    quill.moveTo(70, 112);
    quill.cubicTo(90, 70, 110, 40, 136, 8);
    quill.cubicTo(124, 46, 104, 84, 70, 112);
    p.setPen(QPen(QColor(60, 60, 90), 1.5));
    p.setBrush(QColor(230, 220, 170));
    p.drawPath(quill);
    return pm;
}
} // namespace

frmAbout::frmAbout(ProgramHost& app, QWidget* parent) : QWidget(parent, Qt::Window) {
    (void)app; // the box reads nothing of the program's state
    setObjectName("frmAbout");
    setWindowTitle(QString::fromStdString(aboutCaption()));
    setFixedSize(kWidth, kHeight);
    setColors(this, kNavy, Qt::white);
    setMouseTracking(true);
    buildTexts();
    buildLinks();

    m_command1 = named(new QPushButton("确  定", this), "Command1");
    m_command1->setGeometry(kWidth - 110, 222, 94, 28);
    m_command1->setDefault(true);
    m_command2 = named(new QPushButton("系统(&S)", this), "Command2");
    m_command2->setGeometry(kWidth - 110, 258, 94, 28);
    for (QPushButton* b : {m_command1, m_command2})
        setColors(b, QColor(230, 230, 235), Qt::black);
    connect(m_command1, &QPushButton::clicked, this, &QWidget::close);
    cancelOnEscape(m_command1, this); // Esc closes the box as "确  定" does
    connect(m_command2, &QPushButton::clicked, this, &frmAbout::StartSysInfo);
    applyHover();
}

void frmAbout::buildTexts() {
    m_image1 = named(new EventLabel(this), "Image1");
    m_image1->move(16, 16);
    m_image1->setScaledContents(true);
    m_image1->setPixmap(logoPixmap());
    connect(m_image1, &EventLabel::moved, this, [this] {
        m_hover.overLogo();
        applyHover();
    });

    m_label1 = named(new QLabel(kApplicationTitle, this), "Label1");
    m_label1->setGeometry(130, 14, 280, 36);
    m_label1->setFont(uiFont(20, true));
    m_lblVersion = named(new QLabel("版本 1.0", this), "lblVersion");
    m_lblVersion->setGeometry(130, 52, 280, 20);
    m_label3 = named(new QLabel("桌面台历、挂历、备忘录、日记簿、通讯录与文件加密", this), "Label3");
    m_label3->setGeometry(130, 74, 290, 20);
    m_label4 = named(new QLabel("联系作者:", this), "Label4");
    m_label4->setGeometry(16, 112, 100, 22);

    m_lblDisclaimer = named(new EventLabel(this), "lblDisclaimer");
    m_lblDisclaimer->setText("警告: 本程序按“原样”提供,不附带任何明示或暗示的担保。"
                             "因使用本程序造成的任何数据丢失或其他损失,作者概不负责。"
                             "请定期备份您的备忘、日记和通讯录文件。");
    m_lblDisclaimer->setWordWrap(true);
    m_lblDisclaimer->setGeometry(16, 170, kWidth - 32, 46);
    connect(m_lblDisclaimer, &EventLabel::moved, this, [this] {
        m_hover.overDisclaimer();
        applyHover();
    });
    for (QLabel* l : {m_label1, m_lblVersion, m_label3, m_label4})
        setTextColour(l, Qt::white);
}

void frmAbout::buildLinks() {
    const QString texts[] = {QString("邮件: ") + kMakerMail, QString("主页: ") + kMakerPage};
    for (int i = 0; i < 2; ++i) {
        EventLabel* link = named(new EventLabel(texts[i], this), "Label2", i);
        link->setGeometry(120, 112 + i * 26, kWidth - 136, 22);
        QFont f = uiFont(10);
        f.setUnderline(true);
        link->setFont(f);
        link->setCursor(Qt::PointingHandCursor);
        setTextColour(link, kLinkText);
        connect(link, &EventLabel::moved, this, [this, i] {
            m_hover.overLink(i);
            applyHover();
        });
        // A link that cannot be opened is not reported.
        connect(link, &EventLabel::clicked, this,
                [i] { shellOpenUrl(QUrl(QString::fromStdString(aboutLinkTarget(i)))); });
        m_label2[i] = link;
    }
}

void frmAbout::applyHover() {
    for (int i = 0; i < 2; ++i) {
        const bool hot = m_hover.hotLink() == i;
        m_label2[i]->setAutoFillBackground(hot);
        if (hot)
            setBackground(m_label2[i], kLinkHot);
    }
    QFont f = m_lblDisclaimer->font();
    f.setBold(m_hover.disclaimerHot());
    m_lblDisclaimer->setFont(f);
    setTextColour(m_lblDisclaimer, bgrColour(m_hover.disclaimerColour()));
    m_image1->resize(twipsToPx(m_hover.logoWidth()), twipsToPx(m_hover.logoHeight()));
}

void frmAbout::mouseMoveEvent(QMouseEvent* e) {
    m_hover.overWindow();
    applyHover();
    QWidget::mouseMoveEvent(e);
}

void frmAbout::StartSysInfo() {
    if (!startSysInfoTool())
        Prompts::show(this, sysInfoUnavailableNotice());
}
