#include "gaugeart.h"

#include "artcanvas.h"

#include <QLinearGradient>
#include <QPainter>

namespace {

const QColor kHousing(46, 50, 58);

// Two red bars at the bottom, one yellow, green for the rest.
QColor barColour(int indexFromBottom)
{
    if (indexFromBottom < 2)
        return QColor(232, 36, 36);
    if (indexFromBottom == 2)
        return QColor(252, 206, 22);
    return QColor(46, 204, 84);
}

void drawHousing(QPainter &painter, const QRectF &housing)
{
    QLinearGradient body(housing.topLeft(), housing.topRight());
    body.setColorAt(0.0, kHousing.lighter(135));
    body.setColorAt(0.5, kHousing);
    body.setColorAt(1.0, kHousing.darker(140));
    painter.setPen(QPen(QColor(18, 20, 24), 1.0));
    painter.setBrush(body);
    painter.drawRoundedRect(housing, 6.0, 6.0);
}

void drawBar(QPainter &painter, const QRectF &bar, const QColor &colour, bool lit)
{
    if (lit) {
        QLinearGradient glass(bar.topLeft(), bar.bottomLeft());
        glass.setColorAt(0.0, colour.lighter(150));
        glass.setColorAt(0.5, colour);
        glass.setColorAt(1.0, colour.darker(115));
        painter.setBrush(glass);
    } else {
        // Unlit bars keep a hint of their colour so the scale stays readable.
        painter.setBrush(blend(kHousing.darker(150), colour, 0.2));
    }
    painter.setPen(QPen(QColor(0, 0, 0, 150), 0.8));
    painter.drawRoundedRect(bar, 1.5, 1.5);
}

// \a barCount bars stacked in \a area from the bottom, \a gap apart, the
// lowest \a litBars of them lit.
void drawBars(QPainter &painter, const QRectF &area, int barCount, int litBars, qreal gap)
{
    const qreal height = (area.height() - gap * (barCount - 1)) / barCount;
    for (int i = 0; i < barCount; ++i) {
        const qreal top = area.bottom() - (i + 1) * height - i * gap;
        drawBar(painter, QRectF(area.left(), top, area.width(), height), barColour(i), i < litBars);
    }
}

void drawGlow(QPainter &painter, const QRectF &housing, const QColor &colour)
{
    constexpr int kLayers = 9;
    painter.setPen(Qt::NoPen);
    for (int i = kLayers; i >= 1; --i) {
        QColor layer = colour;
        layer.setAlpha(14 + (kLayers - i) * 6);
        painter.setBrush(layer);
        painter.drawRoundedRect(housing.adjusted(-i * 0.9, -i * 0.9, i * 0.9, i * 0.9), 6.0 + i,
                                6.0 + i);
    }
}

} // namespace

void drawTankGauge(QPainter &painter, int litBars)
{
    painter.save();
    drawHousing(painter, QRectF(0.5, 0.5, 51.0, 68.0));
    drawBars(painter, QRectF(6.0, 4.0, 40.0, 61.0), kGaugeBars, litBars, 2.0);
    painter.restore();
}

void drawFullTankGauge(QPainter &painter)
{
    constexpr int kBars = 8;
    const QRectF housing(12.5, 3.5, 45.0, 63.0);
    painter.save();
    drawGlow(painter, housing, QColor(60, 230, 100));
    drawHousing(painter, housing);
    drawBars(painter, QRectF(18.0, 8.0, 34.0, 54.0), kBars, kBars, 2.0);
    painter.restore();
}
