#include "buttonart.h"

#include "artcanvas.h"

#include <QPainter>
#include <QPainterPathStroker>

#include <cmath>
#include <numbers>

namespace {

QPainterPath thickLine(const QPainterPath &centreLine, qreal width)
{
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(centreLine);
}

} // namespace

void drawGoArrow(QPainter &painter)
{
    const QPointF centre(15.0, 15.5);
    constexpr qreal kRadius = 9.0;
    constexpr qreal kStartDegrees = 55.0;
    constexpr qreal kSweepDegrees = -290.0; // clockwise, leaving a gap at the top

    const QRectF circle(centre.x() - kRadius, centre.y() - kRadius, 2 * kRadius, 2 * kRadius);
    QPainterPath arc;
    arc.arcMoveTo(circle, kStartDegrees);
    arc.arcTo(circle, kStartDegrees, kSweepDegrees);

    // Arrow head at the end of the arc, pointing along its clockwise tangent.
    const qreal end = (kStartDegrees + kSweepDegrees) * std::numbers::pi / 180.0;
    const QPointF tip = arc.currentPosition();
    const QPointF along(std::sin(end), std::cos(end));
    const QPointF across(along.y(), -along.x());
    QPainterPath head;
    head.addPolygon(QPolygonF{tip + along * 5.0, tip + across * 5.5 - along * 1.5,
                              tip - across * 5.5 - along * 1.5});
    head.closeSubpath();

    painter.save();
    fillGlossy(painter, thickLine(arc, 4.2).united(head), QColor(30, 178, 60));
    painter.restore();
}

void drawDisqualifyCross(QPainter &painter)
{
    QPainterPath strokes;
    strokes.moveTo(8.0, 8.0);
    strokes.lineTo(22.0, 22.0);
    strokes.moveTo(22.0, 8.0);
    strokes.lineTo(8.0, 22.0);

    painter.save();
    fillGlossy(painter, thickLine(strokes, 5.5).simplified(), QColor(220, 30, 36));
    painter.restore();
}
