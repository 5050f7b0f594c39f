#include "ui/calendar_artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {
const QColor kPaper(253, 250, 240);
const QColor kRed(196, 32, 38);
const QColor kDarkRed(140, 20, 24);
const QColor kMetal(150, 150, 160);

QPixmap transparentPixmap(QSize size) {
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    return pm;
}
} // namespace

QPixmap deskPagePixmap(QSize size) {
    QPixmap pm = transparentPixmap(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF page(1.5, 1.5, size.width() - 3, size.height() - 3);
    // Stacked sheets behind the top page.
    for (int i = 3; i >= 1; --i) {
        p.setPen(QColor(200, 195, 180));
        p.setBrush(kPaper.darker(100 + i * 4));
        p.drawRoundedRect(page.adjusted(i, i * 1.5, -i, 0), 4, 4);
    }
    QLinearGradient paper(page.topLeft(), page.bottomLeft());
    paper.setColorAt(0, kPaper);
    paper.setColorAt(1, QColor(244, 238, 222));
    p.setPen(QPen(QColor(190, 180, 160), 1));
    p.setBrush(paper);
    p.drawRoundedRect(page.adjusted(0, 0, 0, -5), 4, 4);
    // Red band for the year and month.
    QPainterPath band;
    band.addRoundedRect(QRectF(page.left(), page.top(), page.width(), 26), 4, 4);
    p.fillPath(band, kRed);
    p.fillRect(QRectF(page.left(), page.top() + 20, page.width(), 6), kRed);
    // A thin rule above the lunar lines.
    p.setPen(QPen(QColor(210, 170, 150), 1, Qt::DotLine));
    const qreal ruleY = size.height() * 0.6;
    p.drawLine(QPointF(page.left() + 12, ruleY), QPointF(page.right() - 12, ruleY));
    return pm;
}

QPixmap bindingStripPixmap(QSize size) {
    QPixmap pm = transparentPixmap(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kDarkRed);
    p.drawRoundedRect(QRectF(0, size.height() * 0.35, size.width(), size.height() * 0.65), 3, 3);
    // Wire rings across the strip.
    p.setPen(QPen(kMetal, 2.2));
    p.setBrush(Qt::NoBrush);
    const int rings = qMax(4, size.width() / 18);
    for (int i = 0; i < rings; ++i) {
        qreal x = (i + 0.5) * size.width() / rings;
        p.drawRoundedRect(QRectF(x - 2.5, 1, 5, size.height() - 2), 2.5, 2.5);
    }
    return pm;
}

QPixmap launcherIconPixmap(int side) {
    QPixmap pm = transparentPixmap(QSize(side, side));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kDarkRed, 1));
    p.setBrush(QColor(255, 236, 200));
    p.drawEllipse(QRectF(1, 1, side - 2, side - 2));
    p.setPen(QPen(kDarkRed, side / 10.0 + 0.5, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) {
        qreal y = side * (0.32 + 0.18 * i);
        p.drawLine(QPointF(side * 0.3, y), QPointF(side * 0.7, y));
    }
    return pm;
}

QPixmap wallCalendarIconPixmap(int side) {
    QPixmap pm = transparentPixmap(QSize(side, side));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 3.5, side - 3, side - 5));
    p.fillRect(QRectF(2, 4, side - 4, side * 0.25), kRed);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(80, 80, 80));
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            p.drawRect(QRectF(side * (0.14 + 0.19 * c), side * (0.45 + 0.16 * r), side * 0.1, side * 0.08));
    return pm;
}

QPixmap deskCalendarIconPixmap(int side) {
    QPixmap pm = transparentPixmap(QSize(side, side));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(kPaper);
    QPolygonF stand({QPointF(side * 0.15, side - 2), QPointF(side * 0.3, 3), QPointF(side * 0.7, 3),
                     QPointF(side * 0.85, side - 2)});
    p.drawPolygon(stand);
    p.fillRect(QRectF(side * 0.3, 3, side * 0.4, side * 0.22), kRed);
    p.setPen(QColor(60, 60, 60));
    QFont f = p.font();
    f.setPixelSize(qMax(6, side / 3));
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(0, side * 0.35, side, side * 0.55), Qt::AlignCenter, "8");
    return pm;
}
