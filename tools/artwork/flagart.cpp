#include "flagart.h"

#include "artcanvas.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

namespace {

const QRectF kCloth(10.5, 6.0, 64.0, 36.0);
constexpr qreal kWaveAmplitude = 2.8; // px of lift at the free end
constexpr qreal kWaves = 1.25;        // wave crests along the cloth

qreal waveLift(qreal u)
{
    // The cloth is held still at the pole and waves more towards its free end.
    return kWaveAmplitude * u * std::sin(2 * std::numbers::pi * kWaves * u);
}

// Point (u, v) of the cloth, u from the pole (0) to the free end (1), v from
// the top edge (0) to the bottom edge (1).
QPointF clothPoint(qreal u, qreal v)
{
    return {kCloth.left() + u * kCloth.width(), kCloth.top() + v * kCloth.height() + waveLift(u)};
}

// The area of the cloth between u0..u1 and v0..v1, its horizontal edges
// following the wave so that patterns bend with the cloth.
QPainterPath clothPatch(qreal u0, qreal v0, qreal u1, qreal v1)
{
    const int steps = std::max(2, int(std::ceil((u1 - u0) * 64)));
    QPolygonF outline;
    for (int i = 0; i <= steps; ++i)
        outline << clothPoint(u0 + (u1 - u0) * i / steps, v0);
    for (int i = steps; i >= 0; --i)
        outline << clothPoint(u0 + (u1 - u0) * i / steps, v1);
    QPainterPath path;
    path.addPolygon(outline);
    path.closeSubpath();
    return path;
}

void drawPole(QPainter &painter)
{
    const QRectF pole(7.0, 4.0, 3.5, 55.0);
    QLinearGradient metal(pole.topLeft(), pole.topRight());
    metal.setColorAt(0.0, QColor(120, 124, 130));
    metal.setColorAt(0.4, QColor(235, 238, 242));
    metal.setColorAt(1.0, QColor(95, 98, 104));
    painter.setPen(QPen(QColor(70, 72, 78), 0.8));
    painter.setBrush(metal);
    painter.drawRoundedRect(pole, 1.2, 1.2);

    const QPointF knob(8.75, 4.0);
    QRadialGradient brass(knob - QPointF(1.0, 1.0), 3.5);
    brass.setColorAt(0.0, QColor(255, 244, 190));
    brass.setColorAt(1.0, QColor(190, 140, 30));
    painter.setPen(QPen(QColor(120, 85, 20), 0.8));
    painter.setBrush(brass);
    painter.drawEllipse(knob, 3.2, 3.2);
}

// Light and shadow across the folds: the cloth is lit where the wave rises
// towards the free end and shaded where it falls.
void shadeFolds(QPainter &painter, const QPainterPath &cloth)
{
    QLinearGradient shade(kCloth.topLeft(), kCloth.topRight());
    constexpr int kStops = 24;
    for (int i = 0; i <= kStops; ++i) {
        const qreal u = qreal(i) / kStops;
        const qreal slope = (waveLift(std::min(1.0, u + 0.01)) - waveLift(std::max(0.0, u - 0.01)))
                            / 0.02 / (kWaveAmplitude * 2 * std::numbers::pi * kWaves);
        const int alpha = std::clamp(int(std::abs(slope) * 150), 0, 90);
        shade.setColorAt(u, slope < 0 ? QColor(255, 255, 255, alpha) : QColor(0, 0, 0, alpha));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(shade);
    painter.drawPath(cloth);
}

// The flag common to every variant: pole, cloth painted by \a paintCloth
// (clipped to the cloth), folds and outline.
void drawFlag(QPainter &painter, const QColor &outline,
              const std::function<void(QPainter &, const QPainterPath &)> &paintCloth)
{
    painter.save();
    drawPole(painter);
    const QPainterPath cloth = clothPatch(0, 0, 1, 1);
    painter.save();
    painter.setClipPath(cloth);
    paintCloth(painter, cloth);
    shadeFolds(painter, cloth);
    painter.restore();
    painter.setPen(QPen(outline, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(cloth);
    painter.restore();
}

void fillCloth(QPainter &painter, const QPainterPath &cloth, const QColor &colour)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(cloth);
}

} // namespace

void drawPlainFlag(QPainter &painter, const QColor &cloth)
{
    drawFlag(painter, cloth.darker(220), [&](QPainter &p, const QPainterPath &shape) {
        fillCloth(p, shape, cloth);
    });
}

void drawChequeredFlag(QPainter &painter)
{
    constexpr int kColumns = 6;
    constexpr int kRows = 4;
    drawFlag(painter, QColor(30, 30, 30), [](QPainter &p, const QPainterPath &shape) {
        fillCloth(p, shape, Qt::white);
        p.setBrush(QColor(20, 20, 20));
        for (int row = 0; row < kRows; ++row)
            for (int column = row % 2; column < kColumns; column += 2)
                p.drawPath(clothPatch(qreal(column) / kColumns, qreal(row) / kRows,
                                      qreal(column + 1) / kColumns, qreal(row + 1) / kRows));
    });
}

void drawNumberedFlag(QPainter &painter, int digit)
{
    const QColor red(214, 28, 36);
    drawFlag(painter, red.darker(220), [&](QPainter &p, const QPainterPath &shape) {
        fillCloth(p, shape, red);
        const QPointF centre = clothPoint(0.5, 0.5);
        p.setPen(QPen(QColor(255, 255, 255, 200), 1.0));
        p.setBrush(QColor(15, 15, 15));
        p.drawEllipse(centre, 12.5, 12.5);
        drawCentredText(p, centre, QString::number(digit), artFont(19), Qt::white);
    });
}
