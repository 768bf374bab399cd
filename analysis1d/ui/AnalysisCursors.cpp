#include "analysis1d/ui/AnalysisCursors.h"

#include <QPainter>
#include <QPainterPath>

namespace AnalysisCursors {

namespace {

constexpr int kSize = 32;

// The pointer itself, tip at (1, 1): black with a white rim so it shows on
// dark and light gels alike.
void drawArrow(QPainter &p)
{
    QPainterPath arrow;
    arrow.moveTo(1, 1);
    arrow.lineTo(1, 17);
    arrow.lineTo(5, 13);
    arrow.lineTo(8, 20);
    arrow.lineTo(10.5, 19);
    arrow.lineTo(7.5, 12);
    arrow.lineTo(13, 12);
    arrow.closeSubpath();
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(Qt::black);
    p.drawPath(arrow);
}

void drawLane(QPainter &p)
{
    p.setPen(QPen(QColor(0xE0, 0xA0, 0x00), 1.5));
    p.setBrush(QColor(0xF4, 0xF4, 0xF4));
    p.drawRect(QRectF(15.5, 8.5, 7, 22));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x30, 0x30, 0x40));
    p.drawRect(QRectF(16.5, 13, 5, 2));
    p.drawRect(QRectF(16.5, 20, 5, 2));
}

void drawBand(QPainter &p)
{
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(QColor(0x30, 0x30, 0x40));
    p.drawRect(QRectF(13.5, 17.5, 12, 5));
    p.setPen(QPen(QColor(0xD0, 0x30, 0x30), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(12.5, 16.5, 14, 7));
}

void drawSign(QPainter &p, bool plus)
{
    const QPointF centre(26, 7);
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(plus ? QColor(0x2E, 0x9A, 0x3E) : QColor(0xC8, 0x30, 0x2A));
    p.drawEllipse(centre, 5.5, 5.5);
    p.setPen(QPen(Qt::white, 2));
    if (plus) {
        p.drawLine(QPointF(centre.x() - 3, centre.y()), QPointF(centre.x() + 3, centre.y()));
        p.drawLine(QPointF(centre.x(), centre.y() - 3), QPointF(centre.x(), centre.y() + 3));
    } else {
        p.drawLine(centre + QPointF(-2.5, -2.5), centre + QPointF(2.5, 2.5));
        p.drawLine(centre + QPointF(-2.5, 2.5), centre + QPointF(2.5, -2.5));
    }
}

} // namespace

QPixmap Picture(int resourceId)
{
    if (resourceId < kAddLane || resourceId > kDeleteLane)
        return QPixmap();
    QPixmap picture(kSize, kSize);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    switch (resourceId) {
    case kAddLane:
        drawLane(p);
        drawSign(p, true);
        break;
    case kDeleteLane:
        drawLane(p);
        drawSign(p, false);
        break;
    case kAddBand:
        drawBand(p);
        drawSign(p, true);
        break;
    case kDeleteBand:
        drawBand(p);
        drawSign(p, false);
        break;
    default:
        break;
    }
    drawArrow(p);
    return picture;
}

QCursor Cursor(int resourceId)
{
    const QPixmap picture = Picture(resourceId);
    if (picture.isNull())
        return QCursor(Qt::ArrowCursor);
    return QCursor(picture, 1, 1);
}

} // namespace AnalysisCursors
