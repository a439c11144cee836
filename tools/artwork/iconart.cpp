#include "iconart.h"

#include "artcanvas.h"
#include "flagart.h"

#include <QLinearGradient>
#include <QPainter>

void drawAppIcon(QPainter &painter)
{
    painter.save();
    const QRectF badge(10.0, 10.0, 236.0, 236.0);
    QLinearGradient night(badge.topLeft(), badge.bottomLeft());
    night.setColorAt(0.0, QColor(40, 86, 170));
    night.setColorAt(1.0, QColor(12, 28, 70));
    painter.setPen(QPen(QColor(8, 18, 44), 4.0));
    painter.setBrush(night);
    painter.drawRoundedRect(badge, 46.0, 46.0);

    painter.translate(130.0, 130.0);
    painter.rotate(-8.0);
    painter.scale(2.85, 2.85);
    painter.translate(-kFlagWidth / 2.0, -kFlagHeight / 2.0);
    drawChequeredFlag(painter);
    painter.restore();
}

void drawFloppyDisk(QPainter &painter, const QColor &colour)
{
    painter.save();
    QPainterPath body;
    body.addPolygon(QPolygonF{QPointF(3.5, 3.5), QPointF(25.5, 3.5), QPointF(28.5, 6.5),
                              QPointF(28.5, 28.5), QPointF(3.5, 28.5)});
    body.closeSubpath();
    fillGlossy(painter, body, colour);

    const QRectF shutter(9.5, 3.5, 14.0, 9.0);
    QLinearGradient metal(shutter.topLeft(), shutter.topRight());
    metal.setColorAt(0.0, QColor(235, 238, 242));
    metal.setColorAt(1.0, QColor(160, 165, 172));
    painter.setPen(QPen(QColor(80, 84, 90), 1.0));
    painter.setBrush(metal);
    painter.drawRect(shutter);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(60, 62, 70));
    painter.drawRect(QRectF(18.0, 5.0, 3.0, 6.0));

    const QRectF label(7.5, 16.5, 17.0, 12.0);
    painter.setPen(QPen(colour.darker(200), 1.0));
    painter.setBrush(QColor(250, 250, 250));
    painter.drawRect(label);
    painter.setPen(QPen(QColor(170, 174, 182), 1.0));
    painter.drawLine(QPointF(10.0, 20.5), QPointF(22.0, 20.5));
    painter.drawLine(QPointF(10.0, 24.5), QPointF(22.0, 24.5));
    painter.restore();
}
