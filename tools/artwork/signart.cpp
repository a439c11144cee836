#include "signart.h"

#include "artcanvas.h"

#include <QPainter>

namespace {

const QColor kSignRed(210, 24, 32);

// A fuel pump in \a colour inside \a box: the body with its display window
// cut out in \a background, a base, and the hose with its nozzle on the right.
void drawFuelPump(QPainter &painter, const QRectF &box, const QColor &colour,
                  const QColor &background)
{
    const qreal w = box.width();
    const qreal h = box.height();
    const auto at = [&](qreal x, qreal y) { return QPointF(box.left() + x * w, box.top() + y * h); };

    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRoundedRect(QRectF(at(0.05, 0.0), at(0.62, 0.92)), 0.08 * w, 0.08 * w);
    painter.drawRect(QRectF(at(0.0, 0.86), at(0.67, 1.0)));
    painter.setBrush(background);
    painter.drawRoundedRect(QRectF(at(0.16, 0.1), at(0.51, 0.36)), 0.04 * w, 0.04 * w);

    QPainterPath hose(at(0.62, 0.22));
    hose.cubicTo(at(0.95, 0.22), at(0.92, 0.62), at(0.86, 0.7));
    hose.cubicTo(at(0.8, 0.78), at(0.72, 0.7), at(0.76, 0.5));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(colour, 0.085 * w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(hose);
    painter.setPen(QPen(colour, 0.16 * w, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(at(0.8, 0.1), at(0.9, 0.24));
    painter.restore();
}

} // namespace

void drawFuelWarningSign(QPainter &painter)
{
    painter.save();
    QPainterPath square;
    square.addRoundedRect(QRectF(1.5, 1.5, 75.0, 57.0), 7.0, 7.0);
    fillGlossy(painter, square, kSignRed);
    painter.setPen(QPen(QColor(255, 255, 255, 230), 1.4));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(4.5, 4.5, 69.0, 51.0), 5.0, 5.0);

    drawFuelPump(painter, QRectF(27.0, 8.5, 26.0, 29.0), Qt::white, kSignRed);
    drawCentredText(painter, QPointF(39.0, 46.5), QStringLiteral("Warning"), artFont(13.0),
                    Qt::white);
    painter.restore();
}

void drawFuelDutySign(QPainter &painter)
{
    const QPointF centre(39.0, 30.0);
    painter.save();
    const QFont words = artFont(13.5);
    drawCentredText(painter, centre - QPointF(0.0, 7.5), QStringLiteral("Fuel"), words,
                    QColor(25, 25, 25));
    drawCentredText(painter, centre + QPointF(0.0, 8.5), QStringLiteral("Duty"), words,
                    QColor(25, 25, 25));

    // The bar runs from upper left to lower right and lets the words show
    // through a little, so the sign stays readable at 78 x 60.
    constexpr qreal kRingRadius = 25.0;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(kSignRed.red(), kSignRed.green(), kSignRed.blue(), 175), 4.0,
                        Qt::SolidLine, Qt::FlatCap));
    const qreal reach = kRingRadius * 0.7071;
    painter.drawLine(centre + QPointF(-reach, -reach), centre + QPointF(reach, reach));
    painter.setPen(QPen(kSignRed, 5.0));
    painter.drawEllipse(centre, kRingRadius, kRingRadius);
    painter.restore();
}
