#include "artcanvas.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>

QFont artFont(qreal pixelSize, bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(qRound(pixelSize));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QColor blend(const QColor &a, const QColor &b, qreal amountOfB)
{
    const auto mix = [amountOfB](int x, int y) { return qRound(x + (y - x) * amountOfB); };
    return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()),
                  mix(a.alpha(), b.alpha()));
}

void fillGlossy(QPainter &painter, const QPainterPath &shape, const QColor &colour,
                qreal outlineWidth)
{
    const QRectF box = shape.boundingRect();
    QLinearGradient gradient(box.topLeft(), box.bottomLeft());
    gradient.setColorAt(0.0, colour.lighter(145));
    gradient.setColorAt(0.45, colour);
    gradient.setColorAt(1.0, colour.darker(125));
    painter.save();
    painter.setBrush(gradient);
    painter.setPen(QPen(colour.darker(210), outlineWidth, Qt::SolidLine, Qt::RoundCap,
                        Qt::RoundJoin));
    painter.drawPath(shape);
    painter.restore();
}

void drawChequer(QPainter &painter, const QRectF &area, int columns, int rows)
{
    const qreal w = area.width() / columns;
    const qreal h = area.height() / rows;
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.fillRect(area, Qt::white);
    painter.setBrush(QColor(20, 20, 20));
    for (int row = 0; row < rows; ++row)
        for (int column = row % 2; column < columns; column += 2)
            painter.drawRect(QRectF(area.left() + column * w, area.top() + row * h, w, h));
    painter.restore();
}

void drawCentredText(QPainter &painter, const QPointF &centre, const QString &text,
                     const QFont &font, const QColor &colour)
{
    // Centre on the ink of the glyphs, not on the line box, so digits and
    // capitals sit optically in the middle of discs and signs.
    const QRectF ink = QFontMetricsF(font).tightBoundingRect(text);
    painter.save();
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(centre - ink.center(), text);
    painter.restore();
}
