#include "wallcal/wall_calendar_art.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {
const QColor kPaper(253, 250, 240);
const QColor kPaperShade(244, 238, 222);
const QColor kRed(196, 32, 38);
const QColor kEdge(190, 180, 160);
} // namespace

QPixmap wallPagePixmap(QSize size, int bandHeight, int gridTop, int rowHeight) {
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = size.width(), h = size.height();
    // A soft shadow to the lower right: the sheet hangs a little off the wall.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawRoundedRect(QRectF(4, 4, w - 5, h - 5), 5, 5);
    QRectF sheet(0.5, 0.5, w - 5, h - 5);
    QLinearGradient paper(sheet.topLeft(), sheet.topRight());
    paper.setColorAt(0, kPaperShade);
    paper.setColorAt(0.5, kPaper);
    paper.setColorAt(1, kPaperShade);
    p.setPen(QPen(kEdge, 1));
    p.setBrush(paper);
    p.drawRoundedRect(sheet, 5, 5);
    // The title band, with a gold rule under it.
    QPainterPath band;
    band.addRoundedRect(QRectF(sheet.left(), sheet.top(), sheet.width(), bandHeight + 6), 5, 5);
    p.save();
    p.setClipRect(QRectF(0, 0, w, bandHeight));
    p.fillPath(band, kRed);
    p.restore();
    p.setPen(QPen(QColor(220, 180, 90), 2));
    p.drawLine(QPointF(sheet.left() + 1, bandHeight), QPointF(sheet.right() - 1, bandHeight));
    // Light boxes for the 42 days.
    const qreal left = 14, cellWidth = (w - 5 - 2 * left) / 7;
    p.setPen(QPen(QColor(225, 205, 190), 1));
    p.setBrush(Qt::NoBrush);
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 7; ++c)
            p.drawRect(QRectF(left + c * cellWidth + 1, gridTop + r * rowHeight + 1, cellWidth - 2, rowHeight - 2));
    return pm;
}

QCursor dayPointer() {
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 90, 90), 1.5));
    p.drawLine(QPointF(2, 22), QPointF(10, 14)); // the pin's needle, its point at the hot spot
    p.setPen(QPen(kRed.darker(130), 1));
    p.setBrush(kRed);
    p.drawEllipse(QRectF(9, 3, 12, 12));
    p.setBrush(QColor(255, 200, 200));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(12, 5, 4, 4));
    return QCursor(pm, 2, 22);
}

QPixmap menuItemIcon(int item, int side) {
    QPixmap pm(side, side);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kRed.darker(120), 1));
    p.setBrush(kPaper);
    QRectF box(1.5, 1.5, side - 3, side - 3);
    if (item == 2) {
        p.drawEllipse(box);
        p.drawLine(box.center(), QPointF(box.center().x(), box.top() + 3));
        p.drawLine(box.center(), QPointF(box.right() - 3, box.center().y()));
        return pm;
    }
    p.drawRect(box);
    if (item == 1)
        p.fillRect(QRectF(box.left(), box.top(), 3, box.height()), kRed);
    for (int i = 1; i <= 3; ++i)
        p.drawLine(QPointF(box.left() + 5, box.top() + i * side / 4.5),
                   QPointF(box.right() - 3, box.top() + i * side / 4.5));
    return pm;
}
