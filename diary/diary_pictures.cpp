#include "diary/diary_pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kInk(40, 60, 110);
const QColor kHighlightFill(192, 255, 255);

void drawExport(QPainter& p, qreal s) {
    // A page with a folded corner and an arrow leaving it.
    QPainterPath page;
    page.moveTo(s * 0.18, s * 0.12);
    page.lineTo(s * 0.52, s * 0.12);
    page.lineTo(s * 0.66, s * 0.26);
    page.lineTo(s * 0.66, s * 0.88);
    page.lineTo(s * 0.18, s * 0.88);
    page.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(page);
    for (qreal y : {0.40, 0.52, 0.64, 0.76})
        p.drawLine(QPointF(s * 0.26, s * y), QPointF(s * 0.56, s * y));
    p.setBrush(QColor(0, 150, 60));
    const QPolygonF arrow{{s * 0.50, s * 0.46}, {s * 0.70, s * 0.46}, {s * 0.70, s * 0.36}, {s * 0.90, s * 0.56},
                          {s * 0.70, s * 0.76}, {s * 0.70, s * 0.66}, {s * 0.50, s * 0.66}};
    p.drawPolygon(arrow);
}

void drawSave(QPainter& p, qreal s) {
    // A disk: body, shutter and label.
    p.setBrush(QColor(70, 100, 170));
    p.drawRoundedRect(QRectF(s * 0.14, s * 0.14, s * 0.72, s * 0.72), s * 0.06, s * 0.06);
    p.setBrush(QColor(200, 205, 215));
    p.drawRect(QRectF(s * 0.30, s * 0.14, s * 0.40, s * 0.24));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(s * 0.24, s * 0.52, s * 0.52, s * 0.34));
}

void drawClose(QPainter& p, qreal s) {
    p.setBrush(QColor(200, 50, 50));
    p.drawEllipse(QRectF(s * 0.14, s * 0.14, s * 0.72, s * 0.72));
    p.setPen(QPen(Qt::white, s * 0.09, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(s * 0.36, s * 0.36), QPointF(s * 0.64, s * 0.64));
    p.drawLine(QPointF(s * 0.64, s * 0.36), QPointF(s * 0.36, s * 0.64));
}

} // namespace

QPixmap diaryButtonPicture(DiaryButton button, bool highlighted, int side) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (highlighted) {
        // The highlighted look: a raised light-cyan square behind the same drawing.
        p.setPen(QPen(kInk, 1));
        p.setBrush(kHighlightFill);
        p.drawRoundedRect(QRectF(0.5, 0.5, side - 1.0, side - 1.0), 4, 4);
    }
    p.setPen(QPen(kInk, 1.2));
    const qreal s = side;
    switch (button) {
    case DiaryButton::Export:
        drawExport(p, s);
        break;
    case DiaryButton::Save:
        drawSave(p, s);
        break;
    case DiaryButton::Close:
        drawClose(p, s);
        break;
    }
    return pixmap;
}

QPixmap diaryBookPicture(int side) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = side;
    p.setPen(QPen(kInk, 1.2));
    // An open book: two pages meeting at the spine, with a bookmark.
    p.setBrush(QColor(255, 250, 225));
    p.drawPolygon(QPolygonF{{s * 0.50, s * 0.28}, {s * 0.08, s * 0.18}, {s * 0.08, s * 0.80}, {s * 0.50, s * 0.90}});
    p.drawPolygon(QPolygonF{{s * 0.50, s * 0.28}, {s * 0.92, s * 0.18}, {s * 0.92, s * 0.80}, {s * 0.50, s * 0.90}});
    for (qreal y : {0.38, 0.50, 0.62})
        p.drawLine(QPointF(s * 0.16, s * y), QPointF(s * 0.42, s * (y + 0.06)));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(210, 40, 40));
    p.drawRect(QRectF(s * 0.70, s * 0.20, s * 0.08, s * 0.36));
    return pixmap;
}
