#include "addressbook/card_pictures.h"

#include "ui/twips.h"
#include "ui/ui_style.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace {

constexpr int kIcon = 24;

QPen outline(const QColor& c, qreal width = 1.5) {
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void drawArrow(QPainter& p, bool left) {
    QPolygonF arrow{{4, 12}, {12, 4}, {12, 8}, {20, 8}, {20, 16}, {12, 16}, {12, 20}};
    if (!left)
        for (QPointF& pt : arrow)
            pt.setX(kIcon - pt.x());
    p.setPen(outline(QColor(20, 60, 140)));
    p.setBrush(QColor(70, 130, 220));
    p.drawPolygon(arrow);
}

void drawPage(QPainter& p) {
    p.setPen(outline(QColor(90, 90, 90)));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF{{5, 2}, {15, 2}, {19, 6}, {19, 22}, {5, 22}});
    p.drawPolyline(QPolygonF{{15, 2}, {15, 6}, {19, 6}});
}

void drawPencil(QPainter& p) {
    drawPage(p);
    p.setPen(outline(QColor(160, 90, 20), 3));
    p.drawLine(QPointF(9, 17), QPointF(20, 6));
    p.setPen(outline(Qt::black, 1.5));
    p.drawLine(QPointF(7, 19), QPointF(9, 17));
}

void drawNewPage(QPainter& p) {
    drawPage(p);
    p.setPen(outline(QColor(0, 150, 0), 2.5));
    p.drawLine(QPointF(12, 9), QPointF(12, 19));
    p.drawLine(QPointF(7, 14), QPointF(17, 14));
}

void drawPicture(QPainter& p) {
    p.setPen(outline(QColor(110, 80, 40)));
    p.setBrush(QColor(200, 230, 255));
    p.drawRect(QRectF(2.5, 4.5, 19, 15));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 200, 40));
    p.drawEllipse(QPointF(16, 9), 2.5, 2.5);
    p.setBrush(QColor(60, 150, 60));
    p.drawPolygon(QPolygonF{{3.5, 18.5}, {9, 10}, {13, 15}, {15, 13}, {20.5, 18.5}});
}

void drawDisk(QPainter& p) {
    p.setPen(outline(QColor(20, 40, 90)));
    p.setBrush(QColor(60, 90, 170));
    p.drawPolygon(QPolygonF{{3, 3}, {18, 3}, {21, 6}, {21, 21}, {3, 21}});
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7, 3, 9, 6));
    p.setBrush(QColor(220, 220, 220));
    p.drawRect(QRectF(6, 13, 12, 8));
}

void drawMagnifier(QPainter& p) {
    p.setPen(outline(QColor(60, 60, 60), 2));
    p.setBrush(QColor(210, 240, 255));
    p.drawEllipse(QPointF(10, 10), 6, 6);
    p.setPen(outline(QColor(120, 70, 20), 3.5));
    p.drawLine(QPointF(14.5, 14.5), QPointF(21, 21));
}

void drawExport(QPainter& p) {
    drawPage(p);
    p.setPen(outline(QColor(120, 120, 120), 1));
    for (int y = 9; y <= 18; y += 3)
        p.drawLine(QPointF(7, y), QPointF(14, y));
    p.setPen(outline(QColor(200, 60, 20), 2));
    p.drawLine(QPointF(13, 15), QPointF(22, 15));
    p.drawPolyline(QPolygonF{{19, 12}, {22, 15}, {19, 18}});
}

void drawBin(QPainter& p) {
    p.setPen(outline(QColor(60, 60, 60)));
    p.setBrush(QColor(190, 190, 190));
    p.drawPolygon(QPolygonF{{6, 7}, {18, 7}, {17, 22}, {7, 22}});
    p.drawLine(QPointF(4, 6), QPointF(20, 6));
    p.drawRect(QRectF(10, 3, 4, 3));
    for (qreal x : {9.5, 12.0, 14.5})
        p.drawLine(QPointF(x, 10), QPointF(x, 19));
}

void drawClose(QPainter& p) {
    p.setPen(outline(QColor(150, 20, 20)));
    p.setBrush(QColor(220, 50, 50));
    p.drawEllipse(QPointF(12, 12), 9, 9);
    p.setPen(outline(Qt::white, 2.5));
    p.drawLine(QPointF(8, 8), QPointF(16, 16));
    p.drawLine(QPointF(16, 8), QPointF(8, 16));
}

void drawIcon(QPainter& p, const QString& key) {
    if (key == "tqianyiye" || key == "thouyiye")
        return drawArrow(p, key == "tqianyiye");
    if (key == "tbianjiye")
        return drawPencil(p);
    if (key == "txinjianye")
        return drawNewPage(p);
    if (key == "tdiaoruzhaopian")
        return drawPicture(p);
    if (key == "tbaocun")
        return drawDisk(p);
    if (key == "tsousuo")
        return drawMagnifier(p);
    if (key == "tdaochu")
        return drawExport(p);
    if (key == "tdiuqi")
        return drawBin(p);
    drawClose(p);
}

} // namespace

QIcon toolbarIcon(const QString& key) {
    QPixmap pixmap(kIcon, kIcon);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    drawIcon(p, key);
    return QIcon(pixmap);
}

QCursor cardLinkCursor() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(outline(Qt::black, 1.2));
    p.setBrush(Qt::white);
    // A hand with the index finger up; its tip is the hot spot.
    QPainterPath hand;
    hand.moveTo(7, 2);
    hand.lineTo(10, 2);
    hand.lineTo(10, 10);
    hand.lineTo(19, 11);
    hand.lineTo(19, 20);
    hand.lineTo(15, 25);
    hand.lineTo(8, 25);
    hand.lineTo(3, 16);
    hand.lineTo(5, 14);
    hand.lineTo(7, 16);
    hand.closeSubpath();
    p.drawPath(hand);
    p.drawLine(QPointF(13, 11), QPointF(13, 16));
    p.drawLine(QPointF(16, 11), QPointF(16, 16));
    return QCursor(pixmap, 8, 2);
}

QPixmap defaultPortrait() {
    const QSize size(twipsToPx(1575), twipsToPx(1335));
    QPixmap pixmap(size);
    pixmap.fill(QColor(232, 240, 250));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = size.width(), h = size.height();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 170, 200));
    p.drawEllipse(QPointF(w / 2, h * 0.38), w * 0.17, h * 0.22);
    QPainterPath shoulders;
    shoulders.moveTo(w * 0.16, h);
    shoulders.cubicTo(w * 0.18, h * 0.62, w * 0.82, h * 0.62, w * 0.84, h);
    shoulders.closeSubpath();
    p.drawPath(shoulders);
    p.setPen(outline(QColor(120, 140, 170), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, w - 1, h - 1));
    return pixmap;
}

QPixmap confirmButtonPicture(bool highlighted) {
    QPixmap pixmap(72, 26);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(outline(highlighted ? QColor(200, 110, 0) : QColor(90, 110, 140), 1.2));
    p.setBrush(highlighted ? QColor(255, 220, 140) : QColor(225, 232, 242));
    p.drawRoundedRect(QRectF(0.5, 0.5, 71, 25), 6, 6);
    p.setPen(highlighted ? QColor(140, 40, 0) : QColor(30, 40, 70));
    p.setFont(uiFont(10, highlighted));
    p.drawText(pixmap.rect(), Qt::AlignCenter, "确定");
    return pixmap;
}
